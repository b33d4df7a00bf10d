// Screenshot generator: each puzzle mixed and drawn by its own code from the
// generated sheets, saved as PNG for the AppStream metadata.
//
//   qg_shotgen SHEET_DIR OUT_DIR

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <memory>

#include "core/Puzzle.h"
#include "core/Random.h"
#include "puzzles/Cirrela.h"
#include "puzzles/Nubbler.h"
#include "puzzles/Pellora.h"
#include "puzzles/PuzzleRecords.h"
#include "puzzles/Torvane.h"
#include "sheets/SheetLoader.h"

namespace {

// Real surfaces, a fixed seed, and services that do nothing.
class ShotHost : public qg::PuzzleHost {
public:
    explicit ShotHost(qg::Surface sheet)
        : sheet_(std::move(sheet)), composition_(qg::kBoardWidth, qg::kBoardHeight), screen_(qg::kBoardWidth, qg::kBoardHeight) {}
    qg::Surface& Sheet() override { return sheet_; }
    qg::Surface& Composition() override { return composition_; }
    qg::Surface& Screen() override { return screen_; }
    void Present(const qg::Rect&) override {}
    void PlaySound(qg::Sound) override {}
    void Pause(int) override {}
    void PuzzleSolved() override {}
    std::uint8_t State() const override { return state_; }
    void SetState(std::uint8_t s) override { state_ = s; }
    int Random(int n) override { return random_.Random(n); }

private:
    qg::Surface sheet_, composition_, screen_;
    std::uint8_t state_ = qg::kStateReady;
    qg::RandomSource random_{1995};
};

std::unique_ptr<qg::Puzzle> MakePuzzle(int index, qg::PuzzleHost& host) {
    switch (index) {
    case 0: return std::make_unique<qg::Torvane>(host);
    case 1: {
        auto p = std::make_unique<qg::Pellora>(host);
        p->SetVariant(2);  // the middle board shows the game best
        return p;
    }
    case 2: return std::make_unique<qg::Nubbler>(host);
    default: {
        auto p = std::make_unique<qg::Cirrela>(host);
        p->SetLevel(2);
        return p;
    }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: qg_shotgen SHEET_DIR OUT_DIR\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString sheetDir = QString::fromLocal8Bit(argv[1]) + "/";
    const QString outDir = QString::fromLocal8Bit(argv[2]) + "/";
    QDir().mkpath(outDir);
    for (int i = 0; i < qg::kPuzzleCount; ++i) {
        const qg::PuzzleRecord& r = qg::Record(i);
        auto sheet = qg::LoadSheet(sheetDir + r.sheetFile, r.sheetMinWidth, r.sheetMinHeight);
        if (!sheet) {
            std::fprintf(stderr, "qg_shotgen: cannot load %s%s\n", qPrintable(sheetDir), r.sheetFile);
            return 1;
        }
        ShotHost host(std::move(*sheet));
        auto puzzle = MakePuzzle(i, host);
        puzzle->Prepare();
        puzzle->Shuffle();
        puzzle->Draw();
        const qg::Surface& s = host.Screen();
        const QImage shot(reinterpret_cast<const uchar*>(s.data()), s.width(), s.height(), s.width() * 4, QImage::Format_RGB32);
        const QString file = outDir + QString::fromLatin1(r.name).toLower() + ".png";
        if (!shot.save(file, "PNG")) {
            std::fprintf(stderr, "qg_shotgen: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
