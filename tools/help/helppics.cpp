// Help picture generator: draws each puzzle's board with its pieces, the way
// the game draws it from the sheets beside the program, and copies the
// toolbar's button pictures, so that the help file can show what it explains.
//
//   qg_helppics PROGRAM_DIR BUTTON_PICTURE_DIR OUT_DIR
//
// The boards are drawn by the puzzles' own Draw from the generated sheets, so
// the help always shows the boards the player sees.

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

#include "core/Puzzle.h"
#include "core/QuietHost.h"
#include "core/Random.h"
#include "puzzles/PuzzleRecords.h"
#include "sheets/SheetLoader.h"

namespace {

using namespace qg;

// The screen a puzzle drew on, as a picture.
QImage ScreenImage(Surface& screen) {
    const QImage view(reinterpret_cast<const uchar*>(screen.data()), screen.width(), screen.height(),
                      screen.bytesPerLine(), QImage::Format_RGB32);
    return view.copy();
}

struct BoardPicture {
    const char* file;
    int gameIndex;
    // Sets the board up; the puzzle then draws it.
    std::function<void(Puzzle&)> setUp;
};

// A NUBBLER colouring in which every facing pair agrees, as a solved board looks.
NubblerColours SolvedNubbler() {
    RandomSource random(7);
    NubblerColours colours{};
    for (auto& c : colours) c = static_cast<std::uint8_t>(random.Random(kNubblerColours));
    for (const NubblerPair& pair : NubblerPairs)
        colours[static_cast<std::size_t>(NubblerIndex(pair.a))] = colours[static_cast<std::size_t>(NubblerIndex(pair.b))];
    return colours;
}

const BoardPicture kBoards[] = {
    // A task: the board at the left, the pattern to build at the right.
    {"torvane.png", kTorvane, [](Puzzle& p) { p.Prepare(); }},
    // The middle board size, mixed and solved.
    {"pellora.png", kPellora, [](Puzzle& p) { p.SetOption(2); p.Shuffle(); }},
    {"pellora_solved.png", kPellora,
     [](Puzzle& p) {
         p.SetOption(2);
         static_cast<Pellora&>(p).SetBoard(PelloraTarget);
     }},
    {"nubbler.png", kNubbler, [](Puzzle& p) { p.Prepare(); }},
    {"nubbler_solved.png", kNubbler, [](Puzzle& p) { static_cast<Nubbler&>(p).SetButtons(SolvedNubbler()); }},
    // The first level mixed; its pattern shows small at the top right.
    {"cirrela.png", kCirrela, [](Puzzle& p) { p.Prepare(); }},
};

// The toolbar pictures the help shows beside the commands.
const char* const kButtons[] = {"mix",    "option",  "pause",   "sound",   "music",  "highscore", "exit", "torvane",
                                "pellora", "nubbler", "cirrela", "tongue", "help",   "info",      "quirko"};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: qg_helppics PROGRAM_DIR BUTTON_PICTURE_DIR OUT_DIR\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString programDir = QString::fromLocal8Bit(argv[1]) + "/";
    const QString buttonDir = QString::fromLocal8Bit(argv[2]) + "/";
    const QString outDir = QString::fromLocal8Bit(argv[3]) + "/";
    QDir().mkpath(outDir);

    for (const BoardPicture& board : kBoards) {
        std::optional<Surface> sheet = LoadSheet(programDir, Record(board.gameIndex));
        if (!sheet) {
            std::fprintf(stderr, "qg_helppics: cannot read %s%s\n", qPrintable(programDir), Record(board.gameIndex).sheetFile);
            return 1;
        }
        // A fixed seed, so every build draws the same boards.
        QuietHost host(std::move(*sheet), 20260415);
        std::unique_ptr<Puzzle> puzzle = std::move(MakePuzzles(host)[static_cast<std::size_t>(board.gameIndex)]);
        board.setUp(*puzzle);
        puzzle->Draw();
        const QString path = outDir + board.file;
        if (!ScreenImage(host.Screen()).save(path, "PNG")) {
            std::fprintf(stderr, "qg_helppics: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    for (const char* name : kButtons) {
        const QString from = buttonDir + name + ".png";
        const QString to = outDir + "button_" + name + ".png";
        QFile::remove(to);
        if (!QFile::copy(from, to)) {
            std::fprintf(stderr, "qg_helppics: cannot copy %s to %s\n", qPrintable(from), qPrintable(to));
            return 1;
        }
    }
    return 0;
}
