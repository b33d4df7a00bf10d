#include "shell/BoardAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QHash>
#include <QPointer>
#include <QWindow>

#include <string>
#include <type_traits>

#include "puzzles/PuzzleRecords.h"
#include "shell/ToolAccess.h"
#include "shell/BoardWidget.h"
#include "shell/BoardWords.h"
#include "shell/Texts.h"

namespace qg {

namespace {

QString Pick(int language, const char* german, const char* english) {
    return QString::fromUtf8(IsGerman(language) ? german : english);
}

const QString kTurnLeft = QStringLiteral("Turn left");
const QString kTurnRight = QStringLiteral("Turn right");
const QString kHint = QStringLiteral("Hint");

QPoint Centre(const Rect& r) { return {r.x + r.w / 2, r.y + r.h / 2}; }

// Calls f with the current puzzle's position.
template <class F>
auto WithPosition(Game& game, F&& f) {
    switch (game.GameIndex()) {
    case kPellora: return f(static_cast<const Pellora&>(game.PuzzleAt(kPellora)).Position());
    case kNubbler: return f(static_cast<const Nubbler&>(game.PuzzleAt(kNubbler)).Position());
    case kCirrela: return f(static_cast<const Cirrela&>(game.PuzzleAt(kCirrela)).Position());
    default: return f(static_cast<const Torvane&>(game.PuzzleAt(kTorvane)).Position());
    }
}

class BoardAccessible;

// One part of the board: a place, the picture or the text form. Made for
// one puzzle; while another is shown it is not part of the board.
class PartAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    PartAccessible(BoardAccess* access, int game, BoardAccess::Child child)
        : access_(access), game_(game), child_(child) {}

    bool isValid() const override { return !access_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return access_ ? access_->box().window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return access_ ? QAccessible::queryAccessibleInterface(&access_->box()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text t) const override {
        if (!Current()) return QString();
        const int language = access_->Language();
        switch (child_.part) {
        case BoardAccess::Part::Place:
            return t == QAccessible::Name ? access_->PlaceName(child_.index) : QString();
        case BoardAccess::Part::Picture:
            return t == QAccessible::Name ? access_->Picture() : QString();
        case BoardAccess::Part::Code:
            if (t == QAccessible::Name) return Pick(language, "Stellung als Text", "Position as text");
            if (t == QAccessible::Description || t == QAccessible::Value) return access_->Code();
            return QString();
        }
        return QString();
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!Current()) return QRect();
        Rect r{0, 0, kBoardWidth, kBoardHeight};
        if (child_.part == BoardAccess::Part::Place) r = access_->PlaceRect(child_.index);
        else if (child_.part == BoardAccess::Part::Picture) r = game_ == kTorvane ? kTorvaneTargetRect : kCirrelaPreviewPlace;
        return QRect(access_->box().mapToGlobal(QPoint(r.x, r.y)), QSize(r.w, r.h));
    }
    QAccessible::Role role() const override {
        return child_.part == BoardAccess::Part::Place ? QAccessible::Button : QAccessible::StaticText;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!Current()) {
            s.invisible = true;
            return s;
        }
        if (child_.part == BoardAccess::Part::Place) {
            s.focusable = true;
            s.focused = access_->box().hasFocus() && access_->CursorPlace() == child_.index;
        } else {
            s.readOnly = true;
        }
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface && child_.part == BoardAccess::Part::Place)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    // The turns, as the left and the right mouse button make them.
    QStringList actionNames() const override { return {kTurnLeft, kTurnRight}; }
    QString localizedActionName(const QString& name) const override {
        const int language = access_ ? access_->Language() : 0;
        if (name == kTurnLeft) return Pick(language, "Links drehen", "Turn left");
        if (name == kTurnRight) return Pick(language, "Rechts drehen", "Turn right");
        return QString();
    }
    QString localizedActionDescription(const QString& name) const override {
        const int language = access_ ? access_->Language() : 0;
        if (name == kTurnLeft) return Pick(language, "Wie die linke Maustaste", "As the left mouse button does");
        if (name == kTurnRight) return Pick(language, "Wie die rechte Maustaste", "As the right mouse button does");
        return QString();
    }
    QStringList keyBindingsForAction(const QString& name) const override {
        if (name == kTurnLeft) return {"J", "Space"};
        if (name == kTurnRight) return {"K", "Shift+Space"};
        return {};
    }
    void doAction(const QString& name) override {
        if (!Current() || (name != kTurnLeft && name != kTurnRight)) return;
        access_->Turn(child_.index, name == kTurnLeft ? Turn::Left : Turn::Right);
    }

private:
    // Whether this part belongs to the board as it is now.
    bool Current() const {
        if (!access_ || access_->GameIndex() != game_) return false;
        if (child_.part == BoardAccess::Part::Place) return child_.index < access_->PlaceCount();
        return true;
    }

    QPointer<BoardAccess> access_;
    int game_;
    BoardAccess::Child child_;
};

