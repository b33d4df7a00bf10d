#include "shell/SheetLoader.h"

#include <QImage>
#include <QImageReader>

#include <cstring>

namespace qg {

namespace {
// Far beyond any sheet; keeps a forged header from asking for gigabytes.
constexpr int kMaxSide = 8192;
}  // namespace

std::optional<Surface> LoadSheet(const QString& path, int minWidth, int minHeight) {
    QImageReader reader(path, "bmp");
    reader.setDecideFormatFromContent(false);
    const QSize announced = reader.size();
    if (!announced.isValid() || announced.width() > kMaxSide || announced.height() > kMaxSide) return std::nullopt;
    if (announced.width() < minWidth || announced.height() < minHeight) return std::nullopt;

    QImage image;
    if (!reader.read(&image) || image.isNull()) return std::nullopt;
    if (image.width() < minWidth || image.height() < minHeight) return std::nullopt;
    image = image.convertToFormat(QImage::Format_RGB32);

    Surface sheet(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(sheet.data() + static_cast<std::size_t>(y) * sheet.width(), image.constScanLine(y),
                    static_cast<std::size_t>(sheet.bytesPerLine()));
    return sheet;
}

}  // namespace qg
