// Toolbar button pictures.

#include <QFile>
#include <QTextStream>

#include "tools/art/ArtKit.h"
#include "tools/art/Sheets.h"

namespace art {

bool MakeToolbarPictures(const QString& dir) {
    QFile qrc(dir + "/pictures.qrc");
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    QTextStream out(&qrc);
    out << "<RCC><qresource prefix=\"/pictures\">\n</qresource></RCC>\n";
    return true;
}

}  // namespace art
