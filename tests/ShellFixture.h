#pragma once
// Helpers for the tests that drive the real main window under the offscreen
// platform: scripted message windows, a program directory of our own, and
// clicks delivered through the window so they land where a player's would.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "shell/MainForm.h"
#include "tests/ScriptedWindows.h"
#include "tests/TestClock.h"

namespace qg::test {

inline QString GameDir() { return QString(QG_PROGRAM_DIR); }

// A program directory with copies of the generated sheets, to break at will.
class ProgramDir {
public:
    ProgramDir() {
        for (const PuzzleRecord& r : kPuzzles) QFile::copy(GameDir() + r.sheetFile, Path(r.sheetFile));
    }
    QString Dir() const { return dir_.path() + "/"; }
    QString Path(const char* file) const { return Dir() + file; }

private:
    QTemporaryDir dir_;
};

// A fresh settings folder for one test.
class ConfigHome {
public:
    ConfigHome() : old_(qgetenv("XDG_CONFIG_HOME")) { qputenv("XDG_CONFIG_HOME", dir_.path().toLocal8Bit()); }
    ~ConfigHome() { qputenv("XDG_CONFIG_HOME", old_); }
    QString Path() const { return dir_.path(); }
    bool IsEmpty() const { return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty(); }

private:
    QByteArray old_;
    QTemporaryDir dir_;
};

// The main window on screen after its first activation, with its timer
// stopped; with a clock of the test's own, when one is given.
inline std::unique_ptr<TMainForm> ShowMainForm(ScriptedWindows& windows, const QString& dir = GameDir(),
                                               PlayClock* clock = nullptr) {
    auto form = std::make_unique<TMainForm>(dir, &windows);
    if (clock) form->game().UseClock(*clock);
    if (!form->FormCreate()) return nullptr;
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) return nullptr;
    QCoreApplication::processEvents();  // the first activation
    form->timer().stop();  // tests count ticks themselves
    return form;
}

// n ticks of the 200 ms timer, each after 200 ms of play.
inline void Ticks(TMainForm& form, FakePlayClock& clock, int n) {
    for (int i = 0; i < n; ++i) {
        clock.Advance(std::chrono::milliseconds(200));
        form.TimerTimer();
    }
}

inline QToolButton* Button(TMainForm& form, const char* name) { return form.findChild<QToolButton*>(name); }

// A press at board point (x, y), routed through the window like a real one.
inline void ClickBoard(TMainForm& form, int x, int y, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(form.windowHandle(), button, {}, QPoint(x, y + kToolPanelHeight));
}

inline void ClickButton(TMainForm& form, const char* name, QPoint at = QPoint(12, 12)) {
    QToolButton* b = Button(form, name);
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, b->mapTo(&form, at));
}

inline std::uint32_t ScreenPixel(TMainForm& form, int x, int y) { return form.Screen().pixel(x, y); }

}  // namespace qg::test
