// Quirko Gyrelle: four rotation puzzles in one window.

#include <QApplication>

#include "shell/MainForm.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quirko Gyrelle");
    QApplication::setOrganizationName("QuirkoGames");

    qg::TMainForm form(QCoreApplication::applicationDirPath() + "/");
    if (!form.FormCreate()) return 1;
    form.show();
    form.activateWindow();  // tooltips show only in an active window
    return app.exec();
}
