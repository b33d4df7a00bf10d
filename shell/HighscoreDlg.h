#pragma once
// The high-score window: shows the table of the current puzzle and, after a
// solve whose time qualifies, lets the player type a name over the new row.
// OK writes the table back; any other way of closing keeps the store as it was.

#include <QString>

#include <array>

#include "highscores/HighscoreTable.h"
#include "highscores/ScoreCipher.h"
#include "shell/TexturedDialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qg {

class Settings;

// A Windows COLORREF (0x00BBGGRR) as a colour.
QColor FromColorRef(unsigned colorRef);

class THighscoreDlg : public TexturedDialog {
    Q_OBJECT
public:
    static constexpr int kNameLength = 25;

    // Created once: reads the name entered last and sets up the program's
    // cipher with its defaults.
    THighscoreDlg(QWidget& mainWindow, Settings& settings);
    // The same with the name entered last read earlier (at start-up).
    THighscoreDlg(QWidget& mainWindow, Settings& settings, QString playerName);

    // Loads the table of tableKey and shows it: elapsed 0 only shows it, a
    // positive time that qualifies opens the name entry in its row. Returns
    // at once, showing nothing, for a time that does not qualify and, after
    // a message, for a table that cannot be read. Always 0.
    int ShowModal(int language, const QString& tableKey, int elapsed);

    // OK: clear if asked, take the typed name, save, close.
    void okClick();

    const QString& PlayerName() const { return PlayerName_; }
    const HighscoreTable& Table() const { return table_; }
    int NewEntry() const { return newEntry_; }  // -1 when no entry is being named
    const ScoreCipher& Cipher() const { return cipher_; }

    void done(int result) override;

protected:
    void ApplyTexts(int language) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FillRows();
    void PlaceNameText();
    // The message on a table that cannot be read; true when the player had
    // it put right (the table then loads).
    bool ShowLoadError(const HighscoreLoadError& error, bool offerRepair = true);
    void ShowSaveError();

    Settings& settings_;
    ScoreCipher cipher_;
    HighscoreTable table_;
    QString PlayerName_;
    QString tableKey_;
    int language_ = -1;
    int newEntry_ = -1;

    QLabel* delcheck_ = nullptr;
    QCheckBox* ClearBox_ = nullptr;
    QPushButton* OKBtn_ = nullptr;
    QLineEdit* Edit1_ = nullptr;
    QPushButton* CancelBtn_ = nullptr;
    std::array<QLabel*, kHighscoreEntries> num_{};
    std::array<QLabel*, kHighscoreEntries> pla_{};
    std::array<QLabel*, kHighscoreEntries> sco_{};
};

}  // namespace qg
