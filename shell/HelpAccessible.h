#pragma once
// The help's text as assistive tools see it: a document read with a caret,
// line by line, whose links are objects of their own ("link" to a screen
// reader) that a tool can name, focus and follow, as Tab and Enter do.

#include <QObject>
#include <QString>

#include <vector>

class QTextBrowser;
class QTextDocument;

namespace qg {

// A link of the document: the run of text [start, end) with one address.
struct HelpLink {
    int start = 0;
    int end = 0;
    QString href;
    QString text;  // what a reader says for it
};

// The document's links in reading order.
std::vector<HelpLink> FindLinks(const QTextDocument& document);

// Lives as a child of the help's text view, whose accessible interface reads
// the links through it; tells the tools when Tab puts the caret on a link.
class HelpTextAccess : public QObject {
    Q_OBJECT
public:
    explicit HelpTextAccess(QTextBrowser& browser);

    QTextBrowser& browser() const { return browser_; }
    // The links of the page shown now.
    const std::vector<HelpLink>& Links() const;
    // The link the caret's selection lies in, as Tab selects one; -1 for none.
    int LinkAtCaret() const;
    // A tool's focus on a link: the caret selects it, as Tab does.
    void SelectLink(int index);
    // Tab with no link selected: selects the link at or after `offset`
    // (`next`) or the last one before it; false when there is none.
    bool SelectLinkFrom(int offset, bool next);
    // A tool's press on a link: selected, then followed as Enter follows it,
    // once the tool's call has returned.
    void FollowLink(int index);
    // Tells the tools where the caret is now, when it moved without a signal
    // (Tab from link to link does).
    void CaretMoved();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PageChanged();

    QTextBrowser& browser_;
    mutable std::vector<HelpLink> links_;
    mutable bool stale_ = true;
    bool reorderQueued_ = false;
    int focusedLink_ = -1;  // the link the tools were last told has the focus
};

}  // namespace qg
