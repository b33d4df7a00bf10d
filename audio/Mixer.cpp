#include "audio/Mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

#include "audio/EffectWaves.h"
#include "audio/MidiCheck.h"

namespace qg {
namespace {

// Loud enough to sit above the effects; the pieces' fuller chords still
// peak below the limiter's knee.
constexpr double kMusicGain = 1.2;

}  // namespace

struct Mixer::Impl {
    CreateMusicSynthFunction makeMusic = nullptr;
    std::unique_ptr<MusicSynth> synth;  // made by the first LoadSoundFont
    std::vector<std::vector<float>> effects;

    // Everything below is guarded by `lock`, which Render holds for every block.
    mutable std::mutex lock;
    bool ready = false;  // the SoundFont is loaded; until then the synthesiser is left alone
    std::vector<std::uint8_t> file;  // the open file's bytes; empty when nothing is open
    std::uint16_t defaultChannels = 0;  // its channels that play before choosing an instrument
    MusicMode mode = MusicMode::Stopped;
    int voice = -1;  // the effect sounding, or -1
    std::size_t at = 0;  // its next sample
    float duck = 1.0f;  // the music's share now, kMusicUnderEffect..1

    // With `lock` held: the open file from its start.
    void StartLocked() {
        mode = MusicMode::Playing;
        if (!ready) return;  // starts once the font is loaded
        if (file.empty()) synth->Stop();
        else synth->Start(file.data(), file.size(), defaultChannels);
    }
};

Mixer::Mixer(std::vector<std::vector<float>> effects, CreateMusicSynthFunction music) : d_(std::make_unique<Impl>()) {
    d_->makeMusic = music;
    d_->effects = std::move(effects);
}

Mixer::~Mixer() = default;

void Mixer::Render(float* stereo, int frames) {
    std::lock_guard guard(d_->lock);
    std::memset(stereo, 0, sizeof(float) * 2 * static_cast<std::size_t>(frames));
    // Paused or stopped: silence, and the synthesiser's clock stands still.
    if (d_->ready && d_->mode == MusicMode::Playing) d_->synth->Render(stereo, frames);
    DuckMusic(stereo, frames);
    if (d_->voice >= 0) {
        const std::vector<float>& e = d_->effects[static_cast<std::size_t>(d_->voice)];
        const std::size_t n = std::min(static_cast<std::size_t>(frames), e.size() - d_->at);
        for (std::size_t i = 0; i < n; ++i) {
            const float s = e[d_->at + i] * kEffectGain;
            stereo[2 * i] += s;
            stereo[2 * i + 1] += s;
        }
        d_->at += n;
        if (d_->at >= e.size()) d_->voice = -1;
    }
    for (int i = 0; i < 2 * frames; ++i) {
        const float a = std::abs(stereo[i]);
        if (a <= kKnee) continue;
        // Bent towards full scale, which it never reaches: no clipping, and
        // nothing below the knee is touched.
        const float over = (a - kKnee) / (1.0f - kKnee);
        stereo[i] = std::copysign(std::min(kKnee + (1.0f - kKnee) * over / (1.0f + over), kCeiling), stereo[i]);
    }
}

// With `lock` held: the music's share glides towards kMusicUnderEffect while
// an effect sounds and back to full after it, one step per frame.
void Mixer::DuckMusic(float* stereo, int frames) {
    static const float down = 1.0f - std::exp(-1.0f / (kDuckAttackSeconds * kSampleRate));
    static const float up = 1.0f - std::exp(-1.0f / (kDuckReleaseSeconds * kSampleRate));
    const std::size_t left = d_->voice >= 0 ? d_->effects[static_cast<std::size_t>(d_->voice)].size() - d_->at : 0;
    float duck = d_->duck;
    for (int i = 0; i < frames; ++i) {
        const bool sounding = static_cast<std::size_t>(i) < left;
        duck += sounding ? (kMusicUnderEffect - duck) * down : (1.0f - duck) * up;
        stereo[2 * i] *= duck;
        stereo[2 * i + 1] *= duck;
    }
    d_->duck = duck;
}

void Mixer::PlayEffect(int index) {
    if (index < 0 || index >= static_cast<int>(d_->effects.size()) || d_->effects[static_cast<std::size_t>(index)].empty())
        return;
    std::lock_guard guard(d_->lock);
    d_->voice = index;
    d_->at = 0;
}

void Mixer::StopEffect(int index) {
    std::lock_guard guard(d_->lock);
    if (d_->voice == index) d_->voice = -1;
}

bool Mixer::LoadSoundFont(const std::string& path) {
    if (SoundFontLoaded()) return true;
    // Not under the lock: the render leaves the synthesiser alone until `ready`.
    if (!d_->synth && d_->makeMusic) d_->synth.reset(d_->makeMusic(kSampleRate, kMusicGain));
    if (!d_->synth) return false;
    const bool loaded = !path.empty() && d_->synth->LoadSoundFont(path.c_str());
    std::lock_guard guard(d_->lock);
    d_->ready = loaded;
    // A piece asked for while loading starts now.
    if (loaded && d_->mode == MusicMode::Playing && !d_->file.empty()) d_->StartLocked();
    return loaded;
}

bool Mixer::SoundFontLoaded() const {
    std::lock_guard guard(d_->lock);
    return d_->ready;
}

bool Mixer::Open(const std::string& path) {
    Close();
    // Read and checked outside the lock: the render goes on meanwhile.
    std::optional<std::vector<std::uint8_t>> bytes = ReadPlayableMidi(path);
    if (!bytes) return false;
    const std::uint16_t defaults = ChannelsOnDefaultProgram(bytes->data(), bytes->size());
    std::lock_guard guard(d_->lock);
    d_->file = std::move(*bytes);
    d_->defaultChannels = defaults;
    d_->mode = MusicMode::Stopped;
    return true;
}

void Mixer::Play() {
    std::lock_guard guard(d_->lock);
    if (d_->file.empty()) return;
    if (d_->mode == MusicMode::Paused) {
        d_->mode = MusicMode::Playing;
        return;
    }
    if (d_->mode == MusicMode::Playing && (!d_->ready || d_->synth->Playing())) return;
    d_->StartLocked();
}

void Mixer::Stop() {
    std::lock_guard guard(d_->lock);
    d_->mode = MusicMode::Stopped;
    if (d_->ready) d_->synth->Stop();
}

void Mixer::Pause() {
    std::lock_guard guard(d_->lock);
    if (d_->mode == MusicMode::Playing) d_->mode = MusicMode::Paused;
}

void Mixer::Resume() {
    std::lock_guard guard(d_->lock);
    if (d_->mode == MusicMode::Paused) d_->mode = MusicMode::Playing;
}

MusicMode Mixer::Mode() const {
    std::lock_guard guard(d_->lock);
    // A piece that could not be played reads as stopped.
    if (d_->mode == MusicMode::Playing && d_->ready && !d_->synth->Playing())
        return MusicMode::Stopped;
    return d_->mode;
}

void Mixer::Close() {
    std::lock_guard guard(d_->lock);
    if (d_->ready) d_->synth->Stop();
    d_->file.clear();
    d_->mode = MusicMode::Stopped;
}

bool Mixer::Idle() const {
    std::lock_guard guard(d_->lock);
    return d_->voice < 0 && (d_->mode != MusicMode::Playing || d_->file.empty());
}

std::vector<std::vector<float>> DecodedEffects() {
    std::vector<std::vector<float>> out;
    for (int i = 0; i < kEffectCount; ++i) {
        Wav w = DecodeWav(EffectWave(i));
        // Mono at the device's rate is what the voice plays; anything else stays silent.
        if (w.channels != 1 || w.rate != Mixer::kSampleRate) w.samples.clear();
        out.push_back(std::move(w.samples));
    }
    return out;
}

}  // namespace qg
