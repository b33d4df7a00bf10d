#include "shell/HelpAccessible.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QHash>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QWindow>

#include <algorithm>
#include <utility>

#include "shell/ToolAccess.h"

namespace qg {

namespace {

// The document's text as tools read it: paragraph and line breaks as "\n",
// fixed spaces as spaces, one character for one, so that offsets agree.
QString Readable(QString text) {
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u == QChar::ParagraphSeparator || u == QChar::LineSeparator || u == 0xfdd0 || u == 0xfdd1) c = u'\n';
        else if (u == QChar::Nbsp) c = u' ';
    }
    return text;
}

int LastOffset(const QTextDocument& document) { return std::max(0, document.characterCount() - 1); }

QString TextBetween(const QTextDocument& document, int start, int end) {
    const int last = LastOffset(document);
    start = std::clamp(start, 0, last);
    end = std::clamp(end, start, last);
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    return Readable(cursor.selectedText());
}

// What a reader says for a link whose text is only a picture: where it leads.
QString LinkWords(const QString& text, const QString& href) {
    QString words = QString(text).remove(QChar::ObjectReplacementCharacter).simplified();
    if (!words.isEmpty()) return words;
    words = href.startsWith('#') ? href.mid(1) : href;
    return words.replace('_', ' ');
}

// The character at `offset` on the screen, in the view's viewport coordinates.
QRect CharacterInView(const QTextBrowser& browser, int offset) {
    const QTextDocument& document = *browser.document();
    const int last = LastOffset(document);
    if (offset < 0 || offset > last) return QRect();
    QTextCursor at(const_cast<QTextDocument*>(&document));
    at.setPosition(offset);
    QRect r = browser.cursorRect(at);
    int width = browser.fontMetrics().averageCharWidth();
    if (offset < last) {
        QTextCursor next(at);
        next.setPosition(offset + 1);
        const QRect n = browser.cursorRect(next);
        if (n.top() == r.top() && n.left() > r.left()) width = n.left() - r.left();
    }
    r.setWidth(width);
    return r;
}

QRect OnScreen(const QTextBrowser& browser, const QRect& inView) {
    if (inView.isNull()) return QRect();
    return QRect(browser.viewport()->mapToGlobal(inView.topLeft()), inView.size());
}

// The screen line round `offset`: [start, end), a paragraph's last line with
// its line break.
std::pair<int, int> LineAt(const QTextDocument& document, int offset) {
    const int last = LastOffset(document);
    offset = std::clamp(offset, 0, last);
    const QTextBlock block = document.findBlock(offset);
    if (!block.isValid()) return {offset, offset};
    document.documentLayout()->blockBoundingRect(block);  // lays the paragraph out
    int start = block.position();
    int end = block.position() + block.length();
    const QTextLayout* layout = block.layout();
    const QTextLine line = layout ? layout->lineForTextPosition(offset - block.position()) : QTextLine();
    if (line.isValid()) {
        start = block.position() + line.textStart();
        if (line.lineNumber() + 1 < layout->lineCount()) end = start + line.textLength();
    }
    return {start, std::min(end, last)};
}

class HelpTextAccessible;

