#pragma once
// The small windows the shell speaks through: the pause and solved notices,
// the give-up and quit questions, the language choice and the splash.

#include <QDialog>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include <optional>

#include "shell/DialogKit.h"
#include "shell/TexturedDialog.h"

class QLabel;
class QFrame;

namespace qg {

// The four notices and questions, each built from its row of one table.
enum class MessageWindow { Pause, Solved, GiveUp, Quit };

// The words of one window in one language, UTF-8.
struct MessageWords {
    const char* name;  // the window's purpose, as a screen reader names it
    const char* message;
    const char* ok;
    const char* cancel;  // questions only
};

struct MessageWindowSpec {
    const char* objectName;
    const char* messageName;
    QRect message;
    int fontPixels;
    QRect ok;
    const char* okGlyph;
    int okMargin;
    bool question;  // a cancel button beside OK, and Escape presses it
    bool onTop;     // stays above every other window
    MessageWords english;
    MessageWords german;
};

const MessageWindowSpec& Spec(MessageWindow window);

// The textured notices and questions: a frame round the window, a framed
// message and picture buttons. Every result but the OK button's is 2, as a
// cancel gives; Escape only answers where there is a cancel button.
class TMessageDlg : public TexturedDialog {
    Q_OBJECT
public:
    TMessageDlg(QWidget& mainWindow, MessageWindow window);

    QLabel* Message() const { return message_; }
    BitBtn* OKBtn() const { return OKBtn_; }
    BitBtn* CancelBtn() const { return CancelBtn_; }

    void reject() override;

protected:
    void ApplyTexts(int language) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Sets the message, keeping the font size unless the text would not fit
    // the label whole (a font wider than the one it was measured for).
    void SetMessage(const QString& text);

    const MessageWindowSpec& spec_;
    QLabel* message_ = nullptr;
    BitBtn* OKBtn_ = nullptr;
    BitBtn* CancelBtn_ = nullptr;
};

// The language choice: an ordinary dialog with a title bar, placed over the
// lower part of the main window each time it opens.
class TTongueDlg : public QDialog {
    Q_OBJECT
public:
    explicit TTongueDlg(QWidget& mainWindow);

    // The chosen Language (0 English, 1 German), or nothing when the window
    // was closed without a choice.
    std::optional<int> Choose();

    QPushButton* EnglishBtn() const { return EnglishBtn_; }
    QPushButton* GermanBtn() const { return GermanBtn_; }

    // Where a window of outer size `outer` goes over `main`.
    static QPoint PlaceOver(const QWidget& main, QSize outer);

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    void EnglishBtnClick();
    void GermanBtnClick();
    void Place();

    QWidget& mainWindow_;
    FramePlacer placer_;
    QFrame* Bevel1_ = nullptr;
    QLabel* Image4_ = nullptr;
    BitBtn* EnglishBtn_ = nullptr;
    BitBtn* GermanBtn_ = nullptr;
    std::optional<int> chosen_;
};

// The splash picture. Its time runs from `since` (the start-up; without it,
// the window's creation), so the picture is gone 3000 ms after start-up
// however long the start took; a click closes it sooner.
class TSplash : public QDialog {
    Q_OBJECT
public:
    explicit TSplash(QWidget& mainWindow, int intervalMs = 3000, QElapsedTimer since = {});

    // Shows the picture until the timer's tick or a click; returns at once
    // when the time is already over.
    void ShowModal();
    QTimer& Timer1() { return Timer1_; }

protected:
    void showEvent(QShowEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Click();

    QWidget& mainWindow_;
    QLabel* Image1_ = nullptr;
    QTimer Timer1_;
    QElapsedTimer since_;
    int intervalMs_;
};

}  // namespace qg
