#include "audio/MusicPlayer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fluidsynth.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <thread>

namespace qg {
namespace {

// Audio drivers in the order they are tried, and the period that keeps the
// render thread cheap (FluidSynth's default of 64 frames costs far more CPU).
constexpr const char* kAudioDrivers[] = {"pulseaudio", "alsa"};
constexpr int kPeriodSize = 1024;
constexpr int kPeriods = 4;
// Loud enough to sit above the effects, with head room for the fuller chords.
constexpr double kGain = 1.6;

void Quiet(int, const char*, void*) {}

// FluidSynth reports every failed device and file on stderr; the game shows
// nothing about missing audio, so keep it quiet.
void SilenceLog() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) fluid_set_log_function(level, Quiet, nullptr);
    });
}

}  // namespace

QStringList SoundFontCandidates() {
    return {"/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
            "/usr/share/sounds/sf2/default-GM.sf2"};
}

QString BestSoundFont(const QStringList& candidates) {
    for (const QString& c : candidates)
        if (QFileInfo(c).isFile()) return c;
    return {};
}

struct FluidMusicPlayer::Impl {
    Output output;
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_audio_driver_t* driver = nullptr;  // set once by the loader, under `lock`
    std::thread loader;

    // Everything below is guarded by `lock`, which the render callback holds
    // for every block it renders.
    mutable std::mutex lock;
    bool ready = false;
    fluid_player_t* player = nullptr;
    QByteArray file;  // the open file's bytes; empty when nothing is open
    MusicMode mode = MusicMode::Stopped;

    static int Callback(void* data, int len, int nfx, float* fx[], int nout, float* out[]) {
        auto* self = static_cast<Impl*>(data);
        std::lock_guard guard(self->lock);
        return self->RenderLocked(len, nfx, fx, nout, out);
    }

    int RenderLocked(int len, int nfx, float* fx[], int nout, float* out[]) {
        for (int i = 0; i < nout; ++i) std::memset(out[i], 0, sizeof(float) * static_cast<std::size_t>(len));
        for (int i = 0; i < nfx; ++i) std::memset(fx[i], 0, sizeof(float) * static_cast<std::size_t>(len));
        // Paused or stopped: silence, and the synthesiser's clock stands still.
        if (!ready || mode != MusicMode::Playing) return FLUID_OK;
        if (nfx == 0) {
            // No separate effect buffers: mix reverb and chorus into the dry sound.
            float* fxb[4] = {out[0], out[nout > 1 ? 1 : 0], out[0], out[nout > 1 ? 1 : 0]};
            return fluid_synth_process(synth, len, 4, fxb, nout, out);
        }
        return fluid_synth_process(synth, len, nfx, fx, nout, out);
    }

    // With `lock` held: a fresh player for the open file, at its start.
    void NewPlayerLocked() {
        DeletePlayerLocked();
        if (file.isEmpty()) return;
        player = new_fluid_player(synth);
        if (player && fluid_player_add_mem(player, file.constData(), static_cast<size_t>(file.size())) != FLUID_OK) {
            delete_fluid_player(player);
            player = nullptr;
        }
    }

    void DeletePlayerLocked() {
        if (!player) return;
        fluid_player_stop(player);
        delete_fluid_player(player);
        player = nullptr;
        // Nothing of the old piece may sound into the next one.
        fluid_synth_system_reset(synth);
    }

    // With `lock` held: start the open file from its start.
    void StartLocked() {
        mode = MusicMode::Playing;
        if (!ready) return;  // starts once the font is loaded
        NewPlayerLocked();
        if (player) fluid_player_play(player);
    }

    bool Load(const QString& soundFont) {
        // Without a sound card there is nothing to hear: the font's memory
        // and loading time are saved, and the music stays silent.
        if (output == Output::Device && !OpenDevice()) return false;
        const QByteArray path = QFile::encodeName(soundFont);
        const bool loaded = !soundFont.isEmpty() && fluid_synth_sfload(synth, path.constData(), 1) != FLUID_FAILED;
        {
            std::lock_guard guard(lock);
            ready = loaded;
            // A piece asked for while loading starts now.
            if (ready && mode == MusicMode::Playing && !file.isEmpty()) StartLocked();
        }
        return loaded;
    }

    // The device renders silence until the font is loaded.
    bool OpenDevice() {
        for (const char* name : kAudioDrivers) {
            fluid_settings_setstr(settings, "audio.driver", name);
            // Not under the lock: the device's thread starts rendering at once.
            fluid_audio_driver_t* opened = new_fluid_audio_driver2(settings, &Impl::Callback, this);
            if (opened) {
                std::lock_guard guard(lock);
                driver = opened;
                return true;
            }
        }
        return false;
    }
};

FluidMusicPlayer::FluidMusicPlayer(Output output) : d_(std::make_unique<Impl>()) {
    SilenceLog();
    d_->output = output;
    d_->settings = new_fluid_settings();
    fluid_settings_setnum(d_->settings, "synth.sample-rate", kSampleRate);
    fluid_settings_setnum(d_->settings, "synth.gain", kGain);
    fluid_settings_setint(d_->settings, "audio.period-size", kPeriodSize);
    fluid_settings_setint(d_->settings, "audio.periods", kPeriods);
    // The player must follow the rendered samples, so that a pause (rendering
    // nothing) also holds the piece.
    fluid_settings_setstr(d_->settings, "player.timing-source", "sample");
    fluid_settings_setint(d_->settings, "synth.lock-memory", 0);
    d_->synth = new_fluid_synth(d_->settings);
}

