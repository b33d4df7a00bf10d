#pragma once
// A small Standard MIDI File writer: format 1, one tempo track and one track
// per instrument, each on its own channel.

#include <cstdint>
#include <string>
#include <vector>

namespace music {

inline constexpr int kTicksPerQuarter = 480;

class Track {
public:
    Track(std::string name, int channel, int program, int volume, int reverb);

    // A note of `length` ticks starting at tick `at` (MIDI key, velocity 1..127).
    void Note(long at, long length, int key, int velocity);
    // A controller change at tick `at` (e.g. 11 expression).
    void Control(long at, int controller, int value);

    const std::string& name() const { return name_; }
    int channel() const { return channel_; }
    // The track chunk's body, events sorted by time (note-offs first at a tie).
    std::string Encode() const;

private:
    struct Event {
        long at;
        int order;  // note-offs before controllers before note-ons at one tick
        std::string bytes;
    };
    std::string name_;
    int channel_;
    std::vector<Event> events_;
};

struct Song {
    std::string title;
    int bpm = 100;
    int beatsPerBar = 4;
    long endTick = 0;  // the end of every track: leaves room for the last notes to ring
    std::vector<Track> tracks;
};

// The whole file. Returns false when it could not be written.
bool WriteSong(const Song& song, const std::string& path);

}  // namespace music
