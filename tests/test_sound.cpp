// The sound effects: PlaySound through a recording output, and the five
// compiled-in effects read back from the program's own resources.

#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/SoundEffects.h"

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
    RegisterSoundResources();
    std::vector<std::vector<double>> all;
    for (int i = 0; i < kEffectCount; ++i) {
        const QString name = QString(kEffectResourceDir) + kEffectFiles[i];
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        const Wav w = ReadWav(f.readAll());
        SCOPED_TRACE(name.toStdString());
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

}  // namespace
}  // namespace qg
