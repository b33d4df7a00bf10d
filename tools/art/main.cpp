// Picture generator: writes the four sprite sheets into the program directory
// and the compiled-in pictures into the resource directory.
//
//   qg_artgen SHEET_DIR RESOURCE_DIR [ICON_DIR]
//
// With ICON_DIR it also draws the application icons for the desktop there.

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <QGuiApplication>

#include <array>
#include <cstdio>

#include "puzzles/PuzzleRecords.h"
#include "tools/art/ArtKit.h"
#include "tools/art/Sheets.h"

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: qg_artgen SHEET_DIR RESOURCE_DIR [ICON_DIR]\n");
        return 2;
    }
    // Fonts may be used for captions; the offscreen platform needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString sheetDir = QString::fromLocal8Bit(argv[1]);
    const QString resourceDir = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(sheetDir);
    QDir().mkpath(resourceDir);

    // In GameIndex order, like the records.
    const std::array<QImage (*)(), qg::kPuzzleCount> makers = {art::MakeTorvaneSheet, art::MakePelloraSheet,
                                                               art::MakeNubblerSheet, art::MakeCirrelaSheet};
    for (int game = 0; game < qg::kPuzzleCount; ++game) {
        const QString path = sheetDir + "/" + qg::Record(game).sheetFile;
        if (!art::SaveBmp(qg::At(makers, game)(), path)) {
            std::fprintf(stderr, "qg_artgen: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    if (argc == 4) {
        const QString iconDir = QString::fromLocal8Bit(argv[3]);
        if (!QDir().mkpath(iconDir) || !art::MakeIcons(iconDir)) {
            std::fprintf(stderr, "qg_artgen: cannot write the icons into %s\n", qPrintable(iconDir));
            return 1;
        }
    }
    QStringList files;
    if (!art::MakeToolbarPictures(resourceDir, files) || !art::MakeClockPictures(resourceDir, files) ||
        !art::MakeDialogPictures(resourceDir, files)) {
        std::fprintf(stderr, "qg_artgen: cannot write the pictures into %s\n", qPrintable(resourceDir));
        return 1;
    }
    // The resource list for rcc, written last so that it is newer than the pictures.
    QFile qrc(resourceDir + "/pictures.qrc");
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "qg_artgen: cannot write %s\n", qPrintable(qrc.fileName()));
        return 1;
    }
    QTextStream out(&qrc);
    out << "<RCC>\n<qresource prefix=\"/pictures\">\n";
    for (const QString& f : files) out << "  <file>" << f << "</file>\n";
    out << "</qresource>\n</RCC>\n";
    return 0;
}
