// The audio module's one exported function. The module is opened with
// QLibrary after the game's first paint, so neither SDL nor FluidSynth loads
// before it.

#include "audio/AudioEngine.h"
#include "audio/Mixer.h"

extern "C" __attribute__((visibility("default"))) qg::AudioEngine* qg_create_audio_engine() {
    return qg::NewSdlEngine();
}