class BoardAccessible : public QAccessibleWidget {
public:
    BoardAccessible(BoardBox* box, BoardAccess* access)
        : QAccessibleWidget(box, QAccessible::Grouping), access_(access) {}
    ~BoardAccessible() override {
        for (const QAccessible::Id id : std::as_const(parts_)) QAccessible::deleteAccessibleInterface(id);
    }

    QString text(QAccessible::Text t) const override {
        if (access_ && t == QAccessible::Description) return access_->Sentence() + access_->HintNote();
        if (access_ && t == QAccessible::Value) return access_->Code();
        return QAccessibleWidget::text(t);
    }
    // Besides the widget's own actions, the hint.
    QStringList actionNames() const override { return QAccessibleWidget::actionNames() << kHint; }
    QString localizedActionName(const QString& name) const override {
        if (name != kHint) return QAccessibleWidget::localizedActionName(name);
        return Pick(access_ ? access_->Language() : 0, "Tipp", "Hint");
    }
    QString localizedActionDescription(const QString& name) const override {
        if (name != kHint) return QAccessibleWidget::localizedActionDescription(name);
        return Pick(access_ ? access_->Language() : 0, "Zeigt den nächsten Zug zur Lösung, noch einmal: macht ihn",
                    "Shows the next move toward the solution; again: makes it");
    }
    QStringList keyBindingsForAction(const QString& name) const override {
        if (name != kHint) return QAccessibleWidget::keyBindingsForAction(name);
        return {"F3"};
    }
    void doAction(const QString& name) override {
        if (name != kHint) return QAccessibleWidget::doAction(name);
        if (access_) access_->Hint();
    }
    int childCount() const override { return access_ ? static_cast<int>(access_->Children().size()) : 0; }
    QAccessibleInterface* child(int index) const override {
        if (!access_ || index < 0) return nullptr;
        const std::vector<BoardAccess::Child> children = access_->Children();
        if (index >= static_cast<int>(children.size())) return nullptr;
        return Part(children[static_cast<std::size_t>(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < childCount(); ++i)
            if (this->child(i) == child) return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = childCount() - 1; i >= 0; --i) {
            QAccessibleInterface* c = child(i);
            if (c->role() == QAccessible::Button && c->rect().contains(x, y)) return c;
        }
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        if (!access_ || !widget()->hasFocus()) return nullptr;
        const int place = access_->CursorPlace();
        return place >= 0 && place < access_->PlaceCount() ? child(place) : nullptr;
    }

private:
    // Each part once per puzzle, so that a tool can hold on to it.
    QAccessibleInterface* Part(const BoardAccess::Child& c) const {
        const int game = access_->GameIndex();
        const int key = game * 1000 + (c.part == BoardAccess::Part::Place ? c.index : 900 + static_cast<int>(c.part));
        auto it = parts_.constFind(key);
        if (it == parts_.constEnd())
            it = parts_.insert(key, QAccessible::registerAccessibleInterface(new PartAccessible(access_, game, c)));
        return QAccessible::accessibleInterface(*it);
    }

    QPointer<BoardAccess> access_;
    mutable QHash<int, QAccessible::Id> parts_;
};

QAccessibleInterface* BoardFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("qg::BoardBox") || !object || !object->isWidgetType()) return nullptr;
    auto* access = object->findChild<BoardAccess*>(QString(), Qt::FindDirectChildrenOnly);
    return access ? new BoardAccessible(static_cast<BoardBox*>(object), access) : nullptr;
}

}  // namespace

void InstallBoardAccessible() {
    InstallToolFactory(BoardFactory);
}

BoardAccess::BoardAccess(BoardBox& box, Game& game, Hooks hooks)
    : QObject(&box), box_(box), game_(game), hooks_(std::move(hooks)) {
    setObjectName("BoardAccess");
    InstallBoardAccessible();
    box.installEventFilter(this);
}

int BoardAccess::PlaceCount() const {
    return WithPosition(game_, [](const auto& position) { return qg::PlaceCount(position); });
}

Rect BoardAccess::PlaceRect(int place) const {
    const std::vector<Rect> places = game_.PuzzleAt(GameIndex()).Places();
    if (place < 0 || place >= static_cast<int>(places.size())) return {};
    return places[static_cast<std::size_t>(place)];
}

QString BoardAccess::PlaceName(int place) const {
    return WithPosition(game_, [&](const auto& position) { return PlaceWords(position, place, Language()); });
}

QString BoardAccess::Sentence() const {
    return WithPosition(game_, [&](const auto& position) { return BoardSentence(position, Language()); });
}

QString BoardAccess::Code() const {
    return WithPosition(game_, [&](const auto& position) {
        return QString::fromLatin1(game_.CurrentRecord().name) + ' ' + QString::fromStdString(Encode(position));
    });
}

