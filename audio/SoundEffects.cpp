#include "audio/SoundEffects.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

// The resources live in a static library; this pulls them in and registers them.
static void InitSoundResources() { Q_INIT_RESOURCE(sounds); }

namespace qg {

void RegisterSoundResources() {
    static const bool done = (InitSoundResources(), true);
    (void)done;
}

void SoundEffects::PlaySound(int n, bool soundOn) {
    if (!soundOn || n < 1 || n > kEffectCount || !output_.Available()) return;
    if (last_ >= 0) output_.Stop(last_);
    last_ = n - 1;
    output_.Play(last_);
}

QtEffectOutput::QtEffectOutput(QObject* parent) : QObject(parent) {
    RegisterSoundResources();
    available_ = !QMediaDevices::audioOutputs().isEmpty();
    if (!available_) return;
    for (int i = 0; i < kEffectCount; ++i) {
        auto* effect = new QSoundEffect(this);
        effect->setSource(QUrl(QString("qrc") + kEffectResourceDir + kEffectFiles[i]));
        effect->setVolume(static_cast<float>(kVolume));
        effects_[static_cast<std::size_t>(i)] = effect;
    }
}

QtEffectOutput::~QtEffectOutput() = default;

void QtEffectOutput::Play(int index) {
    if (index < 0 || index >= kEffectCount || !effects_[static_cast<std::size_t>(index)]) return;
    QSoundEffect* e = effects_[static_cast<std::size_t>(index)];
    e->stop();  // a repeat starts again from the beginning
    e->play();
}

void QtEffectOutput::Stop(int index) {
    if (index < 0 || index >= kEffectCount || !effects_[static_cast<std::size_t>(index)]) return;
    effects_[static_cast<std::size_t>(index)]->stop();
}

}  // namespace qg
