// Test tool: reads positions, one "GAME ENCODED-POSITION" line each (GAME is
// TORVANE, PELLORA, NUBBLER or CIRRELA, the position as the puzzle's Encode
// writes it), and prints the moves of a solution, one "PLACE left|right"
// line each, then an empty line. A line it cannot read or solve prints
// "error: ..." and an empty line, and the tool carries on; it ends with
// status 1 when any line failed.
//
//   echo "NUBBLER 01234567 ..." | qg_solve

#include <cstdio>
#include <iostream>
#include <string>

#include "puzzles/PuzzleRecords.h"
#include "solve/Solve.h"

int main() {
    bool failed = false;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const auto space = line.find(' ');
        const std::string game = line.substr(0, space);
        int index = -1;
        for (int i = 0; i < qg::kPuzzleCount; ++i)
            if (game == qg::Record(i).name) index = i;
        std::optional<qg::Solution> solution;
        if (index < 0) std::printf("error: no puzzle named %s\n", game.c_str());
        else if (space == std::string::npos) std::printf("error: no position after %s\n", game.c_str());
        else if (!(solution = qg::SolveText(index, std::string_view(line).substr(space + 1))))
            std::printf("error: not a %s position that can be solved\n", game.c_str());
        if (!solution) failed = true;
        else
            for (const qg::Move m : solution->moves) std::printf("%d %s\n", m.place, m.turn == qg::Turn::Left ? "left" : "right");
        std::printf("\n");
        std::fflush(stdout);
    }
    return failed ? 1 : 0;
}
