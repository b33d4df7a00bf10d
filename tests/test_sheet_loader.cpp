// The sheet loader against damaged and unusual files: what decodes
// completely and correctly loads, with the same pixels whichever way it is
// stored; everything else is refused with its reason, and nothing that is
// not a regular file is read at all.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <chrono>
#include <future>
#include <optional>

#include "sheets/SheetLoader.h"

namespace qg {
namespace {

// The picture every test sheet shows.
std::uint32_t Expected(int x, int y) {
    return 0xFF000000u | std::uint32_t(x * 40 % 256) << 16 | std::uint32_t(y * 50 % 256) << 8 | std::uint32_t((x + y) * 7);
}

void Put16(QByteArray& b, int at, std::uint32_t v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8 & 0xFF);
}
void Put32(QByteArray& b, int at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = char(v >> (8 * i) & 0xFF);
}

// A BMP file as a paint program writes it, with knobs to break it.
struct Bmp {
    int width = 5;
    int height = 3;  // negative: stored top-down
    int bits = 24;
    std::uint32_t compression = 0;
    std::uint32_t headerSize = 40;
    int planes = 1;
    std::array<std::uint32_t, 3> masks = {0x00FF0000u, 0x0000FF00u, 0x000000FFu};  // with compression 3
    std::optional<std::uint32_t> offBits;  // where the pixels start; default right after the header
    qint64 keep = -1;  // cut the file to this many bytes
    std::optional<QByteArray> pixels;  // the pixel data as given (RLE and palettes)

