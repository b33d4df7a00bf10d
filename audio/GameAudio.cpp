#include "audio/GameAudio.h"
#include "audio/MidiCheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>


#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>

namespace qg {
namespace {

// How long the window waits at exit for the audio thread to close the device.
constexpr auto kCloseWait = std::chrono::milliseconds(300);

void SayNoSound(const QString& why) {
    std::fprintf(stderr, "quirko-gyrelle: no sound (%s)\n", qPrintable(why));
}

// Makes an engine from the first module that loads. The library stays
// loaded (QLibrary never unloads by itself): the device's thread may outlive
// everything else.
AudioEngine* LoadModule(const QStringList& candidates, QString& why) {
    why = QStringLiteral("%1 not found").arg(QString::fromLatin1(kAudioModuleFile));
    for (const QString& path : candidates) {
        if (!QFileInfo(path).isFile()) continue;
        QLibrary library(path);
        const auto make = reinterpret_cast<CreateAudioEngineFunction>(library.resolve(kCreateAudioEngineSymbol));
        if (make) return make();
        why = library.errorString();
    }
    return nullptr;
}

}  // namespace

struct GameAudio::Shared {
    std::mutex lock;
    std::condition_variable changed;
    std::deque<std::function<void(Shared&)>> jobs;  // run in order on the audio thread
    bool loading = true;  // the module and its device are not ready yet
    bool busy = false;
    bool quit = false;
    bool finished = false;

    QStringList candidates;
    std::function<AudioEngine*()> factory;
    std::chrono::milliseconds idleLook{5000};
    std::atomic<AudioEngine*> engine{nullptr};  // set once its device is open; for the effects
    std::atomic<unsigned> effectsPlayed{0};     // counts every effect started
    AudioEngine* made = nullptr;                // the audio thread's own view of it

    std::unique_ptr<MediaPlayer> player;  // the music's player: the engine's, or a stand-in
    std::unique_ptr<MidiCycler> cycler;

