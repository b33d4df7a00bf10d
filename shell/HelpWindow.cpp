#include "shell/HelpWindow.h"

#include <QBuffer>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QKeySequence>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

#include "shell/HelpAccessible.h"
#include "shell/Pictures.h"
#include "shell/Texts.h"
#include "shell/ToolAccess.h"

namespace qg {

namespace {

QString Pick(int language, const char* german, const char* english) {
    return QString::fromUtf8(IsGerman(language) ? german : english);
}

// What stands in for a picture that is left out. Never a null picture: for
// that Qt would try the name once more on its own, straight from the disk.
QImage LeftOut() {
    QImage image(1, 1, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

// Never a null answer either: the document would then read the name itself.
QVariant Refused(int type) {
    if (type == QTextDocument::ImageResource) return LeftOut();
    if (type == QTextDocument::StyleSheetResource) return QString();
    return QByteArray();
}

// The page's text, in the encoding it names (UTF-8 when it names none).
QString DecodePage(const QByteArray& bytes) {
    QStringDecoder decoder(QStringConverter::encodingForHtml(bytes).value_or(QStringConverter::Utf8));
    return decoder(bytes);
}

// A document that reads nothing from disk, to look for anchors only.
class TextOnlyDocument : public QTextDocument {
protected:
    QVariant loadResource(int type, const QUrl&) override { return Refused(type); }
};

}  // namespace

QString HelpAnchor(int language) { return Pick(language, "Das_Spiel", "The_Game"); }

QString MakersAnchor(int language) { return Pick(language, "Die_Macher", "Quirko_Games"); }

bool HasAnchor(const QTextDocument& document, const QString& name) { return AnchorPosition(document, name).has_value(); }

std::optional<int> AnchorPosition(const QTextDocument& document, const QString& name) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.charFormat().anchorNames().contains(name)) return block.position();
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().anchorNames().contains(name)) return it.fragment().position();
    }
    return std::nullopt;
}

