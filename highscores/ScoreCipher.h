#pragma once
// The substitution that keeps high-score entries from being read or edited by
// hand with ease. Each character of the alphabet is shifted along it by an
// amount that depends only on the key and the character's position; anything
// outside the alphabet (blanks, the comma, accented letters) stays as it is.
//
// The shift sequence comes from floating-point arithmetic done in x87 80-bit
// extended precision with every intermediate result stored as a double.
// Stored tables depend on that rounding, so the build refuses a platform
// whose long double is anything else.

#include <QString>

#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64 && std::numeric_limits<long double>::radix == 2,
              "ScoreCipher needs the x87 80-bit long double (64-bit mantissa): stored high scores depend on it");

namespace qg {

class ScoreCipher {
public:
    static constexpr int kDefaultKey = 48071;
    static constexpr int kMaxKey = 2147482863;
    static constexpr int kMaxAlphabet = 255;
    static const QString& DefaultAlphabet();  // A-Z, a-z, 0-9

    // Ready to use with the default alphabet and key.
    ScoreCipher();

    // An empty alphabet means the default one, a longer one keeps its first
    // 255 characters; the key is taken as its absolute value, 0 means the
    // default key, and it is capped at kMaxKey.
    void Init(const QString& alphabet, int key);

    // Same length as the input; Decode(Encode(s)) == s.
    QString Encode(const QString& s) const;
    QString Decode(const QString& s) const;

    const QString& Alphabet() const { return alphabet_; }
    int Key() const { return key_; }

private:
    QString Transform(QString s, int k) const;

    QString alphabet_;
    int key_ = kDefaultKey;
};

}  // namespace qg
