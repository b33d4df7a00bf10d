#pragma once
// What the audio module offers the game: one sound device whose own thread
// renders the music and mixes in one effect voice. The module links SDL2 and
// FluidSynth; the game opens it with QLibrary after the first paint and sees
// only this interface, which uses nothing but the standard library.

#include <cstdint>

namespace qg {

enum class MusicMode { Stopped, Playing, Paused };

// The effects behind PlaySound, addressed 0..kEffectCount-1.
inline constexpr int kEffectCount = 5;

class AudioEngine {
public:
    virtual ~AudioEngine() = default;

    // Opens the sound device and starts its thread. False when there is no
    // device. May wait on a stalled sound server: never call it on the
    // window's thread.
    virtual bool OpenDevice() = 0;
    // Stops the device's thread and closes it; may wait like OpenDevice.
    virtual void CloseDevice() = 0;
    virtual bool HasDevice() const = 0;
    // An open device wakes the process hundreds of times a second even when
    // it plays nothing, so it is set aside while all is silent: Suspend
    // closes the device (OpenDevice opens it again), Running tells whether
    // it is open, and Idle whether there is nothing to render (no music
    // playing, no effect sounding). Running and Idle are safe on any thread.
    virtual void Suspend() = 0;
    virtual bool Running() const = 0;
    virtual bool Idle() const = 0;

    // Loads a SoundFont, its samples only as presets need them. Slow: call it
    // off the window's thread. Until then the music renders silence.
    virtual bool LoadSoundFont(const char* path) = 0;
    virtual bool SoundFontLoaded() const = 0;

    // Effect `index` (0..4) from its start, cutting off the one still
    // sounding. Returns at once; safe on any thread.
    virtual void PlayEffect(int index) = 0;
    // Stops effect `index` if it is the one sounding.
    virtual void StopEffect(int index) = 0;

    // The music: one MIDI file open at a time. Open reads and checks the
    // file (a size limit, it must parse and hold a note), so call it off the
    // window's thread; false leaves nothing open. A playing piece starts
    // again from its start when it ends. Pausing renders silence and holds
    // the piece where it is.
    virtual bool Open(const char* path) = 0;
    virtual void Play() = 0;  // stopped: from the start; paused: goes on
    virtual void Stop() = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    virtual MusicMode Mode() const = 0;
    virtual void Close() = 0;

    // Renders `frames` interleaved stereo frames as the device would; for
    // use without a device (tests).
    virtual void Render(float* stereo, int frames) = 0;
};

// The module's one exported function: a new engine with no device open yet.
// The caller owns it and deletes it.
using CreateAudioEngineFunction = AudioEngine* (*)();
inline constexpr const char* kCreateAudioEngineSymbol = "qg_create_audio_engine";
// The module's file name, beside the executable or in <exe dir>/../lib/quirko-gyrelle/.
inline constexpr const char* kAudioModuleFile = "quirko-gyrelle-audio.so";

}  // namespace qg
