#include "highscores/ScoreCipher.h"

#include <cmath>
#include <cstdlib>

namespace qg {

namespace {

// Pi as the x87 FPU loads it (FLDPI): the 64-bit mantissa rounded to nearest.
constexpr long double kPi = 0xC.90FDAA22168C235p-2L;

// A value stored from the FPU into a double variable. volatile keeps the
// compiler from holding it in an 80-bit register instead.
double StoreDouble(long double v) {
    volatile double d = static_cast<double>(v);
    return d;
}

}  // namespace

const QString& ScoreCipher::DefaultAlphabet() {
    static const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789");
    return alphabet;
}

ScoreCipher::ScoreCipher() : alphabet_(DefaultAlphabet()) {}

void ScoreCipher::Init(const QString& alphabet, int key) {
    alphabet_ = alphabet.isEmpty() ? DefaultAlphabet() : alphabet.left(kMaxAlphabet);
    // In 64 bits, so that the lowest int has an absolute value too (in 32
    // bits it would stay negative and turn Encode into Decode).
    long long k = std::llabs(static_cast<long long>(key));
    if (k == 0) k = kDefaultKey;
    if (k > kMaxKey) k = kMaxKey;
    key_ = static_cast<int>(k);
}

QString ScoreCipher::Encode(const QString& s) const { return Transform(s, key_); }

QString ScoreCipher::Decode(const QString& s) const { return Transform(s, -key_); }

QString ScoreCipher::Transform(QString s, int k) const {
    if (s.isEmpty()) return s;
    const int n = static_cast<int>(alphabet_.size());
    double x = StoreDouble(std::fabs(static_cast<long double>(k) / kPi));
    for (qsizetype j = 0; j < s.size(); ++j) {
        x = StoreDouble(static_cast<long double>(x) - std::trunc(static_cast<long double>(x)));
        // n * x is exact in 64 bits of mantissa, so the shift stays below n.
        int shift = static_cast<int>(std::trunc(static_cast<long double>(n) * static_cast<long double>(x)));
        if (k < 0) shift = -shift;
        x = StoreDouble(static_cast<long double>(x) * 997.0L + kPi);
        // Every position takes its step of the sequence, changed or not.
        const qsizetype p = alphabet_.indexOf(s[j]);
        if (p >= 0) s[j] = alphabet_[(p + n + shift) % n];
    }
    return s;
}

}  // namespace qg
