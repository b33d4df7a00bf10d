// Pictures of b1.bmp.

#include "tools/art/ArtKit.h"
#include "tools/art/Sheets.h"

namespace art {

QImage MakeTorvaneSheet() {
    QImage sheet = NewSheet(500, 383);
    Put(sheet, MakeTexture(QSize(500, 333), Texture::Wood, QColor(58, 40, 28), QColor(92, 66, 44), 41), QPoint(0, 0));
    return sheet;
}

}  // namespace art
