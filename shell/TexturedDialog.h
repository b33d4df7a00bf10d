#pragma once
// The family of small borderless windows that paint themselves with the
// shared background texture and centre themselves over the main window each
// time they open: the pause, solved, give-up and quit windows and the
// high-score window.

#include <QDialog>
#include <QPixmap>

#include "shell/PositionKeeper.h"

namespace qg {

// The 320 x 200 background texture shared by the family (compiled in).
const QPixmap& BackgroundTexture();

// Where a window of outer size `size` goes over `main`: centred on the main
// window's outer frame, by integer division, not clamped to any screen.
QPoint CentredOver(const QWidget& main, QSize size);

class TexturedDialog : public QDialog {
    Q_OBJECT
public:
    // mainWindow: the window it is placed over; clientSize: the fixed client area.
    TexturedDialog(QWidget& mainWindow, QSize clientSize);

    // Runs the window modally with the texts of `language`; the modal result.
    int ShowModal(int language);

protected:
    // Sets every text from Language; called at every opening.
    virtual void ApplyTexts(int language) = 0;

    QWidget& mainWindow() const { return mainWindow_; }
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Place();

    QWidget& mainWindow_;
    FramePlacer placer_;
};

}  // namespace qg
