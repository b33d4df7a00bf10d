#pragma once
// What the settings writer child writes and the kill test checks: value k of
// write generation g carries g, k and a long filler derived from both, so a
// torn or mixed file cannot pass for a whole one.

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace qg::test {

inline constexpr char kChurnSection[] = "highscore";
inline constexpr std::array<const char*, 10> kChurnNames = {"torv0", "torv1", "torv2", "torv3", "torv4",
                                                            "pell10", "pell11", "pell12", "pell13", "pell14"};
inline constexpr int kChurnCount = static_cast<int>(kChurnNames.size());
inline constexpr int kChurnFiller = 1500;

inline QString ChurnValue(long long generation, int k) {
    const QChar fill(static_cast<char16_t>('a' + (generation * 7 + k) % 26));
    return QStringLiteral("%1:%2:%3:end").arg(generation).arg(k).arg(QString(kChurnFiller, fill));
}

// The generation held by value k, or nothing when the text is not a whole
// value written for k.
inline std::optional<long long> ChurnGeneration(const QString& text, int k) {
    const QStringList parts = text.split(':');
    if (parts.size() != 4) return std::nullopt;
    bool ok = false;
    const long long generation = parts[0].toLongLong(&ok);
    if (!ok || generation < 0 || text != ChurnValue(generation, k)) return std::nullopt;
    return generation;
}

}  // namespace qg::test