// One link of the help's text.
class LinkAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    LinkAccessible(HelpTextAccess* access, int index) : access_(access), index_(index) {}

    bool isValid() const override { return !access_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return access_ ? access_->browser().window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return access_ ? QAccessible::queryAccessibleInterface(&access_->browser()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        const HelpLink* link = Link();
        if (!link) return QString();
        if (t == QAccessible::Name) return link->text;
        // Where a web link leads; a section of the help needs no address.
        if (t == QAccessible::Description && !link->href.startsWith('#')) return link->href;
        return QString();
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        const HelpLink* link = Link();
        if (!link) return QRect();
        QRect all;
        for (int offset = link->start; offset < link->end; ++offset)
            all |= CharacterInView(access_->browser(), offset);
        return OnScreen(access_->browser(), all);
    }
    QAccessible::Role role() const override { return QAccessible::Link; }
    QAccessible::State state() const override {
        QAccessible::State s;
        const HelpLink* link = Link();
        if (!link) {
            s.invisible = true;
            return s;
        }
        const QTextBrowser& browser = access_->browser();
        s.focusable = true;
        s.linked = true;
        s.focused = browser.hasFocus() && access_->LinkAtCaret() == index_;
        const QRect viewport(browser.viewport()->mapToGlobal(QPoint(0, 0)), browser.viewport()->size());
        s.offscreen = !rect().intersects(viewport);
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
    QStringList keyBindingsForAction(const QString& name) const override {
        if (name == pressAction()) return {"Return"};
        if (name == setFocusAction()) return {"Tab"};
        return {};
    }
    void doAction(const QString& name) override {
        if (!Link() || !ToolMayActOn(access_->browser())) return;
        if (name == pressAction()) access_->FollowLink(index_);
        else if (name == setFocusAction()) access_->SelectLink(index_);
    }

private:
    const HelpLink* Link() const {
        if (!access_) return nullptr;
        const std::vector<HelpLink>& links = access_->Links();
        return index_ < static_cast<int>(links.size()) ? &links[static_cast<std::size_t>(index_)] : nullptr;
    }

    QPointer<HelpTextAccess> access_;
    int index_;
};

// The text view: the page as text with a caret and a selection, its screen
// lines, and its links as children.
class HelpTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    HelpTextAccessible(QTextBrowser* browser, HelpTextAccess* access)
        : QAccessibleWidget(browser, QAccessible::EditableText), access_(access) {}
    ~HelpTextAccessible() override {
        for (const QAccessible::Id id : std::as_const(links_)) QAccessible::deleteAccessibleInterface(id);
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.multiLine = true;
        s.selectableText = true;
        return s;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return Readable(Document().toPlainText());
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return access_ ? static_cast<int>(access_->Links().size()) : 0; }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        auto it = links_.constFind(index);
        if (it == links_.constEnd())
            it = links_.insert(index, QAccessible::registerAccessibleInterface(new LinkAccessible(access_, index)));
        return QAccessible::accessibleInterface(*it);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (auto it = links_.constBegin(); it != links_.constEnd(); ++it)
            if (QAccessible::accessibleInterface(*it) == child) return it.key() < childCount() ? it.key() : -1;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i)
            if (child(i)->rect().contains(x, y)) return child(i);
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        if (!access_ || !Browser().hasFocus()) return nullptr;
        const int link = access_->LinkAtCaret();
        return link >= 0 ? child(link) : nullptr;
    }

    // The caret and the selection are the view's own.
    void selection(int index, int* start, int* end) const override {
        const QTextCursor cursor = Browser().textCursor();
        *start = *end = 0;
        if (index != 0 || !cursor.hasSelection()) return;
        *start = cursor.selectionStart();
        *end = cursor.selectionEnd();
    }
    int selectionCount() const override { return Browser().textCursor().hasSelection() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override {
        if (index != 0) return;
        QTextCursor cursor = Browser().textCursor();
        cursor.clearSelection();
        Browser().setTextCursor(cursor);
    }
    void setSelection(int index, int start, int end) override {
        if (index != 0) return;
        const int last = characterCount();
        QTextCursor cursor(&Document());
        cursor.setPosition(std::clamp(start, 0, last));
        cursor.setPosition(std::clamp(end, 0, last), QTextCursor::KeepAnchor);
        Browser().setTextCursor(cursor);
    }
    int cursorPosition() const override { return Browser().textCursor().position(); }
    void setCursorPosition(int position) override {
        QTextCursor cursor(&Document());
        cursor.setPosition(std::clamp(position, 0, characterCount()));
        Browser().setTextCursor(cursor);
    }

    QString text(int start, int end) const override { return TextBetween(Document(), start, end); }
    int characterCount() const override { return LastOffset(Document()); }

    // Lines as the window shows them; words, sentences and paragraphs as
    // every text reads them.
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const override {
        if (type != QAccessible::LineBoundary) return QAccessibleTextInterface::textAtOffset(offset, type, start, end);
        return Line(LineAt(Document(), offset), start, end);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const override {
        if (type != QAccessible::LineBoundary)
            return QAccessibleTextInterface::textBeforeOffset(offset, type, start, end);
        const int lineStart = LineAt(Document(), offset).first;
        if (lineStart == 0) return Line({0, 0}, start, end);
        return Line(LineAt(Document(), lineStart - 1), start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const override {
        if (type != QAccessible::LineBoundary)
            return QAccessibleTextInterface::textAfterOffset(offset, type, start, end);
        const int lineEnd = LineAt(Document(), offset).second;
        if (lineEnd >= characterCount()) return Line({characterCount(), characterCount()}, start, end);
        return Line(LineAt(Document(), lineEnd), start, end);
    }

    QRect characterRect(int offset) const override { return OnScreen(Browser(), CharacterInView(Browser(), offset)); }
    int offsetAtPoint(const QPoint& point) const override {
        const QWidget* viewport = Browser().viewport();
        const QPoint inView = viewport->mapFromGlobal(point);
        if (!viewport->rect().contains(inView)) return -1;
        const QPointF inDocument(inView.x() + Browser().horizontalScrollBar()->value(),
                                 inView.y() + Browser().verticalScrollBar()->value());
        return Document().documentLayout()->hitTest(inDocument, Qt::ExactHit);
    }
    // Brings the text into view without moving the caret.
    void scrollToSubstring(int start, int end) override {
        const QRect first = CharacterInView(Browser(), start);
        const QRect last = CharacterInView(Browser(), std::max(start, end - 1));
        const int height = Browser().viewport()->height();
        QScrollBar* bar = Browser().verticalScrollBar();
        if (first.top() < 0) bar->setValue(bar->value() + first.top());
        else if (last.bottom() >= height) bar->setValue(bar->value() + std::min(first.top(), last.bottom() - height + 1));
    }
    // The run of one format round `offset`; the help's formats say nothing a
    // reader needs beyond bold and italic.
    QString attributes(int offset, int* start, int* end) const override {
        *start = *end = std::clamp(offset, 0, characterCount());
        const QTextBlock block = Document().findBlock(*start);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.contains(*start)) continue;
            *start = fragment.position();
            *end = fragment.position() + fragment.length();
            QString said;
            const QTextCharFormat format = fragment.charFormat();
            if (format.fontWeight() >= QFont::Bold) said += "font-weight:bold;";
            if (format.fontItalic()) said += "font-style:italic;";
            return said;
        }
        return QString();
    }

private:
    QTextBrowser& Browser() const { return *static_cast<QTextBrowser*>(widget()); }
    QTextDocument& Document() const { return *Browser().document(); }
    QString Line(std::pair<int, int> line, int* start, int* end) const {
        *start = line.first;
        *end = line.second;
        return text(line.first, line.second);
    }

    QPointer<HelpTextAccess> access_;
    mutable QHash<int, QAccessible::Id> links_;
};

QAccessibleInterface* HelpFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("qg::HelpBrowser") || !object || !object->isWidgetType()) return nullptr;
    auto* access = object->findChild<HelpTextAccess*>(QString(), Qt::FindDirectChildrenOnly);
    return access ? new HelpTextAccessible(static_cast<QTextBrowser*>(object), access) : nullptr;
}

}  // namespace

