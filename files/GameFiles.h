#pragma once
// Where the game finds its files.
//
// The program directory is the first place: the folder of the executable, so
// the game runs straight from the build. When the sheets are not there, the
// installed data folder is used, found relative to the executable
// (`<exe dir>/../share/quirko-gyrelle/`, from `bin/` or `games/`), so an
// installed tree still works after it is moved as a whole. Music comes from
// that folder and from the player's own music folder.

#include <QString>
#include <QStringList>

namespace qg {

// The installed data folder of an executable in `executableDir`, cleaned,
// ending in '/'.
QString InstalledDataDirectory(const QString& executableDir);

// The folder the game reads its sheets and help file from, ending in '/':
// the first of the executable's folder and the installed data folder that
// holds all four sheets. When neither does, the first that holds any sheet,
// else the executable's folder, so that the start-up error names a file in
// the folder the game was meant to use.
QString FindProgramDirectory(const QString& executableDir);

// The player's own music folder, ending in '/':
// `$XDG_DATA_HOME/quirko-gyrelle/music/`, without XDG_DATA_HOME (or with a
// relative one) `~/.local/share/quirko-gyrelle/music/`.
QString UserMusicDirectory();

// Creates the player's music folder if it is missing; true when it exists.
// The game runs without it.
bool MakeUserMusicDirectory();

// The MIDI files ("*.mid", upper or lower case, hidden ones too) of all
// `folders`, as full paths in one list in name order, ignoring upper and
// lower case; names equal but for case follow each other in their exact
// order. A name found in two folders counts once: the later folder's file
// wins, so the player's folder, given last, can replace a piece. Missing
// folders are skipped.
QStringList ListMusicFiles(const QStringList& folders);

// The music of the game: the MIDI files of the program directory and of the
// player's music folder (made on this first use), merged as above.
QStringList GameMusicFiles(const QString& programDirectory);

}  // namespace qg
