// The audio layer without a sound card: MidiBtn's walk through the MIDI files
// with a recording player, the mixer (music and the effect voice) rendering
// into memory, the check of MIDI files, and the game's side of the audio
// module with no device, a stalled one and SDL's dummy device.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/EffectWaves.h"
#include "audio/GameAudio.h"
#include "audio/MidiCheck.h"
#include "audio/Mixer.h"
#include "audio/MusicPlayer.h"
#include "tests/StderrCapture.h"

namespace qg {
namespace {

// ---------------------------------------------------------------------------
// The cycling logic against a player that records what it is asked.

class RecordingPlayer : public MediaPlayer {
public:
    bool Open(const QString& path) override {
        QFile f(path);
        const bool midi = f.open(QIODevice::ReadOnly) && f.read(4) == "MThd";
        Add("open " + QDir(path).dirName().toStdString() + (midi ? "" : " (refused)"));
        mode = MusicMode::Stopped;
        return midi;
    }
    void Play() override {
        Add("play");
        mode = MusicMode::Playing;
    }
    void Stop() override {
        Add("stop");
        mode = MusicMode::Stopped;
    }
    void Pause() override {
        Add("pause");
        if (mode == MusicMode::Playing) mode = MusicMode::Paused;
    }
    void Resume() override {
        Add("resume");
        if (mode == MusicMode::Paused) mode = MusicMode::Playing;
    }
    MusicMode Mode() const override { return mode; }
    void Close() override {
        Add("close");
        mode = MusicMode::Stopped;
    }

    void Add(const std::string& s) { trace += (trace.empty() ? "" : ", ") + s; }
    std::string Take() { return std::exchange(trace, std::string()); }

    MusicMode mode = MusicMode::Stopped;
    std::string trace;
};

struct Step {
    enum Kind { On, Off, TickOn, TickOff, PieceEnds } kind;
    const char* trace;  // what the player is asked
};

struct Scenario {
    const char* what;
    std::vector<std::pair<const char*, bool>> files;  // name, is MIDI
    bool enabled;          // StartUp's verdict: MidiBtn enabled
    const char* startUp;   // what start-up asks of the player
    std::vector<Step> steps;
};

void Write(const QString& path, bool midi) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(midi ? QByteArray("MThd\0\0\0\x06\0\0\0\x01\0\x60", 14) : QByteArray("just some text\n"));
}

TEST(MidiCycler, WalksThroughTheFilesInNameOrder) {
    using S = Step;
    const Scenario scenarios[] = {
        {"no file: the button is disabled and nothing plays",
         {}, false, "", {{S::TickOn, ""}}},
        {"one file: it repeats, and off then on starts it again from its start",
         {{"a.mid", true}},
         true,
         "open a.mid",
         {{S::TickOn, "play"},
          {S::TickOn, ""},
          {S::PieceEnds, ""},
          {S::TickOn, "play"},
          {S::Off, "pause"},
          {S::TickOff, ""},
          {S::On, "stop, close, open a.mid, play"}}},
        {"two files: start-up opens the first, each switch-on moves on and wraps",
         {{"b.mid", true}, {"a.mid", true}},
         true,
         "open a.mid",
         {{S::TickOn, "play"},
          {S::Off, "pause"},
          {S::On, "stop, close, open b.mid, play"},
          {S::Off, "pause"},
          {S::On, "stop, close, open a.mid, play"}}},
        {"three files, music off at start: the first switch-on skips the opened one",
         {{"c.mid", true}, {"A.mid", true}, {"b.mid", true}, {"notes.txt", true}},
         true,
         "open A.mid",
         {{S::TickOff, ""},
          {S::On, "stop, close, open b.mid, play"},
          {S::Off, "pause"},
          {S::On, "stop, close, open c.mid, play"},
          {S::Off, "pause"},
          {S::On, "stop, close, open A.mid, play"},
          {S::Off, "pause"},
          {S::On, "stop, close, open b.mid, play"}}},
        {"a file that is not MIDI is skipped for the next one",
         {{"a.mid", true}, {"b.mid", false}, {"c.mid", true}},
         true,
         "open a.mid",
         {{S::On, "stop, close, open b.mid (refused), open c.mid, play"},
          {S::On, "stop, close, open a.mid, play"}}},
        {"a first file that is not MIDI: start-up opens the next",
         {{"a.mid", false}, {"b.mid", true}},
         true,
         "open a.mid (refused), open b.mid",
         {{S::TickOn, "play"}, {S::On, "stop, close, open a.mid (refused), open b.mid, play"}}},
        {"no file opens: the button is disabled and nothing plays",
         {{"a.mid", false}, {"b.mid", false}},
         false,
         "open a.mid (refused), open b.mid (refused)",
         {{S::TickOn, ""}}},
        {"switching off a piece that has ended leaves it alone",
         {{"a.mid", true}},
         true,
         "open a.mid",
         {{S::TickOn, "play"}, {S::PieceEnds, ""}, {S::Off, ""}, {S::TickOff, ""}}},
    };
    for (const Scenario& sc : scenarios) {
        SCOPED_TRACE(sc.what);
        QTemporaryDir dir;
        for (const auto& [name, midi] : sc.files) Write(dir.filePath(name), midi);
        RecordingPlayer player;
        MidiCycler cycler(player, dir.path());
        EXPECT_EQ(cycler.StartUp(), sc.enabled);
        EXPECT_EQ(player.Take(), sc.startUp);
        int n = 0;
        for (const Step& step : sc.steps) {
            switch (step.kind) {
            case Step::On: cycler.SwitchOn(); break;
            case Step::Off: cycler.SwitchOff(); break;
            case Step::TickOn: cycler.Tick(true); break;
            case Step::TickOff: cycler.Tick(false); break;
            case Step::PieceEnds: player.mode = MusicMode::Stopped; break;
            }
            EXPECT_EQ(player.Take(), step.trace) << "step " << n;
            ++n;
        }
    }
}

TEST(MidiCycler, FindsFilesAddedBeforeTheWalkWrapsAround) {
    QTemporaryDir dir;
    Write(dir.filePath("b.mid"), true);
    RecordingPlayer player;
    MidiCycler cycler(player, dir.path());
    ASSERT_TRUE(cycler.StartUp());
    Write(dir.filePath("a.mid"), true);
    player.Take();
    cycler.SwitchOn();  // past the last file: a fresh search from the first
    EXPECT_EQ(player.Take(), "stop, close, open a.mid, play");
    EXPECT_EQ(cycler.CurrentFile(), "a.mid");
}

// ---------------------------------------------------------------------------
// The mixer, rendering into memory.

constexpr int kRate = Mixer::kSampleRate;
constexpr int kBlock = 512;  // the device's buffer

QString SmallFont() {
    // The small font keeps these tests quick; the real choice is tested below.
    QStringList c = SoundFontCandidates();
    std::reverse(c.begin(), c.end());
    return BestSoundFont(c);
}

std::string Font(const QString& f) { return QFile::encodeName(f).toStdString(); }

struct Level {
    double rms = 0, peak = 0;
};

Level Measure(const std::vector<float>& s) {
    double sum = 0, peak = 0;
    for (float v : s) {
        sum += static_cast<double>(v) * v;
        peak = std::max(peak, static_cast<double>(std::abs(v)));
    }
    return {s.empty() ? 0 : std::sqrt(sum / static_cast<double>(s.size())), peak};
}

// Renders `seconds` of interleaved stereo in device-sized blocks.
std::vector<float> Take(Mixer& m, double seconds) {
    const long frames = static_cast<long>(seconds * kRate);
    std::vector<float> out(static_cast<std::size_t>(frames) * 2);
    for (long done = 0; done < frames; done += kBlock)
        m.Render(out.data() + 2 * done, static_cast<int>(std::min<long>(kBlock, frames - done)));
    return out;
}

Level Listen(Mixer& m, double seconds) { return Measure(Take(m, seconds)); }

// A MIDI file of one held note, `ms` long, then `restMs` of nothing before
// its end, written by hand: on `channel`, after choosing the piano there
// unless `chooses` is false.
void WriteOneNote(const QString& path, int ms, int restMs = 0, int channel = 0, bool chooses = true) {
    auto varLen = [](int v) {
        QByteArray b;
        b += static_cast<char>(v & 0x7F);
        while (v >>= 7) b.prepend(static_cast<char>(0x80 | (v & 0x7F)));
        return b;
    };
    QByteArray track;
    const char ch = static_cast<char>(channel);
    if (chooses) track += QByteArray("\x00\xC0\x00", 3).replace(1, 1, QByteArray(1, static_cast<char>(0xC0 | ch)));  // piano
    track += QByteArray("\x00\x90\x45\x64", 4).replace(1, 1, QByteArray(1, static_cast<char>(0x90 | ch)));  // A4 on
    track += varLen(ms * 96 / 500);  // 96 per quarter at 120 bpm
    track += QByteArray("\x80\x45\x40", 3).replace(0, 1, QByteArray(1, static_cast<char>(0x80 | ch)));  // A4 off
    track += varLen(restMs * 96 / 500);
    track += QByteArray("\xFF\x2F\x00", 3);      // end of track
    QByteArray file("MThd\0\0\0\x06\0\0\0\x01\0\x60", 14);
    file += "MTrk";
    const int size = static_cast<int>(track.size());
    for (int shift : {24, 16, 8, 0}) file += static_cast<char>(size >> shift);
    file += track;
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(file);
}

constexpr double kHeard = 0.002;  // RMS well above FluidSynth's noise floor of 0

class MixerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        note = dir.filePath("note.mid");
        WriteOneNote(note, 2000);
    }
    bool LoadFont() {
        if (SmallFont().isEmpty()) return false;
        return mixer.LoadSoundFont(Font(SmallFont()));
    }
    std::string Note() const { return note.toStdString(); }

    QTemporaryDir dir;
    QString note;
    std::vector<std::vector<float>> effects = DecodedEffects();
    Mixer mixer{effects, NewFluidMusic};
};

