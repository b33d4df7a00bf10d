#include "settings/GameSettings.h"

#include <cstring>

namespace qg {

namespace {

constexpr char kSection[] = "common";

struct Key {
    const char* name;
    int defaultValue;
};
// The shell's settings and their defaults, in the order they are written;
// the puzzles' options (named and defaulted by their records) follow the
// first. Sound and music are 1 or 0.
enum KeyIndex { kGameIndex, kSound, kMusic, kLanguage };
constexpr Key kKeys[] = {
    {"mode", 0},
    {"sound", 1},
    {"music", 1},
    {"tongue", -1},
};

}  // namespace

const char* const GameSettings::kPlaceSection = "Common";
const char* const GameSettings::kPlaceName = "MainForm";

GameSettings::GameSettings(Settings& store, std::span<const PuzzleRecord> puzzles) : store_(store) {
    auto add = [this](const char* name, int defaultValue) { entries_.append({name, defaultValue, defaultValue, {}, {}}); };
    add(kKeys[kGameIndex].name, kKeys[kGameIndex].defaultValue);
    for (const PuzzleRecord& r : puzzles)
        if (r.optionSetting) add(r.optionSetting, r.optionMin);
    for (const KeyIndex k : {kSound, kMusic, kLanguage}) add(kKeys[k].name, kKeys[k].defaultValue);
}

GameSettings::Entry& GameSettings::At(const char* name) {
    return const_cast<Entry&>(static_cast<const GameSettings&>(*this).At(name));
}

const GameSettings::Entry& GameSettings::At(const char* name) const {
    for (const Entry& e : entries_)
        if (name && std::strcmp(e.name, name) == 0) return e;
    // Only a puzzle without option has none; its option is its minimum, 0.
    static const Entry none{"", 0, 0, {}, {}};
    return none;
}

void GameSettings::Load() {
    for (Entry& e : entries_) e.value = store_.ReadInteger(kSection, e.name, e.defaultValue);
}

int GameSettings::language() const { return At(kKeys[kLanguage].name).value; }
int GameSettings::gameIndex() const { return At(kKeys[kGameIndex].name).value; }
bool GameSettings::sound() const { return At(kKeys[kSound].name).value != 0; }
bool GameSettings::music() const { return At(kKeys[kMusic].name).value != 0; }
int GameSettings::option(const PuzzleRecord& puzzle) const {
    return puzzle.optionSetting ? At(puzzle.optionSetting).value : puzzle.optionMin;
}

void GameSettings::setLanguage(int language) { At(kKeys[kLanguage].name).value = language; }
void GameSettings::setGameIndex(int gameIndex) { At(kKeys[kGameIndex].name).value = gameIndex; }
void GameSettings::setSound(bool on) { At(kKeys[kSound].name).value = on ? 1 : 0; }
void GameSettings::setMusic(bool on) { At(kKeys[kMusic].name).value = on ? 1 : 0; }
void GameSettings::setOption(const PuzzleRecord& puzzle, int option) {
    if (puzzle.optionSetting) At(puzzle.optionSetting).value = option;
}

QString GameSettings::windowPlace() const { return store_.ReadString(kPlaceSection, kPlaceName, QString()); }

void GameSettings::TakeUp() {
    for (Entry& e : entries_) {
        e.takenText = QString::number(e.value);
        e.takenFile = store_.Lookup(kSection, e.name);
    }
    takenUp_ = true;
}

bool GameSettings::Save() {
    if (!takenUp_) return true;  // a start-up that failed has nothing to keep
    struct Taken {
        QString text;
        StoredValue file;
    };
    QList<Taken> next;
    const bool saved = store_.Update([&](const Settings::Snapshot& now) {
        QList<Settings::Value> changed;
        next.clear();
        for (const Entry& e : entries_) {
            const QString text = QString::number(e.value);
            const StoredValue there = now.Lookup(kSection, e.name);
            const bool untouched = there.present == e.takenFile.present && there.text == e.takenFile.text;
            const bool write = text != e.takenText || (untouched && there.text != text);
            if (write) changed.append({kSection, e.name, text});
            next.append({text, write ? StoredValue{true, text} : there});
        }
        return changed;
    });
    if (saved && next.size() == entries_.size())
        for (qsizetype i = 0; i < entries_.size(); ++i) entries_[i].takenText = next[i].text, entries_[i].takenFile = next[i].file;
    return saved;
}

}  // namespace qg
