// Pictures of b4.bmp.

#include "tools/art/ArtKit.h"
#include "tools/art/Sheets.h"

namespace art {

QImage MakeCirrelaSheet() {
    QImage sheet = NewSheet(572, 409);
    Put(sheet, MakeTexture(QSize(500, 333), Texture::Wood, QColor(58, 40, 28), QColor(92, 66, 44), 44), QPoint(0, 0));
    return sheet;
}

}  // namespace art
