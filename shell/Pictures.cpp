#include "shell/Pictures.h"

#include <QGuiApplication>
#include <QImageReader>

namespace qg {

QImage PictureImage(const QString& resource) {
    QImageReader reader(resource, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QPixmap Picture(const QString& resource) { return QPixmap::fromImage(PictureImage(resource)); }

namespace {

QPixmap LargePicture(const QString& resource) {
    // On a screen scaled beyond 1 the twice-as-large drawing shows its
    // detail instead of a smoothly enlarged picture. Not read otherwise.
    if (!qApp || qApp->devicePixelRatio() <= 1.0 || !resource.endsWith(QLatin1String(".png"))) return {};
    QString large = resource;
    large.replace(large.size() - 4, 4, QLatin1String("@2x.png"));
    QPixmap sharp = Picture(large);
    if (!sharp.isNull()) sharp.setDevicePixelRatio(2.0);
    return sharp;
}

}  // namespace

QPixmap SharpPicture(const QString& resource) {
    QPixmap large = LargePicture(resource);
    return large.isNull() ? Picture(resource) : large;
}

QIcon PictureIcon(const QString& resource) {
    QIcon icon(Picture(resource));
    const QPixmap large = LargePicture(resource);
    if (!large.isNull()) icon.addPixmap(large);
    return icon;
}

}  // namespace qg
