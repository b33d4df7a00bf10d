// Fuzz target: the text form of the four puzzles' positions. Whatever the
// bytes, Decode reads nothing outside them; a position it accepts is written
// back as exactly the same text, and every move listed for it can be made,
// leads to a position that reads back too, and is undone by the other button.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "puzzles/PuzzleRecords.h"

namespace {

[[noreturn]] void Fail(const char* what, std::string_view text) {
    std::fprintf(stderr, "fuzz_positions: %s: \"%.*s\"\n", what, static_cast<int>(text.size()), text.data());
    std::abort();
}

template <class Position>
void Check(std::string_view text) {
    const auto position = qg::Decode<Position>(text);
    if (!position) return;
    if (Encode(*position) != text) Fail("a decoded position is written differently", text);
    for (const qg::Move m : LegalMoves(*position)) {
        const Position moved = Apply(*position, m);
        const auto back = qg::Decode<Position>(Encode(moved));
        if (!back || !(*back == moved)) Fail("a position one move on does not read back", text);
        if (!(Apply(moved, qg::Inverse(m)) == *position)) Fail("the other button does not undo a move", text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The input itself, not a copy with a terminating zero behind it.
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Check<qg::TorvanePosition>(text);
    Check<qg::PelloraPosition>(text);
    Check<qg::NubblerPosition>(text);
    Check<qg::CirrelaPosition>(text);
    return 0;
}
