#pragma once
// One high-score table: the five best solving times of a puzzle (or PELLORA
// variant, or CIRRELA level) with the names of those who made them, and how
// it is kept in section "highscore" of the settings store.
//
// Each entry is one value named after the table and its index (torv0 ..
// torv4, pell10 .. pell14, ...) holding the scrambled record "time,name".
// The name entered last is kept in plain text as "player".

#include <QList>
#include <QString>

#include <array>
#include <functional>
#include <optional>

#include "highscores/ScoreCipher.h"
#include "settings/Settings.h"

namespace qg {

inline constexpr int kHighscoreEntries = 5;
inline constexpr char kHighscoreSection[] = "highscore";
inline constexpr char kPlayerValue[] = "player";
inline constexpr char kEmptyName[] = "Mr. Brain";
// Records longer than this are cut, before scrambling and before unscrambling.
inline constexpr int kRecordLimit = 255;
// No solve takes longer than the clock can show (six digits); a stored time
// beyond it was not written by the game.
inline constexpr int kLongestTime = 999999;

// The time of a record as the game writes it: plain digits without leading
// zeros, 0 to kLongestTime; nothing for anything else.
std::optional<int> ParseRecordTime(const QString& text);

// The first 255 characters; a character that needs two UTF-16 units is not
// split, so a cut never leaves half a character behind.
QString CutRecord(const QString& record);

// A stored entry that cannot be read back.
struct HighscoreLoadError {
    QString valueName;  // the settings value, e.g. "nubb2"
    int index = 0;      // 0 is rank 1
    QString decoded;    // the unscrambled record
    bool joinsLines = false;  // its line ends in a backslash, which takes the next line in
};

// The name entered last, "Mr. Brain" when there is none yet.
QString ReadPlayerName(const Settings& settings);

class HighscoreTable {
public:
    // Five empty entries.
    HighscoreTable();

    const QString& Name(int index) const { return names_[static_cast<std::size_t>(index)]; }
    int Time(int index) const { return times_[static_cast<std::size_t>(index)]; }
    void SetName(int index, const QString& name) { names_[static_cast<std::size_t>(index)] = name; }

    // All five entries empty ("Mr. Brain", time 0).
    void Clear();

    // Loads the table of tableKey as stored, without sorting. A missing or
    // empty value is an empty entry. On a record without a comma or with a
    // time that is not a decimal integer, the table keeps what it held and
    // the bad entry is returned.
    // A value that lost its quotes in a hand edit reads with its commas; a
    // value that is no text at all is a bad entry too.
    std::optional<HighscoreLoadError> Load(const Settings& settings, const ScoreCipher& cipher,
                                           const QString& tableKey);
    std::optional<HighscoreLoadError> Load(const Settings::Snapshot& stored, const ScoreCipher& cipher,
                                           const QString& tableKey);
    // The filled entries that can be read, in their stored order, moved up
    // over those that cannot and over gaps; empty entries fill the end.
    static HighscoreTable Salvage(const Settings& settings, const ScoreCipher& cipher, const QString& tableKey);
    static HighscoreTable Salvage(const Settings::Snapshot& stored, const ScoreCipher& cipher, const QString& tableKey);

    // Writes "player" first, then the five entries in order. False when the
    // store refused the write.
    bool Save(Settings& settings, const ScoreCipher& cipher, const QString& tableKey,
              const QString& playerName) const;
    // What Save writes: "player" (unless playerName is nothing), then the
    // five entries.
    QList<Settings::Value> Values(const ScoreCipher& cipher, const QString& tableKey,
                                  const std::optional<QString>& playerName) const;

    // Inserts time (> 0) under playerName below every entry that is not
    // slower, pushing the last entry out; the index it went to, or nothing
    // (and no change) when it does not qualify.
    std::optional<int> Rank(int time, const QString& playerName);

    // The record of one entry before scrambling: "time,name", cut to 255.
    QString Record(int index) const;

private:
    using Reader = std::function<StoredValue(const QString& valueName)>;
    // One entry: nothing for a missing or empty value, else the parsed
    // record or the error.
    struct Entry {
        int time = 0;
        QString name;
        std::optional<HighscoreLoadError> error;
    };
    static std::optional<Entry> ReadEntry(const Reader& read, const ScoreCipher& cipher, const QString& tableKey,
                                          int index);
    std::optional<HighscoreLoadError> LoadWith(const Reader& read, const ScoreCipher& cipher, const QString& tableKey);
    static HighscoreTable SalvageWith(const Reader& read, const ScoreCipher& cipher, const QString& tableKey);

    std::array<QString, kHighscoreEntries> names_;
    std::array<int, kHighscoreEntries> times_{};
};

// The value that holds entry index of the table tableKey.
QString EntryValueName(const QString& tableKey, int index);

}  // namespace qg
