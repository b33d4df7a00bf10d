// Quirko Gyrelle: four rotation puzzles in one window.

#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "files/GameFiles.h"
#include "shell/MainForm.h"

namespace {

// A termination signal only writes a byte here; the window's thread reads it
// and closes the game as a confirmed close does, settings saved.
int signalPipe[2] = {-1, -1};

void OnTerminationSignal(int) {
    const int saved = errno;
    const char byte = 1;
    if (::write(signalPipe[1], &byte, 1) < 0) {
        // The pipe is full: a byte is waiting already.
    }
    errno = saved;
}

bool CatchTerminationSignals() {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quirko Gyrelle");
    QApplication::setOrganizationName("QuirkoGames");
    const bool catching = CatchTerminationSignals();

    // A check of an installation: start up, draw the board and end with 0, or with 1 when the sheets are missing.
    if (app.arguments().contains("--quit-after-start")) QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });
    qg::TMainForm form(qg::FindProgramDirectory(QCoreApplication::applicationDirPath()));
    // Logout, kill or Ctrl+C: save as a confirmed close does, without the
    // quit question, then leave every event loop, modal windows' too (the
    // start-up error box included, which saves nothing).
    std::unique_ptr<QSocketNotifier> signalNotifier;
    if (catching) {
        signalNotifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(signalNotifier.get(), &QSocketNotifier::activated, [&form] {
            char bytes[16];
            while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
            }
            form.CloseWithoutAsking();
            QCoreApplication::exit(0);
        });
    }
    if (!form.FormCreate()) return 1;
    // The desktop session asks before it ends: the settings are saved then,
    // as the logout may still be cancelled.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form, [&form](QSessionManager&) { form.SaveSettings(); });
    // However the application is told to quit, a window still open closes
    // as a confirmed close does.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &form, [&form] { form.CloseWithoutAsking(); });

    form.show();
    form.activateWindow();  // tooltips show only in an active window
    return app.exec();
}
