// The help window against a help file from anyone: what it names is read
// only from the help's own folder, only as regular files of sane size, and
// nothing it links to leaves the game but web addresses. And where the
// window goes: beside the game, never over its toolbar.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "shell/HelpWindow.h"

// Addresses in failure messages as text.
inline void PrintTo(const QUrl& url, std::ostream* os) { *os << url.toString().toStdString(); }

namespace qg {
namespace {

using namespace std::chrono_literals;

constexpr int kEnglish = 0;

// Fails the test instead of letting it hang: when the guarded step has not
// ended in time, every FIFO given is opened for writing and closed again,
// which frees a reader stuck on it; if even that does not help, the whole
// run ends with a failure.
class Watchdog {
public:
    Watchdog(std::vector<QString> fifos, std::chrono::seconds limit) : fifos_(std::move(fifos)) {
        thread_ = std::thread([this, limit] {
            std::unique_lock lock(mutex_);
            if (done_.wait_for(lock, limit, [this] { return stop_; })) return;
            fired_ = true;
            for (const QString& fifo : fifos_) {
                const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) ::close(fd);
            }
            if (done_.wait_for(lock, 10s, [this] { return stop_; })) return;
            std::fprintf(stderr, "the help window is stuck on a file; giving up\n");
            std::_Exit(1);
        });
    }
    ~Watchdog() { Stop(); }
    // True when the step ran out of time.
    bool Stop() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        done_.notify_all();
        if (thread_.joinable()) thread_.join();
        return fired_;
    }

private:
    std::vector<QString> fifos_;
    std::mutex mutex_;
    std::condition_variable done_;
    bool stop_ = false;
    bool fired_ = false;
    std::thread thread_;
};

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

void WritePicture(const QString& path, QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(path, "PNG")) << path.toStdString();
}

void MakeFifo(const QString& path) { ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0); }

// A help page with both start sections, `extra` after the English heading.
QByteArray Page(const QByteArray& extra) {
    return "<html><body><h1><a name=\"Das_Spiel\"></a>Das Spiel</h1><p>Deutsch.</p>"
           "<h1><a name=\"The_Game\"></a>The Game</h1>" +
           extra +
           "<p>The rest of the help.</p>"
           "<h2><a name=\"Quirko_Games\"></a>The makers</h2><p>Makers.</p></body></html>";
}

// How many pixels of the shown help have this colour.
int CountColour(QWidget& view, QColor colour) {
    const QImage shot = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int n = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (QColor(shot.pixel(x, y)) == colour) ++n;
    return n;
}

// A help folder of its own (the program directory) with a folder beside it,
// outside the help, holding a picture the help must not show.
class HelpFolder : public ::testing::Test {
public:
    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(Dir()));
        ASSERT_TRUE(QDir().mkpath(Dir() + "help"));
        ASSERT_TRUE(QDir().mkpath(Outside()));
        WritePicture(Dir() + "help/good.png", {40, 40}, kGood);
        WritePicture(Outside() + "secret.png", {40, 40}, kSecret);
    }
    QString Dir() const { return root.path() + "/game/"; }
    QString Outside() const { return root.path() + "/elsewhere/"; }
    QString HelpPath() const { return Dir() + kHelpFile; }

    // Opens the help at the English section, every web address recorded.
    HelpWindow& Open(std::vector<QString> fifos = {}) {
        help = std::make_unique<HelpWindow>(Dir(), nullptr, [this](const QUrl& url) {
            opened.push_back(url);
            return true;
        });
        help->resize(640, 900);
        Watchdog dog(std::move(fifos), 20s);
        help->ShowAt(kEnglish);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(help.get()));
        help->browser()->viewport()->repaint();  // every picture in view is asked for now
        EXPECT_FALSE(dog.Stop()) << "the help window was stuck";
        return *help;
    }

    static constexpr QRgb kGood = 0xff20c040;
    static constexpr QRgb kSecret = 0xffe01080;
    QTemporaryDir root;
    std::unique_ptr<HelpWindow> help;
    std::vector<QUrl> opened;
};

