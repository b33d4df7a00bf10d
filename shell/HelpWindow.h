#pragma once
// The help: the HTML file QGYR.html from the program directory, shown in a
// window of its own at the section of the player's language, and the makers'
// section of the same file opened in the user's browser.
//
// The help file is read like any file from outside: whatever it names is
// read only from the help's own folder, only as a regular file of sane size,
// and nothing it links to is handed to the desktop but web addresses.

#include <QHash>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <optional>

#include "files/RegularFile.h"

class QLabel;
class QTextDocument;

namespace qg {

class HelpTextAccess;

inline constexpr char kHelpFile[] = "QGYR.html";

// What the help reads at most: the page itself, one picture's file, one
// picture's pixels, and all pictures of the page together.
inline constexpr qint64 kMaxHelpPageBytes = 4LL << 20;
inline constexpr qint64 kMaxHelpPictureBytes = 2LL << 20;
inline constexpr qint64 kMaxHelpPicturePixels = 4LL << 20;
inline constexpr qint64 kMaxHelpPagePixels = 24LL << 20;
inline constexpr qint64 kMaxHelpStyleBytes = 256LL << 10;

// Where the help starts for Language: "Das_Spiel" (German) or "The_Game".
QString HelpAnchor(int language);
// The section on the makers and the other Quirko Games: "Die_Macher" or "Quirko_Games".
QString MakersAnchor(int language);

// True when the document holds an anchor of that name.
bool HasAnchor(const QTextDocument& document, const QString& name);
// Where in the document the anchor of that name stands, if anywhere.
std::optional<int> AnchorPosition(const QTextDocument& document, const QString& name);

// Asks the system to show an address; false when it reports a failure.
using UrlOpener = std::function<bool(const QUrl&)>;
UrlOpener SystemUrlOpener();

// True for the addresses the help may hand to the user's browser: http and
// https with a host.
bool IsWebAddress(const QUrl& url);

// The makers' section of the help file, as an address for the browser.
QUrl MakersPageUrl(const QString& programDir, int language);
// Opens that address with `open`. Without a readable help file that holds
// the section there is nothing to show: false, and the opener is not asked.
bool OpenMakersPage(const QString& programDir, int language, const UrlOpener& open);

// Where the help window goes, as frame rectangles on the screen's free area
// `screen`: beside the game's frame `game` where there is room for a
// readable window (kHelpMinWidth), else above or below it (kHelpMinHeight),
// else over as little of the game as possible but never over `keepFree`
// (the game's title bar and toolbar). `wanted` is the size it takes when
// there is room.
inline constexpr int kHelpMinWidth = 360;
inline constexpr int kHelpMinHeight = 240;
inline constexpr int kHelpGap = 8;
QRect PlaceHelp(const QRect& screen, const QRect& game, const QRect& keepFree, QSize wanted);

// The help's text view. Every page, picture and style sheet the document
// asks for comes through loadResource, from the help's own folder only.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    HelpBrowser(QString helpFile, QWidget* parent = nullptr);

    QVariant loadResource(int type, const QUrl& name) override;
    // Tab and Shift+Tab: from link to link, the first from the caret, and
    // the tools hear which.
    bool focusNextPrevChild(bool next) override;

    // The page to give at the next load of the help file, already read.
    void Offer(QByteArray page) { offered_ = std::move(page); }
    // Why the last load of the help file failed (None when it was shown).
    FileProblem pageProblem() const { return pageProblem_; }

private:
    std::optional<QString> InFolder(const QUrl& name) const;
    QImage Picture(const QString& file);

    HelpTextAccess* access_ = nullptr;  // the text and its links as tools read them

    QString helpFile_;   // cleaned absolute path
    QUrl helpUrl_;
    QString folder_;     // the help's folder as named, ending in '/'
    QString realFolder_; // the same with links resolved
    std::optional<QByteArray> offered_;
    FileProblem pageProblem_ = FileProblem::None;
    QHash<QString, QImage> pictures_;  // by real path: one copy however it is named
    qint64 pixels_ = 0;                // of all pictures read for this page
};

// The help window: an ordinary resizable window that stays open beside the
// game. A missing file or section is said in the window, in the player's
// language. Escape and Ctrl+W close it. The text is read with a caret, as
// a document: the arrow keys move it, Tab goes from link to link.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QString programDir, QWidget* parent = nullptr, UrlOpener open = SystemUrlOpener());

    // Shows the help at the section of `language`, loading the file afresh
    // when it is not shown yet, and brings the window to the front.
    void ShowAt(int language);

    // Puts the window beside `main` where the screen has room (PlaceHelp),
    // so that board, toolbar and help can be seen together.
    void PlaceBeside(const QWidget& main);

    // Where web addresses clicked in the help go (tests record them).
    void UseUrlOpener(UrlOpener open) { open_ = std::move(open); }

    HelpBrowser* browser() const { return browser_; }
    // The line above the text that reports a missing section; hidden otherwise.
    QLabel* notice() const { return notice_; }

private:
    // A link clicked in the help: a section of the help file is shown, a web
    // address goes to the browser, anything else is left alone.
    void Follow(const QUrl& link);
    void ShowMissingFile(int language, const QString& path);
    void ShowUnreadableFile(int language, const QString& path, FileProblem problem);
    // The caret at the start of the section shown, where a screen reader starts reading.
    void CaretToSection(const QString& anchor);
    void ForgetPage();

    QString programDir_;
    QString helpFile_;
    UrlOpener open_;
    bool shown_ = false;  // the help file is in the browser
    QLabel* notice_ = nullptr;
    HelpBrowser* browser_ = nullptr;
};

}  // namespace qg
