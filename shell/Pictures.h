#pragma once
// The compiled-in pictures. All of them are PNGs: they are read as such,
// never probed, since a probe loads every image-format plugin (and the JPEG
// library with them) only to learn what is known already.

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

namespace qg {

// The picture at `resource` (":/pictures/...png"); a null image when it is missing.
QImage PictureImage(const QString& resource);
QPixmap Picture(const QString& resource);
// Where a picture was drawn at twice its size too (NAME@2x.png), screens
// scaled beyond 1 get that one, with a device pixel ratio of 2.
QPixmap SharpPicture(const QString& resource);
QIcon PictureIcon(const QString& resource);

}  // namespace qg