// Pictures named by the page: only regular files of sane size from the
// help's folder are shown; each of the others is left out, and the page
// around it is still there.
TEST_F(HelpFolder, PicturesFromOutsideTheFolderOrNotRegularOrTooLargeAreLeftOutAndTheRestShows) {
    struct Case {
        const char* what;
        QByteArray img;                       // the tag
        QString name;                         // the name it asks for
        std::function<void(HelpFolder&)> make;  // puts the file in place
    };
    const QString outside = Outside() + "secret.png";
    const Case cases[] = {
        {"a FIFO nobody writes to", "<img src=\"fifo.png\">", "fifo.png",
         [](HelpFolder& f) { MakeFifo(f.Dir() + "fifo.png"); }},
        {"/dev/zero by its absolute name", "<img src=\"/dev/zero\" width=50 height=50>", "/dev/zero", nullptr},
        {"/dev/zero as a file: address", "<img src=\"file:///dev/zero\" width=50 height=50>", "file:///dev/zero",
         nullptr},
        {"a link in the folder to /dev/zero", "<img src=\"zero.png\" width=50 height=50>", "zero.png",
         [](HelpFolder& f) { QFile::link("/dev/zero", f.Dir() + "zero.png"); }},
        {"a picture up and out of the folder", "<img src=\"../elsewhere/secret.png\">", "../elsewhere/secret.png",
         nullptr},
        {"a picture elsewhere by its absolute name", "<img src=\"" + outside.toUtf8() + "\">", outside, nullptr},
        {"a link in the folder to a picture elsewhere", "<img src=\"help/secret.png\">", "help/secret.png",
         [outside](HelpFolder& f) { QFile::link(outside, f.Dir() + "help/secret.png"); }},
        {"a picture file larger than any help picture", "<img src=\"huge.png\">", "huge.png",
         [](HelpFolder& f) {
             WritePicture(f.Dir() + "huge.png", {40, 40}, QColor::fromRgb(kSecret));
             QFile file(f.Dir() + "huge.png");
             if (file.open(QIODevice::ReadWrite)) file.resize(kMaxHelpPictureBytes + 1);  // sparse
         }},
        {"a small file of too many pixels", "<img src=\"wide.png\">", "wide.png",
         [](HelpFolder& f) { WritePicture(f.Dir() + "wide.png", {4096, 1025}, QColor::fromRgb(kSecret)); }},
        {"a folder", "<img src=\"help\">", "help", nullptr},
        {"a missing picture", "<img src=\"nothing.png\">", "nothing.png", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.make) c.make(*this);
        WriteFile(HelpPath(), Page("<p><img src=\"help/good.png\"> good " + c.img + " bad</p>"));
        HelpWindow& shown = Open({Dir() + "fifo.png"});
        ASSERT_TRUE(shown.isVisible());
        const QString text = shown.browser()->toPlainText();
        EXPECT_TRUE(text.contains("The rest of the help.")) << text.toStdString();
        EXPECT_FALSE(shown.notice()->isVisible());

        // What the document got for the name: a stand-in of one pixel.
        const QVariant got = shown.browser()->document()->resource(QTextDocument::ImageResource, QUrl(c.name));
        ASSERT_EQ(got.userType(), QMetaType::QImage);
        EXPECT_EQ(qvariant_cast<QImage>(got).size(), QSize(1, 1));
        // On screen: the help's own picture, and nothing of the other.
        EXPECT_GE(CountColour(*shown.browser()->viewport(), QColor::fromRgb(kGood)), 30 * 30);
        EXPECT_EQ(CountColour(*shown.browser()->viewport(), QColor::fromRgb(kSecret)), 0);
    }
}

