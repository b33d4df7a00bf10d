#include "highscores/HighscoreTable.h"

#include <QList>
#include <QPair>

#include "settings/Settings.h"

namespace qg {

QString CutRecord(const QString& record) {
    if (record.size() <= kRecordLimit) return record;
    qsizetype keep = kRecordLimit;
    if (record[keep - 1].isHighSurrogate()) --keep;
    return record.left(keep);
}

QString ReadPlayerName(const Settings& settings) {
    return settings.ReadString(kHighscoreSection, kPlayerValue, QString::fromLatin1(kEmptyName));
}

QString EntryValueName(const QString& tableKey, int index) { return tableKey + QString::number(index); }

HighscoreTable::HighscoreTable() { Clear(); }

void HighscoreTable::Clear() {
    names_.fill(QString::fromLatin1(kEmptyName));
    times_.fill(0);
}

std::optional<HighscoreLoadError> HighscoreTable::Load(const Settings& settings, const ScoreCipher& cipher,
                                                       const QString& tableKey) {
    HighscoreTable loaded;
    for (int i = 0; i < kHighscoreEntries; ++i) {
        const QString valueName = EntryValueName(tableKey, i);
        const QString record = cipher.Decode(CutRecord(settings.ReadString(kHighscoreSection, valueName, QString())));
        if (record.isEmpty()) continue;
        const qsizetype comma = record.indexOf(',');
        const std::optional<int> time = comma < 0 ? std::nullopt : ParseWholeNumber(record.left(comma));
        if (!time) return HighscoreLoadError{valueName, i, record};
        loaded.times_[static_cast<std::size_t>(i)] = *time;
        loaded.names_[static_cast<std::size_t>(i)] = record.mid(comma + 1);
    }
    *this = loaded;
    return std::nullopt;
}

QString HighscoreTable::Record(int index) const {
    return CutRecord(QString::number(Time(index)) + ',' + Name(index));
}

bool HighscoreTable::Save(Settings& settings, const ScoreCipher& cipher, const QString& tableKey,
                          const QString& playerName) const {
    QList<QPair<QString, QString>> values;
    values.append({QString::fromLatin1(kPlayerValue), playerName});
    for (int i = 0; i < kHighscoreEntries; ++i) values.append({EntryValueName(tableKey, i), cipher.Encode(Record(i))});
    return settings.WriteStrings(kHighscoreSection, values);
}

std::optional<int> HighscoreTable::Rank(int time, const QString& playerName) {
    // 0 marks an empty slot; no solve takes no time.
    if (time <= 0) return std::nullopt;
    int at = 0;
    // An equal time does not give way: the older entry stays above.
    while (at < kHighscoreEntries && times_[static_cast<std::size_t>(at)] != 0 &&
           times_[static_cast<std::size_t>(at)] <= time)
        ++at;
    if (at == kHighscoreEntries) return std::nullopt;
    for (int i = kHighscoreEntries - 1; i > at; --i) {
        names_[static_cast<std::size_t>(i)] = names_[static_cast<std::size_t>(i - 1)];
        times_[static_cast<std::size_t>(i)] = times_[static_cast<std::size_t>(i - 1)];
    }
    names_[static_cast<std::size_t>(at)] = playerName;
    times_[static_cast<std::size_t>(at)] = time;
    return at;
}

}  // namespace qg
