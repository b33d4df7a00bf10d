#pragma once
// What the sound device's thread renders: the music's synthesiser and one
// effect voice, mixed into interleaved stereo floats. Every member the render
// uses is guarded by one mutex, which Render holds for each block; pieces are
// started and ended under it only, so nothing goes away while it renders.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/AudioEngine.h"
#include "audio/MusicSynth.h"

namespace qg {

class Mixer {
public:
    static constexpr int kSampleRate = 44100;
    // Below the music's peaks: the effects come often and must not tire.
    static constexpr float kEffectGain = 0.5f;
    // The effects share the music's middle range, where a full chord masks
    // them: while one sounds the music steps back to this share, gliding
    // down in kDuckAttackSeconds and up again in kDuckReleaseSeconds.
    static constexpr float kMusicUnderEffect = 0.5f;
    static constexpr float kDuckAttackSeconds = 0.005f;
    static constexpr float kDuckReleaseSeconds = 0.08f;
    // Above this the sum is bent softly towards, but never reaching, full scale.
    static constexpr float kKnee = 0.9f;
    static constexpr float kCeiling = 0.999f;

    // `effects` are mono at kSampleRate, -1..1. `music` makes the
    // synthesiser when a SoundFont is first loaded; without it all is silent
    // but the effects.
    explicit Mixer(std::vector<std::vector<float>> effects, CreateMusicSynthFunction music = nullptr);
    ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    void Render(float* stereo, int frames);

    void PlayEffect(int index);
    void StopEffect(int index);

    bool LoadSoundFont(const std::string& path);
    bool SoundFontLoaded() const;

    bool Open(const std::string& path);
    void Play();
    void Stop();
    void Pause();
    void Resume();
    MusicMode Mode() const;
    void Close();

    // Nothing to render: no music playing or waiting for its font, no effect sounding.
    bool Idle() const;

private:
    void DuckMusic(float* stereo, int frames);

    struct Impl;
    std::unique_ptr<Impl> d_;
};

// The five compiled-in effects, decoded.
std::vector<std::vector<float>> DecodedEffects();

// A Mixer behind SDL2's default sound device, with the compiled-in effects;
// the audio module hands it out.
AudioEngine* NewSdlEngine();

}  // namespace qg
