// Music generator: writes the background pieces as General MIDI files into
// the program directory.
//
//   qg_musicgen PROGRAM_DIR
//
// Each piece is our own arrangement of a public-domain composition, written
// from the note tables below: calm, with a few soft General MIDI instruments,
// velocities that rise and fall with the phrases, no drums, and an ending that
// leads back to the start, since the game repeats a piece until it is switched.

#include <cmath>
#include <cstdio>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/music/Smf.h"

namespace {

using music::kTicksPerQuarter;
using music::Song;
using music::Track;

constexpr long kEighth = kTicksPerQuarter / 2;
constexpr long kSixteenth = kTicksPerQuarter / 4;
constexpr double kPi = 3.14159265358979323846;

// General MIDI programs (0-based).
constexpr int kPiano = 0;
constexpr int kHarp = 46;
constexpr int kPizzicato = 45;
constexpr int kSlowStrings = 49;
constexpr int kFlute = 73;

// ---------------------------------------------------------------------------
// J. S. Bach, Prelude in C major, BWV 846. One broken chord per bar: the five
// keys, lowest first. The left hand holds the first two, the right hand
// breaks the upper three twice per half bar.
constexpr int kPreludeBars[][5] = {
    {60, 64, 67, 72, 76}, {60, 62, 69, 74, 77}, {59, 62, 67, 74, 77}, {60, 64, 67, 72, 76},
    {60, 64, 69, 76, 81}, {60, 62, 66, 69, 74}, {59, 62, 67, 74, 79}, {59, 60, 64, 67, 72},
    {57, 60, 64, 67, 72}, {50, 57, 62, 66, 72}, {55, 59, 62, 67, 71}, {55, 58, 64, 67, 73},
    {53, 57, 62, 69, 74}, {53, 56, 62, 65, 71}, {52, 55, 60, 67, 72}, {52, 53, 57, 60, 65},
    {50, 53, 57, 60, 65}, {43, 50, 55, 59, 65}, {48, 52, 55, 60, 64}, {48, 55, 58, 60, 64},
    {41, 53, 57, 60, 64}, {42, 48, 57, 60, 63}, {44, 53, 59, 60, 62}, {43, 53, 55, 59, 62},
    {43, 52, 55, 60, 64}, {43, 50, 55, 60, 65}, {43, 50, 55, 59, 65}, {43, 51, 57, 60, 66},
    {43, 52, 55, 60, 67}, {43, 50, 55, 60, 65}, {43, 50, 55, 59, 65}, {36, 48, 55, 58, 64},
    {36, 48, 53, 57, 65}, {36, 47, 55, 62, 65},
};
// The closing chord, rolled from the bottom.
constexpr int kPreludeEnd[] = {36, 48, 52, 55, 60, 64, 72};

// ---------------------------------------------------------------------------
// Greensleeves (traditional English tune), A minor, 3/4. Melody in eighths
// ("KEY:eighths", "R" is a rest, bars are marked by "|"): the pick-up, then
// 32 bars whose last leaves room for the next pick-up, so the tune loops.
constexpr const char* kGreensleevesTune =
    "A4:2 | C5:4 D5:2 | E5:3 F5:1 E5:2 | D5:4 B4:2 | G4:3 A4:1 B4:2 | C5:4 A4:2 | A4:3 G#4:1 A4:2 |"
    " B4:4 G#4:2 | E4:4 A4:2 | C5:4 D5:2 | E5:3 F5:1 E5:2 | D5:4 B4:2 | G4:3 A4:1 B4:2 |"
    " C5:3 B4:1 A4:2 | G#4:3 F#4:1 G#4:2 | A4:6 | A4:6 |"
    " G5:6 | G5:3 F#5:1 E5:2 | D5:4 B4:2 | G4:3 A4:1 B4:2 | C5:4 A4:2 | A4:3 G#4:1 A4:2 |"
    " B4:4 G#4:2 | E4:6 | G5:6 | G5:3 F#5:1 E5:2 | D5:4 B4:2 | G4:3 A4:1 B4:2 |"
    " C5:3 B4:1 A4:2 | G#4:3 F#4:1 G#4:2 | A4:6 | A4:4";
// Our harmony, one chord per bar ("Am", "C", ...), for the 32 bars after the pick-up.
constexpr const char* kGreensleevesChords =
    "Am C G Em Am F E E Am C G Em Am E Am Am "
    "C C G Em Am F E E C C G Em Am E Am Am";

// ---------------------------------------------------------------------------
// Minuet in G major from the Notebook for Anna Magdalena Bach (Christian
// Petzold), 3/4, in eighths. Played A A B B.
constexpr const char* kMinuetA =
    "D5:2 G4:1 A4:1 B4:1 C5:1 | D5:2 G4:2 G4:2 | E5:2 C5:1 D5:1 E5:1 F#5:1 | G5:2 G4:2 G4:2 |"
    " C5:2 D5:1 C5:1 B4:1 A4:1 | B4:2 C5:1 B4:1 A4:1 G4:1 | F#4:2 G4:1 A4:1 B4:1 G4:1 | A4:6 |"
    " D5:2 G4:1 A4:1 B4:1 C5:1 | D5:2 G4:2 G4:2 | E5:2 C5:1 D5:1 E5:1 F#5:1 | G5:2 G4:2 G4:2 |"
    " C5:2 D5:1 C5:1 B4:1 A4:1 | B4:2 C5:1 B4:1 A4:1 G4:1 | A4:2 B4:1 A4:1 G4:1 F#4:1 | G4:6";
constexpr const char* kMinuetB =
    "B5:2 G5:1 A5:1 B5:1 G5:1 | A5:2 D5:1 E5:1 F#5:1 D5:1 | G5:2 E5:1 F#5:1 G5:1 D5:1 |"
    " C#5:2 B4:1 C#5:1 A4:2 | A4:1 B4:1 C#5:1 D5:1 E5:1 F#5:1 | G5:2 F#5:2 E5:2 | F#5:2 A4:2 C#5:2 |"
    " D5:6 | D5:2 G4:1 F#4:1 G4:2 | E5:2 G4:1 F#4:1 G4:2 | D5:2 C5:2 B4:2 | A4:1 G4:1 F#4:1 G4:1 A4:2 |"
    " D4:1 E4:1 F#4:1 G4:1 A4:1 B4:1 | C5:2 B4:2 A4:2 | B4:1 D5:1 G4:2 F#4:2 | G4:6";
// Our bass line.
constexpr const char* kMinuetBassA =
    "G2:6 | B2:6 | C3:6 | B2:6 | A2:6 | G2:6 | D3:2 B2:2 G2:2 | D3:2 D2:2 C3:2 |"
    " B2:6 | G2:6 | C3:6 | B2:6 | A2:6 | G2:6 | D3:6 | G2:2 D2:2 G2:2";
constexpr const char* kMinuetBassB =
    "G2:6 | F#2:6 | E2:6 | A2:6 | D3:6 | B2:6 | A2:6 | D2:2 D3:2 C3:2 |"
    " B2:6 | C3:6 | G2:6 | F#2:6 | E2:6 | C3:6 | D3:4 D2:2 | G2:6";

// ---------------------------------------------------------------------------

struct Note {
    long at, length;
    int key;  // -1: rest
};

int KeyOf(const std::string& name) {
    static constexpr int kSteps[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') throw std::runtime_error("bad note " + name);
    int key = kSteps[name[0] - 'A'];
    std::size_t i = 1;
    if (name[i] == '#') ++key, ++i;
    else if (name[i] == 'b') --key, ++i;
    return key + 12 * (std::stoi(name.substr(i)) + 1);
}

// "KEY:eighths" tokens from `start`; returns the notes and moves `start` on.
std::vector<Note> Parse(const char* text, long& start) {
    std::vector<Note> out;
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        if (token == "|") continue;
        const std::size_t colon = token.find(':');
        const long length = std::stol(token.substr(colon + 1)) * kEighth;
        const std::string name = token.substr(0, colon);
        out.push_back({start, length, name == "R" ? -1 : KeyOf(name)});
        start += length;
    }
    return out;
}

// A phrase-shaped loudness: swells over `phraseTicks` and ebbs again.
int Breath(long at, long phraseTicks, int base, int swing) {
    const double phase = static_cast<double>(at % phraseTicks) / static_cast<double>(phraseTicks);
    return base + static_cast<int>(std::lround(swing * std::sin(kPi * phase)));
}

// A small repeatable irregularity, so that no two notes hit quite alike.
int Humanise(long at, int key) {
    const unsigned h = static_cast<unsigned>(at) * 2654435761u ^ static_cast<unsigned>(key) * 40503u;
    return static_cast<int>((h >> 13) % 7) - 3;
}

Song Prelude() {
    Song song{"Prelude in C", 66, 4, 0, {}};
    Track harp("Harp", 0, kHarp, 100, 50);
    Track strings("Strings", 1, kSlowStrings, 70, 70);
    const long bar = 16 * kSixteenth;
    const int bars = static_cast<int>(std::size(kPreludeBars));
    for (int b = 0; b < bars; ++b) {
        const int* k = kPreludeBars[b];
        const long t0 = b * bar;
        // A long arch over the whole piece: it grows to the dominant pedal and settles.
        const double arch = std::sin(kPi * std::min(1.0, (b + 1.0) / 30.0));
        const int level = 56 + static_cast<int>(std::lround(18 * arch));
        for (int half = 0; half < 2; ++half) {
            const long h0 = t0 + half * 8 * kSixteenth;
            harp.Note(h0, 8 * kSixteenth, k[0], level + 4 + Humanise(h0, k[0]));
            harp.Note(h0 + kSixteenth, 7 * kSixteenth, k[1], level - 2 + Humanise(h0, k[1]));
            for (int i = 2; i < 8; ++i) {
                const int key = k[2 + (i - 2) % 3];
                const long at = h0 + i * kSixteenth;
                const int accent = (i == 2 || i == 5) ? 3 : 0;
                harp.Note(at, 3 * kSixteenth, key, level - 6 + accent + Humanise(at, key));
            }
        }
        // A quiet string pad under the bass notes.
        strings.Note(t0, bar, k[0], 34 + static_cast<int>(12 * arch));
        strings.Note(t0, bar, k[1], 30 + static_cast<int>(10 * arch));
    }
    const long end = bars * bar;
    for (std::size_t i = 0; i < std::size(kPreludeEnd); ++i) {
        const long at = end + static_cast<long>(i) * kSixteenth / 2;
        harp.Note(at, 2 * bar - static_cast<long>(i) * kSixteenth / 2, kPreludeEnd[i], 58 - static_cast<int>(i));
    }
    strings.Note(end, 2 * bar, 36, 36);
    strings.Note(end, 2 * bar, 48, 32);
    strings.Note(end, 2 * bar, 55, 26);
    // Let the strings fade out with the harp.
    for (int s = 0; s <= 8; ++s) strings.Control(end + bar + s * bar / 8, 11, 127 - s * 15);
    song.endTick = end + 2 * bar + kTicksPerQuarter;
    song.tracks = {harp, strings};
    return song;
}

struct Chord {
    int root;   // MIDI key of the bass
    bool minor;
};

Chord ChordOf(const std::string& name) {
    const bool minor = name.size() > 1 && name.back() == 'm';
    int key = KeyOf(name.substr(0, minor ? name.size() - 1 : name.size()) + "2");
    if (key < 40) key += 12;  // keep the bass between E2 and D#3
    return {key, minor};
}

Song Greensleeves() {
    Song song{"Greensleeves", 92, 3, 0, {}};
    Track flute("Flute", 0, kFlute, 92, 60);
    Track harp("Harp", 1, kHarp, 96, 50);
    Track strings("Strings", 2, kSlowStrings, 66, 70);
    const long bar = 6 * kEighth;
    const long pickup = 2 * kEighth;
    std::vector<std::string> chords;
    {
        std::istringstream in(kGreensleevesChords);
        for (std::string c; in >> c;) chords.push_back(c);
    }
    const long passLength = pickup + static_cast<long>(chords.size()) * bar - pickup;
    for (int pass = 0; pass < 2; ++pass) {
        long t = pass * passLength;
        const long passStart = t;
        for (const Note& n : Parse(kGreensleevesTune, t)) {
            if (n.key < 0) continue;
            const int v = Breath(n.at - passStart + bar - pickup, 4 * bar, pass == 0 ? 64 : 70, 16);
            flute.Note(n.at, n.length - kEighth / 6, n.key, v + Humanise(n.at, n.key));
        }
        for (std::size_t b = 0; b < chords.size(); ++b) {
            const Chord c = ChordOf(chords[b]);
            const long t0 = passStart + pickup + static_cast<long>(b) * bar;
            const int third = c.minor ? 3 : 4;
            const int pattern[6] = {0, 7, 12, 12 + third, 19, 12};
            const bool last = pass == 1 && b + 1 == chords.size();
            for (int i = 0; i < (last ? 1 : 6); ++i) {
                const long at = t0 + i * kEighth;
                const int key = c.root + pattern[i];
                const int v = Breath(at - passStart + bar - pickup, 4 * bar, 50, 10) + (i == 0 ? 6 : 0);
                harp.Note(at, last ? bar : 4 * kEighth, key, v + Humanise(at, key));
            }
            if (last) {  // the closing chord rolled, leading back to the pick-up
                for (int i = 1; i < 5; ++i)
                    harp.Note(t0 + i * kSixteenth / 2, bar, c.root + pattern[i], 48 - i);
            }
            if (pass == 1) {  // the second time round a string pad joins in
                strings.Note(t0, bar, c.root + 12 + third, 34);
                strings.Note(t0, bar, c.root + 19, 30);
            }
        }
    }
    // Ends on the tonic with the tune's last beat free for the pick-up.
    song.endTick = 2 * passLength;
    song.tracks = {flute, harp, strings};
    return song;
}

Song Minuet() {
    Song song{"Minuet in G", 104, 3, 0, {}};
    Track piano("Piano", 0, kPiano, 96, 45);
    Track harp("Harp", 1, kHarp, 92, 50);
    Track bass("Pizzicato", 2, kPizzicato, 100, 45);
    const long bar = 6 * kEighth;
    long t = 0;
    const char* sections[] = {kMinuetA, kMinuetA, kMinuetB, kMinuetB};
    const char* basses[] = {kMinuetBassA, kMinuetBassA, kMinuetBassB, kMinuetBassB};
    for (int s = 0; s < 4; ++s) {
        long start = t, bt = t;
        // First time piano, the repeat on the harp, a little softer.
        Track& voice = s % 2 == 0 ? piano : harp;
        for (const Note& n : Parse(sections[s], t)) {
            const bool downbeat = (n.at - start) % bar == 0;
            const int v = Breath(n.at - start, 4 * bar, s % 2 == 0 ? 62 : 58, 14) + (downbeat ? 6 : 0);
            voice.Note(n.at, n.length - kEighth / 8, n.key, v + Humanise(n.at, n.key));
        }
        for (const Note& n : Parse(basses[s], bt)) {
            // Pizzicato on the beats of a long note keeps the dance moving.
            for (long at = n.at; at < n.at + n.length; at += 2 * kEighth) {
                const bool first = at == n.at;
                bass.Note(at, kEighth, first ? n.key : n.key + 12, (first ? 62 : 44) + Humanise(at, n.key));
            }
        }
    }
    song.endTick = t + kTicksPerQuarter;
    song.tracks = {piano, harp, bass};
    return song;
}

struct Piece {
    const char* file;
    Song (*make)();
};

// Directory order is name order, so the names decide the playing order.
constexpr Piece kPieces[] = {
    {"greensleeves.mid", Greensleeves},
    {"minuet.mid", Minuet},
    {"prelude.mid", Prelude},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: qg_musicgen PROGRAM_DIR\n");
        return 2;
    }
    for (const Piece& p : kPieces) {
        const std::string path = std::string(argv[1]) + "/" + p.file;
        if (!music::WriteSong(p.make(), path)) {
            std::fprintf(stderr, "qg_musicgen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
