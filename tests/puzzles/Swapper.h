#pragma once
// SWAPPER: a puzzle for the tests only, to show that a puzzle is one file
// pair and one row. Four pieces in a row of four cells; a plate over two
// neighbouring cells swaps their pieces, the same either way round. Its
// option is the number of plates, 2 or 3 (the cells past the last plate keep
// their pieces); the row is solved in the order 1 2 3 4. It draws with plain
// colours, no sheet.

#include <array>
#include <climits>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/Puzzle.h"
#include "core/PuzzleRecord.h"
#include "tests/PositionSamples.h"

namespace qg {

inline constexpr int kSwapperCells = 4;
inline constexpr int kSwapperMinPlates = 2;
inline constexpr int kSwapperMaxPlates = 3;

struct SwapperPosition {
    int plates = kSwapperMinPlates;
    std::array<std::uint8_t, kSwapperCells> pieces = {1, 2, 3, 4};
    friend bool operator==(const SwapperPosition&, const SwapperPosition&) = default;
};

bool IsSolved(const SwapperPosition& position);
// Swaps the pieces under plate m.place (cells place and place + 1); any
// other place leaves the position as it is.
SwapperPosition Apply(const SwapperPosition& position, Move move);
std::vector<Move> LegalMoves(const SwapperPosition& position);
// The number of plates, a space and the pieces, "2 2134".
std::string Encode(const SwapperPosition& position);
template <>
std::optional<SwapperPosition> Decode<SwapperPosition>(std::string_view text);

// Plate k's frame: round cells k and k + 1, hit strictly inside.
inline constexpr std::array<PlaceArea, kSwapperMaxPlates> kSwapperPlaceAreas = {{
    InsideFrame({60, 120, 180, 90}),
    InsideFrame({160, 120, 180, 90}),
    InsideFrame({260, 120, 180, 90}),
}};

inline constexpr PuzzleRecord kSwapperRecord{
    .name = "SWAPPER",
    .sheetFile = nullptr,  // draws without one
    .sheetMinWidth = kBoardWidth,
    .sheetMinHeight = kBoardHeight,
    .rulesRect = {400, 10, 90, 40},
    .optionMin = kSwapperMinPlates,
    .optionMax = kSwapperMaxPlates,
    .optionSetting = "smode",
    .tableKey = "swap",
    .buttonName = "SwapperBtn",
    .buttonPicture = "swapper",
    .key = '5',
    .hint = {"Tausche.", "Swap."},
    .rules = {"Tausche die Steine.\rOrdne sie 1 2 3 4.", "Swap the pieces.\rOrder them 1 2 3 4."},
    .sound = Sound::Clack,
};

class Swapper : public Puzzle {
public:
    using Puzzle::Puzzle;

    void Prepare() override { Shuffle(); }
    void Shuffle() override;
    void Draw() override;
    std::span<const PlaceArea> PlaceAreas() const override {
        return std::span(kSwapperPlaceAreas).first(static_cast<std::size_t>(position_.plates));
    }
    void ChangeOption(bool up) override;
    int Option() const override { return position_.plates; }
    void SetOption(int option) override;
    bool IsSolved() const override { return qg::IsSolved(position_); }
    std::string PositionText() const override { return Encode(position_); }
    bool SetPositionText(std::string_view text) override { return ReadPosition(position_, text); }

    const SwapperPosition& Position() const { return position_; }
    void SetPosition(const SwapperPosition& position) { position_ = position; }

protected:
    void AnimateMove(qg::Move m) override;

private:
    // The row with the pieces of plate `moving` drawn `frame` steps on their way.
    void DrawRow(int moving, int frame);

    SwapperPosition position_;
};

namespace test {
template <>
struct PuzzleTraits<Swapper> {
    using Position = SwapperPosition;
    static constexpr const PuzzleRecord& kRecord = kSwapperRecord;
    static int TurnsAround(const Position&) { return 2; }
    static void LaySolved(Swapper& puzzle) { puzzle.SetPosition({puzzle.Option(), {1, 2, 3, 4}}); }
    static constexpr std::pair<int, int> kHit = {150, 165};
    static std::vector<std::pair<int, int>> Misses() { return {{0, 0}, {60, 165}, {150, 120}, {499, 332}, {INT_MIN, INT_MAX}}; }
    static constexpr const char* kMoveTrace = "S4 F P10 F";
    static constexpr bool kReportsAgain = true;
};
}  // namespace test

}  // namespace qg
