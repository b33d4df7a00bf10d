#pragma once
// Background music: a small media player over FluidSynth (the `Midi` player of
// the main window) and the logic behind MidiBtn that walks through the MIDI
// files of the program directory.

#include <QString>
#include <QStringList>

#include <memory>

namespace qg {

enum class MusicMode { Stopped, Playing, Paused };

// The operations the music logic needs from a media player. One file at most
// is open at a time.
class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;
    // Opens a MIDI file without playing it. False when it is missing or not a
    // MIDI file; nothing is open then.
    virtual bool Open(const QString& path) = 0;
    // Stopped or finished: plays from the start. Paused: goes on. Playing: nothing.
    virtual void Play() = 0;
    virtual void Stop() = 0;
    virtual void Pause() = 0;   // only while playing; held notes are kept
    virtual void Resume() = 0;  // only while paused
    // A piece that has played to its end reads as Stopped.
    virtual MusicMode Mode() const = 0;
    virtual void Close() = 0;
};

// The General MIDI SoundFonts to try, best first.
QStringList SoundFontCandidates();
// The first candidate that exists, or an empty string.
QString BestSoundFont(const QStringList& candidates = SoundFontCandidates());

// FluidSynth behind the MediaPlayer operations. The synthesiser renders
// through one callback under one mutex, whether an audio device pulls the
// sound or a caller renders into memory; players are created and deleted
// under the same mutex only. Pausing renders silence, so the synthesiser and
// the piece stand still and held notes sound on after Resume.
class FluidMusicPlayer : public MediaPlayer {
public:
    enum class Output {
        Device,  // the sound card, through PulseAudio or else ALSA
        Memory,  // nothing is played; Render() pulls the sound (tests)
    };
    explicit FluidMusicPlayer(Output output = Output::Device);
    ~FluidMusicPlayer() override;
    FluidMusicPlayer(const FluidMusicPlayer&) = delete;
    FluidMusicPlayer& operator=(const FluidMusicPlayer&) = delete;

    // Opens the audio device and then loads the SoundFont in a worker thread,
    // and returns at once; with no device nothing is loaded and all stays
    // silent. Until the font is loaded the operations only note what is
    // asked; a piece asked to play starts when the font is there.
    void StartLoading(const QString& soundFont);
    // The same work on the calling thread. False when the font could not be loaded.
    bool LoadNow(const QString& soundFont);
    bool Ready() const;          // the SoundFont is loaded
    bool HasAudioDevice() const;  // an audio device was opened

    // Renders `frames` stereo frames as the audio device would (Memory output).
    void Render(float* left, float* right, int frames);

    bool Open(const QString& path) override;
    void Play() override;
    void Stop() override;
    void Pause() override;
    void Resume() override;
    MusicMode Mode() const override;
    void Close() override;

    static constexpr int kSampleRate = 44100;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

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
class MidiCycler {
public:
    MidiCycler(MediaPlayer& player, QString programDirectory);

    // Opens the first file that opens. False when there is none: the music
    // button is disabled for the whole run.
    bool StartUp();
    void SwitchOn();
    void SwitchOff();
    // One timer tick; `musicOn` is MidiBtn enabled and pressed.
    void Tick(bool musicOn);

    QString CurrentFile() const;  // the open file's name, or empty

private:
    bool OpenFrom(int first, bool relistOnWrap);

    MediaPlayer& player_;
    QString directory_;
    QStringList files_;
    int current_ = -1;  // index into files_ of the open file
    bool open_ = false;
};

}  // namespace qg
