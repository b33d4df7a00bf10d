#include "highscores/HighscoreTable.h"


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

std::optional<int> ParseRecordTime(const QString& text) {
    if (text.isEmpty() || text.size() > 6 || (text.size() > 1 && text[0] == '0')) return std::nullopt;
    int value = 0;
    for (const QChar c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
    }
    if (value > kLongestTime) return std::nullopt;
    return value;
}

std::optional<HighscoreTable::Entry> HighscoreTable::ReadEntry(const Reader& read, const ScoreCipher& cipher,
                                                               const QString& tableKey, int index) {
    const QString valueName = EntryValueName(tableKey, index);
    const StoredValue stored = read(valueName);
    if (!stored.present) return std::nullopt;
    if (!stored.text || stored.joinsLines)
        return Entry{0, QString(), HighscoreLoadError{valueName, index, stored.text.value_or(QString()), stored.joinsLines}};
    const QString record = cipher.Decode(CutRecord(*stored.text));
    if (record.isEmpty()) return std::nullopt;
    const qsizetype comma = record.indexOf(',');
    const std::optional<int> time = comma < 0 ? std::nullopt : ParseRecordTime(record.left(comma));
    if (!time) return Entry{0, QString(), HighscoreLoadError{valueName, index, record}};
    return Entry{*time, record.mid(comma + 1), std::nullopt};
}

std::optional<HighscoreLoadError> HighscoreTable::LoadWith(const Reader& read, const ScoreCipher& cipher,
                                                           const QString& tableKey) {
    HighscoreTable loaded;
    for (int i = 0; i < kHighscoreEntries; ++i) {
        const std::optional<Entry> entry = ReadEntry(read, cipher, tableKey, i);
        if (!entry) continue;
        if (entry->error) return entry->error;
        loaded.times_[static_cast<std::size_t>(i)] = entry->time;
        loaded.names_[static_cast<std::size_t>(i)] = entry->name;
    }
    *this = loaded;
    return std::nullopt;
}

std::optional<HighscoreLoadError> HighscoreTable::Load(const Settings& settings, const ScoreCipher& cipher,
                                                       const QString& tableKey) {
    return LoadWith([&](const QString& name) { return settings.Lookup(kHighscoreSection, name, Commas::AreText); },
                    cipher, tableKey);
}

std::optional<HighscoreLoadError> HighscoreTable::Load(const Settings::Snapshot& stored, const ScoreCipher& cipher,
                                                       const QString& tableKey) {
    return LoadWith([&](const QString& name) { return stored.Lookup(kHighscoreSection, name, Commas::AreText); },
                    cipher, tableKey);
}

HighscoreTable HighscoreTable::Salvage(const Settings& settings, const ScoreCipher& cipher, const QString& tableKey) {
    return SalvageWith([&](const QString& name) { return settings.Lookup(kHighscoreSection, name, Commas::AreText); },
                       cipher, tableKey);
}

HighscoreTable HighscoreTable::Salvage(const Settings::Snapshot& stored, const ScoreCipher& cipher,
                                       const QString& tableKey) {
    return SalvageWith([&](const QString& name) { return stored.Lookup(kHighscoreSection, name, Commas::AreText); },
                       cipher, tableKey);
}

HighscoreTable HighscoreTable::SalvageWith(const Reader& read, const ScoreCipher& cipher, const QString& tableKey) {
    HighscoreTable kept;
    std::size_t next = 0;
    for (int i = 0; i < kHighscoreEntries; ++i) {
        const std::optional<Entry> entry = ReadEntry(read, cipher, tableKey, i);
        if (!entry || entry->error || entry->time == 0) continue;
        kept.times_[next] = entry->time, kept.names_[next] = entry->name;
        ++next;
    }
    return kept;
}

QString HighscoreTable::Record(int index) const {
    return CutRecord(QString::number(Time(index)) + ',' + Name(index));
}

bool HighscoreTable::Save(Settings& settings, const ScoreCipher& cipher, const QString& tableKey,
                          const QString& playerName) const {
    return settings.WriteValues(Values(cipher, tableKey, playerName));
}

QList<Settings::Value> HighscoreTable::Values(const ScoreCipher& cipher, const QString& tableKey,
                                              const std::optional<QString>& playerName) const {
    const QString section = QString::fromLatin1(kHighscoreSection);
    QList<Settings::Value> values;
    if (playerName) values.append({section, QString::fromLatin1(kPlayerValue), *playerName});
    for (int i = 0; i < kHighscoreEntries; ++i)
        values.append({section, EntryValueName(tableKey, i), cipher.Encode(Record(i))});
    return values;
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