// The same picture named in many ways is read once; the page's pictures
// together stay within their budget however many files it names.
TEST_F(HelpFolder, ManyPicturesStayWithinTheirBudget) {
    const int side = 2048;  // one picture of 4 Mpx, the most one may have
    const qint64 each = qint64(side) * side;
    const int files = static_cast<int>(kMaxHelpPagePixels / each) + 2;
    QByteArray tags;
    for (int i = 0; i < files; ++i) {
        WritePicture(Dir() + QString("p%1.png").arg(i), {side, side}, QColor::fromRgb(kGood));
        tags += QByteArray("<img src=\"p") + QByteArray::number(i) + ".png\" width=4 height=4>";
    }
    for (int i = 0; i < 50; ++i) tags += "<img src=\"./help/../p0.png\" width=4 height=4>";
    WriteFile(HelpPath(), Page("<p>" + tags + "</p>"));
    HelpWindow& shown = Open();
    int full = 0;
    for (int i = 0; i < files; ++i) {
        const QVariant got = shown.browser()->document()->resource(QTextDocument::ImageResource,
                                                                    QUrl(QString("p%1.png").arg(i)));
        ASSERT_EQ(got.userType(), QMetaType::QImage);
        if (qvariant_cast<QImage>(got).size() == QSize(side, side)) ++full;
    }
    EXPECT_EQ(full, kMaxHelpPagePixels / each) << "as many as the budget holds, and not one more";
    const QVariant again = shown.browser()->document()->resource(QTextDocument::ImageResource, QUrl("./help/../p0.png"));
    EXPECT_EQ(qvariant_cast<QImage>(again).size(), QSize(side, side)) << "the same file by another name";
}

// The help file itself in the place of QGYR.html: a FIFO, a device, a
// huge file. The window opens and says why there is no help.
TEST_F(HelpFolder, AHelpFileThatIsNoRegularFileOrTooLargeIsRefusedInTheWindow) {
    struct Case {
        const char* what;
        std::function<void(HelpFolder&)> make;
        const char* says;
    };
    const Case cases[] = {
        {"a FIFO nobody writes to", [](HelpFolder& f) { MakeFifo(f.HelpPath()); }, "It is not a regular file."},
        {"a link to /dev/zero", [](HelpFolder& f) { QFile::link("/dev/zero", f.HelpPath()); },
         "It is not a regular file."},
        {"a folder", [](HelpFolder& f) { QDir().mkpath(f.HelpPath()); }, "It is not a regular file."},
        {"larger than any help", [](HelpFolder& f) {
             WriteFile(f.HelpPath(), Page(""));
             QFile file(f.HelpPath());
             if (file.open(QIODevice::ReadWrite)) file.resize(kMaxHelpPageBytes + 1);  // sparse
         }, "It is larger than 4 MB."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(HelpPath());
        QDir(HelpPath()).removeRecursively();
        c.make(*this);
        HelpWindow& shown = Open({HelpPath()});
        ASSERT_TRUE(shown.isVisible());
        const QString text = shown.browser()->toPlainText();
        EXPECT_TRUE(text.contains("The help cannot be shown")) << text.toStdString();
        EXPECT_TRUE(text.contains(c.says)) << text.toStdString();
        EXPECT_TRUE(text.contains(HelpPath()));
        EXPECT_FALSE(text.contains("The rest of the help."));
        // The maker's button has nothing to open then, and does not hang either.
        Watchdog dog({HelpPath()}, 20s);
        EXPECT_FALSE(OpenMakersPage(Dir(), kEnglish, [](const QUrl&) { return true; }));
        EXPECT_FALSE(dog.Stop());
    }
    // Once it is a proper file again, the help comes.
    QFile::remove(HelpPath());
    WriteFile(HelpPath(), Page(""));
    help->ShowAt(kEnglish);
    EXPECT_TRUE(help->browser()->toPlainText().contains("The rest of the help."));
}

// Clicks a link of the shown help where a player would.
void ClickLink(QTextBrowser& browser, const QString& href) {
    QTextDocument& doc = *browser.document();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().anchorHref() != href) continue;
            QTextCursor cursor(&doc);
            cursor.setPosition(fragment.position() + fragment.length() / 2);
            browser.setTextCursor(cursor);
            browser.ensureCursorVisible();
            const QPoint at = browser.cursorRect(cursor).center();
            QTest::mouseClick(browser.viewport(), Qt::LeftButton, {}, at);
            return;
        }
    ADD_FAILURE() << "no link " << href.toStdString();
}