#define NEED_FONT()                                                                   \
    do {                                                                              \
        if (SmallFont().isEmpty()) GTEST_SKIP() << "no General MIDI SoundFont installed"; \
        ASSERT_TRUE(LoadFont());                                                      \
    } while (0)

TEST(SoundFont, TheBestInstalledGeneralMidiFontIsChosen) {
    QTemporaryDir dir;
    const QString a = dir.filePath("a.sf2"), b = dir.filePath("b.sf2");
    for (const QString& f : {a, b}) {
        QFile file(f);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(BestSoundFont({dir.filePath("missing.sf2"), b, a}), b);
    EXPECT_EQ(BestSoundFont({dir.filePath("missing.sf2")}), QString());
    EXPECT_TRUE(SoundFontCandidates().first().endsWith("FluidR3_GM.sf2"));
    EXPECT_TRUE(SoundFontCandidates().at(1).endsWith("TimGM6mb.sf2"));
}

TEST(ShippedMusic, EveryPieceBesideTheGameSounds) {
    const QString font = BestSoundFont();
    if (font.isEmpty()) GTEST_SKIP() << "no General MIDI SoundFont installed";
    const QStringList pieces = ListMidiFiles(QG_PROGRAM_DIR);
    ASSERT_GE(pieces.size(), 3);
    Mixer mixer(DecodedEffects(), NewFluidMusic);
    ASSERT_TRUE(mixer.LoadSoundFont(Font(font)));
    for (const QString& piece : pieces) {
        SCOPED_TRACE(piece.toStdString());
        ASSERT_TRUE(mixer.Open((QString(QG_PROGRAM_DIR) + piece).toStdString()));
        mixer.Play();
        EXPECT_EQ(mixer.Mode(), MusicMode::Playing);
        const Level level = Listen(mixer, 8.0);
        EXPECT_GT(level.rms, 0.02);        // clearly audible, not just a whisper
        EXPECT_LT(level.peak, Mixer::kKnee);  // and below the limiter
        mixer.Close();
    }
}

TEST_F(MixerTest, PauseRendersSilenceAndResumeGoesOnWithTheHeldNote) {
    NEED_FONT();
    ASSERT_TRUE(mixer.Open(Note()));
    EXPECT_EQ(mixer.Mode(), MusicMode::Stopped);
    EXPECT_EQ(Listen(mixer, 0.2).peak, 0.0);  // opened, not played

    mixer.Play();
    EXPECT_GT(Listen(mixer, 0.5).rms, kHeard);
    mixer.Pause();
    EXPECT_EQ(mixer.Mode(), MusicMode::Paused);
    EXPECT_EQ(Listen(mixer, 3.0).peak, 0.0);  // exact silence, however long
    mixer.Resume();
    EXPECT_EQ(mixer.Mode(), MusicMode::Playing);
    // The note held before the pause sounds on: the 2 s note has 1.5 s left.
    EXPECT_GT(Listen(mixer, 0.5).rms, kHeard);
    EXPECT_EQ(mixer.Mode(), MusicMode::Playing);
}

TEST_F(MixerTest, APieceStartsAgainFromItsStartByItself) {
    NEED_FONT();
    const std::string shortNote = dir.filePath("short.mid").toStdString();
    WriteOneNote(QString::fromStdString(shortNote), 300, 2700);  // 3 s, the note in its first 0.3 s
    ASSERT_TRUE(mixer.Open(shortNote));
    mixer.Play();
    const Level first = Listen(mixer, 0.3);
    Listen(mixer, 2.5);
    const Level end = Listen(mixer, 0.2);    // 2.8..3.0 s: the note has died away
    const Level again = Listen(mixer, 0.3);  // 3.0..3.3 s: the piece has begun again
    EXPECT_EQ(mixer.Mode(), MusicMode::Playing);
    EXPECT_GT(first.rms, kHeard);
    EXPECT_LT(end.rms, first.rms / 10);
    EXPECT_GT(again.rms, first.rms / 2);
}

// No channel has an instrument until a piece needs one, yet a piece that
// plays before choosing one hears the default, the drums on channel 10 too,
// whatever the piece before it chose.
TEST_F(MixerTest, ChannelsThatChooseNoInstrumentPlayTheDefault) {
    NEED_FONT();
    const struct {
        const char* what;
        int channel;
        bool chooses;
    } cases[] = {{"chooses the piano", 0, true}, {"chooses nothing, after one that chose", 3, false},
                 {"chooses nothing", 0, false}, {"drums, choosing nothing", 9, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString piece = dir.filePath(QString("piece-%1-%2.mid").arg(c.channel).arg(c.chooses));
        WriteOneNote(piece, 1000, 0, c.channel, c.chooses);
        ASSERT_TRUE(mixer.Open(piece.toStdString()));
        mixer.Play();
        EXPECT_GT(Listen(mixer, 0.5).rms, kHeard);
        mixer.Stop();
        EXPECT_EQ(Listen(mixer, 0.1).peak, 0.0);
    }
}

TEST_F(MixerTest, StopAndCloseSilenceAtOnce) {
    NEED_FONT();
    struct Case {
        const char* what;
        void (Mixer::*op)();
        bool playsAgain;  // Play afterwards finds a file
    };
    const Case cases[] = {{"stop", &Mixer::Stop, true}, {"close", &Mixer::Close, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(mixer.Open(Note()));
        mixer.Play();
        EXPECT_GT(Listen(mixer, 0.3).rms, kHeard);
        (mixer.*c.op)();
        EXPECT_EQ(mixer.Mode(), MusicMode::Stopped);
        EXPECT_EQ(Listen(mixer, 0.3).peak, 0.0);
        mixer.Play();
        EXPECT_EQ(mixer.Mode(), c.playsAgain ? MusicMode::Playing : MusicMode::Stopped);
        EXPECT_EQ(Listen(mixer, 0.3).rms > kHeard, c.playsAgain);
        mixer.Close();
    }
}

TEST_F(MixerTest, APieceAskedForBeforeTheFontIsLoadedStartsWhenItIs) {
    if (SmallFont().isEmpty()) GTEST_SKIP() << "no General MIDI SoundFont installed";
    ASSERT_TRUE(mixer.Open(Note()));
    mixer.Play();
    EXPECT_EQ(mixer.Mode(), MusicMode::Playing);
    EXPECT_EQ(Listen(mixer, 0.3).peak, 0.0);  // nothing to play it with yet
    // Loaded on another thread while the device renders, as the game does.
    std::atomic<bool> loaded{false};
    std::thread loader([&] { loaded = LoadFont(); });
    while (!mixer.SoundFontLoaded() && loader.joinable()) {
        Listen(mixer, 0.01);
        if (loaded) break;
    }
    loader.join();
    ASSERT_TRUE(loaded);
    EXPECT_GT(Listen(mixer, 0.5).rms, kHeard);
}

// The effect voice: the samples of the effect, at its gain, on both channels.
std::vector<float> Expected(const std::vector<float>& effect, std::size_t from, std::size_t count) {
    std::vector<float> out;
    for (std::size_t i = from; i < from + count && i < effect.size(); ++i) {
        out.push_back(effect[i] * Mixer::kEffectGain);
        out.push_back(effect[i] * Mixer::kEffectGain);
    }
    return out;
}

std::vector<float> Slice(const std::vector<float>& stereo, std::size_t frame, std::size_t frames) {
    const std::size_t end = std::min(stereo.size(), 2 * (frame + frames));
    return {stereo.begin() + static_cast<long>(std::min(2 * frame, end)), stereo.begin() + static_cast<long>(end)};
}

TEST_F(MixerTest, EveryEffectIsThereToBePlayed) {
    for (int i = 0; i < kEffectCount; ++i) {
        SCOPED_TRACE(kEffectFiles[i]);
        EXPECT_GT(effects[static_cast<std::size_t>(i)].size(), static_cast<std::size_t>(kRate / 20));
    }
}

// While an effect sounds the music steps back, so that a full chord does not
// mask it, and comes back to full after it. Two mixers play the same piece,
// one with an effect: what is left of it without the effect is the music.
TEST_F(MixerTest, TheMusicStepsBackWhileAnEffectSounds) {
    NEED_FONT();
    Mixer plain{effects, NewFluidMusic};
    ASSERT_TRUE(plain.LoadSoundFont(Font(SmallFont())));
    for (Mixer* m : {&mixer, &plain}) {
        ASSERT_TRUE(m->Open(Note()));
        m->Play();
        Take(*m, 0.3);
    }
    const int kClack = 3;
    const std::vector<float>& clack = effects[kClack];
    mixer.PlayEffect(kClack);
    const std::vector<float> ducked = Take(mixer, 0.6), music = Take(plain, 0.6);
    const std::vector<float> effect = Expected(clack, 0, clack.size());
    // The music's share in a stretch of frames.
    auto share = [&](double from, double to) {
        double kept = 0, full = 0;
        for (auto i = static_cast<std::size_t>(2 * from * kRate); i < static_cast<std::size_t>(2 * to * kRate); ++i) {
            const double rest = ducked[i] - (i < effect.size() ? effect[i] : 0.0f);
            kept += rest * rest;
            full += static_cast<double>(music[i]) * music[i];
        }
        return std::sqrt(kept / full);
    };
    const double sounding = static_cast<double>(clack.size()) / kRate;
    EXPECT_NEAR(share(0.03, sounding), Mixer::kMusicUnderEffect, 0.02);
    EXPECT_NEAR(share(sounding + 0.4, 0.6), 1.0, 0.02);
}

TEST_F(MixerTest, ANewEffectCutsOffTheOneStillSounding) {
    const std::vector<float>& solved = effects[0];
    const std::vector<float>& clack = effects[3];
    const std::size_t before = 1000;  // frames of the first effect heard
    mixer.PlayEffect(0);
    const std::vector<float> a = Take(mixer, static_cast<double>(before) / kRate);
    mixer.PlayEffect(3);
    const std::vector<float> b = Take(mixer, static_cast<double>(clack.size() + kBlock) / kRate);
    EXPECT_EQ(a, Expected(solved, 0, before));
    EXPECT_EQ(Slice(b, 0, clack.size()), Expected(clack, 0, clack.size()));  // nothing of the first left in it
    EXPECT_EQ(Measure(Slice(b, clack.size(), kBlock)).peak, 0.0);            // and then silence
    // Stopping another effect leaves the sounding one alone; stopping it silences.
    mixer.PlayEffect(3);
    mixer.StopEffect(0);
    EXPECT_GT(Listen(mixer, 0.01).peak, 0.0);
    mixer.StopEffect(3);
    EXPECT_EQ(Listen(mixer, 0.01).peak, 0.0);
}

// Idle (the device may be set aside) only while nothing would be heard.
TEST_F(MixerTest, IsIdleOnlyWhileNothingSounds) {
    EXPECT_TRUE(mixer.Idle());
    mixer.PlayEffect(3);
    EXPECT_FALSE(mixer.Idle());
    Listen(mixer, static_cast<double>(effects[3].size() + kBlock) / kRate);
    EXPECT_TRUE(mixer.Idle());  // played to its end
    ASSERT_TRUE(mixer.Open(Note()));
    EXPECT_TRUE(mixer.Idle());
    mixer.Play();
    EXPECT_FALSE(mixer.Idle());  // also while the font is still on its way
    mixer.Pause();
    EXPECT_TRUE(mixer.Idle());
    mixer.Resume();
    EXPECT_FALSE(mixer.Idle());
    mixer.Stop();
    EXPECT_TRUE(mixer.Idle());
}

// The device renders on its own thread in real time while the window's
// thread starts an effect and then sleeps through a move's pauses: the
// effect sounds from the next block on, whole, while the window sleeps.
TEST_F(MixerTest, AnEffectPlaysWholeWhileTheWindowThreadSleeps) {
    const std::vector<float>& clack = effects[3];
    std::mutex lock;
    std::vector<float> stream;
    std::atomic<bool> done{false};
    std::thread device([&] {
        std::vector<float> block(2 * kBlock);
        auto next = std::chrono::steady_clock::now();
        while (!done) {
            mixer.Render(block.data(), kBlock);
            {
                std::lock_guard guard(lock);
                stream.insert(stream.end(), block.begin(), block.end());
            }
            next += std::chrono::microseconds(1000000L * kBlock / kRate);
            std::this_thread::sleep_until(next);
        }
    });
    auto Frames = [&] {
        std::lock_guard guard(lock);
        return stream.size() / 2;
    };
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::size_t pressed = Frames();
    mixer.PlayEffect(3);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));  // the move's pauses
    const std::size_t woke = Frames();
    while (Frames() < woke + clack.size() + 2 * kBlock) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    done = true;
    device.join();

    std::size_t start = 0, lead = 0;
    while (start < stream.size() / 2 && stream[2 * start] == 0.0f) ++start;
    while (lead < clack.size() && clack[lead] == 0.0f) ++lead;
    ASSERT_GE(start, lead);
    start -= lead;  // the effect's own silent first samples
    // Rendered with the first block after the press (one more if a block was
    // on its way), and whole.
    EXPECT_GE(start, pressed);
    EXPECT_LE(start, pressed + 2 * kBlock);
    EXPECT_EQ(Slice(stream, start, clack.size()), Expected(clack, 0, clack.size()));
    // While the window slept, the effect went on: most of those 150 ms of it
    // were rendered before the window's thread woke.
    EXPECT_GE(woke, start + static_cast<std::size_t>(0.1 * kRate));
}

TEST(MixerMusic, MusicAndEffectsTogetherDoNotClip) {
    const QString font = BestSoundFont();
    if (font.isEmpty()) GTEST_SKIP() << "no General MIDI SoundFont installed";
    Mixer mixer(DecodedEffects(), NewFluidMusic);
    ASSERT_TRUE(mixer.LoadSoundFont(Font(font)));
    for (const QString& piece : ListMidiFiles(QG_PROGRAM_DIR)) {
        SCOPED_TRACE(piece.toStdString());
        ASSERT_TRUE(mixer.Open((QString(QG_PROGRAM_DIR) + piece).toStdString()));
        mixer.Play();
        Level sum{}, music{};
        for (int move = 0; move < 30; ++move) {
            // Each effect in turn, a move every 200 ms, over the music.
            mixer.PlayEffect(move % kEffectCount);
            const Level l = Listen(mixer, 0.2);
            sum.peak = std::max(sum.peak, l.peak);
        }
        mixer.StopEffect(0), mixer.StopEffect(1), mixer.StopEffect(2), mixer.StopEffect(3), mixer.StopEffect(4);
        music = Listen(mixer, 1.0);
        EXPECT_LT(sum.peak, 1.0);
        EXPECT_GT(sum.peak, music.peak);  // the effects are heard over it
        mixer.Close();
    }
    // The limiter bends, never clips: a sum beyond full scale stays under it.
    std::vector<std::vector<float>> loud{std::vector<float>(kRate / 10, 1.0f), std::vector<float>(kRate / 10, -1.0f)};
    for (float gain : {2.0f, 4.0f}) {
        for (auto& e : loud) std::for_each(e.begin(), e.end(), [&](float& v) { v = std::copysign(gain, v); });
        Mixer hot(loud);
        for (int i = 0; i < 2; ++i) {
            hot.PlayEffect(i);
            const Level l = Listen(hot, 0.05);
            EXPECT_LT(l.peak, 1.0);
            EXPECT_GT(l.peak, Mixer::kKnee);
        }
    }
}

// Hundreds of open/play/pause/resume/stop/close cycles and effects while
// another thread renders as the device would: players come and go under the
// render lock, so nothing is freed while it renders. Built with
// AddressSanitizer too.
TEST_F(MixerTest, SurvivesManyCyclesWhileRendering) {
    NEED_FONT();
    const std::string other = dir.filePath("other.mid").toStdString();
    WriteOneNote(QString::fromStdString(other), 300);
    std::atomic<bool> done{false};
    std::atomic<long> blocks{0};
    std::thread device([&] {
        std::vector<float> block(2 * 64);
        while (!done) {
            mixer.Render(block.data(), 64);
            ++blocks;
        }
    });
    for (int cycle = 0; cycle < 400; ++cycle) {
        ASSERT_TRUE(mixer.Open(cycle % 2 ? Note() : other));
        mixer.Play();
        mixer.PlayEffect(cycle % kEffectCount);
        mixer.Pause();
        mixer.Resume();
        if (cycle % 3 == 0) std::this_thread::yield();
        mixer.Stop();
        mixer.StopEffect(cycle % kEffectCount);
        mixer.Play();
        (void)mixer.Mode();
        mixer.Close();
    }
    done = true;
    device.join();
    EXPECT_GT(blocks.load(), 0);
    EXPECT_EQ(mixer.Mode(), MusicMode::Stopped);
}

// ---------------------------------------------------------------------------
// MIDI files that play nothing.

QByteArray Chunk(const char* id, const QByteArray& body) {
    QByteArray c(id, 4);
    const int size = static_cast<int>(body.size());
    for (int shift : {24, 16, 8, 0}) c += static_cast<char>(size >> shift);
    return c + body;
}

QByteArray Header(int tracks = 1) {
    return Chunk("MThd", QByteArray("\0\x01\0", 3) + static_cast<char>(tracks) + QByteArray("\0\x60", 2));
}

const QByteArray kNoteTrack("\x00\x90\x45\x64\x60\x45\x00\x00\xFF\x2F\x00", 11);  // on, then off by running status

bool Plays(const QByteArray& b) {
    return MidiPlaysNotes(reinterpret_cast<const std::uint8_t*>(b.constData()), static_cast<std::size_t>(b.size()));
}

TEST(MidiCheck, OnlyFilesThatParseAndHoldANotePass) {
    const QByteArray good = Header() + Chunk("MTrk", kNoteTrack);
    QByteArray lyingLength = good;
    lyingLength[21] = 0x40;  // the track claims more bytes than there are
    const struct {
        const char* what;
        QByteArray bytes;
        bool plays;
    } cases[] = {
        {"a note, closed by running status", good, true},
        {"an unknown chunk before the track is skipped", Header() + Chunk("XFIR", "abc") + Chunk("MTrk", kNoteTrack), true},
        {"format 1 with a tempo track first",
         Header(2) + Chunk("MTrk", QByteArray("\x00\xFF\x51\x03\x07\xA1\x20\x00\xFF\x2F\x00", 11)) + Chunk("MTrk", kNoteTrack),
         true},
        {"header alone", Header(), false},
        {"header and zeros", Header() + QByteArray(4096, '\0'), false},
        {"a track cut short", Header() + Chunk("MTrk", kNoteTrack).left(15), false},
        {"a track length beyond the file", lyingLength, false},
        {"fewer tracks than the header says", Header(2) + Chunk("MTrk", kNoteTrack), false},
        {"only silent notes (velocity 0)", Header() + Chunk("MTrk", QByteArray("\x00\x90\x45\x00\x00\xFF\x2F\x00", 8)), false},
        {"only a program change", Header() + Chunk("MTrk", QByteArray("\x00\xC0\x05\x00\xFF\x2F\x00", 7)), false},
        {"data without a status", Header() + Chunk("MTrk", QByteArray("\x00\x45\x64\x00\xFF\x2F\x00", 7)), false},
        {"an endless length", Header() + Chunk("MTrk", QByteArray("\xFF\xFF\xFF\xFF\xFF\x90\x45\x64", 8)), false},
        {"not MIDI at all", QByteArray("RIFF this is not a song\n"), false},
        {"nothing", QByteArray(), false},
    };
    for (const auto& c : cases) EXPECT_EQ(Plays(c.bytes), c.plays) << c.what;
}

// MidiBtn at start-up: enabled only when some file would really play.
TEST(MidiCheck, TheMusicButtonIsOfferedOnlyForAFileThatPlays) {
    const QByteArray good = Header() + Chunk("MTrk", kNoteTrack);
    const QByteArray junkBody = Header() + QByteArray("\x12\x34junk", 6);
    const struct {
        const char* what;
        std::vector<std::pair<const char*, QByteArray>> files;
        bool fifo;  // a.fifo.mid, a FIFO nobody writes to, listed first
        bool offered;
    } cases[] = {
        {"a valid header over a junk body", {{"a.mid", junkBody}}, false, false},
        {"only the header", {{"a.mid", Header()}}, false, false},
        {"junk, then a file that plays", {{"a.mid", junkBody}, {"b.mid", good}}, false, true},
        {"a file that plays", {{"a.mid", good}}, false, true},
        {"a FIFO in a file's place", {}, true, false},
        {"a FIFO, then a file that plays", {{"b.mid", good}}, true, true},
        {"nothing", {}, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        QStringList paths;
        if (c.fifo) {
            paths << dir.filePath("a.fifo.mid");
            ASSERT_EQ(::mkfifo(QFile::encodeName(paths.back()).constData(), 0600), 0);
        }
        for (const auto& [name, bytes] : c.files) {
            QFile f(dir.filePath(name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bytes);
            paths << f.fileName();
        }
        EXPECT_EQ(HasMidiFile(paths), c.offered);
    }
}

TEST(MidiCheck, FindsTheChannelsThatPlayBeforeChoosingAnInstrument) {
    const QByteArray programThenNote("\x00\xC1\x05\x00\x91\x45\x64\x60\x81\x45\x00\x00\xFF\x2F\x00", 15);
    const QByteArray noteOnChannel10("\x00\x99\x24\x64\x60\x89\x24\x00\x00\xFF\x2F\x00", 12);
    const QByteArray lateProgram("\x60\xC1\x05\x00\xFF\x2F\x00", 7);   // channel 2 chooses at tick 96
    const QByteArray earlyNote("\x00\x91\x45\x64\x60\x81\x45\x00\x00\xFF\x2F\x00", 12);  // and plays at 0
    const QByteArray earlyProgram("\x00\xC1\x05\x00\xFF\x2F\x00", 7);
    const QByteArray lateNote("\x60\x91\x45\x64\x60\x81\x45\x00\x00\xFF\x2F\x00", 12);
    const struct {
        const char* what;
        QByteArray bytes;
        std::uint16_t channels;
    } cases[] = {
        {"a note without a program change", Header() + Chunk("MTrk", kNoteTrack), 0x0001},
        {"a program change at the note's tick", Header() + Chunk("MTrk", programThenNote), 0},
        {"drums without a program change", Header() + Chunk("MTrk", noteOnChannel10), 0x0200},
        {"a later program change in another track",
         Header(2) + Chunk("MTrk", lateProgram) + Chunk("MTrk", earlyNote), 0x0002},
        {"an earlier program change in another track",
         Header(2) + Chunk("MTrk", earlyProgram) + Chunk("MTrk", lateNote), 0},
        {"a broken file", Header() + Chunk("MTrk", kNoteTrack).left(15), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChannelsOnDefaultProgram(reinterpret_cast<const std::uint8_t*>(c.bytes.constData()),
                                           static_cast<std::size_t>(c.bytes.size())),
                  c.channels)
            << c.what;
}

TEST(MidiCheck, AFileOverTheSizeLimitIsNotEvenRead) {
    QTemporaryDir dir;
    const QString path = dir.filePath("big.mid");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    // A good piece, padded with a chunk players skip: only its size is wrong.
    const QByteArray piece = Header() + Chunk("MTrk", kNoteTrack);
    f.write(piece);
    f.write(Chunk("XPAD", QByteArray(static_cast<int>(kMaxMidiBytes) - piece.size() - 8, '\0')));
    f.flush();
    EXPECT_TRUE(ReadPlayableMidi(path.toStdString()).has_value());  // at the limit
    f.write("x");
    f.close();
    EXPECT_FALSE(ReadPlayableMidi(path.toStdString()).has_value());  // one byte over
}

// A recording player over the mixer's real Open, as the audio thread drives it.
class CheckingPlayer : public RecordingPlayer {
public:
    bool Open(const QString& path) override {
        const bool ok = mixer.Open(path.toStdString());
        Add("open " + QDir(path).dirName().toStdString() + (ok ? "" : " (refused)"));
        return ok;
    }
    Mixer mixer{std::vector<std::vector<float>>{}};
};

TEST(MidiCheck, BrokenAndHugeFilesAreSkippedInNameOrder) {
    QTemporaryDir dir;
    auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write("a-broken.mid", Header() + Chunk("MTrk", kNoteTrack).left(12));
    write("b-huge.mid", Header());
    {
        QFile huge(dir.filePath("b-huge.mid"));  // MThd and 300 MB of zeros, sparse on disk
        ASSERT_TRUE(huge.open(QIODevice::ReadWrite));
        ASSERT_TRUE(huge.resize(300LL << 20));
    }
    write("c-good.mid", Header() + Chunk("MTrk", kNoteTrack));
    write("d-silent.mid", Header() + Chunk("MTrk", QByteArray("\x00\xC0\x05\x00\xFF\x2F\x00", 7)));
    CheckingPlayer player;
    MidiCycler cycler(player, dir.path());
    ASSERT_TRUE(cycler.StartUp());
    EXPECT_EQ(player.Take(), "open a-broken.mid (refused), open b-huge.mid (refused), open c-good.mid");
    cycler.Tick(true);
    EXPECT_EQ(player.Take(), "play");
    cycler.SwitchOn();
    EXPECT_EQ(player.Take(),
              "stop, close, open d-silent.mid (refused), open a-broken.mid (refused), open b-huge.mid (refused), "
              "open c-good.mid, play");
    EXPECT_EQ(cycler.CurrentFile(), "c-good.mid");
    // Once playing, the timer asks nothing more of the player.
    cycler.Tick(true);
    EXPECT_EQ(player.Take(), "");
}

// ---------------------------------------------------------------------------
// The game's side: the module loaded and run off the window's thread.

using test::StderrCapture;

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old, had_ = true;
        setenv(name, value, 1);
    }
    ~ScopedEnv() {
        if (had_) setenv(name_, old_.c_str(), 1);
        else unsetenv(name_);
    }

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

// An engine that records the calls, on whichever thread they come, and can
// hold OpenDevice as a stalled sound server would.
class FakeEngine : public AudioEngine {
public:
    struct Log {
        std::mutex lock;
        std::condition_variable released;
        bool stall = false;
        bool device = true;
        std::atomic<bool> idle{false};
        std::atomic<bool> running{false};
        std::string trace;
        std::vector<std::thread::id> threads;
        // `music`: a call that must come on the audio thread.
        void Add(const std::string& s, bool music = true) {
            std::lock_guard guard(lock);
            trace += (trace.empty() ? "" : ", ") + s;
            if (music) threads.push_back(std::this_thread::get_id());
        }
        std::string Take() {
            std::lock_guard guard(lock);
            return std::exchange(trace, std::string());
        }
        void Release() {
            std::lock_guard guard(lock);
            stall = false;
            released.notify_all();
        }
    };
    explicit FakeEngine(std::shared_ptr<Log> log) : log_(std::move(log)) {}
    ~FakeEngine() override { log_->Add("deleted"); }
    bool OpenDevice() override {
        std::unique_lock guard(log_->lock);
        log_->released.wait(guard, [&] { return !log_->stall; });
        guard.unlock();
        log_->Add("device");
        log_->running = log_->device;
        return log_->device;
    }
    void CloseDevice() override { log_->Add("close device"); }
    bool HasDevice() const override { return log_->device; }
    void Suspend() override {
        log_->Add("suspend");
        log_->running = false;
    }
    bool Running() const override { return log_->running; }
    bool Idle() const override { return log_->idle; }
    bool LoadSoundFont(const char*) override { return font_ = true; }
    bool SoundFontLoaded() const override { return font_; }
    void PlayEffect(int i) override {
        log_->Add("effect" + std::to_string(i), false);
        log_->idle = false;
    }
    void StopEffect(int) override {}
    bool Open(const char* path) override {
        log_->Add("open " + QFileInfo(QString::fromLocal8Bit(path)).fileName().toStdString());
        return true;
    }
    void Play() override { log_->Add("play"), mode_ = MusicMode::Playing; }
    void Stop() override { log_->Add("stop"), mode_ = MusicMode::Stopped; }
    void Pause() override { log_->Add("pause"), mode_ = MusicMode::Paused; }
    void Resume() override { log_->Add("resume"), mode_ = MusicMode::Playing; }
    MusicMode Mode() const override { return mode_; }
    void Close() override { log_->Add("close"), mode_ = MusicMode::Stopped; }
    void Render(float*, int) override {}

private:
    std::shared_ptr<Log> log_;
    bool font_ = false;
    MusicMode mode_ = MusicMode::Stopped;
};

class GameAudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        for (const char* f : {"b.mid", "a.mid"}) WriteOneNote(dir.filePath(f), 300);
    }
    std::unique_ptr<GameAudio> WithFake() {
        auto audio = std::make_unique<GameAudio>(dir.path());
        audio->UseEngineFactory([log = log] { return new FakeEngine(log); });
        return audio;
    }
    QTemporaryDir dir;
    std::shared_ptr<FakeEngine::Log> log = std::make_shared<FakeEngine::Log>();
};

TEST_F(GameAudioTest, TheMusicRunsOnTheAudioThreadAndTicksOnlyUntilAPieceIsAsked) {
    auto audio = WithFake();
    ASSERT_TRUE(audio->StartUp());
    EXPECT_FALSE(audio->EffectsAvailable());
    audio->PlaySound(4, true);  // before the module is there: silent, no waiting
    EXPECT_TRUE(audio->MusicNeedsTicks(true));
    EXPECT_FALSE(audio->MusicNeedsTicks(false));
    audio->Start();
    ASSERT_TRUE(audio->WaitIdle(5000));
    EXPECT_EQ(log->Take(), "device, open a.mid");  // start-up opens the first, not played
    EXPECT_TRUE(audio->EffectsAvailable());

    audio->Tick(true);
    EXPECT_FALSE(audio->MusicNeedsTicks(true));  // the module repeats the piece itself
    audio->Tick(true);
    audio->PlaySound(4, true);
    audio->PlaySound(1, false);
    ASSERT_TRUE(audio->WaitIdle(5000));
    const std::string t = log->Take();
    EXPECT_TRUE(t == "play, effect3" || t == "effect3, play") << t;  // the effect does not queue
    audio->SwitchOff();
    audio->Tick(false);
    audio->SwitchOn();
    ASSERT_TRUE(audio->WaitIdle(5000));
    EXPECT_EQ(log->Take(), "pause, stop, close, open b.mid, play");
    EXPECT_FALSE(audio->MusicNeedsTicks(true));
    {
        std::lock_guard guard(log->lock);
        for (std::size_t i = 0; i < log->threads.size(); ++i)
            EXPECT_NE(log->threads[i], std::this_thread::get_id()) << i;  // never the window's thread
    }
    audio.reset();
    EXPECT_EQ(log->Take(), "close device, deleted");
}

// A device that renders nothing still wakes the process hundreds of times a
// second: after two silent looks it is set aside, and the next effect has
// the audio thread open it again.
// A game in play starts an effect every second or so, each over long before
// the next look: the device stays while effects keep coming, and goes only
// after two quiet looks in a row.
TEST(SilenceWatch, SetsTheDeviceAsideOnlyAfterTwoQuietLooks) {
    struct Look {
        bool idle;
        int effectsSince;  // effects started since the look before
        bool busy;         // work for the device since the look before
        bool setAside;
    };
    const struct {
        const char* what;
        std::vector<Look> looks;
    } cases[] = {
        {"silence", {{true, 0, false, false}, {true, 0, false, true}}},
        {"short effects between idle looks",
         {{true, 1, false, false}, {true, 2, false, false}, {true, 1, false, false}, {true, 0, false, false},
          {true, 0, false, true}}},
        {"music playing", {{false, 0, false, false}, {false, 0, false, false}, {false, 0, false, false}}},
        {"a job between the looks", {{true, 0, false, false}, {true, 0, true, false}, {true, 0, false, true}}},
        {"two more quiet looks after setting aside",
         {{true, 0, false, false}, {true, 0, false, true}, {true, 0, false, false}, {true, 0, false, true}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SilenceWatch watch;
        unsigned played = 0;
        for (std::size_t i = 0; i < c.looks.size(); ++i) {
            const Look& l = c.looks[i];
            played += static_cast<unsigned>(l.effectsSince);
            if (l.busy) watch.Busy();
            EXPECT_EQ(watch.Look(l.idle, played), l.setAside) << "look " << i;
        }
    }
}

TEST_F(GameAudioTest, ASilentDeviceIsSetAsideAndTheNextEffectOpensItAgain) {
    log->idle = true;
    auto audio = WithFake();
    audio->UseIdleLook(std::chrono::milliseconds(20));
    ASSERT_TRUE(audio->StartUp());
    audio->Start();
    ASSERT_TRUE(audio->WaitIdle(5000));  // the device is open
    for (int i = 0; i < 500 && log->running; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(audio->WaitIdle(5000));
    EXPECT_EQ(log->Take(), "device, open a.mid, suspend");
    EXPECT_TRUE(audio->EffectsAvailable());
    audio->PlaySound(4, true);
    ASSERT_TRUE(audio->WaitIdle(5000));
    EXPECT_EQ(log->Take(), "effect3, device");
    EXPECT_TRUE(log->running);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(log->Take(), "");  // busy: it stays open
}

TEST_F(GameAudioTest, AStalledSoundServerHoldsUpNeitherTheWindowNorTheExit) {
    log->stall = true;
    auto audio = WithFake();
    ASSERT_TRUE(audio->StartUp());
    audio->Start();
    for (int i = 0; i < 20; ++i) {
        audio->PlaySound(4, true);
        audio->Tick(true);
        audio->SwitchOff();
        audio->SwitchOn();
    }
    EXPECT_FALSE(audio->EffectsAvailable());
    EXPECT_FALSE(audio->WaitIdle(50));
    audio.reset();  // would never return if it waited for the stuck thread
    EXPECT_EQ(log->Take(), "");
    log->Release();  // the thread left behind finishes on its own
    for (int i = 0; i < 500 && log->Take().find("deleted") == std::string::npos; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

TEST_F(GameAudioTest, TheModuleIsFoundBesideTheExecutableOrInstalled) {
    EXPECT_EQ(AudioModuleCandidates("/opt/qg/bin"),
              QStringList({"/opt/qg/bin/quirko-gyrelle-audio.so", "/opt/qg/lib/quirko-gyrelle/quirko-gyrelle-audio.so"}));
    EXPECT_TRUE(QFileInfo(QString(QG_PROGRAM_DIR) + kAudioModuleFile).isFile());
}

// Without a device, or without the module: silent, the music set-up as
// usual, and one line on stderr, nothing from the sound libraries.
TEST_F(GameAudioTest, WithoutADeviceOrModuleTheGameIsSilentAndSaysSoOnce) {
    const struct {
        const char* what;
        const char* driver;
        QStringList module;
    } cases[] = {
        {"no such driver", "qg-no-such-driver", AudioModuleCandidates(QG_PROGRAM_DIR)},
        {"no module", "dummy", {dir.filePath("missing/quirko-gyrelle-audio.so")}},
        {"not a module", "dummy", {dir.filePath("a.mid")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedEnv env("SDL_AUDIODRIVER", c.driver);
        StderrCapture err;
        {
            GameAudio audio(dir.path());
            audio.UseModuleCandidates(c.module);
            EXPECT_TRUE(audio.StartUp());
            audio.Start();
            audio.Tick(true);
            ASSERT_TRUE(audio.WaitIdle(10000));
            EXPECT_FALSE(audio.EffectsAvailable());
            audio.PlaySound(4, true);
            audio.SwitchOff();
            audio.SwitchOn();
            ASSERT_TRUE(audio.WaitIdle(10000));
        }
        const std::string text = err.Stop();
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
        EXPECT_EQ(text.rfind("quirko-gyrelle: no sound", 0), 0u) << text;
    }
}

// The real module on SDL's dummy device, which plays in real time into
// nothing: effects and music through it, quietly, then a clean close.
TEST_F(GameAudioTest, TheModuleRunsOnSdlsDummyDevice) {
    ScopedEnv env("SDL_AUDIODRIVER", "dummy");
    StderrCapture err;
    {
        GameAudio audio(dir.path());
        audio.UseModuleCandidates(AudioModuleCandidates(QG_PROGRAM_DIR));
        ASSERT_TRUE(audio.StartUp());
        audio.Start();
        ASSERT_TRUE(audio.WaitIdle(10000));
        EXPECT_TRUE(audio.EffectsAvailable());
        for (int i = 0; i < 20; ++i) {
            audio.PlaySound(1 + i % kEffectCount, true);
            audio.Tick(true);
            if (i % 4 == 3) audio.SwitchOff(), audio.SwitchOn();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_TRUE(audio.WaitIdle(20000));
    }
    EXPECT_EQ(err.Stop(), "");
}

bool Mapped(const std::string& file) {
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);)
        if (line.size() >= file.size() && line.compare(line.size() - file.size(), file.size(), file) == 0) return true;
    return false;
}

// The built audio module, without a device: FluidSynth's module is opened
// from beside it only when a SoundFont is first loaded, and music then
// sounds through it. In a fresh process, where nothing has opened either yet.
TEST(AudioModule, OpensTheMusicModuleOnlyOnceMusicIsWanted) {
    const QString font = SmallFont();
    if (font.isEmpty()) GTEST_SKIP() << "no General MIDI SoundFont installed";
    QTemporaryDir dir;
    const QString note = dir.filePath("note.mid");
    WriteOneNote(note, 2000);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            auto fail = [](const char* why) {
                std::fprintf(stderr, "%s\n", why);
                std::_Exit(1);
            };
            if (Mapped(std::string("/") + kMusicModuleFile)) fail("the music module was open before the test");
            void* module = dlopen((std::string(QG_PROGRAM_DIR) + kAudioModuleFile).c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!module) fail("no audio module");
            const auto make = reinterpret_cast<CreateAudioEngineFunction>(dlsym(module, kCreateAudioEngineSymbol));
            std::unique_ptr<AudioEngine> engine(make ? make() : nullptr);
            if (!engine || !engine->Open(note.toStdString().c_str())) fail("no engine, or the piece did not open");
            engine->Play();
            engine->PlayEffect(0);
            std::vector<float> block(2 * kRate / 2);
            engine->Render(block.data(), kRate / 2);
            if (Mapped(std::string("/") + kMusicModuleFile)) fail("the music module opened without a SoundFont");
            if (!engine->LoadSoundFont(Font(font).c_str())) fail("the SoundFont did not load");
            if (!Mapped(std::string("/") + kMusicModuleFile)) fail("the music module is not open");
            engine->Render(block.data(), kRate / 2);
            if (Measure(block).rms < kHeard) fail("the piece is not heard");
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace qg
