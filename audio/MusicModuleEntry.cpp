// The music module's one exported function. The audio module opens it when
// music is first wanted, so FluidSynth never loads in a game played without.

#include "audio/MusicSynth.h"

extern "C" __attribute__((visibility("default"))) qg::MusicSynth* qg_create_music_synth(int sampleRate, double gain) {
    return qg::NewFluidMusic(sampleRate, gain);
}
