// Sound generator: synthesises the five move and solved effects as 16-bit
// 44.1 kHz mono WAV files and writes the resource list that compiles them in.
//
//   qg_soundgen RESOURCE_DIR
//
// Plain sample synthesis: damped resonances excited by short noise bursts for
// the wooden, glassy and mechanical sounds, filtered noise for the marble, and
// a few soft additive tones for the fanfare. Everything is seeded, so every
// build writes the same bytes.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
constexpr double kPeak = 0.708;  // -3 dBFS
constexpr double kFadeMs = 3.0;

using Samples = std::vector<double>;

// The effects in the order the game addresses them (PlaySound 1..5).
struct Effect {
    const char* file;
    Samples (*make)();
};

// A tiny repeatable noise source.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed ? seed : 1u) {}
    double Next() {  // -1..1
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483647.5 - 1.0;
    }

private:
    std::uint32_t state_;
};

Samples Silence(double ms) { return Samples(static_cast<std::size_t>(ms * kRate / 1000.0), 0.0); }

double Seconds(std::size_t i) { return static_cast<double>(i) / kRate; }

// Adds a damped sine (one mode of a struck body) starting at `atMs`.
void AddMode(Samples& s, double atMs, double freq, double amp, double decayMs, double attackMs = 1.5) {
    const std::size_t start = static_cast<std::size_t>(atMs * kRate / 1000.0);
    for (std::size_t i = start; i < s.size(); ++i) {
        const double t = Seconds(i - start);
        const double env = std::exp(-t * 1000.0 / decayMs) * std::min(1.0, t * 1000.0 / attackMs);
        if (env < 1e-5 && t * 1000.0 > attackMs) break;
        s[i] += amp * env * std::sin(2 * kPi * freq * t);
    }
}

// Adds a short burst of low-passed noise: the contact of a strike.
void AddBurst(Samples& s, double atMs, double lengthMs, double amp, double smooth, Noise& noise) {
    const std::size_t start = static_cast<std::size_t>(atMs * kRate / 1000.0);
    const std::size_t n = static_cast<std::size_t>(lengthMs * kRate / 1000.0);
    double lp = 0;
    for (std::size_t k = 0; k < n && start + k < s.size(); ++k) {
        lp += smooth * (noise.Next() - lp);
        const double x = static_cast<double>(k) / static_cast<double>(n);
        s[start + k] += amp * lp * std::sin(kPi * x);  // rises and falls, no click
    }
}

// One-pole low pass over the whole sound: keeps the highs gentle.
void LowPass(Samples& s, double cutoffHz) {
    const double a = 1.0 - std::exp(-2 * kPi * cutoffHz / kRate);
    double y = 0;
    for (double& x : s) {
        y += a * (x - y);
        x = y;
    }
}

// A tone of a few harmonics with a soft attack and a natural decay.
void AddTone(Samples& s, double atMs, double freq, double amp, double lengthMs, const std::vector<double>& harmonics,
             double attackMs = 6.0) {
    const std::size_t start = static_cast<std::size_t>(atMs * kRate / 1000.0);
    const std::size_t n = static_cast<std::size_t>(lengthMs * kRate / 1000.0);
    const double releaseMs = std::min(80.0, lengthMs / 3);
    for (std::size_t k = 0; k < n && start + k < s.size(); ++k) {
        const double t = Seconds(k), ms = t * 1000.0;
        double env = std::min(1.0, ms / attackMs) * std::exp(-t * 2.2);
        if (ms > lengthMs - releaseMs) env *= 0.5 + 0.5 * std::cos(kPi * (ms - (lengthMs - releaseMs)) / releaseMs);
        double v = 0;
        for (std::size_t h = 0; h < harmonics.size(); ++h) {
            const double hn = static_cast<double>(h + 1);
            // Upper harmonics fade faster, as on a struck or blown instrument.
            v += harmonics[h] * std::exp(-t * 3.0 * hn) * std::sin(2 * kPi * freq * hn * t);
        }
        s[start + k] += amp * env * v;
    }
}

// TORVANE plate turn: a wooden clack, two close strikes of a hollow block.
Samples WoodenClack() {
    Samples s = Silence(150);
    Noise noise(4);
    const double strikes[][2] = {{0, 1.0}, {16, 0.55}};
    for (const auto& st : strikes) {
        AddBurst(s, st[0] + 0.5, 3.0, 0.6 * st[1], 0.18, noise);
        AddMode(s, st[0], 540, 0.8 * st[1], 26);
        AddMode(s, st[0], 1130, 0.45 * st[1], 14);
        AddMode(s, st[0], 1720, 0.22 * st[1], 9);
        AddMode(s, st[0], 260, 0.35 * st[1], 30, 2.0);
    }
    LowPass(s, 4200);
    return s;
}

// PELLORA lens turn: a small glassy tick with a short ring.
Samples GlassyTick() {
    Samples s = Silence(260);
    Noise noise(7);
    AddBurst(s, 0.5, 1.6, 0.25, 0.25, noise);
    AddMode(s, 0, 1568.0, 0.7, 70, 1.2);          // G6
    AddMode(s, 0, 1568.0 * 2.32, 0.18, 28, 1.2);  // the glass's inharmonic partial
    AddMode(s, 0, 1568.0 * 1.5, 0.22, 45, 1.2);
    AddMode(s, 2, 2349.0, 0.12, 60, 2.0);
    LowPass(s, 5200);
    return s;
}