std::vector<HelpLink> FindLinks(const QTextDocument& document) {
    std::vector<HelpLink> links;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const QString href = format.isAnchor() ? format.anchorHref() : QString();
            if (href.isEmpty()) continue;
            const int start = fragment.position(), end = start + fragment.length();
            // One link, however many formats its text has.
            if (!links.empty() && links.back().href == href && links.back().end == start) links.back().end = end;
            else links.push_back({start, end, href, QString()});
        }
    }
    for (HelpLink& link : links) link.text = LinkWords(TextBetween(document, link.start, link.end), link.href);
    return links;
}

HelpTextAccess::HelpTextAccess(QTextBrowser& browser) : QObject(&browser), browser_(browser) {
    setObjectName("HelpTextAccess");
    InstallToolFactory(HelpFactory);
    connect(browser.document(), &QTextDocument::contentsChanged, this, &HelpTextAccess::PageChanged);
    // The caret moved by keys, clicks and tools; Tab's move the view reports itself.
    connect(&browser, &QTextEdit::cursorPositionChanged, this, &HelpTextAccess::CaretMoved);
    connect(&browser, &QTextEdit::selectionChanged, this, &HelpTextAccess::CaretMoved);
    browser.installEventFilter(this);
}

const std::vector<HelpLink>& HelpTextAccess::Links() const {
    if (stale_) {
        links_ = FindLinks(*browser_.document());
        stale_ = false;
    }
    return links_;
}

