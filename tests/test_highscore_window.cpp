// The high-score window under the offscreen platform: what it shows in view
// and entry mode, what OK, Cancel and Escape leave in the store, and the
// window reached from the real main window.

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "highscores/HighscoreTable.h"
#include "settings/Settings.h"
#include "shell/Dialogs.h"
#include "shell/HighscoreDlg.h"
#include "tests/ShellFixture.h"

namespace qg {
namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

// Runs `act` on the first modal window of the kind that opens while it
// lives, as a player would answer it; a window that `act` leaves open is
// closed, so a failing test does not hang.
class AnswerModal {
public:
    explicit AnswerModal(std::function<void(QWidget&)> act, const char* kind = "QDialog") {
        QObject::connect(&timer_, &QTimer::timeout, [this, act, kind] {
            QWidget* window = QApplication::activeModalWidget();
            if (!window || !window->isVisible() || !window->inherits(kind)) return;
            timer_.stop();
            ++opened;
            act(*window);
            if (window->isVisible()) {
                leftOpen = true;
                window->close();
            }
        });
        timer_.start(1);
    }
    int opened = 0;
    bool leftOpen = false;

private:
    QTimer timer_;
};

template <typename T>
T* Child(QWidget& window, const char* name) {
    T* child = window.findChild<T*>(name);
    EXPECT_TRUE(child) << name;
    return child;
}

void Click(QWidget& window, const char* button) {
    if (auto* b = Child<QPushButton>(window, button)) QTest::mouseClick(b, Qt::LeftButton);
}

QString Row(QWidget& window, const char* prefix, int row) {
    auto* label = Child<QLabel>(window, (QByteArray(prefix) + QByteArray::number(row)).constData());
    return label ? label->text() : QString();
}

class HighscoreWindow : public ::testing::Test {
protected:
    void SetUp() override {
        main_.setFixedSize(500, 366);
        main_.move(137, 91);
        main_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main_));
    }

    QString Path() const { return dir_.filePath("V1.ini"); }
    QByteArray File() const {
        QFile f(Path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Made on first use, so that a test can fill the store first.
    THighscoreDlg& Dlg() {
        if (!dlg_) dlg_ = std::make_unique<THighscoreDlg>(main_, settings_);
        return *dlg_;
    }
    void StoreTable(const QString& key, const std::vector<int>& times, const QString& player = Q("Mr. Brain")) {
        HighscoreTable table;
        for (int t : times) table.Rank(t, QStringLiteral("p%1").arg(t));
        ASSERT_TRUE(table.Save(settings_, ScoreCipher(), key, player));
    }
    HighscoreTable Stored(const QString& key) const {
        HighscoreTable table;
        EXPECT_FALSE(table.Load(settings_, ScoreCipher(), key));
        return table;
    }
    // Opens the window and answers it with `act`; how many windows opened.
    int Open(const QString& key, int elapsed, std::function<void(THighscoreDlg&)> act, int language = 0) {
        AnswerModal answer([&](QWidget& w) {
            auto* dlg = qobject_cast<THighscoreDlg*>(&w);
            EXPECT_TRUE(dlg) << "a " << w.metaObject()->className() << " opened";
            if (dlg) act(*dlg);
        });
        EXPECT_EQ(Dlg().ShowModal(language, key, elapsed), 0);
        EXPECT_FALSE(answer.leftOpen);
        EXPECT_FALSE(Dlg().isVisible());
        return answer.opened;
    }

    QTemporaryDir dir_;
    Settings settings_{Path()};
    QWidget main_;
    std::unique_ptr<THighscoreDlg> dlg_;
};

TEST_F(HighscoreWindow, ViewModeShowsTheTableInTheLanguageOverTheMainWindow) {
    StoreTable("cirr2", {12, 345});
    struct Case {
        int language;
        const char* caption;
        const char* delcheck;
        const char* cancel;
    };
    const Case cases[] = {
        {1, "Quirko Gyrelle - Bestenliste", "alle Einträge löschen", "Abbruch"},
        {0, "Quirko Gyrelle - Highscore", "remove all entries", "Cancel"},
        {-1, "Quirko Gyrelle - Highscore", "remove all entries", "Cancel"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        const QByteArray before = File();
        main_.move(main_.pos() + QPoint(11, 7));  // followed at every opening
        EXPECT_EQ(1, Open("cirr2", 0, [&](THighscoreDlg& w) {
            const QRect frame = main_.frameGeometry();
            EXPECT_EQ(w.pos(), QPoint((frame.width() - 320) / 2 + frame.left(), (frame.height() - 200) / 2 + frame.top()));
            EXPECT_EQ(w.size(), QSize(320, 200));
            EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
            EXPECT_EQ(w.windowTitle(), Q(c.caption));
            EXPECT_EQ(Child<QLabel>(w, "delcheck")->text(), Q(c.delcheck));
            EXPECT_EQ(Child<QCheckBox>(w, "ClearBox")->accessibleName(), Q(c.delcheck));
            EXPECT_EQ(Child<QPushButton>(w, "CancelBtn")->text(), Q(c.cancel));
            EXPECT_EQ(Child<QPushButton>(w, "OKBtn")->text(), Q("OK"));
            const QStringList names{Q("p12"), Q("p345"), Q("Mr. Brain"), Q("Mr. Brain"), Q("Mr. Brain")};
            const QStringList times{Q("12"), Q("345"), Q("-----"), Q("-----"), Q("-----")};
            for (int r = 0; r < kHighscoreEntries; ++r) {
                EXPECT_EQ(Row(w, "num", r), QString::number(r + 1) + ".   ");
                EXPECT_EQ(Row(w, "pla", r), names[r]);
                EXPECT_EQ(Row(w, "sco", r), times[r]);
            }
            EXPECT_FALSE(Child<QLineEdit>(w, "Edit1")->isVisible());
            EXPECT_FALSE(Child<QCheckBox>(w, "ClearBox")->isChecked());
            Click(w, "CancelBtn");
        }, c.language));
        EXPECT_EQ(File(), before);
    }
}

TEST_F(HighscoreWindow, EntryModeNamesTheNewRowInPlaceAndEnterSaves) {
    StoreTable("nubb", {10, 20, 30}, Q("Ann"));
    Dlg();
    // The name is read once, when the window is made.
    settings_.WriteString(kHighscoreSection, "player", "Zed");
    EXPECT_EQ(1, Open("nubb", 20, [&](THighscoreDlg& w) {
        auto* edit = Child<QLineEdit>(w, "Edit1");
        EXPECT_TRUE(edit->isVisible());
        EXPECT_TRUE(edit->isEnabled());
        EXPECT_EQ(edit->geometry(), QRect(60, 20 + 21 * 2, 140, 15));  // a tie goes below: row 3
        EXPECT_EQ(edit->text(), Q("Ann"));
        EXPECT_EQ(edit->maxLength(), 25);
        EXPECT_EQ(edit->palette().color(QPalette::Base), QColor(255, 128, 128));
        EXPECT_EQ(w.childAt(edit->geometry().center()), edit);  // over the row's labels
        EXPECT_EQ(w.focusWidget(), edit);
        EXPECT_EQ(Row(w, "sco", 2), Q("20"));
        EXPECT_EQ(Row(w, "pla", 3), Q("p30"));
        edit->selectAll();
        QTest::keyClicks(edit, Q("Bob, the 2nd"));
        QTest::keyClick(w.focusWidget(), Qt::Key_Return);
    }));
    EXPECT_EQ(settings_.ReadString(kHighscoreSection, "player", ""), Q("Bob, the 2nd"));
    const HighscoreTable stored = Stored("nubb");
    const std::vector<int> times{10, 20, 20, 30, 0};
    const QStringList names{Q("p10"), Q("p20"), Q("Bob, the 2nd"), Q("p30"), Q("Mr. Brain")};
    for (int i = 0; i < kHighscoreEntries; ++i) {
        EXPECT_EQ(stored.Time(i), times[static_cast<std::size_t>(i)]) << i;
        EXPECT_EQ(stored.Name(i), names[i]) << i;
    }
    // The next entry starts from the name entered last; an empty one counts.
    EXPECT_EQ(1, Open("nubb", 1, [&](THighscoreDlg& w) {
        auto* edit = Child<QLineEdit>(w, "Edit1");
        EXPECT_EQ(edit->geometry().top(), 20);
        EXPECT_EQ(edit->text(), Q("Bob, the 2nd"));
        edit->clear();
        Click(w, "OKBtn");
    }));
    EXPECT_EQ(Stored("nubb").Name(0), QString());
    EXPECT_EQ(settings_.ReadString(kHighscoreSection, "player", "x"), QString());
}

TEST_F(HighscoreWindow, TabWalksTheEntryWindowFromTheNameRoundAndBackToIt) {
    StoreTable("nubb", {10, 20, 30});
    EXPECT_EQ(1, Open("nubb", 15, [&](THighscoreDlg& w) {
        ASSERT_EQ(w.focusWidget(), Child<QLineEdit>(w, "Edit1"));
        std::vector<std::string> walk;
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(w.focusWidget(), Qt::Key_Tab);
            walk.push_back(w.focusWidget()->objectName().toStdString());
        }
        EXPECT_EQ(walk, (std::vector<std::string>{"ClearBox", "CancelBtn", "OKBtn", "Edit1"}));
        Click(w, "CancelBtn");
    }));
}

TEST_F(HighscoreWindow, OnlyOkSaves) {
    StoreTable("torv", {50, 60}, Q("Ann"));
    const std::vector<std::pair<const char*, std::function<void(THighscoreDlg&)>>> closers{
        {"Cancel", [](THighscoreDlg& w) { Click(w, "CancelBtn"); }},
        {"Escape", [](THighscoreDlg& w) {
             QTest::keyClick(w.focusWidget(), Qt::Key_Escape);
             EXPECT_TRUE(w.isVisible()) << "Escape closed the window";
             Click(w, "CancelBtn");
         }},
        {"close", [](THighscoreDlg& w) { w.close(); }},
    };
    for (const auto& [what, close] : closers) {
        SCOPED_TRACE(what);
        const QByteArray before = File();
        EXPECT_EQ(1, Open("torv", 55, [&](THighscoreDlg& w) {
            QTest::keyClicks(Child<QLineEdit>(w, "Edit1"), Q("Eve"));
            Child<QCheckBox>(w, "ClearBox")->setChecked(true);
            close(w);
        }));
        EXPECT_EQ(File(), before);
        EXPECT_EQ(Dlg().PlayerName(), Q("Ann"));
        // The next view has no trace of it: no edit field, no check, no row.
        EXPECT_EQ(1, Open("torv", 0, [&](THighscoreDlg& w) {
            EXPECT_FALSE(Child<QLineEdit>(w, "Edit1")->isVisible());
            EXPECT_FALSE(Child<QCheckBox>(w, "ClearBox")->isChecked());
            EXPECT_EQ(Row(w, "sco", 1), Q("60"));
            EXPECT_EQ(Row(w, "pla", 2), Q("Mr. Brain"));
            Click(w, "CancelBtn");
        }));
    }
}

TEST_F(HighscoreWindow, ClearBoxWithOkStoresFiveEmptyEntries) {
    for (int elapsed : {42, 0}) {  // entry mode drops the new entry too
        SCOPED_TRACE(elapsed);
        StoreTable("pell3", {10, 20, 30, 40, 50}, Q("Ann"));
        StoreTable("pell2", {70}, Q("Ann"));
        const HighscoreTable other = Stored("pell2");
        EXPECT_EQ(1, Open("pell3", elapsed, [&](THighscoreDlg& w) {
            EXPECT_FALSE(Child<QCheckBox>(w, "ClearBox")->isChecked());
            QTest::mouseClick(Child<QCheckBox>(w, "ClearBox"), Qt::LeftButton);
            Click(w, "OKBtn");
        }));
        const HighscoreTable stored = Stored("pell3");
        for (int i = 0; i < kHighscoreEntries; ++i) {
            EXPECT_EQ(stored.Time(i), 0) << i;
            EXPECT_EQ(stored.Name(i), Q("Mr. Brain")) << i;
        }
        EXPECT_EQ(settings_.ReadString(kHighscoreSection, "player", ""), Q("Mr. Brain"));
        EXPECT_EQ(Dlg().PlayerName(), Q("Mr. Brain"));
        EXPECT_EQ(Stored("pell2").Time(0), other.Time(0));  // only the current table
    }
}

TEST_F(HighscoreWindow, OkInViewModeRewritesTheTableUnchanged) {
    StoreTable("cirr4", {8, 9}, Q("Ann"));
    settings_.WriteString(kHighscoreSection, "cirr44", QString());  // written back in full
    EXPECT_EQ(1, Open("cirr4", 0, [](THighscoreDlg& w) { Click(w, "OKBtn"); }));
    EXPECT_EQ(settings_.ReadString(kHighscoreSection, "cirr44", ""), ScoreCipher().Encode("0,Mr. Brain"));
    EXPECT_EQ(Stored("cirr4").Name(1), Q("p9"));
}

TEST_F(HighscoreWindow, StoreThatRefusesTheTableSaysSo) {
    QFile blocker(dir_.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));  // a file where the folder should be
    Settings refusing(dir_.filePath("blocker/V1.ini"));
    THighscoreDlg dlg(main_, refusing);
    QString warning;
    AnswerModal answer([&](QWidget& w) {
        AnswerModal box([&](QWidget& b) {
            warning = static_cast<QMessageBox&>(b).text();
            QTest::mouseClick(static_cast<QMessageBox&>(b).button(QMessageBox::Ok), Qt::LeftButton);
        }, "QMessageBox");
        QTest::keyClicks(w.findChild<QLineEdit*>("Edit1"), Q("Ann"));
        Click(w, "OKBtn");
        EXPECT_EQ(box.opened, 1);
    });
    dlg.ShowModal(0, "torv", 5);
    EXPECT_EQ(answer.opened, 1);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(warning.contains(dir_.filePath("blocker/V1.ini"))) << warning.toStdString();
}

