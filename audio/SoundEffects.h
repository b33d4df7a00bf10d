#pragma once
// The five sound effects behind PlaySound. They are compiled into the audio
// module; without a sound device (or without the module) nothing is played.

#include "audio/AudioEngine.h"

namespace qg {

// Where the effects sound. Indices are 0..kEffectCount-1.
class EffectOutput {
public:
    virtual ~EffectOutput() = default;
    virtual bool Available() const = 0;  // an output device exists
    virtual void Play(int index) = 0;    // from its start
    virtual void Stop(int index) = 0;
};

// PlaySound: effect n (1..5) if sound is on, cutting off the one still
// playing. Anything else is ignored.
class SoundEffects {
public:
    explicit SoundEffects(EffectOutput& output) : output_(output) {}
    void PlaySound(int n, bool soundOn);

private:
    EffectOutput& output_;
    int last_ = -1;  // the effect started last, which may still be playing
};

}  // namespace qg
