#pragma once
// The five sound effects behind PlaySound, compiled in as resources and
// played with Qt Multimedia. Without an audio output device nothing is played.

#include <QObject>

#include <array>
#include <memory>

class QSoundEffect;

namespace qg {

inline constexpr int kEffectCount = 5;
// The effects in the order PlaySound addresses them: 1 solved, 2 PELLORA,
// 3 NUBBLER, 4 TORVANE, 5 CIRRELA move.
inline constexpr const char* kEffectFiles[kEffectCount] = {"solved.wav", "lens.wav", "ratchet.wav", "clack.wav",
                                                           "marble.wav"};
inline constexpr const char* kEffectResourceDir = ":/sounds/";

// Makes the compiled-in effects reachable under kEffectResourceDir.
void RegisterSoundResources();

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

// QSoundEffect for each resource. It checks for an output device once, when
// it is made, and creates nothing when there is none.
class QtEffectOutput : public QObject, public EffectOutput {
public:
    explicit QtEffectOutput(QObject* parent = nullptr);
    ~QtEffectOutput() override;

    bool Available() const override { return available_; }
    void Play(int index) override;
    void Stop(int index) override;

    // Below the music's peaks: the effects come often and must not tire.
    static constexpr double kVolume = 0.5;

private:
    bool available_ = false;
    std::array<QSoundEffect*, kEffectCount> effects_{};
};

}  // namespace qg
