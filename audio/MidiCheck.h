#pragma once
// The MIDI file check made once per file before it is played: FluidSynth's
// player accepts a valid header with a broken body and then plays nothing,
// and it reads any size of file whole.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qg {

// Larger files are not music the game ships or anyone drops beside it.
inline constexpr std::size_t kMaxMidiBytes = 4u << 20;

// A Standard MIDI File whose every chunk and event parses and which holds at
// least one note-on with a velocity.
bool MidiPlaysNotes(const std::uint8_t* data, std::size_t size);

// The channels (bit c for channel c) that sound a note before any program
// change on them: they play the default instrument, as after a reset. A
// program change at the same tick as the first note comes first. 0 for a
// file that does not parse.
std::uint16_t ChannelsOnDefaultProgram(const std::uint8_t* data, std::size_t size);

// The file's bytes when it is at most kMaxMidiBytes and MidiPlaysNotes;
// nothing otherwise. Only the size is looked at before reading.
std::optional<std::vector<std::uint8_t>> ReadPlayableMidi(const std::string& path);

}  // namespace qg