QString BoardAccess::Picture() const {
    switch (GameIndex()) {
    case kTorvane: return TargetWords(static_cast<const Torvane&>(game_.PuzzleAt(kTorvane)).Position(), Language());
    case kCirrela: return PatternWords(static_cast<const Cirrela&>(game_.PuzzleAt(kCirrela)).Level(), Language());
    default: return QString();
    }
}

std::vector<BoardAccess::Child> BoardAccess::Children() const {
    std::vector<Child> children;
    for (int place = 0; place < PlaceCount(); ++place) children.push_back({Part::Place, place});
    if (GameIndex() == kTorvane || GameIndex() == kCirrela) children.push_back({Part::Picture, 0});
    children.push_back({Part::Code, 0});
    return children;
}

void BoardAccess::Hint() {
    QMetaObject::invokeMethod(this, [this] {
        if (hooks_.hint && ToolMayActOn(box_)) hooks_.hint();
    }, Qt::QueuedConnection);
}

QString BoardAccess::HintNote() const {
    return Pick(Language(), ". F3 zeigt einen Tipp.", ". F3 shows a hint.");
}

void BoardAccess::Turn(int place, qg::Turn turn) {
    const int game = GameIndex();
    QMetaObject::invokeMethod(this, [this, game, place, turn] {
        if (GameIndex() != game || place < 0 || place >= PlaceCount() || !ToolMayActOn(box_)) return;
        const QPoint at = Centre(PlaceRect(place));
        hooks_.press(turn, at.x(), at.y());
    }, Qt::QueuedConnection);
}

int BoardAccess::TurnedPlace(const QString& before) const {
    const int cursor = CursorPlace();
    return WithPosition(game_, [&](const auto& now) {
        using Position = std::decay_t<decltype(now)>;
        const QString prefix = QString::fromLatin1(game_.CurrentRecord().name) + ' ';
        if (!before.startsWith(prefix)) return -1;
        const auto old = Decode<Position>(before.mid(prefix.size()).toStdString());
        if (!old) return -1;
        int turned = -1;
        for (const Move& m : LegalMoves(*old))
            if (Apply(*old, m) == now && (turned < 0 || m.place == cursor)) turned = m.place;
        return turned;
    });
}

void BoardAccess::Update() {
    QAccessibleInterface* board = QAccessible::queryAccessibleInterface(&box_);
    std::vector<QString> names;
    for (int place = 0; place < PlaceCount(); ++place) names.push_back(PlaceName(place));
    const QString sentence = Sentence(), code = Code(), picture = Picture();
    const bool sameParts = GameIndex() == shownGame_ && names.size() == shownNames_.size();
    const int turned = sameParts ? TurnedPlace(shownCode_) : -1;
    const QString codeBefore = shownCode_;
    const std::vector<QString> namesBefore = std::exchange(shownNames_, names);
    shownGame_ = GameIndex();
    shownCode_ = code;
    if (!board) return;
    const int codeIndex = static_cast<int>(Children().size()) - 1;
    if (!sameParts) {
        NotifyTools(board, QAccessible::ObjectReorder);
        NotifyTools(board, QAccessible::DescriptionChanged);
        shownSentence_ = sentence;
        shownPicture_ = picture;
        focusedPlace_ = -1;
        CursorMoved();
        return;
    }
    // One place renamed: the one turned, else (a new task, another
    // language) the cursor's, else the first that changed.
    auto renamed = [&](int place) { return place >= 0 && names[static_cast<std::size_t>(place)] != namesBefore[static_cast<std::size_t>(place)]; };
    int place = renamed(turned) ? turned : renamed(CursorPlace()) ? CursorPlace() : -1;
    for (int i = 0; place < 0 && i < static_cast<int>(names.size()); ++i)
        if (renamed(i)) place = i;
    if (place >= 0) NotifyTools(board->child(place), QAccessible::NameChanged);
    if (sentence != std::exchange(shownSentence_, sentence)) NotifyTools(board, QAccessible::DescriptionChanged);
    if (picture != std::exchange(shownPicture_, picture)) NotifyTools(board->child(codeIndex - 1), QAccessible::NameChanged);
    if (code != codeBefore) NotifyTools(board->child(codeIndex), QAccessible::DescriptionChanged);
}

void BoardAccess::CursorMoved() {
    const int place = CursorPlace();
    if (!box_.hasFocus() || place == focusedPlace_) return;
    focusedPlace_ = place;
    AnnounceFocus();
}

void BoardAccess::AnnounceFocus() {
    QAccessibleInterface* board = QAccessible::queryAccessibleInterface(&box_);
    if (board && focusedPlace_ >= 0 && focusedPlace_ < PlaceCount()) NotifyTools(board->child(focusedPlace_), QAccessible::Focus);
}

bool BoardAccess::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &box_) {
        if (event->type() == QEvent::FocusOut) focusedPlace_ = -1;
        // After the board's own focus event, which comes once the focus is in.
        if (event->type() == QEvent::FocusIn) QMetaObject::invokeMethod(this, &BoardAccess::CursorMoved, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qg