UrlOpener SystemUrlOpener() {
    return [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

bool IsWebAddress(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == "http" || scheme == "https") && !url.host().isEmpty();
}

QUrl MakersPageUrl(const QString& programDir, int language) {
    QUrl url = QUrl::fromLocalFile(programDir + kHelpFile);
    url.setFragment(MakersAnchor(language));
    return url;
}

bool OpenMakersPage(const QString& programDir, int language, const UrlOpener& open) {
    const FileRead page = ReadRegularFile(programDir + kHelpFile, kMaxHelpPageBytes);
    if (page.problem != FileProblem::None) return false;
    TextOnlyDocument document;
    document.setHtml(DecodePage(page.bytes));
    if (!HasAnchor(document, MakersAnchor(language))) return false;
    return open(MakersPageUrl(programDir, language));
}

QRect PlaceHelp(const QRect& screen, const QRect& game, const QRect& keepFree, QSize wanted) {
    const int w = std::min(wanted.width(), screen.width());
    const int h = std::min(wanted.height(), screen.height());
    const auto clampX = [&](int x, int width) {
        return std::clamp(x, screen.left(), std::max(screen.left(), screen.right() + 1 - width));
    };
    const auto clampY = [&](int y, int height) {
        return std::clamp(y, screen.top(), std::max(screen.top(), screen.bottom() + 1 - height));
    };

    // Beside the game, the right side first.
    const int right = screen.right() - game.right() - kHelpGap;
    const int left = game.left() - kHelpGap - screen.left();
    const int y = clampY(game.top(), h);
    if (right >= w) return {game.right() + 1 + kHelpGap, y, w, h};
    if (left >= w) return {game.left() - kHelpGap - w, y, w, h};
    if (std::max(right, left) >= kHelpMinWidth) {
        if (right >= left) return {game.right() + 1 + kHelpGap, y, right, h};
        return {screen.left(), y, left, h};
    }

    // Below or above it.
    const int below = screen.bottom() - game.bottom() - kHelpGap;
    const int above = game.top() - kHelpGap - screen.top();
    const int x = clampX(game.left(), w);
    if (below >= h) return {x, game.bottom() + 1 + kHelpGap, w, h};
    if (above >= h) return {x, game.top() - kHelpGap - h, w, h};
    if (std::max(below, above) >= kHelpMinHeight) {
        if (below >= above) return {x, game.bottom() + 1 + kHelpGap, w, below};
        return {x, screen.top(), w, above};
    }

    // Over the game: at a side of the screen or at its bottom, whichever
    // covers least of it, and always below its title bar and toolbar.
    const int top = std::max(screen.top(), keepFree.bottom() + 1);
    const int sideWidth = std::min(w, std::max(kHelpMinWidth, std::max(right, left)));
    const int sideHeight = std::max(1, std::min(h, screen.bottom() + 1 - top));
    const int bottomHeight = std::min(h, std::max(kHelpMinHeight, below));
    const int bottomTop = std::max(top, screen.bottom() + 1 - bottomHeight);
    const std::array<QRect, 3> candidates = {
        QRect(screen.right() + 1 - sideWidth, top, sideWidth, sideHeight),
        QRect(screen.left(), top, sideWidth, sideHeight),
        QRect(x, bottomTop, w, std::max(1, screen.bottom() + 1 - bottomTop)),
    };
    const auto covered = [&](const QRect& r) {
        const QRect common = r.intersected(game);
        return qint64(common.width()) * common.height();
    };
    QRect best = candidates[0];
    for (const QRect& r : candidates)
        if (covered(r) < covered(best)) best = r;
    return best;
}

HelpBrowser::HelpBrowser(QString helpFile, QWidget* parent)
    : QTextBrowser(parent), helpFile_(QDir::cleanPath(QFileInfo(helpFile).absoluteFilePath())) {
    helpUrl_ = QUrl::fromLocalFile(helpFile_);
    folder_ = QFileInfo(helpFile_).absolutePath() + '/';
    const QString real = QFileInfo(folder_).canonicalFilePath();
    realFolder_ = real.isEmpty() ? QString() : real + '/';
    // Links are followed by the window, which decides what may be opened.
    setOpenLinks(false);
    setOpenExternalLinks(false);
    // Before any tool asks: the text is read as a document with its links.
    access_ = new HelpTextAccess(*this);
}

bool HelpBrowser::focusNextPrevChild(bool next) {
    // From the caret, where the reader is: with no link selected, Qt would
    // start from the page's top.
    const QTextCursor caret = textCursor();
    bool moved = !caret.hasSelection() && access_->SelectLinkFrom(caret.position(), next);
    if (!moved) moved = QTextBrowser::focusNextPrevChild(next);
    access_->CaretMoved();
    return moved;
}

// A local file in the help's folder, by name and with links resolved; or nothing.
std::optional<QString> HelpBrowser::InFolder(const QUrl& name) const {
    const QUrl url = helpUrl_.resolved(name);
    if (!url.isLocalFile() || url.hasQuery() || realFolder_.isEmpty()) return std::nullopt;
    const QString path = QDir::cleanPath(url.toLocalFile());
    if (!path.startsWith(folder_)) return std::nullopt;  // "..", or an absolute path elsewhere
    const QString real = QFileInfo(path).canonicalFilePath();  // empty when missing
    if (real.isEmpty() || !real.startsWith(realFolder_)) return std::nullopt;  // a link out of the folder
    return real;
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    if (name.isEmpty()) return Refused(type);
    if (type == QTextDocument::HtmlResource) {
        // The one page shown is the help file itself.
        const QUrl url = helpUrl_.resolved(name);
        if (!url.isLocalFile() || QDir::cleanPath(url.toLocalFile()) != helpFile_) return Refused(type);
        pictures_.clear();
        pixels_ = 0;
        if (offered_) {
            QByteArray page = std::move(*offered_);
            offered_.reset();
            pageProblem_ = FileProblem::None;
            return page;
        }
        FileRead page = ReadRegularFile(helpFile_, kMaxHelpPageBytes);
        pageProblem_ = page.problem;
        return page.bytes;
    }
    const std::optional<QString> file = InFolder(name);
    if (!file) return Refused(type);
    if (type == QTextDocument::ImageResource) return Picture(*file);
    if (type == QTextDocument::StyleSheetResource) {
        const FileRead style = ReadRegularFile(*file, kMaxHelpStyleBytes);
        return QString::fromUtf8(style.bytes);
    }
    return Refused(type);
}

// A picture decoded only when its file and its pixels are of sane size, and
// while the page's pictures together stay within their budget.
QImage HelpBrowser::Picture(const QString& file) {
    if (auto it = pictures_.constFind(file); it != pictures_.constEnd()) return *it;
    FileRead read = ReadRegularFile(file, kMaxHelpPictureBytes);
    if (read.problem != FileProblem::None) return LeftOut();
    QBuffer buffer(&read.bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid()) return LeftOut();
    const qint64 pixels = qint64(size.width()) * size.height();
    if (pixels <= 0 || pixels > kMaxHelpPicturePixels || pixels_ + pixels > kMaxHelpPagePixels) return LeftOut();
    const QImage image = reader.read();
    if (image.isNull()) return LeftOut();
    pixels_ += pixels;
    pictures_.insert(file, image);
    return image;
}

HelpWindow::HelpWindow(QString programDir, QWidget* parent, UrlOpener open)
    : QWidget(parent, Qt::Window),
      programDir_(std::move(programDir)),
      helpFile_(programDir_ + kHelpFile),
      open_(std::move(open)) {
    ShowAsWindowToTools(*this);
    setObjectName("HelpWindow");
    setWindowIcon(PictureIcon(":/pictures/icon.png"));

    notice_ = new QLabel(this);
    notice_->setObjectName("HelpNotice");
    notice_->setTextFormat(Qt::PlainText);
    notice_->setWordWrap(true);
    notice_->setMargin(8);
    notice_->setStyleSheet("#HelpNotice { background: #fff1c2; color: #3a2a00; border-bottom: 1px solid #c9a640; }");
    notice_->hide();

    browser_ = new HelpBrowser(helpFile_, this);
    browser_->setObjectName("HelpBrowser");
    connect(browser_, &QTextBrowser::anchorClicked, this, &HelpWindow::Follow);
    // A caret to read with, as in a document; the links stay reachable by Tab.
    browser_->setTextInteractionFlags(Qt::TextBrowserInteraction | Qt::TextSelectableByKeyboard);

    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(notice_);
    layout->addWidget(browser_);
    resize(660, 640);
}

void HelpWindow::ShowAt(int language) {
    setWindowTitle(Pick(language, "Quirko Gyrelle – Hilfe", "Quirko Gyrelle – Help"));
    browser_->setAccessibleName(Pick(language, "Hilfetext", "Help text"));
    notice_->hide();
    const QString anchor = HelpAnchor(language);
    QUrl target = QUrl::fromLocalFile(helpFile_);
    target.setFragment(anchor);
    if (shown_) {
        browser_->setSource(target);  // shown already: only moves to the section
    } else {
        FileRead page = ReadRegularFile(helpFile_, kMaxHelpPageBytes);
        if (page.problem == FileProblem::None) {
            browser_->Offer(std::move(page.bytes));
            browser_->setSource(target);
            shown_ = browser_->pageProblem() == FileProblem::None;
        }
        if (page.problem == FileProblem::Missing) ShowMissingFile(language, helpFile_);
        else if (!shown_) ShowUnreadableFile(language, helpFile_, page.problem);
    }
    if (shown_ && !HasAnchor(*browser_->document(), anchor)) {
        notice_->setText(IsGerman(language)
                             ? QString::fromUtf8("Der Abschnitt \u201E%1\u201C fehlt in der Hilfedatei. "
                                                 "Sie wird hier von ihrem Anfang an gezeigt.")
                                   .arg(anchor)
                             : QString("The section \"%1\" is missing from the help file. "
                                       "It is shown here from its beginning.")
                                   .arg(anchor));
        notice_->show();
        browser_->verticalScrollBar()->setValue(0);
    } else if (shown_) {
        CaretToSection(anchor);
    }
    if (isMinimized()) showNormal();
    else show();
    raise();
    activateWindow();
}

void HelpWindow::Follow(const QUrl& link) {
    const QUrl target = QUrl::fromLocalFile(helpFile_).resolved(link);
    if (IsWebAddress(target)) {
        if (open_) open_(target);
        return;
    }
    // A section of the help file itself; no other file is opened from here.
    if (shown_ && target.isLocalFile() && !target.hasQuery() && QDir::cleanPath(target.toLocalFile()) == QDir::cleanPath(helpFile_)) {
        browser_->setSource(target);
        if (target.hasFragment()) CaretToSection(target.fragment());
    }
}

void HelpWindow::CaretToSection(const QString& anchor) {
    const std::optional<int> at = AnchorPosition(*browser_->document(), anchor);
    if (!at) return;
    QTextCursor caret(browser_->document());
    caret.setPosition(*at);
    browser_->setTextCursor(caret);
    browser_->scrollToAnchor(anchor);  // the section at the top, as before
}

void HelpWindow::PlaceBeside(const QWidget& main) {
    const QScreen* screen = main.screen();
    if (!screen) return;
    const QRect game = main.frameGeometry();
    const QRect inner = main.geometry();
    // The title bar, and the toolbar below it when the window has one.
    int keepBottom = inner.top() - 1;
    if (const auto* bar = main.findChild<QWidget*>("ToolPanel", Qt::FindDirectChildrenOnly))
        keepBottom = inner.top() + bar->geometry().bottom();
    const QRect keepFree(game.topLeft(), QPoint(game.right(), std::max(keepBottom, game.top())));
    // The help's frame is not known before it shows: taken as the game's.
    const QSize frame = game.size() - inner.size();
    const QRect place = PlaceHelp(screen->availableGeometry(), game, keepFree, size() + frame);
    resize(place.size() - frame);
    move(place.topLeft());
}

void HelpWindow::ForgetPage() {
    // Forget the shown file, so that it is read again once it can be.
    shown_ = false;
    browser_->setSource(QUrl());
    browser_->clearHistory();
}

void HelpWindow::ShowMissingFile(int language, const QString& path) {
    ForgetPage();
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

void HelpWindow::ShowUnreadableFile(int language, const QString& path, FileProblem problem) {
    ForgetPage();
    const bool german = IsGerman(language);
    QString why;
    switch (problem) {
    case FileProblem::NotRegularFile:
        why = german ? QString::fromUtf8("Sie ist keine gewöhnliche Datei.") : QString("It is not a regular file.");
        break;
    case FileProblem::TooLarge:
        why = german ? QString::fromUtf8("Sie ist größer als %1 MB.") : QString("It is larger than %1 MB.");
        why = why.arg(kMaxHelpPageBytes >> 20);
        break;
    default:
        why = german ? QString::fromUtf8("Sie lässt sich nicht lesen.") : QString("It cannot be read.");
        break;
    }
    const QString file = path.toHtmlEscaped();
    browser_->setHtml(german ? QString::fromUtf8("<h2>Die Hilfe lässt sich nicht zeigen</h2>"
                                                 "<p>Die Hilfedatei <b>%1</b> wird nicht gezeigt: %2</p>"
                                                 "<p>Das Spiel läuft ganz normal weiter.</p>")
                                   .arg(file, why.toHtmlEscaped())
                             : QString("<h2>The help cannot be shown</h2>"
                                       "<p>The help file <b>%1</b> is not shown: %2</p>"
                                       "<p>The game goes on as usual.</p>")
                                   .arg(file, why.toHtmlEscaped()));
}

}  // namespace qg
