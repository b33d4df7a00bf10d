#include "sheets/SheetLoader.h"

#include <algorithm>
#include <cstdint>

#include "files/RegularFile.h"

namespace qg {

namespace {

std::uint32_t Le16(const uchar* p) { return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8; }
std::uint32_t Le32(const uchar* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

constexpr std::uint32_t kCoreHeader = 12;  // the old OS/2 header: no such sheets
constexpr std::uint32_t kInfoHeader = 40;
constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kBitFields = 3;

SheetLoad Refused(SheetProblem problem) { return {std::nullopt, problem}; }

}  // namespace

SheetLoad DecodeSheet(const QByteArray& bytes, int minWidth, int minHeight) {
    const auto* b = reinterpret_cast<const uchar*>(bytes.constData());
    const qint64 size = bytes.size();
    if (size < 14 + 4 || b[0] != 'B' || b[1] != 'M') return Refused(SheetProblem::Damaged);
    const std::uint32_t offBits = Le32(b + 10);
    const std::uint32_t headerSize = Le32(b + 14);
    if (headerSize == kCoreHeader) return Refused(SheetProblem::Unsupported);
    if (headerSize < kInfoHeader || 14 + qint64(headerSize) > size) return Refused(SheetProblem::Damaged);
    const auto width = static_cast<std::int32_t>(Le32(b + 18));
    const auto height = static_cast<std::int32_t>(Le32(b + 22));
    const std::uint32_t planes = Le16(b + 26);
    const std::uint32_t bitCount = Le16(b + 28);
    const std::uint32_t compression = Le32(b + 30);
    if (planes != 1 || width <= 0 || height == 0 || height == INT32_MIN) return Refused(SheetProblem::Damaged);

    // Only what draws exactly as stored: 24 or 32 bits per pixel, no
    // palette, no compression; 32-bit fields only in the usual places.
    if (bitCount != 24 && bitCount != 32) return Refused(SheetProblem::Unsupported);
    qint64 dataStart = 14 + qint64(headerSize);
    if (compression == kBitFields && bitCount == 32) {
        // The three masks stand at bytes 54..65: after a 40-byte header,
        // inside a larger one. Either way the pixels start behind them.
        constexpr qint64 kMasksEnd = 14 + kInfoHeader + 12;
        dataStart = std::max(dataStart, kMasksEnd);
        if (dataStart > size) return Refused(SheetProblem::Damaged);
        if (Le32(b + 54) != 0x00FF0000u || Le32(b + 58) != 0x0000FF00u || Le32(b + 62) != 0x000000FFu)
            return Refused(SheetProblem::Unsupported);
    } else if (compression != kRgb) {
        return Refused(SheetProblem::Unsupported);
    }

    const bool topDown = height < 0;
    const qint64 rows = topDown ? -qint64(height) : qint64(height);
    if (width > kMaxSheetSide || rows > kMaxSheetSide || qint64(width) * rows > kMaxSheetPixels)
        return Refused(SheetProblem::TooLarge);
    const qint64 stride = (qint64(width) * bitCount + 31) / 32 * 4;
    if (offBits < dataStart || qint64(offBits) + stride * rows > size) return Refused(SheetProblem::Damaged);
    if (width < minWidth || rows < minHeight) return Refused(SheetProblem::TooSmall);

    Surface sheet(width, static_cast<int>(rows));
    const int bytesPerPixel = static_cast<int>(bitCount / 8);
    for (qint64 y = 0; y < rows; ++y) {
        const uchar* row = b + offBits + (topDown ? y : rows - 1 - y) * stride;
        std::uint32_t* out = sheet.data() + y * width;
        for (int x = 0; x < width; ++x, row += bytesPerPixel)
            out[x] = 0xFF000000u | std::uint32_t(row[2]) << 16 | std::uint32_t(row[1]) << 8 | row[0];
    }
    return {std::move(sheet), SheetProblem::None};
}

SheetLoad ReadSheet(const QString& path, int minWidth, int minHeight) {
    // A FIFO in the sheet's place cannot hold the game up: only a regular
    // file is read.
    const FileRead file = ReadRegularFile(path, kMaxSheetBytes);
    switch (file.problem) {
    case FileProblem::None: break;
    case FileProblem::Missing: return Refused(SheetProblem::Missing);
    case FileProblem::NotRegularFile: return Refused(SheetProblem::NotRegularFile);
    case FileProblem::Unreadable: return Refused(SheetProblem::Unreadable);
    case FileProblem::TooLarge: return Refused(SheetProblem::TooLarge);
    }
    return DecodeSheet(file.bytes, minWidth, minHeight);
}

const char* Describe(SheetProblem problem) {
    switch (problem) {
    case SheetProblem::None: return "loaded";
    case SheetProblem::Missing: return "missing";
    case SheetProblem::NotRegularFile: return "not a regular file";
    case SheetProblem::Unreadable: return "cannot be read";
    case SheetProblem::TooLarge: return "too large";
    case SheetProblem::Damaged: return "damaged";
    case SheetProblem::Unsupported: return "in an unsupported format (only uncompressed 24- or 32-bit BMP)";
    case SheetProblem::TooSmall: return "too small";
    }
    return "unknown";
}

}  // namespace qg
