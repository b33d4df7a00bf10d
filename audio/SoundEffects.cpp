#include "audio/SoundEffects.h"

namespace qg {

void SoundEffects::PlaySound(int n, bool soundOn) {
    if (!soundOn || n < 1 || n > kEffectCount || !output_.Available()) return;
    if (last_ >= 0) output_.Stop(last_);
    last_ = n - 1;
    output_.Play(last_);
}

}  // namespace qg
