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
#include "core/Random.h"
#include "puzzles/PuzzleRecords.h"
#include "sheets/SheetLoader.h"

namespace {

using namespace qg;

// Just enough of the shell for a puzzle to draw itself once: no sound, no
// pauses, and a fixed seed so every build draws the same boards.
class PictureHost : public PuzzleHost {
public:
    explicit PictureHost(Surface sheet)
        : sheet_(std::move(sheet)), composition_(kBoardWidth, kBoardHeight), screen_(kBoardWidth, kBoardHeight) {}

    Surface& Sheet() override { return sheet_; }
    Surface& Composition() override { return composition_; }
    Surface& Screen() override { return screen_; }
    void Present(const Rect&) override {}
    void PlaySound(Sound) override {}
    void Pause(int) override {}
    void PuzzleSolved() override {}
    std::uint8_t State() const override { return state_; }
    void SetState(std::uint8_t state) override { state_ = state; }
    int Random(int n) override { return random_.Random(n); }

    QImage ScreenImage() const {
        const QImage view(reinterpret_cast<const uchar*>(screen_.data()), screen_.width(), screen_.height(),
                          screen_.bytesPerLine(), QImage::Format_RGB32);
        return view.copy();
    }

private:
    Surface sheet_;
    Surface composition_;
    Surface screen_;
    std::uint8_t state_ = kStateReady;
    RandomSource random_{20260415};
};

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

std::unique_ptr<Puzzle> MakePuzzle(int gameIndex, PuzzleHost& host) {
    switch (gameIndex) {
    case kTorvane: return std::make_unique<Torvane>(host);
    case kPellora: return std::make_unique<Pellora>(host);
    case kNubbler: return std::make_unique<Nubbler>(host);
    default: return std::make_unique<Cirrela>(host);
    }
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
        PictureHost host(std::move(*sheet));
        std::unique_ptr<Puzzle> puzzle = MakePuzzle(board.gameIndex, host);
        board.setUp(*puzzle);
        puzzle->Draw();
        const QString path = outDir + board.file;
        if (!host.ScreenImage().save(path, "PNG")) {
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
