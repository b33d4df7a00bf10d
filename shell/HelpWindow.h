#pragma once
// The help: the HTML file QGYR.html from the program directory, shown in a
// window of its own at the section of the player's language, and the makers'
// section of the same file opened in the user's browser.

#include <QString>
#include <QUrl>
#include <QWidget>

#include <functional>

class QLabel;
class QTextBrowser;
class QTextDocument;

namespace qg {

inline constexpr char kHelpFile[] = "QGYR.html";

// Where the help starts for Language: "Das_Spiel" (German) or "The_Game".
QString HelpAnchor(int language);
// The section on the makers and the other Quirko Games: "Die_Macher" or "Quirko_Games".
QString MakersAnchor(int language);

// True when the document holds an anchor of that name.
bool HasAnchor(const QTextDocument& document, const QString& name);

// Asks the system to show an address; false when it reports a failure.
using UrlOpener = std::function<bool(const QUrl&)>;
UrlOpener SystemUrlOpener();

// The makers' section of the help file, as an address for the browser.
QUrl MakersPageUrl(const QString& programDir, int language);
// Opens that address with `open`. Without the help file there is nothing to
// show: false, and the opener is not asked.
bool OpenMakersPage(const QString& programDir, int language, const UrlOpener& open);

// The help window: an ordinary resizable window that stays open beside the
// game. A missing file or section is said in the window, in the player's
// language.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QString programDir, QWidget* parent = nullptr);

    // Shows the help at the section of `language`, loading the file afresh
    // when it is not shown yet, and brings the window to the front.
    void ShowAt(int language);

    // Puts the window beside `main` (right of it, else left of it) where the
    // screen has room, so that board and help can be seen together.
    void PlaceBeside(const QWidget& main);

    QTextBrowser* browser() const { return browser_; }
    // The line above the text that reports a missing section; hidden otherwise.
    QLabel* notice() const { return notice_; }

private:
    void ShowMissingFile(int language, const QString& path);

    QString programDir_;
    QLabel* notice_ = nullptr;
    QTextBrowser* browser_ = nullptr;
};

}  // namespace qg
