#pragma once
// The music's synthesiser as the mixer sees it. FluidSynth and the libraries
// it brings cost some megabytes of memory, and most games are played with
// the music off: the synthesiser lives in a module of its own, which the
// audio module opens only once music is first wanted. Standard library only.

#include <cstddef>
#include <cstdint>

namespace qg {

class MusicSynth {
public:
    virtual ~MusicSynth() = default;

    // Loads a SoundFont, its samples only as presets need them. Slow.
    virtual bool LoadSoundFont(const char* path) = 0;
    // Plays `size` bytes of a MIDI file from their start, over and over, in
    // place of whatever played before. The channels in `defaultChannels`
    // (bit c for channel c) begin on the default instrument; the others have
    // none until the piece chooses one. The bytes must outlive the piece.
    // False when the player refuses them; nothing plays then.
    virtual bool Start(const std::uint8_t* midi, std::size_t size, std::uint16_t defaultChannels) = 0;
    // Ends the piece and silences every voice at once; no channel keeps an
    // instrument, so the samples of the piece's instruments can go.
    virtual void Stop() = 0;
    // A piece was started and has not ended or failed.
    virtual bool Playing() const = 0;
    // Writes `frames` interleaved stereo frames; the piece moves on by as many.
    virtual void Render(float* stereo, int frames) = 0;
};

// The music module's one exported function: a synthesiser rendering at
// `sampleRate` with `gain`, or null. The caller owns it and deletes it.
using CreateMusicSynthFunction = MusicSynth* (*)(int sampleRate, double gain);
inline constexpr const char* kCreateMusicSynthSymbol = "qg_create_music_synth";
// Beside the audio module, which opens it.
inline constexpr const char* kMusicModuleFile = "quirko-gyrelle-music.so";

// FluidSynth's synthesiser; what the music module hands out.
MusicSynth* NewFluidMusic(int sampleRate, double gain);

}  // namespace qg
