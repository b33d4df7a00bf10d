#include "shell/Pictures.h"

#include <QImageReader>

namespace qg {

QImage PictureImage(const QString& resource) {
    QImageReader reader(resource, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QPixmap Picture(const QString& resource) { return QPixmap::fromImage(PictureImage(resource)); }

QIcon PictureIcon(const QString& resource) { return QIcon(Picture(resource)); }

}  // namespace qg