// Links clicked in the help: only web addresses go to the browser, each
// once; sections of the help file itself are shown; nothing else is opened
// or read.
TEST_F(HelpFolder, LinksOpenOnlyWebAddressesOutsideAndOnlyTheHelpsOwnSectionsInside) {
    MakeFifo(Dir() + "fifo.html");
    WriteFile(Dir() + "other.html", "<html><body><p>Another page</p></body></html>");
    struct Case {
        QString href;
        const char* webAddress;  // what the browser is given, if anything
        const char* section;     // the section shown afterwards, if it moves
    };
    const Case cases[] = {
        {"javascript:alert(document.cookie)", nullptr, nullptr},
        {"file:///dev/zero", nullptr, nullptr},
        {"/dev/zero", nullptr, nullptr},
        {"fifo.html", nullptr, nullptr},
        {"file://" + Dir() + "fifo.html", nullptr, nullptr},
        {"other.html", nullptr, nullptr},
        {"file:///etc/passwd", nullptr, nullptr},
        {"mailto:someone@example.org", nullptr, nullptr},
        {"ftp://example.org/file", nullptr, nullptr},
        {"http:no-host", nullptr, nullptr},
        {"https://example.org/more", "https://example.org/more", nullptr},
        {"#Quirko_Games", nullptr, "Quirko_Games"},
        {"http://example.org/", "http://example.org/", nullptr},
        {"QGYR.html#Das_Spiel", nullptr, "Das_Spiel"},
        {"file://" + Dir() + "QGYR.html#The_Game", nullptr, "The_Game"},
    };
    QByteArray links;
    for (const Case& c : cases) links += "<p><a href=\"" + c.href.toHtmlEscaped().toUtf8() + "\">link</a></p>";
    WriteFile(HelpPath(), Page(links));
    HelpWindow& shown = Open();
    QTextBrowser& browser = *shown.browser();

    std::vector<QUrl> expected;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.href.toStdString());
        const QUrl before = browser.source();
        Watchdog dog({Dir() + "fifo.html"}, 20s);
        ClickLink(browser, c.href);
        QCoreApplication::processEvents();
        EXPECT_FALSE(dog.Stop()) << "stuck on the link";
        if (c.webAddress) expected.push_back(QUrl(c.webAddress));
        EXPECT_EQ(opened, expected);
        EXPECT_EQ(browser.source().toLocalFile(), HelpPath()) << "the help file is still the page shown";
        EXPECT_EQ(browser.source().fragment(), c.section ? QString(c.section) : before.fragment());
        EXPECT_TRUE(browser.toPlainText().contains("The rest of the help."));
    }
}

TEST_F(HelpFolder, EscapeAndCtrlWCloseTheWindow) {
    WriteFile(HelpPath(), Page(""));
    for (const QKeyCombination keys : {QKeyCombination(Qt::Key_Escape), QKeyCombination(Qt::CTRL | Qt::Key_W)}) {
        SCOPED_TRACE(QKeySequence(keys).toString().toStdString());
        HelpWindow& shown = Open();
        QApplication::setActiveWindow(&shown);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&shown));
        QTest::keyClick(shown.browser(), keys.key(), keys.keyboardModifiers());
        EXPECT_FALSE(shown.isVisible());
    }
}

// Where the help goes, for the game's frame at several places on several
// screens. The frame of the game is 502 x 390: 24 px of title bar above the
// 33 px toolbar and the 500 x 333 board, one pixel of border around.
struct Screen {
    const char* what;
    QRect screen;
    QPoint game;        // the game frame's top-left
    QRect expected;     // the help's frame
    bool coversBoard;   // only when there is no room beside, above or below
};

