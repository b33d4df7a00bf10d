// Start-up yardsticks for tools/measure_audio.py.
//
//   qg_bare_window                      a bare Qt 6 window of the game's size
//   qg_bare_window --first-paint PROGRAM [ARGS...]
//       starts PROGRAM and prints the milliseconds from its start until the
//       screen first shows non-uniform pixels, then ends it. Run on an X
//       server whose root window is plain (Xvfb -br) and without a window
//       manager, so the first pixels drawn are the program's own. Only a
//       small square near the top left is watched, which the game (centred
//       on a 640 x 480 screen), the bare window and Twiddle (both at the
//       corner) all cover: watching cheaply leaves the processor to the
//       program measured.

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QThread>
#include <QWidget>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kWidth = 500, kHeight = 33 + 333;  // the toolbar and the board

constexpr int kWatch = 64, kWatchAt = 100;  // the watched square

// Whether every pixel has the colour `plain`.
bool Plain(const QImage& image, QRgb plain) {
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (line[x] != plain) return false;
    }
    return true;
}

int FirstPaint(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 2;
    const QRect box(kWatchAt, kWatchAt, kWatch, kWatch);
    auto grab = [&] { return screen->grabWindow(0, box.x(), box.y(), box.width(), box.height()).toImage(); };
    // The plain colour is that of the screen's bottom right corner, where no
    // measured window reaches; a window of the program measured before may
    // take a moment to go.
    const QPoint corner = screen->geometry().bottomRight();
    const QRgb plain =
        screen->grabWindow(0, corner.x(), corner.y(), 1, 1).toImage().convertToFormat(QImage::Format_RGB32).pixel(0, 0);
    QElapsedTimer settle;
    settle.start();
    while (!Plain(grab(), plain) && settle.elapsed() < 5000) QThread::usleep(10000);
    if (!Plain(grab(), plain)) {
        std::fprintf(stderr, "qg_bare_window: the screen is not plain to begin with\n");
        return 2;
    }
    QStringList args;
    for (int i = 3; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    QElapsedTimer clock;
    clock.start();
    program.start(QString::fromLocal8Bit(argv[2]), args);
    double ms = -1;
    while (clock.elapsed() < 20000) {
        if (!Plain(grab(), plain)) {
            ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
            break;
        }
        QThread::usleep(1000);
    }
    program.kill();
    program.waitForFinished(5000);
    if (ms < 0) return 1;
    std::printf("%.1f\n", ms);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--first-paint") == 0) return FirstPaint(argc, argv);
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Bare window");
    window.setFixedSize(kWidth, kHeight);
    window.show();
    return app.exec();
}
