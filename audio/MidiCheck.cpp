#include "audio/MidiCheck.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace qg {
namespace {

std::uint32_t Be(const std::uint8_t* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | p[i];
    return v;
}

// Reads a variable-length quantity; false when it runs past `end` or is
// longer than the four bytes the format allows.
bool ReadVarLen(const std::uint8_t*& p, const std::uint8_t* end, std::uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (p >= end) return false;
        const std::uint8_t b = *p++;
        value = (value << 7) | (b & 0x7F);
        if (!(b & 0x80)) return true;
    }
    return false;
}

// What a walk through the tracks finds.
struct Scan {
    bool hasNote = false;
    // Per channel, the tick of its first note and of its first program change.
    std::uint64_t firstNote[16], firstProgram[16];
    Scan() {
        for (int c = 0; c < 16; ++c) firstNote[c] = firstProgram[c] = UINT64_MAX;
    }
};

// Walks one track's events; false on anything that does not parse.
bool WalkTrack(const std::uint8_t* p, const std::uint8_t* end, Scan& scan) {
    std::uint8_t status = 0;
    std::uint64_t tick = 0;
    while (p < end) {
        std::uint32_t delta;
        if (!ReadVarLen(p, end, delta) || p >= end) return false;
        tick += delta;
        std::uint8_t b = *p;
        if (b == 0xFF) {  // meta event
            if (end - p < 2) return false;
            const std::uint8_t type = p[1];
            p += 2;
            std::uint32_t len;
            if (!ReadVarLen(p, end, len) || len > static_cast<std::uint32_t>(end - p)) return false;
            p += len;
            if (type == 0x2F) return true;  // end of track
            continue;
        }
        if (b == 0xF0 || b == 0xF7) {  // system exclusive
            ++p;
            std::uint32_t len;
            if (!ReadVarLen(p, end, len) || len > static_cast<std::uint32_t>(end - p)) return false;
            p += len;
            status = 0;
            continue;
        }
        if (b & 0x80) {
            if (b >= 0xF0) return false;  // no other system messages belong in a file
            status = b;
            ++p;
        } else if (!status) {
            return false;  // running status with nothing to run on
        }
        const int kind = status & 0xF0;
        const int dataBytes = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
        if (end - p < dataBytes) return false;
        for (int i = 0; i < dataBytes; ++i)
            if (p[i] & 0x80) return false;
        const int channel = status & 0x0F;
        if (kind == 0x90 && p[1] > 0) {
            scan.hasNote = true;
            scan.firstNote[channel] = std::min(scan.firstNote[channel], tick);
        }
        if (kind == 0xC0) scan.firstProgram[channel] = std::min(scan.firstProgram[channel], tick);
        p += dataBytes;
    }
    return true;  // a missing end-of-track meta event is forgiven, as players do
}

bool ScanMidi(const std::uint8_t* data, std::size_t size, Scan& scan) {
    const std::uint8_t* p = data;
    const std::uint8_t* end = data + size;
    if (size < 14 || Be(p, 4) != 0x4D546864 /* MThd */) return false;
    const std::uint32_t headerLength = Be(p + 4, 4);
    if (headerLength < 6 || headerLength > size - 8) return false;
    const std::uint32_t format = Be(p + 8, 2), tracks = Be(p + 10, 2), division = Be(p + 12, 2);
    if (format > 2 || tracks == 0 || division == 0) return false;
    p += 8 + headerLength;
    std::uint32_t found = 0;
    while (found < tracks) {
        if (end - p < 8) return false;
        const std::uint32_t id = Be(p, 4), length = Be(p + 4, 4);
        p += 8;
        if (length > static_cast<std::uint32_t>(end - p)) return false;
        if (id == 0x4D54726B /* MTrk */) {
            if (!WalkTrack(p, p + length, scan)) return false;
            ++found;
        }
        p += length;  // other chunks are skipped, as the format asks
    }
    return true;
}

}  // namespace

bool MidiPlaysNotes(const std::uint8_t* data, std::size_t size) {
    Scan scan;
    return ScanMidi(data, size, scan) && scan.hasNote;
}

std::uint16_t ChannelsOnDefaultProgram(const std::uint8_t* data, std::size_t size) {
    Scan scan;
    if (!ScanMidi(data, size, scan)) return 0;
    std::uint16_t channels = 0;
    for (int c = 0; c < 16; ++c)
        if (scan.firstNote[c] != UINT64_MAX && scan.firstNote[c] < scan.firstProgram[c])
            channels = static_cast<std::uint16_t>(channels | (1u << c));
    return channels;
}

std::optional<std::vector<std::uint8_t>> ReadPlayableMidi(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 14 ||
        static_cast<std::uint64_t>(st.st_size) > kMaxMidiBytes)
        return std::nullopt;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(st.st_size));
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    bytes.resize(got);
    if (!MidiPlaysNotes(bytes.data(), bytes.size())) return std::nullopt;
    return bytes;
}

}  // namespace qg
