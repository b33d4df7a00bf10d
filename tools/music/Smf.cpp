#include "tools/music/Smf.h"

#include <algorithm>
#include <cstdio>

namespace music {
namespace {

std::string VarLen(unsigned long v) {
    std::string out(1, static_cast<char>(v & 0x7F));
    while (v >>= 7) out.insert(out.begin(), static_cast<char>((v & 0x7F) | 0x80));
    return out;
}

std::string Be32(std::uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

std::string Be16(unsigned v) { return {static_cast<char>(v >> 8), static_cast<char>(v)}; }

std::string Bytes(std::initializer_list<int> b) {
    std::string out;
    for (int v : b) out += static_cast<char>(v);
    return out;
}

std::string Meta(int type, const std::string& data) { return Bytes({0xFF, type}) + VarLen(data.size()) + data; }

std::string Chunk(const char* id, const std::string& body) { return id + Be32(static_cast<std::uint32_t>(body.size())) + body; }

int Clamp7(int v) { return std::clamp(v, 0, 127); }

}  // namespace

Track::Track(std::string name, int channel, int program, int volume, int reverb)
    : name_(std::move(name)), channel_(channel) {
    events_.push_back({0, 1, Bytes({0xC0 | channel, program})});
    events_.push_back({0, 1, Bytes({0xB0 | channel, 7, Clamp7(volume)})});
    events_.push_back({0, 1, Bytes({0xB0 | channel, 91, Clamp7(reverb)})});
    events_.push_back({0, 1, Bytes({0xB0 | channel, 11, 127})});
}

void Track::Note(long at, long length, int key, int velocity) {
    events_.push_back({at, 2, Bytes({0x90 | channel_, Clamp7(key), std::clamp(velocity, 1, 127)})});
    events_.push_back({at + std::max(1L, length), 0, Bytes({0x80 | channel_, Clamp7(key), 64})});
}

void Track::Control(long at, int controller, int value) {
    events_.push_back({at, 1, Bytes({0xB0 | channel_, Clamp7(controller), Clamp7(value)})});
}

std::string Track::Encode() const {
    std::vector<Event> sorted = events_;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Event& a, const Event& b) { return a.at != b.at ? a.at < b.at : a.order < b.order; });
    std::string body = VarLen(0) + Meta(0x03, name_);
    long now = 0;
    for (const Event& e : sorted) {
        body += VarLen(static_cast<unsigned long>(e.at - now)) + e.bytes;
        now = e.at;
    }
    return body;
}

bool WriteSong(const Song& song, const std::string& path) {
    std::string file = Chunk("MThd", Be16(1) + Be16(static_cast<unsigned>(song.tracks.size() + 1)) + Be16(kTicksPerQuarter));
    const std::uint32_t usPerQuarter = static_cast<std::uint32_t>(60000000 / song.bpm);
    std::string tempo = VarLen(0) + Meta(0x03, song.title);
    tempo += VarLen(0) + Meta(0x51, Be32(usPerQuarter).substr(1));
    tempo += VarLen(0) + Meta(0x58, Bytes({song.beatsPerBar, 2, 24, 8}));
    // The piece ends here, after its last notes have rung out.
    tempo += VarLen(static_cast<unsigned long>(song.endTick)) + Meta(0x2F, "");
    file += Chunk("MTrk", tempo);
    for (const Track& t : song.tracks) {
        file += Chunk("MTrk", t.Encode() + VarLen(0) + Meta(0x2F, ""));
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace music