    // The audio thread: loads, opens, carries out the jobs, closes.
    static void Run(std::shared_ptr<Shared> s) {
        QString why = QStringLiteral("no sound device");
        AudioEngine* e = s->factory ? s->factory() : LoadModule(s->candidates, why);
        if (e && e->OpenDevice()) {
            s->made = e;
            s->engine = e;
        } else {
            SayNoSound(e ? QStringLiteral("no sound device") : why);
            delete e;
            e = nullptr;
        }
        std::unique_lock guard(s->lock);
        s->loading = false;
        s->changed.notify_all();
        SilenceWatch watch;
        for (;;) {
            auto ready = [&] { return s->quit || !s->jobs.empty(); };
            // While the device runs, a look now and then: one that has been
            // silent for two looks in a row is set aside.
            if (e && e->Running()) s->changed.wait_for(guard, s->idleLook, ready);
            else s->changed.wait(guard, ready);
            if (s->quit) break;
            if (s->jobs.empty()) {
                if (watch.Look(e->Idle(), s->effectsPlayed)) {
                    guard.unlock();
                    e->Suspend();
                    // An effect that came meanwhile found the device still running.
                    if (!e->Idle()) e->OpenDevice();
                    guard.lock();
                }
                continue;
            }
            auto job = std::move(s->jobs.front());
            s->jobs.pop_front();
            s->busy = true;
            guard.unlock();
            job(*s);
            // Something to play on a device set aside: open it again.
            if (e && !e->Running() && !e->Idle()) e->OpenDevice();
            guard.lock();
            watch.Busy();
            s->busy = false;
            s->changed.notify_all();
        }
        guard.unlock();
        if (e) {
            s->engine = nullptr;
            s->made = nullptr;
            e->CloseDevice();
            delete e;
        }
        guard.lock();
        s->finished = true;
        s->changed.notify_all();
    }
};

namespace {

// The module's music, as MidiCycler drives it; used on the audio thread only.
class EnginePlayer : public MediaPlayer {
public:
    explicit EnginePlayer(GameAudio::Shared& s) : s_(s) {}
    bool Open(const QString& path) override { return s_.made && s_.made->Open(QFile::encodeName(path).constData()); }
    void Play() override {
        if (!s_.made) return;
        // The SoundFont only once music is wanted: it costs time and memory.
        if (!s_.made->SoundFontLoaded()) s_.made->LoadSoundFont(QFile::encodeName(BestSoundFont()).constData());
        s_.made->Play();
    }
    void Stop() override {
        if (s_.made) s_.made->Stop();
    }
    void Pause() override {
        if (s_.made) s_.made->Pause();
    }
    void Resume() override {
        if (s_.made) s_.made->Resume();
    }
    MusicMode Mode() const override { return s_.made ? s_.made->Mode() : MusicMode::Stopped; }
    void Close() override {
        if (s_.made) s_.made->Close();
    }

private:
    GameAudio::Shared& s_;
};

// The effects go straight to the engine: it only marks the voice, so this
// never waits for the audio thread.
class EngineEffects : public EffectOutput {
public:
    explicit EngineEffects(std::shared_ptr<GameAudio::Shared> s) : s_(std::move(s)) {}
    bool Available() const override { return s_->engine.load() != nullptr; }
    void Play(int index) override {
        AudioEngine* e = s_->engine.load();
        if (!e) return;
        e->PlayEffect(index);
        ++s_->effectsPlayed;
        // A device set aside is opened again by the audio thread.
        if (!e->Running()) {
            std::lock_guard guard(s_->lock);
            s_->jobs.push_back([](GameAudio::Shared&) {});
            s_->changed.notify_all();
        }
    }
    void Stop(int index) override {
        if (AudioEngine* e = s_->engine.load()) e->StopEffect(index);
    }

private:
    std::shared_ptr<GameAudio::Shared> s_;
};

}  // namespace

bool SilenceWatch::Look(bool idle, unsigned effectsPlayed) {
    // Idle at this look, and no effect started since the last one: short
    // effects between the looks of a game in play keep the device.
    const bool quiet = idle && effectsPlayed == effectsAtLastLook_;
    effectsAtLastLook_ = effectsPlayed;
    const bool setAside = quiet && quietLast_;
    quietLast_ = quiet && !setAside;
    return setAside;
}

QStringList AudioModuleCandidates(const QString& executableDir) {
    const QDir dir(executableDir);
    return {QDir::cleanPath(dir.filePath(kAudioModuleFile)),
            QDir::cleanPath(dir.filePath(QStringLiteral("../lib/quirko-gyrelle/") + kAudioModuleFile))};
}

bool HasMidiFile(const QStringList& paths) {
    // The same check the music makes before it plays a file: a valid header
    // over a junk body would otherwise enable a button that plays nothing.
    // The search stops at the first playable file, most often the first.
    for (const QString& name : paths)
        if (ReadPlayableMidi(QFile::encodeName(name).toStdString())) return true;
    return false;
}

GameAudio::GameAudio(MusicLister music) : s_(std::make_shared<Shared>()) {
    if (QCoreApplication::instance()) s_->candidates = AudioModuleCandidates(QCoreApplication::applicationDirPath());
    s_->player = std::make_unique<EnginePlayer>(*s_);
    s_->cycler = std::make_unique<MidiCycler>(*s_->player, std::move(music));
    effectOutput_ = std::make_unique<EngineEffects>(s_);
    effects_ = std::make_unique<SoundEffects>(*effectOutput_);
}

GameAudio::~GameAudio() {
    if (!thread_.joinable()) return;
    std::unique_lock guard(s_->lock);
    s_->quit = true;
    s_->changed.notify_all();
    const bool closed = s_->changed.wait_for(guard, kCloseWait, [&] { return s_->finished; });
    guard.unlock();
    if (closed) thread_.join();
    else thread_.detach();  // it holds its own share of the state
}

void GameAudio::UseEffectOutput(std::unique_ptr<EffectOutput> output) {
    effects_.reset();
    effectOutput_ = std::move(output);
    effects_ = std::make_unique<SoundEffects>(*effectOutput_);
}

void GameAudio::UseMediaPlayer(std::unique_ptr<MediaPlayer> player) {
    MusicLister music = s_->cycler->Lister();
    inline_ = true;
    s_->cycler.reset();
    s_->player = std::move(player);
    s_->cycler = std::make_unique<MidiCycler>(*s_->player, std::move(music));
}

void GameAudio::UseModuleCandidates(QStringList paths) { s_->candidates = std::move(paths); }

void GameAudio::UseEngineFactory(std::function<AudioEngine*()> make) { s_->factory = std::move(make); }

void GameAudio::UseIdleLook(std::chrono::milliseconds every) { s_->idleLook = every; }

bool GameAudio::StartUp() {
    if (inline_) return enabled_ = s_->cycler->StartUp();
    enabled_ = HasMidiFile(s_->cycler->Lister()());
    if (enabled_) Post([](Shared& s) { s.cycler->StartUp(); });
    return enabled_;
}

void GameAudio::Start() {
    if (inline_ || thread_.joinable()) return;
    thread_ = std::thread(&Shared::Run, s_);
}

void GameAudio::PlaySound(int n, bool soundOn) { effects_->PlaySound(n, soundOn); }

void GameAudio::SwitchOn() {
    asked_ = true;
    Post([](Shared& s) { s.cycler->SwitchOn(); });
}

void GameAudio::SwitchOff() {
    asked_ = false;
    Post([](Shared& s) { s.cycler->SwitchOff(); });
}

void GameAudio::Tick(bool musicOn) {
    if (!MusicNeedsTicks(musicOn)) return;
    asked_ = true;
    Post([](Shared& s) { s.cycler->Tick(true); });
}

bool GameAudio::MusicNeedsTicks(bool musicOn) const { return enabled_ && musicOn && (inline_ || !asked_); }

bool GameAudio::EffectsAvailable() const { return effectOutput_->Available(); }

bool GameAudio::WaitIdle(int milliseconds) {
    if (inline_) return true;
    std::unique_lock guard(s_->lock);
    return s_->changed.wait_for(guard, std::chrono::milliseconds(milliseconds),
                                [&] { return s_->finished || (!s_->loading && s_->jobs.empty() && !s_->busy); });
}

void GameAudio::Post(std::function<void(Shared&)> job) {
    if (inline_) {
        job(*s_);
        return;
    }
    std::lock_guard guard(s_->lock);
    s_->jobs.push_back(std::move(job));
    s_->changed.notify_all();
}

}  // namespace qg
