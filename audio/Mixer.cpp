#include "audio/Mixer.h"

#include <fluidsynth.h>

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

void Quiet(int, const char*, void*) {}

}  // namespace

struct Mixer::Impl {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    std::vector<std::vector<float>> effects;

    // Everything below is guarded by `lock`, which Render holds for every block.
    mutable std::mutex lock;
    bool ready = false;  // the SoundFont is loaded; until then the synthesiser is left alone
    fluid_player_t* player = nullptr;
    std::vector<std::uint8_t> file;  // the open file's bytes; empty when nothing is open
    MusicMode mode = MusicMode::Stopped;
    int voice = -1;  // the effect sounding, or -1
    std::size_t at = 0;  // its next sample

    // With `lock` held: a fresh player for the open file, at its start. It
    // loops, so a piece repeats on the synthesiser's own clock.
    void NewPlayerLocked() {
        DeletePlayerLocked();
        if (file.empty()) return;
        player = new_fluid_player(synth);
        if (!player) return;
        if (fluid_player_add_mem(player, file.data(), file.size()) != FLUID_OK) {
            delete_fluid_player(player);
            player = nullptr;
            return;
        }
        fluid_player_set_loop(player, -1);
    }

    void DeletePlayerLocked() {
        if (!player) return;
        fluid_player_stop(player);
        delete_fluid_player(player);
        player = nullptr;
        // Nothing of the old piece may sound into the next one.
        fluid_synth_system_reset(synth);
    }

    void StartLocked() {
        mode = MusicMode::Playing;
        if (!ready) return;  // starts once the font is loaded
        NewPlayerLocked();
        if (player) fluid_player_play(player);
    }
};

Mixer::Mixer(std::vector<std::vector<float>> effects) : d_(std::make_unique<Impl>()) {
    static std::once_flag once;
    std::call_once(once, [] {
        // The game reports missing sound in one line of its own.
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, Quiet, nullptr);
    });
    d_->effects = std::move(effects);
    d_->settings = new_fluid_settings();
    fluid_settings_setnum(d_->settings, "synth.sample-rate", kSampleRate);
    fluid_settings_setnum(d_->settings, "synth.gain", kMusicGain);
    // Samples are read from the font as the pieces' presets need them: a
    // General MIDI font is large, a piece uses a handful of instruments.
    fluid_settings_setint(d_->settings, "synth.dynamic-sample-loading", 1);
    fluid_settings_setint(d_->settings, "synth.lock-memory", 0);
    // The player follows the rendered samples, so a pause (rendering nothing)
    // also holds the piece.
    fluid_settings_setstr(d_->settings, "player.timing-source", "sample");
    d_->synth = new_fluid_synth(d_->settings);
}

Mixer::~Mixer() {
    {
        std::lock_guard guard(d_->lock);
        d_->DeletePlayerLocked();
    }
    if (d_->synth) delete_fluid_synth(d_->synth);
    if (d_->settings) delete_fluid_settings(d_->settings);
}

void Mixer::Render(float* stereo, int frames) {
    std::lock_guard guard(d_->lock);
    std::memset(stereo, 0, sizeof(float) * 2 * static_cast<std::size_t>(frames));
    // Paused or stopped: silence, and the synthesiser's clock stands still.
    if (d_->ready && d_->mode == MusicMode::Playing) fluid_synth_write_float(d_->synth, frames, stereo, 0, 2, stereo, 1, 2);
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
    if (!d_->synth || SoundFontLoaded()) return SoundFontLoaded();
    // Not under the lock: the render leaves the synthesiser alone until `ready`.
    const bool loaded = !path.empty() && fluid_synth_sfload(d_->synth, path.c_str(), 1) != FLUID_FAILED;
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
    std::lock_guard guard(d_->lock);
    d_->file = std::move(*bytes);
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
    const bool finished = d_->player && fluid_player_get_status(d_->player) == FLUID_PLAYER_DONE;
    if (d_->mode == MusicMode::Playing && (!d_->ready || (d_->player && !finished))) return;
    d_->StartLocked();
}

void Mixer::Stop() {
    std::lock_guard guard(d_->lock);
    d_->mode = MusicMode::Stopped;
    if (d_->ready) d_->DeletePlayerLocked();
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
    if (d_->mode == MusicMode::Playing && d_->ready &&
        (!d_->player || fluid_player_get_status(d_->player) == FLUID_PLAYER_DONE))
        return MusicMode::Stopped;
    return d_->mode;
}

void Mixer::Close() {
    std::lock_guard guard(d_->lock);
    if (d_->ready) d_->DeletePlayerLocked();
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