TEST_F(HighscoreWindow, TimeThatDoesNotQualifyOpensNothing) {
    StoreTable("torv", {10, 20, 30, 40, 50});
    const QByteArray before = File();
    for (int elapsed : {50, 51, -3}) EXPECT_EQ(0, Open("torv", elapsed, [](THighscoreDlg&) {})) << elapsed;
    EXPECT_EQ(File(), before);
    EXPECT_EQ(Dlg().NewEntry(), -1);
}

// A record that cannot be read back: a message that names the table, the
// entry and the file, no window, nothing written, and the caller goes on.
TEST_F(HighscoreWindow, UnreadableTableIsReportedAndLeftAlone) {
    StoreTable("nubb", {10, 20});
    settings_.WriteString(kHighscoreSection, "nubb1", ScoreCipher().Encode("twenty,Bob"));
    const QByteArray before = File();
    GameWindows windows(main_, dir_.path() + "/", settings_);
    struct Case {
        int language;
        int elapsed;
        const char* word;
    };
    for (const Case& c : {Case{0, 0, "high-score table"}, Case{1, 15, "Bestenliste"}}) {
        SCOPED_TRACE(c.language);
        QString text;
        AnswerModal answer([&](QWidget& w) {
            auto* box = qobject_cast<QMessageBox*>(&w);
            ASSERT_TRUE(box) << "a " << w.metaObject()->className() << " opened";
            text = box->text();
            if (auto* ok = box->button(QMessageBox::Ok)) QTest::mouseClick(ok, Qt::LeftButton);
        });
        windows.ShowHighscores(c.language, "nubb", c.elapsed);
        EXPECT_EQ(answer.opened, 1);
        EXPECT_FALSE(answer.leftOpen);
        for (const QString& part : {Q(c.word), Q("\"nubb\""), Q("2"), Q("\"nubb1\""), Path()})
            EXPECT_TRUE(text.contains(part)) << part.toStdString() << " not in " << text.toStdString();
        EXPECT_EQ(File(), before);
    }
}

