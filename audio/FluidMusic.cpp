// FluidSynth behind MusicSynth: the music module's synthesiser.

#include <fluidsynth.h>

#include <mutex>

#include "audio/MusicSynth.h"

namespace qg {
namespace {

void Quiet(int, const char*, void*) {}

constexpr int kChannels = 16;
constexpr int kResetAllControllers = 121;

class FluidMusic : public MusicSynth {
public:
    FluidMusic(int sampleRate, double gain) {
        static std::once_flag once;
        std::call_once(once, [] {
            // The game reports missing sound in one line of its own.
            for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
                fluid_set_log_function(level, Quiet, nullptr);
        });
        settings_ = new_fluid_settings();
        if (!settings_) return;
        fluid_settings_setnum(settings_, "synth.sample-rate", sampleRate);
        fluid_settings_setnum(settings_, "synth.gain", gain);
        // Samples are read from the font as the pieces' presets need them: a
        // General MIDI font is large, a piece uses a handful of instruments.
        fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
        fluid_settings_setint(settings_, "synth.lock-memory", 0);
        // The pieces are chamber music: 64 voices are plenty, and each
        // voice not kept saves its share of the synthesiser's memory.
        fluid_settings_setint(settings_, "synth.polyphony", 64);
        // The player follows the rendered samples, so a pause (rendering
        // nothing) also holds the piece.
        fluid_settings_setstr(settings_, "player.timing-source", "sample");
        // A piece that starts again keeps its instruments: FluidSynth's reset
        // there would read their samples anew, in the middle of the device's
        // callback, and the sound would stall for up to a tenth of a second.
        fluid_settings_setint(settings_, "player.reset-synth", 0);
        synth_ = new_fluid_synth(settings_);
    }
    ~FluidMusic() override {
        Stop();
        if (synth_) delete_fluid_synth(synth_);
        if (settings_) delete_fluid_settings(settings_);
    }
    FluidMusic(const FluidMusic&) = delete;
    FluidMusic& operator=(const FluidMusic&) = delete;

    bool Valid() const { return synth_ != nullptr; }

    // With dynamic sample loading an instrument's samples are read when a
    // channel chooses it and go when no channel has it. FluidSynth's own
    // reset gives every channel the piano and one the drums, which few
    // pieces play (some 15 MB of samples): so no channel has an instrument
    // until a piece needs it.
    bool LoadSoundFont(const char* path) override {
        return path && *path && fluid_synth_sfload(synth_, path, 0) != FLUID_FAILED;
    }

    bool Start(const std::uint8_t* midi, std::size_t size, std::uint16_t defaultChannels) override {
        Stop();
        for (int channel = 0; channel < kChannels; ++channel)
            if (defaultChannels & (1u << channel)) fluid_synth_program_change(synth_, channel, 0);
        player_ = new_fluid_player(synth_);
        if (!player_) return false;
        if (fluid_player_add_mem(player_, midi, size) != FLUID_OK) {
            delete_fluid_player(player_);
            player_ = nullptr;
            return false;
        }
        // It loops, so a piece repeats on the synthesiser's own clock.
        fluid_player_set_loop(player_, -1);
        fluid_player_play(player_);
        return true;
    }

    void Stop() override {
        if (player_) {
            fluid_player_stop(player_);
            delete_fluid_player(player_);
            player_ = nullptr;
        }
        // Nothing of the old piece may sound into the next one: every voice
        // off, every controller and bank back to its start, no instruments.
        fluid_synth_all_sounds_off(synth_, -1);
        for (int channel = 0; channel < kChannels; ++channel) {
            fluid_synth_cc(synth_, channel, kResetAllControllers, 0);
            fluid_synth_bank_select(synth_, channel, 0);
            fluid_synth_unset_program(synth_, channel);
        }
    }

    bool Playing() const override { return player_ && fluid_player_get_status(player_) != FLUID_PLAYER_DONE; }

    void Render(float* stereo, int frames) override { fluid_synth_write_float(synth_, frames, stereo, 0, 2, stereo, 1, 2); }

private:
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    fluid_player_t* player_ = nullptr;
};

}  // namespace

MusicSynth* NewFluidMusic(int sampleRate, double gain) {
    auto* music = new FluidMusic(sampleRate, gain);
    if (music->Valid()) return music;
    delete music;
    return nullptr;
}

}  // namespace qg
