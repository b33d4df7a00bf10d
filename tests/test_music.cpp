// The music: MidiBtn's walk through the MIDI files with a recording player,
// and the FluidSynth player rendering into memory (no sound card, no server).

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "audio/MusicPlayer.h"

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
// FluidSynth, rendering into memory.

QString SmallFont() {
    // The small font keeps these tests quick; the real choice is tested below.
    QStringList c = SoundFontCandidates();
    std::reverse(c.begin(), c.end());
    return BestSoundFont(c);
}

struct Level {
    double rms = 0, peak = 0;
};

// Renders `seconds` of sound and measures it.
Level Listen(FluidMusicPlayer& p, double seconds) {
    const int block = 1024;
    std::vector<float> l(block), r(block);
    double sum = 0, peak = 0;
    long n = 0;
    for (long done = 0; done < static_cast<long>(seconds * FluidMusicPlayer::kSampleRate); done += block) {
        p.Render(l.data(), r.data(), block);
        for (int i = 0; i < block; ++i) {
            sum += l[i] * l[i] + r[i] * r[i];
            peak = std::max({peak, static_cast<double>(std::abs(l[i])), static_cast<double>(std::abs(r[i]))});
        }
        n += 2 * block;
    }
    return {std::sqrt(sum / static_cast<double>(n)), peak};
}

// A MIDI file of one held piano note, `ms` long, written by hand.
void WriteOneNote(const QString& path, int ms) {
    const int ticks = ms * 96 / 500;  // 96 per quarter at 120 bpm
    QByteArray track;
    track += QByteArray("\x00\xC0\x00", 3);            // piano
    track += QByteArray("\x00\x90\x45\x64", 4);        // A4 on
    track += static_cast<char>(0x80 | (ticks >> 7));   // delta as two bytes
    track += static_cast<char>(ticks & 0x7F);
    track += QByteArray("\x80\x45\x40", 3);            // A4 off
    track += QByteArray("\x00\xFF\x2F\x00", 4);        // end of track
    QByteArray file("MThd\0\0\0\x06\0\0\0\x01\0\x60", 14);
    file += "MTrk";
    const int size = static_cast<int>(track.size());
    file += static_cast<char>(size >> 24);
    file += static_cast<char>(size >> 16);
    file += static_cast<char>(size >> 8);
    file += static_cast<char>(size);
    file += track;
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(file);
}

class FluidPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (SmallFont().isEmpty()) GTEST_SKIP() << "no General MIDI SoundFont installed";
        ASSERT_TRUE(dir.isValid());
        note = dir.filePath("note.mid");
        WriteOneNote(note, 2000);
    }
    QTemporaryDir dir;
    QString note;
    FluidMusicPlayer player{FluidMusicPlayer::Output::Memory};
};

constexpr double kHeard = 0.002;  // RMS well above FluidSynth's noise floor of 0

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
    FluidMusicPlayer player(FluidMusicPlayer::Output::Memory);
    ASSERT_TRUE(player.LoadNow(font));
    for (const QString& piece : pieces) {
        SCOPED_TRACE(piece.toStdString());
        ASSERT_TRUE(player.Open(QString(QG_PROGRAM_DIR) + piece));
        player.Play();
        EXPECT_EQ(player.Mode(), MusicMode::Playing);
        const Level level = Listen(player, 8.0);
        EXPECT_GT(level.rms, 0.02);   // clearly audible, not just a whisper
        EXPECT_LT(level.peak, 0.99);  // and not clipped
        player.Close();
    }
}

TEST_F(FluidPlayerTest, PauseHoldsThePieceAndResumeGoesOnWithTheHeldNote) {
    ASSERT_TRUE(player.LoadNow(SmallFont()));
    ASSERT_TRUE(player.Open(note));
    EXPECT_EQ(player.Mode(), MusicMode::Stopped);
    EXPECT_LT(Listen(player, 0.2).rms, 1e-9);  // opened, not played

    player.Play();
    EXPECT_GT(Listen(player, 0.5).rms, kHeard);
    player.Pause();
    EXPECT_EQ(player.Mode(), MusicMode::Paused);
    EXPECT_EQ(Listen(player, 3.0).peak, 0.0);  // silence, however long
    player.Resume();
    EXPECT_EQ(player.Mode(), MusicMode::Playing);
    // The note held before the pause sounds on: the 2 s note has 1.5 s left.
    EXPECT_GT(Listen(player, 0.5).rms, kHeard);
    EXPECT_EQ(player.Mode(), MusicMode::Playing);
}