// NUBBLER plate click: a short mechanical ratchet of four pawl clicks.
Samples Ratchet() {
    Samples s = Silence(190);
    Noise noise(11);
    const double clicks[][2] = {{0, 0.65}, {34, 0.85}, {68, 0.75}, {104, 1.0}};
    for (const auto& c : clicks) {
        AddBurst(s, c[0], 2.2, 0.55 * c[1], 0.22, noise);
        AddMode(s, c[0], 1480, 0.45 * c[1], 10);
        AddMode(s, c[0], 2630, 0.2 * c[1], 6);
        AddMode(s, c[0], 720, 0.3 * c[1], 16, 1.0);
    }
    LowPass(s, 4500);
    return s;
}

// CIRRELA ring roll: marbles rolling along a groove, then settling.
Samples RollingMarble() {
    Samples s = Silence(340);
    Noise noise(23);
    // The roll: low noise whose loudness swells and trembles with the ball's turns.
    double lp1 = 0, lp2 = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double ms = Seconds(i) * 1000.0;
        if (ms > 300) break;
        lp1 += 0.08 * (noise.Next() - lp1);
        lp2 += 0.08 * (lp1 - lp2);
        const double swell = std::sin(kPi * ms / 300.0);
        const double tremble = 0.65 + 0.35 * std::sin(2 * kPi * 31.0 * Seconds(i));
        s[i] += 2.2 * lp2 * swell * swell * tremble;
    }
    // Small contacts while rolling, and the soft stop at the end.
    const double ticks[] = {40, 85, 128, 170, 214, 252};
    for (std::size_t k = 0; k < std::size(ticks); ++k) {
        const double a = 0.08 + 0.02 * static_cast<double>(k % 3);
        AddMode(s, ticks[k], 880 + 60.0 * static_cast<double>(k % 4), a, 9, 1.5);
    }
    AddMode(s, 282, 420, 0.35, 30, 2.0);
    AddMode(s, 282, 1010, 0.15, 14, 2.0);
    LowPass(s, 3000);
    return s;
}

// Any puzzle solved: a short, bright and friendly rising fanfare.
Samples Fanfare() {
    Samples s = Silence(1250);
    const std::vector<double> bright = {1.0, 0.45, 0.3, 0.14, 0.08, 0.04};
    const std::vector<double> soft = {1.0, 0.3, 0.12};
    // C5 E5 G5, then a C major chord with the C6 on top, held.
    AddTone(s, 0, 523.25, 0.30, 200, bright);
    AddTone(s, 110, 659.26, 0.30, 200, bright);
    AddTone(s, 220, 783.99, 0.30, 230, bright);
    AddTone(s, 360, 1046.50, 0.30, 880, bright, 10);
    AddTone(s, 360, 783.99, 0.18, 880, soft, 14);
    AddTone(s, 360, 659.26, 0.16, 880, soft, 14);
    AddTone(s, 360, 523.25, 0.16, 880, soft, 14);
    AddTone(s, 360, 261.63, 0.16, 880, soft, 20);
    LowPass(s, 6000);
    return s;
}

constexpr Effect kEffects[] = {
    {"solved.wav", Fanfare},       // 1: a puzzle is solved
    {"lens.wav", GlassyTick},      // 2: PELLORA move
    {"ratchet.wav", Ratchet},      // 3: NUBBLER move
    {"clack.wav", WoodenClack},    // 4: TORVANE move
    {"marble.wav", RollingMarble}, // 5: CIRRELA move
};

// Short fades at both ends so that no edge clicks, then the peak to -3 dBFS.
std::vector<std::int16_t> Finish(Samples s) {
    const std::size_t fade = static_cast<std::size_t>(kFadeMs * kRate / 1000.0);
    for (std::size_t i = 0; i < fade && i < s.size(); ++i) {
        const double g = static_cast<double>(i) / static_cast<double>(fade);
        s[i] *= g;
        s[s.size() - 1 - i] *= g;
    }
    double peak = 0;
    for (double x : s) peak = std::max(peak, std::abs(x));
    const double gain = peak > 0 ? kPeak / peak : 0;
    std::vector<std::int16_t> out(s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        out[i] = static_cast<std::int16_t>(std::lround(std::clamp(s[i] * gain, -1.0, 1.0) * 32767.0));
    return out;
}

void Put16(std::string& b, unsigned v) {
    b += static_cast<char>(v & 0xFF);
    b += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

bool WriteWav(const std::string& path, const std::vector<std::int16_t>& pcm) {
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(pcm.size() * 2);
    std::string b = "RIFF";
    Put32(b, 36 + dataBytes);
    b += "WAVEfmt ";
    Put32(b, 16);
    Put16(b, 1);  // PCM
    Put16(b, 1);  // mono
    Put32(b, kRate);
    Put32(b, kRate * 2);
    Put16(b, 2);
    Put16(b, 16);
    b += "data";
    Put32(b, dataBytes);
    for (std::int16_t v : pcm) Put16(b, static_cast<std::uint16_t>(v));
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: qg_soundgen RESOURCE_DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::string qrc = "<RCC>\n<qresource prefix=\"/sounds\">\n";
    for (const Effect& e : kEffects) {
        const std::string path = dir + "/" + e.file;
        if (!WriteWav(path, Finish(e.make()))) {
            std::fprintf(stderr, "qg_soundgen: cannot write %s\n", path.c_str());
            return 1;
        }
        qrc += std::string("  <file>") + e.file + "</file>\n";
    }
    qrc += "</qresource>\n</RCC>\n";
    // The resource list last, so that it is newer than the sounds.
    const std::string qrcPath = dir + "/sounds.qrc";
    std::FILE* f = std::fopen(qrcPath.c_str(), "wb");
    if (!f || std::fwrite(qrc.data(), 1, qrc.size(), f) != qrc.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "qg_soundgen: cannot write %s\n", qrcPath.c_str());
        return 1;
    }
    return 0;
}
