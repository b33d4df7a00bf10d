// Where the game finds its files: the program directory first, the installed
// data folder relative to the executable, the start-up error without either,
// and the music of the data folder merged with the player's own.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "files/GameFiles.h"
#include "shell/Texts.h"
#include "tests/ShellFixture.h"

namespace qg::test {
namespace {

// A folder tree under a temporary root; paths are relative to the root.
class Tree {
public:
    QString Path(const QString& rel) const { return dir_.path() + "/" + rel; }
    QString Dir(const QString& rel) const { return QDir::cleanPath(Path(rel)) + "/"; }
    void MakeDir(const QString& rel) const { QDir().mkpath(Path(rel)); }
    // Copies the generated sheets (all, or the first `count`) into `rel`.
    void PutSheets(const QString& rel, int count = 4) const {
        MakeDir(rel);
        for (int i = 0; i < count; ++i) QFile::copy(GameDir() + Record(i).sheetFile, Path(rel + "/" + Record(i).sheetFile));
    }
    void Touch(const QString& rel) const {
        QFile f(Path(rel));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

private:
    QTemporaryDir dir_;
};

// An environment variable set for one test and restored afterwards.
class EnvVar {
public:
    EnvVar(const char* name, const QString& value) : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        if (value.isNull()) qunsetenv(name);
        else qputenv(name, value.toLocal8Bit());
    }
    ~EnvVar() {
        if (had_) qputenv(name_, old_);
        else qunsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

TEST(ProgramDirectory, ExecutableFolderComesFirst) {
    Tree t;
    t.PutSheets("build/game");
    t.PutSheets("build/share/quirko-gyrelle");
    EXPECT_EQ(FindProgramDirectory(t.Path("build/game")), t.Dir("build/game"));
}

TEST(ProgramDirectory, InstalledTreeFromBinOrGames) {
    for (const char* exeDir : {"games", "bin"}) {
        SCOPED_TRACE(exeDir);
        Tree t;
        t.MakeDir(QString("usr/") + exeDir);
        t.PutSheets("usr/share/quirko-gyrelle");
        EXPECT_EQ(FindProgramDirectory(t.Path(QString("usr/") + exeDir)), t.Dir("usr/share/quirko-gyrelle"));
        EXPECT_EQ(InstalledDataDirectory(t.Path(QString("usr/") + exeDir)), t.Dir("usr/share/quirko-gyrelle"));
    }
}

TEST(ProgramDirectory, MovedTreeIsFoundAtItsNewPlace) {
    Tree t;
    t.MakeDir("old/games");
    t.PutSheets("old/share/quirko-gyrelle");
    t.MakeDir("new");
    ASSERT_TRUE(QDir().rename(t.Path("old"), t.Path("new/prefix")));
    EXPECT_EQ(FindProgramDirectory(t.Path("new/prefix/games")), t.Dir("new/prefix/share/quirko-gyrelle"));
}

TEST(ProgramDirectory, IncompleteFoldersAreChosenByWhatTheyHold) {
    struct Case {
        const char* name;
        int besideExe, inData;  // sheets in each place; -1: no such folder
        const char* expected;
    };
    const Case cases[] = {
        {"a complete data folder beats a partial program directory", 1, 4, "usr/share/quirko-gyrelle"},
        {"neither complete: the program directory when it holds a sheet", 2, 3, "usr/games"},
        {"neither complete: the data folder when only it holds a sheet", 0, 3, "usr/games/../share/quirko-gyrelle"},
        {"nothing anywhere: the program directory", 0, 0, "usr/games"},
        {"no data folder at all: the program directory", 0, -1, "usr/games"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Tree t;
        t.PutSheets("usr/games", c.besideExe);
        if (c.inData >= 0) t.PutSheets("usr/share/quirko-gyrelle", c.inData);
        EXPECT_EQ(FindProgramDirectory(t.Path("usr/games")), t.Dir(c.expected));
    }
}

// An installed executable whose data folder is gone fails at start-up with
// the usual error box.
TEST(ProgramDirectory, MissingDataFolderGivesTheStartUpError) {
    ConfigHome config;
    Tree t;
    t.MakeDir("usr/games");
    ScriptedWindows windows;
    TMainForm form(FindProgramDirectory(t.Path("usr/games")), &windows);
    EXPECT_FALSE(form.FormCreate());
    ASSERT_EQ(windows.errors.size(), 1u);
    EXPECT_EQ(windows.errors[0].rfind(OutOfMemoryText(-1).toStdString(), 0), 0u) << windows.errors[0];
    EXPECT_NE(windows.errors[0].find(Record(kTorvane).sheetFile), std::string::npos) << "the box names the missing sheet";
}

TEST(UserMusic, FolderFollowsXdgDataHome) {
    Tree t;
    EnvVar home("HOME", t.Path("home"));
    struct Case {
        const char* name;
        QString xdgDataHome;  // null: unset
        QString expected;
    };
    const Case cases[] = {
        {"set", t.Path("data"), t.Dir("data/quirko-gyrelle/music")},
        {"unset", QString(), t.Dir("home/.local/share/quirko-gyrelle/music")},
        {"empty", QString(""), t.Dir("home/.local/share/quirko-gyrelle/music")},
        {"relative, which the standard ignores", QString("rel/data"), t.Dir("home/.local/share/quirko-gyrelle/music")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EnvVar xdg("XDG_DATA_HOME", c.xdgDataHome);
        EXPECT_EQ(UserMusicDirectory(), c.expected);
    }
}

TEST(UserMusic, MergedWithTheGamesInNameOrderIgnoringCase) {
    Tree t;
    t.MakeDir("game");
    t.MakeDir("mine");
    for (const char* f : {"game/minuet.mid", "game/Prelude.MID", "game/greensleeves.mid", "game/notes.txt", "game/e.mid"})
        t.Touch(f);
    for (const char* f : {"mine/Air.mid", "mine/minuet.mid", "mine/.hidden.mid", "mine/E.mid", "mine/zebra.midi"}) t.Touch(f);

    const QStringList merged = ListMusicFiles({t.Dir("game"), t.Dir("mine"), t.Dir("missing")});
    const QStringList expected = {
        t.Path("mine/.hidden.mid"),
        t.Path("mine/Air.mid"),
        t.Path("mine/E.mid"),  // equal but for case: both, in their exact order
        t.Path("game/e.mid"),
        t.Path("game/greensleeves.mid"),
        t.Path("mine/minuet.mid"),  // the player's file replaces the game's of that name
        t.Path("game/Prelude.MID"),
    };
    EXPECT_EQ(merged, expected);
}

// Music is every file, hidden or linked to, whose name ends in ".mid" in any
// case; nothing else, whatever its name.
TEST(UserMusic, OnlyFilesEndingInMid) {
    Tree t;
    t.MakeDir("game/folder.mid");
    for (const char* f : {"game/a.MiD", "game/b.mid.txt", "game/mid", "game/cmid", "game/.mid", "game/real.mid"}) t.Touch(f);
    ASSERT_TRUE(QFile::link(t.Path("game/real.mid"), t.Path("game/linked.mid")));
    ASSERT_TRUE(QFile::link(t.Path("game/folder.mid"), t.Path("game/folderlink.mid")));
    ASSERT_TRUE(QFile::link(t.Path("game/gone.mid"), t.Path("game/broken.mid")));
    EXPECT_EQ(ListMusicFiles({t.Dir("game")}), (QStringList{t.Path("game/.mid"), t.Path("game/a.MiD"), t.Path("game/broken.mid"),
                                                            t.Path("game/linked.mid"), t.Path("game/real.mid")}));
}

TEST(UserMusic, FolderIsMadeOnFirstUseAndNeverRequired) {
    Tree t;
    t.MakeDir("game");
    t.Touch("game/minuet.mid");
    EnvVar xdg("XDG_DATA_HOME", t.Path("data"));
    ASSERT_FALSE(QFileInfo::exists(t.Path("data/quirko-gyrelle/music")));

    EXPECT_EQ(GameMusicFiles(t.Dir("game")), QStringList{t.Path("game/minuet.mid")});
    EXPECT_TRUE(QFileInfo(t.Path("data/quirko-gyrelle/music")).isDir());

    t.Touch("data/quirko-gyrelle/music/air.mid");
    EXPECT_EQ(GameMusicFiles(t.Dir("game")), (QStringList{t.Path("data/quirko-gyrelle/music/air.mid"), t.Path("game/minuet.mid")}));

    // A data home that cannot hold the folder leaves the game's own music.
    t.Touch("file");
    EnvVar blocked("XDG_DATA_HOME", t.Path("file"));
    EXPECT_EQ(GameMusicFiles(t.Dir("game")), QStringList{t.Path("game/minuet.mid")});
}

}  // namespace
}  // namespace qg::test
