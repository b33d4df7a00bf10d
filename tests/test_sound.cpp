// The sound effects and the music buttons: PlaySound through a recording
// output, the five effects read back from what the audio module carries,
// and SoundBtn and MidiBtn in the main window, with recording stand-ins for
// the sound card and with no sound device at all.

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/EffectWaves.h"
#include "audio/GameAudio.h"
#include "tests/ShellFixture.h"
#include "tests/StderrCapture.h"

namespace qg {
namespace {

class RecordingOutput : public EffectOutput {
public:
    bool Available() const override { return available; }
    void Play(int index) override { Add("play" + std::to_string(index)); }
    void Stop(int index) override { Add("stop" + std::to_string(index)); }
    void Add(const std::string& s) { trace += (trace.empty() ? "" : " ") + s; }

    bool available = true;
    std::string trace;
};

TEST(PlaySound, PlaysTheEffectOfItsNumberOnlyWhileSoundIsOn) {
    struct Call {
        int n;
        bool soundOn;
    };
    struct Case {
        const char* what;
        bool device;
        std::vector<Call> calls;
        const char* trace;
    };
    const Case cases[] = {
        {"sound off: every move is silent", true, {{1, false}, {4, false}, {5, false}}, ""},
        {"each number plays its own effect", true, {{1, true}}, "play0"},
        {"a PELLORA move", true, {{2, true}}, "play1"},
        {"a CIRRELA move", true, {{5, true}}, "play4"},
        {"a new effect cuts off the one before", true, {{4, true}, {1, true}}, "play3 stop3 play0"},
        {"the same effect again starts anew", true, {{3, true}, {3, true}}, "play2 stop2 play2"},
        {"switching off does not stop an effect that plays", true, {{4, true}, {4, false}}, "play3"},
        {"switching on again cuts off the last one", true, {{4, true}, {4, false}, {2, true}}, "play3 stop3 play1"},
        {"numbers outside 1..5 play nothing", true, {{0, true}, {6, true}, {-1, true}}, ""},
        {"no audio device: nothing at all", false, {{1, true}, {2, true}}, ""},
    };
    for (const Case& c : cases) {
        RecordingOutput out;
        out.available = c.device;
        SoundEffects effects(out);
        for (const Call& call : c.calls) effects.PlaySound(call.n, call.soundOn);
        EXPECT_EQ(out.trace, c.trace) << c.what;
    }
}

struct Wav {
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<double> samples;  // -1..1
};

std::uint32_t Le(const QByteArray& b, int at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(b[at + i]);
    return v;
}

// Reads a RIFF WAV, walking its chunks.
Wav ReadWav(const QByteArray& b) {
    Wav w;
    if (b.size() < 12 || b.left(4) != "RIFF" || b.mid(8, 4) != "WAVE") return w;
    for (int at = 12; at + 8 <= b.size();) {
        const QByteArray id = b.mid(at, 4);
        const int size = static_cast<int>(Le(b, at + 4, 4));
        const int body = at + 8;
        if (id == "fmt ") {
            w.format = static_cast<int>(Le(b, body, 2));
            w.channels = static_cast<int>(Le(b, body + 2, 2));
            w.rate = static_cast<int>(Le(b, body + 4, 4));
            w.bits = static_cast<int>(Le(b, body + 14, 2));
        } else if (id == "data" && w.bits == 16) {
            for (int i = body; i + 1 < body + size && i + 1 < b.size(); i += 2)
                w.samples.push_back(static_cast<std::int16_t>(Le(b, i, 2)) / 32768.0);
        }
        at = body + size + (size & 1);
    }
    return w;
}

TEST(SoundResources, EveryEffectIsAShortCleanWaveAtItsLevel) {
    std::vector<std::vector<double>> all;
    for (int i = 0; i < kEffectCount; ++i) {
        const std::span<const std::uint8_t> bytes = EffectWave(i);
        const Wav w = ReadWav(QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
        SCOPED_TRACE(kEffectFiles[i]);
        EXPECT_EQ(w.format, 1);  // PCM
        EXPECT_EQ(w.channels, 1);
        EXPECT_EQ(w.rate, 44100);
        EXPECT_EQ(w.bits, 16);
        ASSERT_FALSE(w.samples.empty());

        const double ms = 1000.0 * static_cast<double>(w.samples.size()) / 44100.0;
        const bool fanfare = i == 0;
        EXPECT_GE(ms, 60.0);
        EXPECT_LE(ms, fanfare ? 1500.0 : 400.0);

        double peak = 0;
        for (double s : w.samples) peak = std::max(peak, std::abs(s));
        const double peakDb = 20 * std::log10(peak);
        EXPECT_NEAR(peakDb, -3.0, 0.5);

        // Faded in and out: silent at both edges, and the first and last
        // millisecond stay well under the peak, so nothing clicks.
        EXPECT_LT(std::abs(w.samples.front()), 0.001);
        EXPECT_LT(std::abs(w.samples.back()), 0.001);
        const std::size_t oneMs = 44;
        double edge = 0;
        for (std::size_t k = 0; k < oneMs; ++k)
            edge = std::max({edge, std::abs(w.samples[k]), std::abs(w.samples[w.samples.size() - 1 - k])});
        EXPECT_LT(edge, 0.5 * peak);
        all.push_back(w.samples);
    }
    // Five different sounds, not one copied five times.
    for (std::size_t a = 0; a < all.size(); ++a)
        for (std::size_t b = a + 1; b < all.size(); ++b) EXPECT_NE(all[a], all[b]) << a << " " << b;
}

// ---------------------------------------------------------------------------
// Through the main window.

constexpr int kHubX = 105, kHubY = 105;  // TORVANE's first plate: a move

class SharedOutput : public EffectOutput {
public:
    explicit SharedOutput(RecordingOutput& to) : to_(to) {}
    bool Available() const override { return to_.Available(); }
    void Play(int index) override { to_.Play(index); }
    void Stop(int index) override { to_.Stop(index); }

private:
    RecordingOutput& to_;
};

class RecordingPlayer : public MediaPlayer {
public:
    bool Open(const QString& path) override {
        Add("open " + QFileInfo(path).fileName().toStdString());
        return true;
    }
    void Play() override { Add("play"), mode = MusicMode::Playing; }
    void Stop() override { Add("stop"), mode = MusicMode::Stopped; }
    void Pause() override { Add("pause"), mode = MusicMode::Paused; }
    void Resume() override { Add("resume"), mode = MusicMode::Playing; }
    MusicMode Mode() const override { return mode; }
    void Close() override { Add("close"), mode = MusicMode::Stopped; }
    void Add(const std::string& s) { (*trace) += ((*trace).empty() ? "" : ", ") + s; }

    MusicMode mode = MusicMode::Stopped;
    std::string* trace = nullptr;
};

class ShellAudio : public ::testing::Test {
protected:
    // The window over `dir`, with the sound card replaced by recorders.
    void Open(const QString& dir) {
        form = std::make_unique<TMainForm>(dir, &windows);
        auto player = std::make_unique<RecordingPlayer>();
        player->trace = &music;
        form->UseMediaPlayer(std::move(player));
        form->UseEffectOutput(std::make_unique<SharedOutput>(effects));
        ASSERT_TRUE(form->FormCreate());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QCoreApplication::processEvents();
        form->timer().stop();
    }
    std::string TakeMusic() { return std::exchange(music, std::string()); }

    test::ConfigHome config;
    test::ScriptedWindows windows;
    RecordingOutput effects;
    std::string music;
    std::unique_ptr<TMainForm> form;
};

TEST_F(ShellAudio, MovesSoundOnlyWhileSoundBtnIsPressed) {
    Open(test::GameDir());
    ASSERT_TRUE(form->soundBtn()->isChecked());  // on by default
    test::ClickBoard(*form, kHubX, kHubY);
    EXPECT_EQ(effects.trace, "play3");  // TORVANE's move sound
    test::ClickButton(*form, "SoundBtn");
    ASSERT_FALSE(form->soundBtn()->isChecked());
    test::ClickBoard(*form, kHubX, kHubY);
    test::ClickBoard(*form, 20, 20);  // a miss is silent anyway
    EXPECT_EQ(effects.trace, "play3");
    test::ClickButton(*form, "SoundBtn");
    test::ClickBoard(*form, kHubX, kHubY, Qt::RightButton);
    EXPECT_EQ(effects.trace, "play3 stop3 play3");
    form->game().PuzzleSolved();
    EXPECT_EQ(effects.trace, "play3 stop3 play3 stop3 play0");
}

TEST_F(ShellAudio, MidiBtnWalksThroughTheMusicBesideTheGame) {
    Open(test::GameDir());
    EXPECT_TRUE(form->midiBtn()->isEnabled());
    EXPECT_EQ(TakeMusic(), "open greensleeves.mid");  // opened, not yet played
    form->TimerTimer();
    EXPECT_EQ(TakeMusic(), "play");  // music on as stored: the first tick starts it
    form->TimerTimer();
    EXPECT_EQ(TakeMusic(), "");
    test::ClickButton(*form, "MidiBtn");
    EXPECT_FALSE(form->midiBtn()->isChecked());
    EXPECT_EQ(TakeMusic(), "pause");
    form->TimerTimer();
    EXPECT_EQ(TakeMusic(), "");  // stays paused while off
    test::ClickButton(*form, "MidiBtn");
    EXPECT_EQ(TakeMusic(), "stop, close, open minuet.mid, play");
}

TEST_F(ShellAudio, NoMusicFileDisablesMidiBtnAndKeepsItsStoredState) {
    test::ProgramDir dir;  // the sheets only
    for (bool stored : {true, false}) {
        SCOPED_TRACE(stored);
        {
            Settings settings;
            ASSERT_TRUE(settings.WriteBool("common", "music", stored));
        }
        Open(dir.Dir());
        EXPECT_FALSE(form->midiBtn()->isEnabled());
        EXPECT_EQ(form->midiBtn()->isChecked(), stored);
        form->TimerTimer();
        EXPECT_EQ(TakeMusic(), "");
        windows.quitAnswer = kAnswerYes;
        form->close();
        form.reset();
        EXPECT_EQ(Settings().ReadBool("common", "music", !stored), stored);
    }
}

using test::StderrCapture;

// No sound device (SDL is pointed at a driver that does not exist): the game
// plays on in silence, both buttons work and are stored with the
// settings as usual, and stderr gets one line of ours and nothing from the
// sound libraries.
TEST(ShellWithoutSound, TheButtonsWorkTheSettingsKeepAndOneLineIsSaid) {
    test::ConfigHome config;
    test::ScriptedWindows windows;
    const char* old = std::getenv("SDL_AUDIODRIVER");
    const std::string saved = old ? old : "";
    setenv("SDL_AUDIODRIVER", "qg-no-such-driver", 1);
    StderrCapture err;
    {
        auto form = std::make_unique<TMainForm>(test::GameDir(), &windows);
        form->audio().UseModuleCandidates(AudioModuleCandidates(test::GameDir()));
        ASSERT_TRUE(form->FormCreate());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QCoreApplication::processEvents();
        form->timer().stop();
        form->TimerTimer();  // the audio set-up, after the first paint
        ASSERT_TRUE(form->audio().WaitIdle(10000));
        EXPECT_FALSE(form->audio().EffectsAvailable());
        EXPECT_TRUE(form->soundBtn()->isChecked());
        EXPECT_TRUE(form->midiBtn()->isEnabled());  // there is music, only nothing to play it on
        EXPECT_TRUE(form->midiBtn()->isChecked());
        test::ClickBoard(*form, kHubX, kHubY);  // a move, silent
        test::ClickButton(*form, "MidiBtn");
        EXPECT_FALSE(form->midiBtn()->isChecked());
        test::ClickButton(*form, "SoundBtn");
        EXPECT_FALSE(form->soundBtn()->isChecked());
        test::ClickButton(*form, "MidiBtn");
        test::ClickButton(*form, "MidiBtn");
        form->TimerTimer();
        ASSERT_TRUE(form->audio().WaitIdle(10000));
        windows.quitAnswer = kAnswerYes;
        form->close();
    }
    const std::vector<std::string> lines = err.StopLines();
    if (old) setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    else unsetenv("SDL_AUDIODRIVER");
    Settings settings;
    EXPECT_FALSE(settings.ReadBool("common", "sound", true));
    EXPECT_FALSE(settings.ReadBool("common", "music", true));
    int ours = 0;
    for (const std::string& line : lines) {
        if (line.rfind("quirko-gyrelle: no sound", 0) == 0) ++ours;
        QString l = QString::fromStdString(line).toLower();
        for (const char* chatter : {"alsa", "pulse", "sdl", "fluid", "jack"})
            EXPECT_FALSE(l.contains(chatter)) << line;
    }
    EXPECT_EQ(ours, 1);
}

}  // namespace
}  // namespace qg
