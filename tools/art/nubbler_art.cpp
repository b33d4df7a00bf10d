// Pictures of b3.bmp.

#include "tools/art/ArtKit.h"
#include "tools/art/Sheets.h"

namespace art {

QImage MakeNubblerSheet() {
    QImage sheet = NewSheet(700, 333);
    Put(sheet, MakeTexture(QSize(500, 333), Texture::Felt, QColor(58, 40, 28), QColor(92, 66, 44), 43), QPoint(0, 0));
    return sheet;
}

}  // namespace art
