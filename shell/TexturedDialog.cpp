#include "shell/TexturedDialog.h"

#include <QEvent>
#include <QPainter>

#include "shell/Pictures.h"

namespace qg {

const QPixmap& BackgroundTexture() {
    static const QPixmap texture = [] {
        QPixmap p = Picture(":/pictures/texture.png");
        if (p.isNull()) {
            p = QPixmap(320, 200);
            p.fill(QColor(0xEA, 0xDD, 0xC0));
        }
        return p;
    }();
    return texture;
}

QPoint CentredOver(const QWidget& main, QSize size) {
    const QRect frame = main.frameGeometry();
    // Integer division truncating toward zero, as C++ divides.
    return {(frame.width() - size.width()) / 2 + frame.left(), (frame.height() - size.height()) / 2 + frame.top()};
}

TexturedDialog::TexturedDialog(QWidget& mainWindow, QSize clientSize)
    : QDialog(&mainWindow, Qt::Dialog | Qt::FramelessWindowHint), mainWindow_(mainWindow) {
    setFixedSize(clientSize);
    setModal(true);
}

int TexturedDialog::ShowModal(int language) {
    ApplyTexts(language);
    return exec();
}

void TexturedDialog::Place() {
    placer_.Place(*this, [this](QSize frame) { return CentredOver(mainWindow_, frame); });
}

void TexturedDialog::showEvent(QShowEvent* event) {
    TieToMainWindow(*this, mainWindow_);
    Place();
    QDialog::showEvent(event);
}

bool TexturedDialog::event(QEvent* event) {
    // Every activation places the window again, as when it opens.
    if (event->type() == QEvent::WindowActivate) Place();
    else placer_.Check(*this, *event);
    return QDialog::event(event);
}

void TexturedDialog::paintEvent(QPaintEvent*) {
    // The block of the client area's size from the texture's bottom rows.
    QPainter painter(this);
    const QPixmap& texture = BackgroundTexture();
    painter.drawPixmap(0, 0, texture, 0, texture.height() - height(), width(), height());
}

}  // namespace qg