TEST_F(FluidPlayerTest, AFinishedPieceReadsAsStoppedAndPlaysAgainFromItsStart) {
    ASSERT_TRUE(player.LoadNow(SmallFont()));
    ASSERT_TRUE(player.Open(note));
    player.Play();
    Listen(player, 1.0);
    EXPECT_EQ(player.Mode(), MusicMode::Playing);
    Listen(player, 7.0);  // FluidSynth lets the last notes ring a while before it ends
    EXPECT_EQ(player.Mode(), MusicMode::Stopped);
    EXPECT_LT(Listen(player, 2.0).rms, 1e-4);  // over, and its echo gone
    player.Play();
    EXPECT_EQ(player.Mode(), MusicMode::Playing);
    EXPECT_GT(Listen(player, 0.5).rms, kHeard);
}

TEST_F(FluidPlayerTest, StopAndCloseSilenceAtOnce) {
    ASSERT_TRUE(player.LoadNow(SmallFont()));
    struct Case {
        const char* what;
        void (FluidMusicPlayer::*op)();
        bool playsAgain;  // Play afterwards finds a file
    };
    const Case cases[] = {{"stop", &FluidMusicPlayer::Stop, true}, {"close", &FluidMusicPlayer::Close, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(player.Open(note));
        player.Play();
        EXPECT_GT(Listen(player, 0.3).rms, kHeard);
        (player.*c.op)();
        EXPECT_EQ(player.Mode(), MusicMode::Stopped);
        EXPECT_EQ(Listen(player, 0.3).peak, 0.0);
        player.Play();
        EXPECT_EQ(player.Mode(), c.playsAgain ? MusicMode::Playing : MusicMode::Stopped);
        EXPECT_EQ(Listen(player, 0.3).rms > kHeard, c.playsAgain);
        player.Close();
    }
}

TEST_F(FluidPlayerTest, RefusesWhatIsNotAMidiFile) {
    ASSERT_TRUE(player.LoadNow(SmallFont()));
    const QString text = dir.filePath("text.mid"), empty = dir.filePath("empty.mid");
    QFile t(text);
    ASSERT_TRUE(t.open(QIODevice::WriteOnly));
    t.write("RIFF this is not a song\n");
    t.close();
    QFile e(empty);
    ASSERT_TRUE(e.open(QIODevice::WriteOnly));
    e.close();
    for (const QString& path : {text, empty, dir.filePath("missing.mid"), dir.path()}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_FALSE(player.Open(path));
        player.Play();
        EXPECT_EQ(player.Mode(), MusicMode::Stopped);
        EXPECT_EQ(Listen(player, 0.2).peak, 0.0);
    }
    // A refused file also closes the one open before it.
    ASSERT_TRUE(player.Open(note));
    EXPECT_FALSE(player.Open(text));
    player.Play();
    EXPECT_EQ(Listen(player, 0.2).peak, 0.0);
}

TEST_F(FluidPlayerTest, APieceAskedForBeforeTheFontIsLoadedStartsWhenItIs) {
    ASSERT_TRUE(player.Open(note));
    player.Play();
    EXPECT_EQ(player.Mode(), MusicMode::Playing);
    EXPECT_EQ(Listen(player, 0.3).peak, 0.0);  // nothing to play it with yet
    ASSERT_TRUE(player.LoadNow(SmallFont()));
    EXPECT_TRUE(player.Ready());
    EXPECT_GT(Listen(player, 0.5).rms, kHeard);
}

TEST_F(FluidPlayerTest, LoadingInTheBackgroundNeverBlocksTheCaller) {
    ASSERT_TRUE(player.Open(note));
    player.StartLoading(SmallFont());
    player.Play();  // while the font may still be loading
    for (int i = 0; i < 2000 && !player.Ready(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(player.Ready());
    EXPECT_GT(Listen(player, 0.5).rms, kHeard);
}

// Hundreds of open/play/pause/resume/stop/close cycles while another thread
// renders as the audio device would: players come and go under the render
// lock, so nothing is freed while it renders. Built with AddressSanitizer too.
TEST_F(FluidPlayerTest, SurvivesManyCyclesWhileRendering) {
    ASSERT_TRUE(player.LoadNow(SmallFont()));
    const QString other = dir.filePath("other.mid");
    WriteOneNote(other, 300);
    std::atomic<bool> done{false};
    std::atomic<long> blocks{0};
    std::thread device([&] {
        std::vector<float> l(64), r(64);
        while (!done) {
            player.Render(l.data(), r.data(), 64);
            ++blocks;
        }
    });
    for (int cycle = 0; cycle < 400; ++cycle) {
        ASSERT_TRUE(player.Open(cycle % 2 ? note : other));
        player.Play();
        player.Pause();
        player.Resume();
        if (cycle % 3 == 0) std::this_thread::yield();
        player.Stop();
        player.Play();
        (void)player.Mode();
        player.Close();
    }
    done = true;
    device.join();
    EXPECT_GT(blocks.load(), 0);
    EXPECT_EQ(player.Mode(), MusicMode::Stopped);
}

}  // namespace
}  // namespace qg