FluidMusicPlayer::~FluidMusicPlayer() {
    if (d_->loader.joinable()) d_->loader.join();
    // The device first: its thread takes the lock for every block it renders.
    if (d_->driver) delete_fluid_audio_driver(d_->driver);
    {
        std::lock_guard guard(d_->lock);
        d_->DeletePlayerLocked();
    }
    if (d_->synth) delete_fluid_synth(d_->synth);
    if (d_->settings) delete_fluid_settings(d_->settings);
}

void FluidMusicPlayer::StartLoading(const QString& soundFont) {
    if (d_->loader.joinable() || !d_->synth) return;
    d_->loader = std::thread([this, soundFont] { d_->Load(soundFont); });
}

bool FluidMusicPlayer::LoadNow(const QString& soundFont) {
    if (d_->loader.joinable() || !d_->synth) return false;
    return d_->Load(soundFont);
}

bool FluidMusicPlayer::Ready() const {
    std::lock_guard guard(d_->lock);
    return d_->ready;
}

bool FluidMusicPlayer::HasAudioDevice() const {
    std::lock_guard guard(d_->lock);
    return d_->driver != nullptr;
}

void FluidMusicPlayer::Render(float* left, float* right, int frames) {
    float* out[2] = {left, right};
    std::lock_guard guard(d_->lock);
    d_->RenderLocked(frames, 0, nullptr, 2, out);
}

bool FluidMusicPlayer::Open(const QString& path) {
    Close();
    // fluid_player_add takes any file, so make sure it is MIDI first.
    const QByteArray name = QFile::encodeName(path);
    if (!QFileInfo(path).isFile() || !fluid_is_midifile(name.constData())) return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    QByteArray bytes = f.readAll();
    if (bytes.size() < 14) return false;
    std::lock_guard guard(d_->lock);
    d_->file = std::move(bytes);
    d_->mode = MusicMode::Stopped;
    return true;
}

void FluidMusicPlayer::Play() {
    std::lock_guard guard(d_->lock);
    if (d_->file.isEmpty()) return;
    if (d_->mode == MusicMode::Paused) {
        d_->mode = MusicMode::Playing;
        return;
    }
    const bool finished = d_->player && fluid_player_get_status(d_->player) == FLUID_PLAYER_DONE;
    if (d_->mode == MusicMode::Playing && (!d_->ready || (d_->player && !finished))) return;
    d_->StartLocked();
}

void FluidMusicPlayer::Stop() {
    std::lock_guard guard(d_->lock);
    d_->mode = MusicMode::Stopped;
    if (d_->ready) d_->DeletePlayerLocked();
}

void FluidMusicPlayer::Pause() {
    std::lock_guard guard(d_->lock);
    if (d_->mode == MusicMode::Playing) d_->mode = MusicMode::Paused;
}

void FluidMusicPlayer::Resume() {
    std::lock_guard guard(d_->lock);
    if (d_->mode == MusicMode::Paused) d_->mode = MusicMode::Playing;
}

MusicMode FluidMusicPlayer::Mode() const {
    std::lock_guard guard(d_->lock);
    // A finished piece reads as stopped; the synthesiser still renders its last echo.
    if (d_->mode == MusicMode::Playing && d_->ready &&
        (!d_->player || fluid_player_get_status(d_->player) == FLUID_PLAYER_DONE))
        return MusicMode::Stopped;
    return d_->mode;
}

void FluidMusicPlayer::Close() {
    std::lock_guard guard(d_->lock);
    if (d_->ready) d_->DeletePlayerLocked();
    d_->file.clear();
    d_->mode = MusicMode::Stopped;
}

QStringList ListMidiFiles(const QString& directory) {
    QDir dir(directory);
    dir.setNameFilters({"*.mid"});
    dir.setFilter(QDir::Files | QDir::Hidden | QDir::System);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    return dir.entryList();
}

MidiCycler::MidiCycler(MediaPlayer& player, QString programDirectory)
    : player_(player), directory_(std::move(programDirectory)) {}

QString MidiCycler::CurrentFile() const { return open_ ? files_.value(current_) : QString(); }

// Opens the first file that opens, starting at `first`; every file gets one
// chance. With `relistOnWrap` the directory is searched again when the walk
// runs past the last file, as a fresh search from the first would.
bool MidiCycler::OpenFrom(int first, bool relistOnWrap) {
    open_ = false;
    int index = first;
    for (int tried = 0;; ++tried) {
        if (index >= files_.size()) {
            if (relistOnWrap) files_ = ListMidiFiles(directory_);
            index = 0;
        }
        if (tried >= files_.size()) return false;
        if (player_.Open(QDir(directory_).filePath(files_[index]))) {
            current_ = index;
            open_ = true;
            return true;
        }
        ++index;
    }
}

bool MidiCycler::StartUp() {
    files_ = ListMidiFiles(directory_);
    current_ = -1;
    return OpenFrom(0, false);
}

void MidiCycler::SwitchOn() {
    player_.Stop();
    player_.Close();
    if (OpenFrom(current_ + 1, true)) player_.Play();
}

void MidiCycler::SwitchOff() {
    // Switching off never starts anything: only a playing piece is paused.
    if (player_.Mode() == MusicMode::Playing) player_.Pause();
}

void MidiCycler::Tick(bool musicOn) {
    if (musicOn && open_ && player_.Mode() != MusicMode::Playing) player_.Play();
}

}  // namespace qg
