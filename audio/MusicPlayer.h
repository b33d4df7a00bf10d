#pragma once
// Background music: the media player operations (the `Midi` player of the
// main window) and the logic behind MidiBtn that walks through the MIDI files
// of the program directory.

#include <QString>
#include <QStringList>

#include "audio/AudioEngine.h"

namespace qg {

// The operations the music logic needs from a media player. One file at most
// is open at a time.
class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;
    // Opens a MIDI file without playing it. False when it is missing or not a
    // MIDI file that plays notes; nothing is open then.
    virtual bool Open(const QString& path) = 0;
    // Stopped or finished: plays from the start. Paused: goes on. Playing: nothing.
    virtual void Play() = 0;
    virtual void Stop() = 0;
    virtual void Pause() = 0;   // only while playing; held notes are kept
    virtual void Resume() = 0;  // only while paused
    // A piece that has played to its end reads as Stopped, unless the player
    // starts it again by itself.
    virtual MusicMode Mode() const = 0;
    virtual void Close() = 0;
};

// The General MIDI SoundFonts to try, best first.
QStringList SoundFontCandidates();
// The first candidate that exists, or an empty string.
QString BestSoundFont(const QStringList& candidates = SoundFontCandidates());

// The MIDI files of a directory ("*.mid", any attributes, upper or lower
// case) in name order, which is the order the music walks through them.
QStringList ListMidiFiles(const QString& directory);

// What MidiBtn does with the player: the first file is opened (not played)
// at start-up; every switch-on stops and closes the player, moves on to the
// next file (after the last, the directory is searched again from the first)
// and plays it; a switch-off pauses; every timer tick starts the open piece
// again if it is not playing, so a finished piece repeats from its start.
// A file that cannot be opened is skipped for the next one; when none can be
// opened, nothing plays.
// The MIDI files to play, full paths in play order.
using MusicLister = std::function<QStringList()>;
// The MIDI files of one directory, in name order ignoring case.
MusicLister MidiFilesIn(const QString& directory);

class MidiCycler {
public:
    MidiCycler(MediaPlayer& player, MusicLister list);
    MidiCycler(MediaPlayer& player, const QString& directory) : MidiCycler(player, MidiFilesIn(directory)) {}

    // Opens the first file that opens. False when there is none: the music
    // button is disabled for the whole run.
    bool StartUp();
    void SwitchOn();
    void SwitchOff();
    // One timer tick; `musicOn` is MidiBtn enabled and pressed.
    void Tick(bool musicOn);

    QString CurrentFile() const;  // the open file's name, or empty
    const MusicLister& Lister() const { return list_; }

private:
    bool OpenFrom(int first, bool relistOnWrap);

    MediaPlayer& player_;
    MusicLister list_;
    QStringList files_;
    int current_ = -1;  // index into files_ of the open file
    bool open_ = false;
};

}  // namespace qg
