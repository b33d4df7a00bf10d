#pragma once
// The game's own settings in the store, one accessor each: the puzzle shown
// last, each puzzle's option, sound, music, the language and the window's
// place. Every name and its default is declared once, in GameSettings.cpp
// (the options' in the puzzles' records); nobody else spells them.
//
// A run takes its settings up at the start and writes at the close only
// what it changed since (and what the file lacks, or holds otherwise where
// nobody else changed it), into the file as it is then, so that two games
// running at once keep each other's changes.

#include <QList>
#include <QString>

#include <span>

#include "core/PuzzleRecord.h"
#include "settings/Settings.h"

namespace qg {

class GameSettings {
public:
    // The puzzles in toolbar order: those with an option keep it here too.
    GameSettings(Settings& store, std::span<const PuzzleRecord> puzzles);

    // Reads every value from the store; the missing and the unreadable give
    // their defaults.
    void Load();

    int language() const;  // -1 until one is chosen
    int gameIndex() const;
    bool sound() const;
    bool music() const;
    // The option of a puzzle that has one.
    int option(const PuzzleRecord& puzzle) const;

    void setLanguage(int language);
    void setGameIndex(int gameIndex);
    void setSound(bool on);
    void setMusic(bool on);
    void setOption(const PuzzleRecord& puzzle, int option);

    // The window's place as stored (empty when none), and where it is kept
    // for the window's own keeper, which reads and writes it as the window
    // comes and goes.
    QString windowPlace() const;
    static const char* const kPlaceSection;
    static const char* const kPlaceName;

    // The values as set now are what this run took up.
    void TakeUp();
    // Writes, in one replacement, each value set now that differs from what
    // the run took up, and each that the file lacks or holds otherwise when
    // no one else has changed it there since. Nothing before TakeUp. False
    // when the store refused the write.
    bool Save();

private:
    struct Entry {
        const char* name;
        int defaultValue;
        int value;
        // As taken up (or last written): the run's text, and the file's.
        QString takenText;
        StoredValue takenFile;
    };
    Entry& At(const char* name);
    const Entry& At(const char* name) const;

    Settings& store_;
    QList<Entry> entries_;  // in the order they are written
    bool takenUp_ = false;
};

}  // namespace qg