QRect GameFrame(QPoint at) { return {at, QSize(502, 390)}; }
QRect KeepFree(QPoint at) { return {at, QSize(502, 24 + 33)}; }  // title bar and toolbar

TEST(HelpPlacement, BesideTheGameWhereThereIsRoomElseAboveOrBelowElseNeverOverTheToolbar) {
    const QSize wanted(662, 664);
    const Screen cases[] = {
        // The testers' screen: 381 px right of the centred game, a readable window there.
        {"1280x1024, game centred", {0, 0, 1280, 1024}, {389, 317}, {899, 317, 381, 664}, false},
        {"1920x1080, game centred", {0, 0, 1920, 1080}, {709, 345}, {1219, 345, 662, 664}, false},
        {"1920x1080 with a panel, game at the right edge", {0, 27, 1920, 1053}, {1418, 100},
         {748, 100, 662, 664}, false},
        {"1280x1024, game at the top left", {0, 0, 1280, 1024}, {0, 0}, {510, 0, 662, 664}, false},
        {"1280x1024, game low down, help moved up", {0, 0, 1280, 1024}, {389, 600}, {899, 360, 381, 664}, false},
        {"1024x768, game centred: no room around it, so over the board's lowest rows",
         {0, 0, 1024, 768}, {261, 189}, {261, 528, 662, 240}, true},
        {"1024x1280 portrait, game centred: below it", {0, 0, 1024, 1280}, {261, 445}, {261, 843, 662, 437}, false},
        {"second screen to the right", {1920, 0, 1280, 1024}, {2309, 317}, {2819, 317, 381, 664}, false},
        {"800x600, game centred: at the bottom, below the toolbar", {0, 0, 800, 600}, {149, 105},
         {138, 360, 662, 240}, true},
    };
    for (const Screen& c : cases) {
        SCOPED_TRACE(c.what);
        const QRect game = GameFrame(c.game);
        const QRect place = PlaceHelp(c.screen, game, KeepFree(c.game), wanted);
        EXPECT_EQ(place, c.expected);
        EXPECT_TRUE(c.screen.contains(place)) << "on the screen";
        EXPECT_FALSE(place.intersects(KeepFree(c.game))) << "never over the title bar or the toolbar";
        EXPECT_EQ(place.intersects(game), c.coversBoard);
        EXPECT_GE(place.width(), kHelpMinWidth);
    }
}

// The real window: placed before it shows, it lands there, clear of the
// toolbar of a game window on the (800 x 600) offscreen screen.
TEST(HelpPlacement, TheRealWindowLandsWhereItWasPlacedAndLeavesTheToolbarFree) {
    QTemporaryDir dir;
    WriteFile(dir.path() + "/" + kHelpFile, Page(""));
    QWidget game;
    auto* toolbar = new QWidget(&game);
    toolbar->setObjectName("ToolPanel");
    toolbar->setGeometry(0, 0, 500, 33);
    game.setFixedSize(500, 366);
    const QRect room = game.screen()->availableGeometry();
    game.move(room.center() - QPoint(250, 183));
    game.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&game));

    HelpWindow help(dir.path() + "/", nullptr, [](const QUrl&) { return false; });
    help.PlaceBeside(game);
    help.ShowAt(kEnglish);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
    const QRect bar(game.mapToGlobal(QPoint(0, 0)), QSize(500, 33));
    const QRect frame = game.frameGeometry();
    // The help's frame taken as the game's, which the platform draws around it.
    const QSize margins = frame.size() - game.geometry().size();
    const QRect expected =
        PlaceHelp(room, frame, QRect(frame.topLeft(), QPoint(frame.right(), bar.bottom())), QSize(660, 640) + margins);
    EXPECT_EQ(help.frameGeometry(), expected);
    EXPECT_FALSE(help.frameGeometry().intersects(bar));
    EXPECT_TRUE(room.contains(help.frameGeometry()));
}

}  // namespace
}  // namespace qg