int HelpTextAccess::LinkAtCaret() const {
    const QTextCursor caret = browser_.textCursor();
    if (!caret.hasSelection()) return -1;
    const std::vector<HelpLink>& links = Links();
    for (std::size_t i = 0; i < links.size(); ++i)
        if (links[i].start <= caret.selectionStart() && caret.selectionEnd() <= links[i].end) return static_cast<int>(i);
    return -1;
}

void HelpTextAccess::SelectLink(int index) {
    if (index < 0 || index >= static_cast<int>(Links().size())) return;
    const HelpLink link = Links()[static_cast<std::size_t>(index)];
    browser_.setFocus(Qt::OtherFocusReason);
    QTextCursor caret(browser_.document());
    caret.setPosition(link.start);
    caret.setPosition(link.end, QTextCursor::KeepAnchor);
    browser_.setTextCursor(caret);
    browser_.ensureCursorVisible();
}

bool HelpTextAccess::SelectLinkFrom(int offset, bool next) {
    const std::vector<HelpLink>& links = Links();
    int found = -1;
    for (int i = 0; i < static_cast<int>(links.size()) && found < 0; ++i) {
        const int k = next ? i : static_cast<int>(links.size()) - 1 - i;
        const HelpLink& link = links[static_cast<std::size_t>(k)];
        if (next ? link.end > offset : link.start < offset) found = k;
    }
    if (found < 0) return false;
    SelectLink(found);
    return true;
}

void HelpTextAccess::FollowLink(int index) {
    if (index < 0 || index >= static_cast<int>(Links().size())) return;
    SelectLink(index);
    const QUrl href(Links()[static_cast<std::size_t>(index)].href);
    QMetaObject::invokeMethod(this, [this, href] {
        if (ToolMayActOn(browser_)) emit browser_.anchorClicked(href);
    }, Qt::QueuedConnection);
}

void HelpTextAccess::PageChanged() {
    stale_ = true;
    focusedLink_ = -1;
    // A page arrives in many changes; the tools hear of it once.
    if (std::exchange(reorderQueued_, true)) return;
    QMetaObject::invokeMethod(this, [this] {
        reorderQueued_ = false;
        NotifyTools(QAccessible::queryAccessibleInterface(&browser_), QAccessible::ObjectReorder);
    }, Qt::QueuedConnection);
}

void HelpTextAccess::CaretMoved() {
    if (!browser_.hasFocus()) return;
    const int link = LinkAtCaret();
    const int before = std::exchange(focusedLink_, link);
    if (link == before) return;
    QAccessibleInterface* text = QAccessible::queryAccessibleInterface(&browser_);
    if (!text) return;
    // Onto a link: the link has the focus; off it: the text has it again.
    NotifyTools(link >= 0 ? text->child(link) : text, QAccessible::Focus);
}

bool HelpTextAccess::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &browser_) {
        if (event->type() == QEvent::FocusOut) focusedLink_ = -1;
        // After the view's own focus event: a caret on a link gives the link the focus.
        if (event->type() == QEvent::FocusIn) QMetaObject::invokeMethod(this, &HelpTextAccess::CaretMoved, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qg
