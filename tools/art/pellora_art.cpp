// Pictures of b2.bmp.

#include "tools/art/ArtKit.h"
#include "tools/art/Sheets.h"

namespace art {

QImage MakePelloraSheet() {
    QImage sheet = NewSheet(532, 597);
    Put(sheet, MakeTexture(QSize(500, 333), Texture::Stone, QColor(58, 40, 28), QColor(92, 66, 44), 42), QPoint(0, 0));
    return sheet;
}

}  // namespace art
