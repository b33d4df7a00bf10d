#include "sheets/SheetLoader.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

#include <cstdint>
#include <cstring>

namespace qg {

namespace {
// Far beyond any sheet; keeps a forged header from asking for gigabytes.
constexpr int kMaxSide = 8192;

std::uint32_t Le32(const uchar* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// The image decoder fills a cut-off file with black, so a sheet that lost its
// tail would draw holes. For uncompressed bitmaps the header tells how long
// the file must be; a shorter one is damaged.
bool LongEnough(QFile& file) {
    const QByteArray head = file.peek(54);
    if (head.size() < 54) return false;
    const auto* h = reinterpret_cast<const uchar*>(head.constData());
    const std::uint32_t offBits = Le32(h + 10);
    const auto width = static_cast<std::int32_t>(Le32(h + 18));
    const auto height = static_cast<std::int32_t>(Le32(h + 22));
    const unsigned bitCount = unsigned(h[28]) | unsigned(h[29]) << 8;
    const std::uint32_t compression = Le32(h + 30);
    if (compression != 0 && compression != 3) return true;  // packed: the decoder checks
    if (width <= 0 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide) return false;
    const qint64 stride = (qint64(width) * bitCount + 31) / 32 * 4;
    const qint64 rows = height < 0 ? -qint64(height) : qint64(height);
    return file.size() >= qint64(offBits) + stride * rows;
}
}  // namespace

std::optional<Surface> LoadSheet(const QString& path, int minWidth, int minHeight) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !LongEnough(file)) return std::nullopt;
    QImageReader reader(&file, "bmp");
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
