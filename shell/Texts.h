#pragma once
// Every text of the main window, in German (Language 1) and English (any
// other Language).

#include <QString>

#include "sheets/SheetLoader.h"

namespace qg {

inline bool IsGerman(int language) { return language == 1; }

struct ToolbarTexts {
    QString mix, option, pause, sound, midi, highScore, exit;
    QString timeLabel, tongue, help, info, quirko;
};

// The hints and the clock caption; the toggles' hints follow their state.
ToolbarTexts ToolbarTextsFor(int language, bool soundPressed, bool midiPressed);

// The hint of puzzle gameIndex's button, from its record.
QString PuzzleHint(int language, int gameIndex);
// The rules of puzzle gameIndex, lines joined by carriage returns as stored.
QString RulesText(int language, int gameIndex);
// The board's name for screen readers: "NUBBLER board", ", solved" added while it is.
QString BoardName(int language, int gameIndex, bool solved);
// The option button's two actions for screen readers: "Bigger" (up) and "Smaller".
QString OptionActionName(int language, bool up);

// A stored multi-line text as a tooltip shows it.
QString ForDisplay(const QString& stored);

QString OutOfMemoryText(int language);
QString SheetMissingText(int language, const QString& file);
// Why a sheet did not load, and where it was looked for: two lines.
QString SheetProblemText(int language, const QString& folder, const QString& file, SheetProblem problem,
                         int minWidth, int minHeight);
// The start-up error box: the out-of-memory line, then which sheet and why.
QString StartupSheetErrorText(int language, const QString& folder, const QString& file, SheetProblem problem,
                              int minWidth, int minHeight);

inline constexpr const char* kCaption = "Quirko Gyrelle V1.5";

}  // namespace qg
