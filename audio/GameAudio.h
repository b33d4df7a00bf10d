#pragma once
// The game's sound: the effects behind PlaySound and the music behind
// MidiBtn, over the audio module. The module is loaded after the first
// paint, and loaded, run and closed on a thread of its own, so that neither
// its start nor a stalled sound server ever holds up the window's thread:
// every call here returns at once.

#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "audio/AudioEngine.h"
#include "audio/MusicPlayer.h"
#include "audio/SoundEffects.h"

namespace qg {

// Where the module is looked for, in order: beside the executable, then
// where it is installed (<exe dir>/../lib/quirko-gyrelle/).
QStringList AudioModuleCandidates(const QString& executableDir);

// True when one of the files is music that plays (ReadPlayableMidi): the
// MidiBtn's verdict at start-up.
bool HasMidiFile(const QStringList& paths);

// When the sound device may be set aside: the audio thread looks now and
// then, and a device found quiet at two looks in a row goes. Quiet means
// nothing to render at the look and no effect started since the one before.
class SilenceWatch {
public:
    // One look: whether the engine is idle, and how many effects were started
    // so far. True when the device is to be set aside.
    bool Look(bool idle, unsigned effectsPlayed);
    // Work was done for the device (music asked for, say): not quiet.
    void Busy() { quietLast_ = false; }

private:
    unsigned effectsAtLastLook_ = 0;
    bool quietLast_ = false;
};

class GameAudio {
public:
    explicit GameAudio(QString programDirectory) : GameAudio(MidiFilesIn(programDirectory)) {}
    // The music from wherever `music` finds it.
    explicit GameAudio(MusicLister music);
    // Closes the module on its thread, waiting a fraction of a second at
    // most: a thread stuck in the sound server is left behind.
    ~GameAudio();
    GameAudio(const GameAudio&) = delete;
    GameAudio& operator=(const GameAudio&) = delete;

    // Stand-ins for tests, handed in before StartUp. With a media player the
    // music runs at once on the caller's thread and no module is loaded.
    void UseEffectOutput(std::unique_ptr<EffectOutput> output);
    void UseMediaPlayer(std::unique_ptr<MediaPlayer> player);
    // Where the module is looked for (AudioModuleCandidates of the
    // executable's folder by default), or how the engine is made instead.
    void UseModuleCandidates(QStringList paths);
    void UseEngineFactory(std::function<AudioEngine*()> make);
    // How often the audio thread looks whether the device has fallen silent;
    // it is set aside after two silent looks in a row (5 s by default).
    void UseIdleLook(std::chrono::milliseconds every);

    // Music set-up at start-up: true when there is music, so MidiBtn is
    // enabled. The first file is opened (not played) once the module is there.
    bool StartUp();
    // After the first paint: loads the module and opens the device.
    void Start();

    void PlaySound(int n, bool soundOn);
    // MidiBtn pressed and released, and the timer's music step (`musicOn`:
    // MidiBtn enabled and pressed).
    void SwitchOn();
    void SwitchOff();
    void Tick(bool musicOn);
    // Whether Tick has anything to do. The module's player repeats a piece
    // by itself, so with it only a piece not yet asked to play needs a tick.
    bool MusicNeedsTicks(bool musicOn) const;

    // Effects can sound: the module is loaded and a device is open.
    bool EffectsAvailable() const;
    // Waits until the audio thread has carried out everything asked so far
    // (tests). False on timeout.
    bool WaitIdle(int milliseconds);

    struct Shared;

private:
    void Post(std::function<void(Shared&)> job);

    std::shared_ptr<Shared> s_;
    std::thread thread_;
    std::unique_ptr<EffectOutput> effectOutput_;
    std::unique_ptr<SoundEffects> effects_;
    bool inline_ = false;   // a stand-in player: everything runs on the caller's thread
    bool enabled_ = false;  // StartUp found music
    bool asked_ = false;    // a piece was asked to play since the last switch-off
};

}  // namespace qg
