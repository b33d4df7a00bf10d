#pragma once
// The small windows the shell speaks through: the pause and solved notices,
// the give-up and quit questions, the language choice and the splash.

#include <QDialog>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include <optional>

#include "shell/TexturedDialog.h"

class QLabel;
class QFrame;

namespace qg {

// A push button with a small picture beside its caption. With a margin the
// picture sits that far from the left edge and the caption follows it;
// without one (-1) picture and caption are centred together.
class BitBtn : public QPushButton {
    Q_OBJECT
public:
    BitBtn(QWidget* parent, const char* name, QRect geometry, const QString& glyph, int margin);

    // The caption's left edge, where the painting puts it.
    int TextLeft() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap glyph_;
    int margin_;
};

// A rectangle outline with a clear inside that lets clicks through.
class FrameShape : public QWidget {
public:
    FrameShape(QWidget* parent, const char* name, QRect geometry);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The textured notices and questions: a frame round the window, a framed
// message and picture buttons. Every result but the OK button's is 2, as a
// cancel gives; Escape only answers where there is a cancel button.
class TMessageDlg : public TexturedDialog {
    Q_OBJECT
public:
    QLabel* Message() const { return message_; }
    BitBtn* OKBtn() const { return OKBtn_; }
    BitBtn* CancelBtn() const { return CancelBtn_; }

protected:
    struct Layout {
        const char* messageName;
        QRect message;
        int fontPixels;
    };
    TMessageDlg(QWidget& mainWindow, const Layout& layout);
    // The OK button (result 1, default) and, for the questions, the cancel button.
    void AddOKBtn(QRect geometry, const QString& glyph, int margin);
    void AddCancelBtn(QRect geometry, int margin);
    // Sets the message, keeping the font size unless the text would not fit
    // the label whole (a font wider than the one it was measured for).
    void SetMessage(const QString& text);

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

public:
    void reject() override;

private:
    QLabel* message_ = nullptr;
    int fontPixels_;
    BitBtn* OKBtn_ = nullptr;
    BitBtn* CancelBtn_ = nullptr;
};

class TPauseDlg : public TMessageDlg {
    Q_OBJECT
public:
    explicit TPauseDlg(QWidget& mainWindow);

protected:
    void ApplyTexts(int language) override;
};

class TDoneDlg : public TMessageDlg {
    Q_OBJECT
public:
    explicit TDoneDlg(QWidget& mainWindow);

protected:
    void ApplyTexts(int language) override;
};

class TNewGameDlg : public TMessageDlg {
    Q_OBJECT
public:
    explicit TNewGameDlg(QWidget& mainWindow);

protected:
    TNewGameDlg(QWidget& mainWindow, const Layout& layout);
    void ApplyTexts(int language) override;
};

// The quit question stays above every other window.
class TEndGameDlg : public TNewGameDlg {
    Q_OBJECT
public:
    explicit TEndGameDlg(QWidget& mainWindow);

protected:
    void ApplyTexts(int language) override;
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
