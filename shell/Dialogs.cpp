#include "shell/Dialogs.h"

#include <QMessageBox>

#include "shell/Texts.h"

namespace qg {

void StandInWindows::ShowError(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kCaption), text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace qg