// Two games confirm entries into one table while both windows are open: each
// OK ranks its entry into what is stored at that moment, so both are kept.
TEST_F(HighscoreWindow, TwoGamesConfirmingIntoOneTableKeepBothEntries) {
    struct Case {
        const char* what;
        int timeA, timeB;
        bool aFirst;
        std::vector<int> times;
        QStringList names;
        const char* player;  // the name confirmed last
    };
    const Case cases[] = {
        {"A faster, A first", 30, 40, true, {10, 30, 40, 50, 0}, {"p10", "Ann", "Bob", "p50", "Mr. Brain"}, "Bob"},
        {"A faster, B first", 30, 40, false, {10, 30, 40, 50, 0}, {"p10", "Ann", "Bob", "p50", "Mr. Brain"}, "Ann"},
        {"B faster, A first", 40, 30, true, {10, 30, 40, 50, 0}, {"p10", "Bob", "Ann", "p50", "Mr. Brain"}, "Bob"},
        {"a tie: the one confirmed first stands higher", 30, 30, false, {10, 30, 30, 50, 0},
         {"p10", "Bob", "Ann", "p50", "Mr. Brain"}, "Ann"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(Path());
        StoreTable("nubb", {10, 50});
        Settings otherStore(Path());  // the second game's own store object
        THighscoreDlg a(main_, settings_), b(main_, otherStore);
        AnswerModal answerA([&](QWidget&) {
            Child<QLineEdit>(a, "Edit1")->setText(Q("Ann"));
            AnswerModal answerB([&](QWidget&) {
                Child<QLineEdit>(b, "Edit1")->setText(Q("Bob"));
                THighscoreDlg& first = c.aFirst ? a : b;
                THighscoreDlg& second = c.aFirst ? b : a;
                Click(first, "OKBtn");
                Click(second, "OKBtn");
            });
            b.ShowModal(0, "nubb", c.timeB);
            EXPECT_EQ(answerB.opened, 1);
            EXPECT_FALSE(answerB.leftOpen);
        });
        a.ShowModal(0, "nubb", c.timeA);
        EXPECT_EQ(answerA.opened, 1);
        EXPECT_FALSE(answerA.leftOpen);
        const HighscoreTable stored = Stored("nubb");
        for (int i = 0; i < kHighscoreEntries; ++i) {
            EXPECT_EQ(stored.Time(i), c.times[static_cast<std::size_t>(i)]) << i;
            EXPECT_EQ(stored.Name(i), c.names[i]) << i;
        }
        EXPECT_EQ(settings_.ReadString(kHighscoreSection, "player", ""), Q(c.player));
    }
}

// Stored values edited by hand. One that lost its quotes reads as its text,
// commas and all; anything else the game would not have written gets the
// message naming value and file, no window, and nothing written.
TEST_F(HighscoreWindow, HandEditedEntriesAreReadOrNamed) {
    const ScoreCipher cipher;
    const QByteArray good1 = "nubb1=\"" + cipher.Encode(Q("20,Bob")).toUtf8() + "\"\n";
    auto quoted = [&](const char* record) { return "\"" + cipher.Encode(Q(record)).toUtf8() + "\""; };
    struct Case {
        const char* what;
        QByteArray nubb0;  // the text after "nubb0="
        bool readable;
        int time;          // when readable
        const char* name;
    };
    const Case cases[] = {
        {"quotes removed", cipher.Encode(Q("12,Ann")).toUtf8(), true, 12, "Ann"},
        {"quotes removed, commas in the name", cipher.Encode(Q("12,Ann, Bo,b")).toUtf8(), true, 12, "Ann, Bo,b"},
        {"the largest time the clock shows", quoted("999999,Slow"), true, 999999, "Slow"},
        {"ends in a backslash", quoted("12,Ann") + "\\", false, 0, ""},
        {"quotes removed and ends in a backslash", cipher.Encode(Q("12,Ann")).toUtf8() + "\\", false, 0, ""},
        {"a negative time", quoted("-5,Negative"), false, 0, ""},
        {"a time beyond the clock", quoted("1000000,Huge"), false, 0, ""},
        {"the largest 32-bit time", quoted("2147483647,Huge"), false, 0, ""},
        {"a zero-padded time", quoted("+0000012,Padded"), false, 0, ""},
        {"a leading zero", quoted("012,Padded"), false, 0, ""},
        {"not text at all", "@ByteArray(12)", false, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile f(Path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[highscore]\nplayer=Ann\nnubb0=" + c.nubb0 + "\n" + good1);
        f.close();
        const QByteArray before = File();
        QString message, shownName, shownTime;
        AnswerModal answer([&](QWidget& w) {
            if (auto* box = qobject_cast<QMessageBox*>(&w)) {
                message = box->text();
                QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
                return;
            }
            shownName = Row(w, "pla", 0);
            shownTime = Row(w, "sco", 0);
            Click(w, "CancelBtn");
        });
        Dlg().ShowModal(0, "nubb", 0);
        EXPECT_EQ(answer.opened, 1);
        EXPECT_FALSE(answer.leftOpen);
        if (c.readable) {
            EXPECT_TRUE(message.isEmpty()) << message.toStdString();
            EXPECT_EQ(shownName, Q(c.name));
            EXPECT_EQ(shownTime, QString::number(c.time));
        } else {
            for (const QString& part : {Q("\"nubb0\""), Path()})
                EXPECT_TRUE(message.contains(part)) << part.toStdString() << " not in " << message.toStdString();
        }
        EXPECT_EQ(File(), before);
    }
}

// The message's way out loses no other time: the entries below the damaged
// one move up, whether the game does it or the player writes the lines it
// names; deleting the line instead left a gap that the next solve filled,
// pushing the fastest times below it out.
TEST_F(HighscoreWindow, DamagedEntryIsPutRightWithoutLosingTheOthers) {
    const ScoreCipher cipher;
    auto storeDamaged = [&] {
        QFile::remove(Path());
        StoreTable("nubb", {3, 8, 10, 12, 14});
        settings_.WriteString(kHighscoreSection, "nubb1", cipher.Encode(Q("UF5,El5bn73LC")));
    };
    const std::vector<int> afterSolve{3, 10, 12, 14, 20};
    const QStringList namesAfterSolve{Q("p3"), Q("p10"), Q("p12"), Q("p14"), Q("Eve")};
    auto solve20 = [&] {
        AnswerModal answer([&](QWidget& w) {
            Child<QLineEdit>(w, "Edit1")->setText(Q("Eve"));
            Click(w, "OKBtn");
        });
        Dlg().ShowModal(0, "nubb", 20);
        EXPECT_EQ(answer.opened, 1);
        const HighscoreTable stored = Stored("nubb");
        for (int i = 0; i < kHighscoreEntries; ++i) {
            EXPECT_EQ(stored.Time(i), afterSolve[static_cast<std::size_t>(i)]) << i;
            EXPECT_EQ(stored.Name(i), namesAfterSolve[i]) << i;
        }
    };
    for (const int language : {0, 1}) {
        SCOPED_TRACE(language);
        // Repair from the message, then the window opens with the new time.
        storeDamaged();
        int messages = 0;
        AnswerModal answer([&](QWidget& w) {
            auto* box = qobject_cast<QMessageBox*>(&w);
            ASSERT_TRUE(box);
            ++messages;
            auto* repair = box->findChild<QPushButton*>("RepairBtn");
            ASSERT_TRUE(repair);
            EXPECT_EQ(repair->text(), language == 1 ? Q("Reparieren") : Q("Repair"));
            QTest::mouseClick(repair, Qt::LeftButton);
        });
        bool windowOpened = false;
        AnswerModal entry([&](QWidget& w) {
            if (!qobject_cast<THighscoreDlg*>(&w)) return;
            windowOpened = true;
            Child<QLineEdit>(w, "Edit1")->setText(Q("Eve"));
            Click(w, "OKBtn");
        });
        Dlg().ShowModal(language, "nubb", 20);
        EXPECT_EQ(messages, 1);
        EXPECT_TRUE(windowOpened);
        const HighscoreTable stored = Stored("nubb");
        for (int i = 0; i < kHighscoreEntries; ++i) {
            EXPECT_EQ(stored.Time(i), afterSolve[static_cast<std::size_t>(i)]) << i;
            EXPECT_EQ(stored.Name(i), namesAfterSolve[i]) << i;
        }
    }
    // By hand: the lines the message names, written in place of the old ones.
    storeDamaged();
    const QByteArray damaged = File();
    QString text;
    AnswerModal answer([&](QWidget& w) {
        auto* box = qobject_cast<QMessageBox*>(&w);
        ASSERT_TRUE(box);
        text = box->text();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    Dlg().ShowModal(0, "nubb", 20);
    EXPECT_EQ(answer.opened, 1);
    EXPECT_EQ(File(), damaged);
    const QString lineOf1 = Q("nubb1=\"") + cipher.Encode(Q("10,p10")) + '"';
    const QString lineOf4 = Q("nubb4=\"") + cipher.Encode(Q("0,Mr. Brain")) + '"';
    ASSERT_TRUE(text.contains(lineOf1)) << text.toStdString();
    ASSERT_TRUE(text.contains(lineOf4)) << text.toStdString();
    QList<QByteArray> kept;
    for (const QByteArray& line : damaged.split('\n'))
        if (!line.startsWith("nubb1=") && !line.startsWith("nubb2=") && !line.startsWith("nubb3=") && !line.startsWith("nubb4="))
            kept.append(line);
    QByteArray edited = kept.join('\n');
    for (const QString& line : text.split('\n'))
        if (line.startsWith(Q("nubb"))) edited += line.toUtf8() + '\n';
    QFile f(Path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(edited);
    f.close();
    solve20();
}

// What the player sees of the name field and the clear-all label, at 1x
// and at 1.5x: accents over capitals lie inside the 15 px field (its place
// and size stay), and "alle Einträge löschen" keeps off the frame around it.
QImage Render(QWidget& w, qreal scale) {
    QImage image((QSizeF(w.size()) * scale).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    w.render(&image);
    return image;
}

bool Dark(QRgb c) { return qGray(c) < 96; }

// The dark pixels of rows [top, bottom) and columns [left, right).
int Ink(const QImage& image, int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = std::max(0, top); y < std::min(bottom, image.height()); ++y)
        for (int x = std::max(0, left); x < std::min(right, image.width()); ++x) n += Dark(image.pixel(x, y));
    return n;
}

int TopInkRow(const QImage& image, int left, int top, int right, int bottom) {
    for (int y = std::max(0, top); y < std::min(bottom, image.height()); ++y)
        if (Ink(image, left, y, right, y + 1) > 0) return y;
    return bottom;
}

TEST_F(HighscoreWindow, AccentsOverCapitalsStayInsideTheNameField) {
    // The window's own face, and a taller one, as where Arial's stand-in is
    // missing.
    for (const char* family : {"", "DejaVu Sans"})
    for (const qreal scale : {1.0, 1.5}) {
        SCOPED_TRACE(scale);
        SCOPED_TRACE(family);
        QFont font = Dlg().font();
        if (*family) font.setFamilies({Q(family)});
        Dlg().setFont(font);
        EXPECT_EQ(1, Open("nubb", 5, [&](THighscoreDlg& w) {
            auto* edit = Child<QLineEdit>(w, "Edit1");
            ASSERT_EQ(edit->geometry(), QRect(60, 20, 140, 15));
            const QRect field = QRectF(QRectF(edit->geometry()).topLeft() * scale, QSizeF(edit->size()) * scale).toAlignedRect();
            // Without the blinking text cursor, which would come and go.
            edit->clearFocus();
            edit->setText(Q("OAU"));
            const QImage plain = Render(w, scale);
            edit->setText(Q("ÖÄÜ"));
            const QImage accented = Render(w, scale);
            // Where the capitals begin, and the accents' ink above them.
            const int capTop = TopInkRow(plain, field.left(), field.top(), field.right(), field.bottom());
            const int accents = Ink(accented, field.left(), field.top(), field.right(), capTop);
            const int accentTop = TopInkRow(accented, field.left(), field.top(), field.right(), field.bottom());
            // Capitals with room above them, accents drawn there, and nothing
            // cut at the field's top: its first row is clear.
            EXPECT_GT(accentTop, field.top()) << "accents cut at the top of the field";
            EXPECT_GT(accents, 0) << "no accents over the capitals";
            EXPECT_GT(capTop, accentTop);
            Click(w, "CancelBtn");
        }, 1));
    }
}

TEST_F(HighscoreWindow, ClearAllLabelKeepsOffItsFrame) {
    for (const int language : {1, 0}) {
        for (const qreal scale : {1.0, 1.5}) {
            SCOPED_TRACE(scale);
            SCOPED_TRACE(language);
            EXPECT_EQ(1, Open("nubb", 0, [&](THighscoreDlg& w) {
                auto* label = Child<QLabel>(w, "delcheck");
                const QImage with = Render(w, scale);
                label->hide();
                const QImage without = Render(w, scale);
                label->show();
                // The label's ink: where the two differ, inside the frame 168, 136, 145 x 21.
                int right = -1, left = 100000, top = 100000, bottom = -1;
                for (int y = 0; y < with.height(); ++y)
                    for (int x = 0; x < with.width(); ++x)
                        if (with.pixel(x, y) != without.pixel(x, y)) {
                            right = std::max(right, x), left = std::min(left, x);
                            top = std::min(top, y), bottom = std::max(bottom, y);
                        }
                ASSERT_GE(right, 0);
                // At least two pixels clear of the frame's right and bottom lines.
                EXPECT_LE(right, std::floor(312 * scale) - 3) << "touches the right of its frame";
                EXPECT_LE(bottom, std::floor(156 * scale) - 3) << "touches the bottom of its frame";
                EXPECT_GE(top, std::ceil(137 * scale) + 1) << "touches the top of its frame";
                EXPECT_GE(left, std::ceil(188 * scale) + 2) << "runs into the check box";
                Click(w, "CancelBtn");
            }, language));
        }
    }
}

// The game's window offers the name stored when the game started, as the
// player left it, even when another run of the game stored another since.
TEST_F(HighscoreWindow, GamesWindowOffersTheNameStoredAtStartUp) {
    StoreTable("torv", {10, 20}, Q("Ann"));
    GameWindows windows(main_, dir_.path() + "/", settings_);
    StoreTable("nubb", {10}, Q("Bob"));
    QString offered;
    AnswerModal answer([&](QWidget& w) {
        if (auto* edit = Child<QLineEdit>(w, "Edit1")) offered = edit->text();
        Click(w, "CancelBtn");
    });
    windows.ShowHighscores(0, "torv", 15);
    EXPECT_EQ(answer.opened, 1);
    EXPECT_FALSE(answer.leftOpen);
    EXPECT_EQ(offered, Q("Ann"));
}

// The window behind the real main window: each solve opens the table of the
// puzzle and its variant or level, and the toolbar shows it.
class MainWindowTables : public ::testing::Test {
protected:
    class Windows : public test::ScriptedWindows {
    public:
        std::unique_ptr<GameWindows> real;
        void ShowHighscores(int language, const QString& key, int time) override {
            ScriptedWindows::ShowHighscores(language, key, time);
            real->ShowHighscores(language, key, time);
        }
    };

    void SetUp() override {
        form_ = test::ShowMainForm(windows_);
        ASSERT_TRUE(form_);
        windows_.real = std::make_unique<GameWindows>(*form_, test::GameDir(), settings_);
    }
    // The game's windows go before the main window that holds them.
    void TearDown() override { windows_.real.reset(); }
    // Solves the current puzzle after `ticks` and names the entry.
    void Solve(int ticks, const QString& name) {
        form_->Session(form_->GameIndex()).State = kStateInPlay;
        form_->Session(form_->GameIndex()).Elapsed = ticks;
        AnswerModal answer([&](QWidget& w) {
            auto* edit = w.findChild<QLineEdit*>("Edit1");
            ASSERT_TRUE(edit && edit->isVisible());
            edit->setText(name);
            QTest::keyClick(edit, Qt::Key_Return);
        });
        form_->game().PuzzleSolved();
        EXPECT_EQ(answer.opened, 1);
    }

    test::ConfigHome home_;
    Settings settings_;
    Windows windows_;
    std::unique_ptr<TMainForm> form_;
};

TEST_F(MainWindowTables, NineTablesAreIndependent) {
    struct Case {
        int game;
        int option;
        const char* key;
    };
    const std::vector<Case> cases{{0, 0, "torv"},  {1, 1, "pell1"}, {1, 2, "pell2"}, {1, 3, "pell3"}, {2, 0, "nubb"},
                                  {3, 1, "cirr1"}, {3, 2, "cirr2"}, {3, 3, "cirr3"}, {3, 4, "cirr4"}};
    int ticks = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        form_->SelectGame(c.game);
        if (c.option > 0) form_->game().SetOption(c.game, c.option);
        Solve(++ticks, Q(c.key));
        EXPECT_EQ(windows_.log.back(), "highscores " + std::string(c.key) + " " + std::to_string(ticks));
    }
    ticks = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        HighscoreTable table;
        ASSERT_FALSE(table.Load(settings_, ScoreCipher(), Q(c.key)));
        EXPECT_EQ(table.Time(0), ++ticks);
        EXPECT_EQ(table.Name(0), Q(c.key));
        EXPECT_EQ(table.Time(1), 0);
    }
    // The toolbar shows the current table and the clock goes on afterwards
    // (for a puzzle in play: a solved one needs no ticks, unless the music
    // does, which depends on how far its start-up check has come).
    form_->Session(form_->GameIndex()).State = kStateInPlay;
    AnswerModal answer([](QWidget& w) {
        EXPECT_EQ(w.findChild<QLabel*>("pla0")->text(), Q("cirr4"));
        EXPECT_FALSE(w.findChild<QLineEdit*>("Edit1")->isVisible());
        QTest::mouseClick(w.findChild<QPushButton*>("CancelBtn"), Qt::LeftButton);
    });
    test::ClickButton(*form_, "HighScoreBtn");
    EXPECT_EQ(answer.opened, 1);
    EXPECT_TRUE(form_->timer().isActive());
}

TEST_F(MainWindowTables, UnreadableTableFromTheToolbarLetsTheGameGoOn) {
    form_->SelectGame(2);
    settings_.WriteString(kHighscoreSection, "nubb0", ScoreCipher().Encode("no comma here"));
    const QByteArray before = [&] {
        QFile f(settings_.FilePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    AnswerModal answer([](QWidget& w) {
        auto* box = qobject_cast<QMessageBox*>(&w);
        ASSERT_TRUE(box);
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    test::ClickButton(*form_, "HighScoreBtn");
    EXPECT_EQ(answer.opened, 1);
    EXPECT_TRUE(form_->timer().isActive());
    QFile f(settings_.FilePath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

}  // namespace
}  // namespace qg
