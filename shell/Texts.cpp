#include "shell/Texts.h"

#include "puzzles/PuzzleRecords.h"

namespace qg {

namespace {
QString Pick(int language, const char* german, const char* english) {
    return QString::fromUtf8(IsGerman(language) ? german : english);
}
QString Pick(int language, const Bilingual& text) { return Pick(language, text.german, text.english); }
}  // namespace

ToolbarTexts ToolbarTextsFor(int language, bool soundPressed, bool midiPressed) {
    const int l = language;
    ToolbarTexts t;
    t.mix = Pick(l, "Ich fang neu an.", "I start again.");
    t.option = Pick(l, "Gibts da kein anderes Muster?", "Are there any more patterns?");
    t.pause = Pick(l, "Ich brauch eine kurze Pause.", "I need a break.");
    t.sound = soundPressed ? Pick(l, "Ich schalte die Geräusche lieber aus.", "I like it without sound-effects.")
                           : Pick(l, "Ohne Geräusche ist es doch etwas fad.", "Without sound ist is boring.");
    t.midi = midiPressed ? Pick(l, "Ohne Musik ist es mir lieber.", "I don't like the music now.")
                         : Pick(l, "Ich mag die Musik.", "Ich like the music.");
    t.highScore = Pick(l, "Wer sind die Besten?", "Who is the best?");
    t.exit = Pick(l, "Ich hab genug!", "That's enough for now!");
    t.timeLabel = Pick(l, "Zeit:", "Time:");
    // The language button always speaks the other language.
    t.tongue = Pick(l, "I don't speak german.", "Ich spreche nicht englisch.");
    t.help = Pick(l, "Ich laß mir unter die Arme greifen.", "I need help.");
    t.info = Pick(l, "Wer hat diese Spiele nur verbrochen?", "Who's the QUIRKO GAMES inventor?");
    t.quirko = Pick(l, "Hurra, es gibt noch mehr Quirko Games.", "Hurrah, there are more QUIRKO GAMES.");
    return t;
}

QString PuzzleHint(int language, int gameIndex) {
    if (gameIndex < 0 || gameIndex >= kPuzzleCount) return QString();
    return Pick(language, Record(gameIndex).hint);
}

QString RulesText(int language, int gameIndex) {
    if (gameIndex < 0 || gameIndex >= kPuzzleCount) return QString();
    return Pick(language, Record(gameIndex).rules);
}

QString BoardName(int language, int gameIndex, bool solved) {
    const bool german = IsGerman(language);
    QString name = QString::fromLatin1(Record(gameIndex).name) + (german ? "-Brett" : " board");
    if (solved) name += german ? QString::fromUtf8(", gelöst") : QString(", solved");
    return name;
}

QString OptionActionName(int language, bool up) {
    if (IsGerman(language)) return up ? QString::fromUtf8("Größer") : QStringLiteral("Kleiner");
    return up ? QStringLiteral("Bigger") : QStringLiteral("Smaller");
}

QString ForDisplay(const QString& stored) {
    QString shown = stored;
    shown.replace(QChar('\r'), QChar('\n'));
    return shown;
}

QString OutOfMemoryText(int language) {
    return Pick(language, "Zuwenig Speicher! Programm wird beendet.", "Not enough memory! Program aborted.");
}

QString SheetMissingText(int language, const QString& file) {
    return IsGerman(language)
               ? QString::fromUtf8("Die Bilddatei \"%1\" fehlt oder ist beschädigt. Das Spiel bleibt beim bisherigen Rätsel.").arg(file)
               : QString("The picture file \"%1\" is missing or damaged. The game stays with the current puzzle.").arg(file);
}

QString SheetProblemText(int language, const QString& folder, const QString& file, SheetProblem problem,
                         int minWidth, int minHeight) {
    const bool german = IsGerman(language);
    QString why;
    switch (problem) {
    case SheetProblem::None:
    case SheetProblem::Missing: why = german ? "fehlt." : "is missing."; break;
    case SheetProblem::NotRegularFile:
        why = german ? QString::fromUtf8("ist keine gewöhnliche Datei.") : "is not a regular file.";
        break;
    case SheetProblem::Unreadable: why = german ? "kann nicht gelesen werden." : "cannot be read."; break;
    case SheetProblem::TooLarge: why = german ? QString::fromUtf8("ist zu groß.") : "is too large."; break;
    case SheetProblem::Damaged: why = german ? QString::fromUtf8("ist beschädigt.") : "is damaged."; break;
    case SheetProblem::Unsupported:
        why = german ? QString::fromUtf8("hat ein Format, das das Spiel nicht liest (nur unkomprimierte "
                                         "24- oder 32-Bit-BMP-Dateien).")
                     : "has a format the game cannot read (only uncompressed 24- or 32-bit BMP files).";
        break;
    case SheetProblem::TooSmall:
        why = german ? QString::fromUtf8("ist kleiner als %1 x %2 Pixel.").arg(minWidth).arg(minHeight)
                     : QString("is smaller than %1 x %2 pixels.").arg(minWidth).arg(minHeight);
        break;
    }
    return german ? QString::fromUtf8("Die Bilddatei \"%1\" %2\nGesucht in: %3").arg(file, why, folder)
                  : QString("The picture file \"%1\" %2\nLooked for in: %3").arg(file, why, folder);
}

QString StartupSheetErrorText(int language, const QString& folder, const QString& file, SheetProblem problem,
                              int minWidth, int minHeight) {
    return OutOfMemoryText(language) + "\n\n" + SheetProblemText(language, folder, file, problem, minWidth, minHeight);
}

}  // namespace qg