    QByteArray Bytes() const {
        const int rows = height < 0 ? -height : height;
        const int stride = (width * bits + 31) / 32 * 4;
        // The masks stand at bytes 54..65, behind a header too short to hold them.
        const bool masksBehind = compression == 3 && headerSize < 52;
        const int start = (masksBehind ? 66 : 14 + int(headerSize)) + (bits <= 8 ? 4 << bits : 0);
        QByteArray data;
        if (pixels) {
            data = *pixels;
        } else {
            data = QByteArray(qsizetype(stride) * rows, '\0');
            for (int r = 0; r < rows && bits >= 24; ++r) {
                const int y = height < 0 ? r : rows - 1 - r;
                for (int x = 0; x < width; ++x) {
                    const std::uint32_t p = Expected(x, y);
                    char* at = data.data() + r * stride + x * (bits / 8);
                    at[0] = char(p & 0xFF), at[1] = char(p >> 8 & 0xFF), at[2] = char(p >> 16 & 0xFF);
                    if (bits == 32) at[3] = char(0x5A);  // unused by the format: must not matter
                }
            }
        }
        QByteArray b(start, '\0');
        b[0] = 'B', b[1] = 'M';
        Put32(b, 2, std::uint32_t(start + data.size()));
        Put32(b, 10, offBits.value_or(std::uint32_t(start)));
        Put32(b, 14, headerSize);
        if (headerSize == 12) {
            Put16(b, 18, std::uint32_t(width)), Put16(b, 20, std::uint32_t(height)), Put16(b, 22, 1), Put16(b, 24, std::uint32_t(bits));
        } else {
            Put32(b, 18, std::uint32_t(width));
            Put32(b, 22, std::uint32_t(height));
            Put16(b, 26, std::uint32_t(planes));
            Put16(b, 28, std::uint32_t(bits));
            Put32(b, 30, compression);
            Put32(b, 34, std::uint32_t(data.size()));
            if (compression == 3) for (int i = 0; i < 3; ++i) Put32(b, 54 + 4 * i, masks[std::size_t(i)]);
        }
        b += data;
        if (keep >= 0) b.truncate(keep);
        return b;
    }
};

QByteArray Patched(QByteArray bytes, int at, std::uint32_t value) {
    Put32(bytes, at, value);
    return bytes;
}

class SheetFolder {
public:
    QString Write(const QByteArray& bytes, const char* name = "sheet.bmp") const {
        QFile f(Path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return Path(name);
    }
    QString Path(const char* name) const { return dir_.path() + "/" + name; }

private:
    QTemporaryDir dir_;
};

TEST(SheetLoader, LoadsEveryUncompressedTrueColourLayoutAlike) {
    struct Case {
        const char* what;
        Bmp bmp;
    };
    const Case cases[] = {
        {"24-bit bottom-up", {}},
        {"24-bit top-down", {.height = -3}},
        {"32-bit bottom-up", {.bits = 32}},
        {"32-bit top-down", {.height = -3, .bits = 32}},
        {"32-bit with the usual bit fields", {.bits = 32, .compression = 3}},
        {"32-bit with bit fields in a version 5 header", {.bits = 32, .compression = 3, .headerSize = 124}},
        {"24-bit with a version 4 header", {.headerSize = 108}},
        {"24-bit with a gap before the pixels", {.offBits = 54 + 16}},
        {"one pixel wide (rows padded)", {.width = 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SheetFolder folder;
        Bmp bmp = c.bmp;
        if (bmp.offBits) {
            // The gap lies between header and pixels.
            QByteArray bytes = Bmp{bmp.width, bmp.height}.Bytes();
            bytes.insert(54, QByteArray(int(*bmp.offBits) - 54, '\x77'));
            Put32(bytes, 10, *bmp.offBits);
            folder.Write(bytes);
        } else {
            folder.Write(bmp.Bytes());
        }
        const SheetLoad load = ReadSheet(folder.Path("sheet.bmp"), bmp.width, 3);
        ASSERT_EQ(load.problem, SheetProblem::None);
        ASSERT_TRUE(load.sheet);
        ASSERT_EQ(load.sheet->width(), bmp.width);
        ASSERT_EQ(load.sheet->height(), 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < bmp.width; ++x) EXPECT_EQ(load.sheet->pixel(x, y), Expected(x, y)) << x << "," << y;
    }
}

TEST(SheetLoader, RefusesWhatItCannotDrawExactly) {
    const QByteArray rleHalf = QByteArray::fromHex("0301" "0302" "0000" "0301");  // two rows of five, then cut off
    struct Case {
        const char* what;
        QByteArray bytes;
        SheetProblem problem;
    };
    const Case cases[] = {
        {"empty", {}, SheetProblem::Damaged},
        {"text", "this is no picture at all\n", SheetProblem::Damaged},
        {"only the file header", Bmp{}.Bytes().left(14), SheetProblem::Damaged},
        {"header cut short", Bmp{}.Bytes().left(40), SheetProblem::Damaged},
        {"half the pixels", Bmp{}.Bytes().left(54 + 16 * 3 / 2), SheetProblem::Damaged},
        {"one byte short", Bmp{}.Bytes().chopped(1), SheetProblem::Damaged},
        {"top-down, one byte short", Bmp{.height = -3}.Bytes().chopped(1), SheetProblem::Damaged},
        {"pixels said to start beyond the end", Bmp{.offBits = 5000}.Bytes(), SheetProblem::Damaged},
        {"pixels said to start inside the header", Bmp{.offBits = 20}.Bytes(), SheetProblem::Damaged},
        {"width 0", Bmp{.width = 0}.Bytes(), SheetProblem::Damaged},
        {"negative width", Bmp{.width = -5}.Bytes(), SheetProblem::Damaged},
        {"height 0", Bmp{.height = 0}.Bytes(), SheetProblem::Damaged},
        {"two planes", Bmp{.planes = 2}.Bytes(), SheetProblem::Damaged},
        {"header size beyond the file", Patched(Bmp{}.Bytes(), 14, 4000), SheetProblem::Damaged},
        {"pixels said to start before the header ends", Patched(Bmp{.headerSize = 108}.Bytes(), 10, 54), SheetProblem::Damaged},
        {"half an RLE8 sheet", Bmp{.bits = 8, .compression = 1, .pixels = rleHalf}.Bytes(), SheetProblem::Unsupported},
        {"an RLE8 sheet of only its end code", Bmp{.bits = 8, .compression = 1, .pixels = QByteArray::fromHex("0001")}.Bytes(),
         SheetProblem::Unsupported},
        {"RLE4", Bmp{.bits = 4, .compression = 2, .pixels = QByteArray::fromHex("0001")}.Bytes(), SheetProblem::Unsupported},
        {"1-bit", Bmp{.bits = 1, .pixels = QByteArray(12, '\x55')}.Bytes(), SheetProblem::Unsupported},
        {"8-bit palette", Bmp{.bits = 8, .pixels = QByteArray(24, '\x01')}.Bytes(), SheetProblem::Unsupported},
        {"16-bit", Bmp{.bits = 16, .pixels = QByteArray(36, '\x01')}.Bytes(), SheetProblem::Unsupported},
        {"24-bit with bit fields", Bmp{.compression = 3}.Bytes(), SheetProblem::Unsupported},
        {"32-bit with swapped bit fields", Bmp{.bits = 32, .compression = 3, .masks = {0xFFu, 0xFF00u, 0xFF0000u}}.Bytes(),
         SheetProblem::Unsupported},
        {"JPEG inside", Bmp{.compression = 4}.Bytes(), SheetProblem::Unsupported},
        {"an OS/2 header", Bmp{.headerSize = 12}.Bytes(), SheetProblem::Unsupported},
        {"wider than any sheet", Bmp{.width = 9000, .height = 1, .pixels = QByteArray(27000, '\0')}.Bytes(), SheetProblem::TooLarge},
        {"more pixels than any sheet", Bmp{.width = 8000, .height = -8000, .pixels = QByteArray()}.Bytes(), SheetProblem::TooLarge},
        {"smaller than the layout", Bmp{.width = 4}.Bytes(), SheetProblem::TooSmall},
        {"lower than the layout", Bmp{.height = -2}.Bytes(), SheetProblem::TooSmall},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SheetFolder folder;
        const SheetLoad load = ReadSheet(folder.Write(c.bytes), 5, 3);
        EXPECT_EQ(load.problem, c.problem) << Describe(load.problem);
        EXPECT_FALSE(load.sheet);
    }
}

// Decodes a copy that owns exactly the given bytes, so that a read even one
// byte past them is caught (the suite also runs under AddressSanitizer).
SheetLoad DecodeExactly(const QByteArray& bytes, int minWidth, int minHeight) {
    const std::unique_ptr<char[]> copy(new char[std::size_t(std::max<qsizetype>(bytes.size(), 1))]);
    std::memcpy(copy.get(), bytes.constData(), std::size_t(bytes.size()));
    return DecodeSheet(QByteArray::fromRawData(copy.get(), bytes.size()), minWidth, minHeight);
}

TEST(SheetLoader, RefusesEveryFileCutShortOfWhatItsHeaderClaims) {
    struct Case {
        const char* what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"24-bit", Bmp{}.Bytes()},
        {"24-bit top-down", Bmp{.height = -3}.Bytes()},
        {"32-bit", Bmp{.bits = 32}.Bytes()},
        {"32-bit, masks after a 40-byte header", Bmp{.bits = 32, .compression = 3}.Bytes()},
        {"32-bit, masks inside a version 4 header", Bmp{.bits = 32, .compression = 3, .headerSize = 108}.Bytes()},
        // Bit fields with a header too short to hold them: the masks still
        // stand at bytes 54..65, behind the header's end.
        {"32-bit, masks across a 41-byte header", Bmp{.bits = 32, .compression = 3, .headerSize = 41}.Bytes()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(DecodeExactly(c.bytes, 5, 3).problem, SheetProblem::None);
        for (qsizetype keep = 0; keep < c.bytes.size(); ++keep) {
            const SheetLoad load = DecodeExactly(c.bytes.left(keep), 5, 3);
            EXPECT_EQ(load.problem, SheetProblem::Damaged) << keep << " bytes: " << Describe(load.problem);
            EXPECT_FALSE(load.sheet);
        }
    }
    // Found by fuzzing: bit fields behind a 41-byte header, the file ending
    // where the first mask begins.
    const QByteArray found = QByteArray::fromHex(
        "424d5a000000000000004200000029000000030000000200000201002000030000001800000013"
        "0b0000130b00000000000000000000005c00");
    EXPECT_EQ(DecodeExactly(found, 1, 1).problem, SheetProblem::Damaged);
    EXPECT_EQ(DecodeExactly(found.left(55), 1, 1).problem, SheetProblem::Damaged);
}


TEST(SheetLoader, ReadsOnlyRegularFilesOfSaneSize) {
    SheetFolder folder;
    struct Case {
        const char* what;
        std::function<QString()> make;
        SheetProblem problem;
    };
    const Case cases[] = {
        {"missing", [&] { return folder.Path("sheet.bmp"); }, SheetProblem::Missing},
        {"in a folder that is a file", [&] { return folder.Write("x", "plain") + "/sheet.bmp"; }, SheetProblem::Missing},
        {"a folder", [&] {
             QDir().mkpath(folder.Path("dir.bmp"));
             return folder.Path("dir.bmp");
         }, SheetProblem::NotRegularFile},
        {"a device", [&] {
             QFile::link("/dev/zero", folder.Path("zero.bmp"));
             return folder.Path("zero.bmp");
         }, SheetProblem::NotRegularFile},
        {"a FIFO nobody writes to", [&] {
             ::mkfifo(QFile::encodeName(folder.Path("fifo.bmp")).constData(), 0600);
             return folder.Path("fifo.bmp");
         }, SheetProblem::NotRegularFile},
        {"larger than any sheet", [&] {
             const QString path = folder.Write(Bmp{}.Bytes(), "huge.bmp");
             QFile f(path);
             if (f.open(QIODevice::ReadWrite)) f.resize(kMaxSheetBytes + 1);  // sparse: costs nothing
             return path;
         }, SheetProblem::TooLarge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = c.make();
        // Run aside, so that a loader stuck on the file fails the test
        // instead of hanging it.
        auto load = std::async(std::launch::async, [&] { return ReadSheet(path, 1, 1); });
        if (load.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
            ADD_FAILURE() << "the loader is stuck";
            // Unblock it: a writer that goes away ends any read.
            const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) ::close(fd);
            continue;
        }
        const SheetLoad result = load.get();
        EXPECT_EQ(result.problem, c.problem) << Describe(result.problem);
        EXPECT_FALSE(result.sheet);
    }
}

}  // namespace
}  // namespace qg
