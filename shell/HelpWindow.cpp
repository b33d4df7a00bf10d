#include "shell/HelpWindow.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

#include "shell/Pictures.h"
#include "shell/Texts.h"

namespace qg {

namespace {

QString Pick(int language, const char* german, const char* english) {
    return QString::fromUtf8(IsGerman(language) ? german : english);
}

}  // namespace

QString HelpAnchor(int language) { return Pick(language, "Das_Spiel", "The_Game"); }

QString MakersAnchor(int language) { return Pick(language, "Die_Macher", "Quirko_Games"); }

bool HasAnchor(const QTextDocument& document, const QString& name) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.charFormat().anchorNames().contains(name)) return true;
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().anchorNames().contains(name)) return true;
    }
    return false;
}

UrlOpener SystemUrlOpener() {
    return [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

QUrl MakersPageUrl(const QString& programDir, int language) {
    QUrl url = QUrl::fromLocalFile(programDir + kHelpFile);
    url.setFragment(MakersAnchor(language));
    return url;
}

bool OpenMakersPage(const QString& programDir, int language, const UrlOpener& open) {
    if (!QFileInfo(programDir + kHelpFile).isFile()) return false;
    return open(MakersPageUrl(programDir, language));
}

HelpWindow::HelpWindow(QString programDir, QWidget* parent)
    : QWidget(parent, Qt::Window), programDir_(std::move(programDir)) {
    setObjectName("HelpWindow");
    setWindowIcon(PictureIcon(":/pictures/icon.png"));

    notice_ = new QLabel(this);
    notice_->setObjectName("HelpNotice");
    notice_->setTextFormat(Qt::PlainText);
    notice_->setWordWrap(true);
    notice_->setMargin(8);
    notice_->setStyleSheet("#HelpNotice { background: #fff1c2; color: #3a2a00; border-bottom: 1px solid #c9a640; }");
    notice_->hide();

    browser_ = new QTextBrowser(this);
    browser_->setObjectName("HelpBrowser");
    browser_->setOpenLinks(true);
    browser_->setOpenExternalLinks(true);  // addresses outside the file go to the user's browser

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(notice_);
    layout->addWidget(browser_);
    resize(660, 640);
}

void HelpWindow::ShowAt(int language) {
    setWindowTitle(Pick(language, "Quirko Gyrelle – Hilfe", "Quirko Gyrelle – Help"));
    notice_->hide();
    const QString path = programDir_ + kHelpFile;
    const QString anchor = HelpAnchor(language);
    if (!QFileInfo(path).isFile()) {
        ShowMissingFile(language, path);
    } else {
        QUrl target = QUrl::fromLocalFile(path);
        target.setFragment(anchor);
        // Loads the file unless it is shown already; then it only moves to the section.
        browser_->setSource(target);
        if (!HasAnchor(*browser_->document(), anchor)) {
            notice_->setText(IsGerman(language)
                                 ? QString::fromUtf8("Der Abschnitt \u201E%1\u201C fehlt in der Hilfedatei. "
                                                     "Sie wird hier von ihrem Anfang an gezeigt.")
                                       .arg(anchor)
                                 : QString("The section \"%1\" is missing from the help file. "
                                           "It is shown here from its beginning.")
                                       .arg(anchor));
            notice_->show();
            browser_->verticalScrollBar()->setValue(0);
        }
    }
    if (isMinimized()) showNormal();
    else show();
    raise();
    activateWindow();
}

void HelpWindow::PlaceBeside(const QWidget& main) {
    const QScreen* screen = main.screen();
    if (!screen) return;
    const QRect room = screen->availableGeometry();
    const QRect game = main.frameGeometry();
    constexpr int kGap = 8;
    resize(width(), std::min(height(), room.height()));
    int x = game.right() + 1 + kGap;
    if (x + width() > room.right() + 1) x = game.left() - kGap - width();
    if (x < room.left()) x = std::min(room.right() + 1 - width(), game.right() + 1 + kGap);
    x = std::max(x, room.left());
    const int y = std::clamp(game.top(), room.top(), std::max(room.top(), room.bottom() + 1 - height()));
    move(x, y);
}

void HelpWindow::ShowMissingFile(int language, const QString& path) {
    // Forget the shown file, so that it is read again once it is there.
    browser_->setSource(QUrl());
    browser_->clearHistory();
    const QString file = path.toHtmlEscaped();
    browser_->setHtml(
        IsGerman(language)
            ? QString::fromUtf8("<h2>Die Hilfe fehlt</h2>"
                                "<p>Die Hilfedatei <b>%1</b> wurde nicht gefunden.</p>"
                                "<p>Das Spiel läuft ganz normal weiter. Wer die Hilfe lesen möchte, legt die Datei "
                                "QGYR.html wieder neben das Programm.</p>")
                  .arg(file)
            : QString("<h2>The help is missing</h2>"
                      "<p>The help file <b>%1</b> was not found.</p>"
                      "<p>The game goes on as usual. To read the help, put the file QGYR.html back beside "
                      "the program.</p>")
                  .arg(file));
}

}  // namespace qg
