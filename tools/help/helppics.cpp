// Help picture generator: draws each puzzle's board with its pieces, the way
// the game draws it from the sheets beside the program, and copies the
// toolbar's button pictures, so that the help file can show what it explains.
//
//   qg_helppics PROGRAM_DIR BUTTON_PICTURE_DIR OUT_DIR
//   qg_helppics --screenshots     the help boards the package shows, one a line
//
// The boards are those the puzzles' records name, drawn by the puzzles' own
// Draw from the generated sheets, so the help always shows the boards the
// player sees.

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>

#include "core/Puzzle.h"
#include "core/QuietHost.h"
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

// The toolbar pictures the help shows beside the commands; the puzzle
// buttons' come from their records.
const char* const kCommandButtons[] = {"mix", "option", "pause", "sound", "music", "highscore", "exit",
                                       "tongue", "help", "info", "quirko"};

// Draws one of a record's help boards into outDir; false with the reason told.
bool DrawBoard(const QString& programDir, int game, const HelpPicture& picture, const QString& outDir) {
    const PuzzleRecord& record = Record(game);
    std::optional<Surface> sheet = LoadSheet(programDir, record);
    if (!sheet) {
        std::fprintf(stderr, "qg_helppics: cannot read %s%s\n", qPrintable(programDir), record.sheetFile);
        return false;
    }
    // A fixed seed, so every build draws the same boards.
    QuietHost host(std::move(*sheet), 20260415);
    std::unique_ptr<Puzzle> puzzle = std::move(MakePuzzles(host)[static_cast<std::size_t>(game)]);
    puzzle->SetOption(picture.option);
    if (!picture.position) {
        puzzle->Prepare();
    } else if (!puzzle->SetPositionText(picture.position)) {
        std::fprintf(stderr, "qg_helppics: %s is no %s position\n", picture.position, record.name);
        return false;
    }
    puzzle->Draw();
    const QString path = outDir + picture.name + ".png";
    if (!ScreenImage(host.Screen()).save(path, "PNG")) {
        std::fprintf(stderr, "qg_helppics: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool CopyButton(const QString& buttonDir, const char* name, const QString& outDir) {
    const QString from = buttonDir + name + ".png";
    const QString to = outDir + "button_" + name + ".png";
    QFile::remove(to);
    if (QFile::copy(from, to)) return true;
    std::fprintf(stderr, "qg_helppics: cannot copy %s to %s\n", qPrintable(from), qPrintable(to));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    // The screenshots the package's metadata names: each puzzle's first help board.
    if (argc == 2 && std::string_view(argv[1]) == "--screenshots") {
        for (const PuzzleRecord& record : kPuzzles) std::printf("%s.png\n", record.helpPictures[0].name);
        return 0;
    }
    if (argc != 4) {
        std::fprintf(stderr, "usage: qg_helppics PROGRAM_DIR BUTTON_PICTURE_DIR OUT_DIR | qg_helppics --screenshots\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString programDir = QString::fromLocal8Bit(argv[1]) + "/";
    const QString buttonDir = QString::fromLocal8Bit(argv[2]) + "/";
    const QString outDir = QString::fromLocal8Bit(argv[3]) + "/";
    QDir().mkpath(outDir);

    for (int game = 0; game < kPuzzleCount; ++game)
        for (const HelpPicture& picture : Record(game).helpPictures)
            if (picture.name && !DrawBoard(programDir, game, picture, outDir)) return 1;
    for (const char* name : kCommandButtons)
        if (!CopyButton(buttonDir, name, outDir)) return 1;
    for (const PuzzleRecord& record : kPuzzles)
        if (!CopyButton(buttonDir, record.buttonPicture, outDir)) return 1;
    return 0;
}
