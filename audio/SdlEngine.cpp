// The Mixer behind an SDL2 sound device: the engine of the audio module.

#include <SDL.h>
#include <dlfcn.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <string>

#include "audio/AudioEngine.h"
#include "audio/Mixer.h"

namespace qg {
namespace {

// 512 frames at 44.1 kHz: an effect starts within about 12 ms of its press.
constexpr int kBufferFrames = 512;

extern "C" void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

// SDL falls back to ALSA, whose library reports every missing card on
// stderr. Its error handler is global: set it before SDL loads it.
void SilenceAlsa() {
    static std::once_flag once;
    std::call_once(once, [] {
        void* alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL);
        if (!alsa) return;
        using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
        using SetHandler = int (*)(Handler);
        if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"))) set(QuietAlsa);
        // Kept loaded: the handler must stay set while SDL uses the library.
    });
}

// The music module, from the folder this module was loaded from; it stays
// loaded. Null when it is missing or broken: the music stays silent.
MusicSynth* LoadMusicModule(int sampleRate, double gain) {
    Dl_info self{};
    if (!dladdr(reinterpret_cast<void*>(&LoadMusicModule), &self) || !self.dli_fname) return nullptr;
    std::string path = self.dli_fname;
    path.replace(path.find_last_of('/') + 1, std::string::npos, kMusicModuleFile);
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) return nullptr;
    const auto make = reinterpret_cast<CreateMusicSynthFunction>(dlsym(module, kCreateMusicSynthSymbol));
    return make ? make(sampleRate, gain) : nullptr;
}

class SdlEngine : public AudioEngine {
public:
    SdlEngine() : mixer_(DecodedEffects(), &LoadMusicModule) {}
    ~SdlEngine() override { CloseDevice(); }

    bool OpenDevice() override {
        if (device_) return true;
        if (!initialised_) {
            SilenceAlsa();
            SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Quirko Gyrelle");
            SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "Quirko Gyrelle");
            if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
                SDL_Quit();  // the hints and the error text go with it
                return false;
            }
            initialised_ = true;
        }
        SDL_AudioSpec want{};
        want.freq = Mixer::kSampleRate;
        want.format = AUDIO_F32SYS;
        want.channels = 2;
        want.samples = kBufferFrames;
        want.callback = &SdlEngine::Callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        // SDL converts when the device wants another format.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (!device_) {
            SDL_Quit();
            initialised_ = false;
            return false;
        }
        SDL_PauseAudioDevice(device_, 0);
        running_ = true;
        return true;
    }

    void CloseDevice() override {
        Suspend();
        if (!initialised_) return;
        SDL_Quit();  // SDL serves nothing else in this process
        initialised_ = false;
    }

    void Suspend() override {
        if (!device_) return;
        running_ = false;
        SDL_CloseAudioDevice(device_);  // waits for the callback to return
        device_ = 0;
    }

    bool HasDevice() const override { return initialised_; }
    bool Running() const override { return running_; }
    bool Idle() const override { return mixer_.Idle(); }
    bool LoadSoundFont(const char* path) override { return mixer_.LoadSoundFont(path ? path : ""); }
    bool SoundFontLoaded() const override { return mixer_.SoundFontLoaded(); }
    void PlayEffect(int index) override { mixer_.PlayEffect(index); }
    void StopEffect(int index) override { mixer_.StopEffect(index); }
    bool Open(const char* path) override { return path && mixer_.Open(path); }
    void Play() override { mixer_.Play(); }
    void Stop() override { mixer_.Stop(); }
    void Pause() override { mixer_.Pause(); }
    void Resume() override { mixer_.Resume(); }
    MusicMode Mode() const override { return mixer_.Mode(); }
    void Close() override { mixer_.Close(); }
    void Render(float* stereo, int frames) override { mixer_.Render(stereo, frames); }

private:
    static void Callback(void* self, Uint8* stream, int bytes) {
        static_cast<SdlEngine*>(self)->mixer_.Render(reinterpret_cast<float*>(stream),
                                                     bytes / static_cast<int>(2 * sizeof(float)));
    }

    Mixer mixer_;
    SDL_AudioDeviceID device_ = 0;
    bool initialised_ = false;  // SDL's audio is up; the device may be set aside
    std::atomic<bool> running_{false};
};

}  // namespace

AudioEngine* NewSdlEngine() { return new SdlEngine(); }

}  // namespace qg
