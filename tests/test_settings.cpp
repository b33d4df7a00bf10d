// The settings store and the window position: what a restart brings back,
// what a damaged or hand-edited file gives, and that no failure or kill
// loses the file. Every case runs in its own config folder.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUuid>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <optional>
#include <set>
#include <random>
#include <thread>

#include "puzzles/Cirrela.h"
#include "puzzles/Pellora.h"
#include "shell/MainForm.h"
#include "shell/PositionKeeper.h"
#include "settings/GameSettings.h"
#include "settings/Settings.h"
#include "tests/settings_churn.h"
#include "tests/ScriptedWindows.h"

namespace qg {
namespace {

// A fresh config folder (and home) for as long as it lives.
class ConfigHome {
public:
    ConfigHome() : oldConfig_(qgetenv("XDG_CONFIG_HOME")), oldHome_(qgetenv("HOME")) {
        qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
        qputenv("HOME", home_.path().toLocal8Bit());
    }
    ~ConfigHome() {
        qputenv("XDG_CONFIG_HOME", oldConfig_);
        qputenv("HOME", oldHome_);
    }
    QString Config() const { return config_.path(); }
    QString Home() const { return home_.path(); }
    QString StorePath() const { return config_.path() + "/QuirkoGames/QuirkoGyrelle/V1.ini"; }

    void WriteStore(const QByteArray& text) const {
        QDir().mkpath(QFileInfo(StorePath()).path());
        QFile file(StorePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QByteArray StoreBytes() const {
        QFile file(StorePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(no file)");
    }
    // The store as the disk holds it: a copy under a new name is parsed
    // afresh, whatever this process wrote or read before.
    Settings FromDisk() const {
        const QString copy = config_.path() + "/copy-" + QUuid::createUuid().toString(QUuid::Id128) + ".ini";
        QFile::copy(StorePath(), copy);
        return Settings(copy);
    }

private:
    QTemporaryDir config_;
    QTemporaryDir home_;
    QByteArray oldConfig_;
    QByteArray oldHome_;
};

// ---------------------------------------------------------------------------
// The store on its own.

TEST(SettingsStore, LivesUnderTheConfigFolder) {
    ConfigHome home;
    struct Case {
        const char* xdg;  // nullptr: unset
        QString expected;
    };
    const Case cases[] = {
        {"/srv/cfg", "/srv/cfg/QuirkoGames/QuirkoGyrelle/V1.ini"},
        {"/srv/cfg/", "/srv/cfg/QuirkoGames/QuirkoGyrelle/V1.ini"},
        {nullptr, home.Home() + "/.config/QuirkoGames/QuirkoGyrelle/V1.ini"},
        {"", home.Home() + "/.config/QuirkoGames/QuirkoGyrelle/V1.ini"},
        {"relative/cfg", home.Home() + "/.config/QuirkoGames/QuirkoGyrelle/V1.ini"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xdg ? c.xdg : "(unset)");
        if (c.xdg) qputenv("XDG_CONFIG_HOME", c.xdg);
        else qunsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(Settings::DefaultFilePath(), c.expected);
        EXPECT_EQ(Settings().FilePath(), c.expected);
    }
}

TEST(SettingsStore, WholeNumbersOnly) {
    struct Case {
        const char* text;
        std::optional<int> value;
    };
    const Case cases[] = {
        {"0", 0},
        {"42", 42},
        {"007", 7},
        {"-5", -5},
        {"+3", 3},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {" 5", std::nullopt},
        {"5 ", std::nullopt},
        {"1.0", std::nullopt},
        {"0x10", std::nullopt},
        {"1e3", std::nullopt},
        {"abc", std::nullopt},
        {"--1", std::nullopt},
        {"\xef\xbc\x91", std::nullopt},  // a full-width digit one
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseWholeNumber(QString::fromUtf8(c.text)), c.value);
    }
}

// Integer, boolean and string reads of one value, for a file written by hand.
TEST(SettingsStore, ReadsWhatTheFileHolds) {
    struct Case {
        const char* file;  // nullptr: no file at all
        const char* section;
        const char* name;
        int integer;  // read with default -77
        bool boolean; // read with default true
        QString text; // read with default "dflt"
    };
    const Case cases[] = {
        {nullptr, "common", "mode", -77, true, "dflt"},
        {"", "common", "mode", -77, true, "dflt"},
        {"[common]\nmode=2\n", "common", "mode", 2, true, "2"},
        {"[common]\nmode=2\n", "common", "pmode", -77, true, "dflt"},
        {"[common]\nmode=2\n", "highscore", "mode", -77, true, "dflt"},
        {"[common]\nmode=0\n", "common", "mode", 0, false, "0"},
        {"[common]\nmode=-12\n", "common", "mode", -12, true, "-12"},
        {"[common]\nsound=2\n", "common", "sound", 2, true, "2"},
        {"[common]\nsound=abc\n", "common", "sound", -77, true, "abc"},
        {"[common]\nmode=\n", "common", "mode", -77, true, ""},
        {"[common]\nmode=99999999999\n", "common", "mode", -77, true, "99999999999"},
        {"[common]\nmode=-2147483648\n", "common", "mode", -2147483647 - 1, true, "-2147483648"},
        {"[common]\nmode=\"3\"\n", "common", "mode", 3, true, "3"},
        // Unquoted commas read back as a list, other types as what they
        // name: none of them is text.
        {"[common]\nmode=1,2\n", "common", "mode", -77, true, "dflt"},
        {"[common]\nmode=@Rect(1 2 3 4)\n", "common", "mode", -77, true, "dflt"},
        {"[common]\nmode=@ByteArray(12)\n", "common", "mode", -77, true, "dflt"},
        {"[common]\nmode=\"1,2\"\n", "common", "mode", -77, true, "1,2"},
        // Names in any case, as in the registry.
        {"[Common]\nMode=2\n", "common", "mode", 2, true, "2"},
        {"[COMMON]\nmode=2\n", "Common", "MODE", 2, true, "2"},
        {"[highscore]\nPlayer=Mr. Brain\n", "HighScore", "player", -77, true, "Mr. Brain"},
        // Two spellings of one name: the program's own (lower case) counts.
        {"[Common]\nmode=3\n[common]\nmode=2\n", "common", "mode", 2, true, "2"},
        // Damaged lines around a good one.
        {"\xff\xfe[[[\n===\n[common\nx\n[common]\nmode=1\n", "common", "mode", 1, true, "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file ? c.file : "(no file)");
        ConfigHome home;
        if (c.file) home.WriteStore(c.file);
        const Settings store;
        EXPECT_EQ(store.ReadInteger(c.section, c.name, -77), c.integer);
        EXPECT_EQ(store.ReadBool(c.section, c.name, true), c.boolean);
        EXPECT_EQ(store.ReadBool(c.section, c.name, false), c.integer != -77 && c.integer != 0);
        EXPECT_EQ(store.ReadString(c.section, c.name, "dflt"), c.text);
    }
}

TEST(SettingsStore, ReadingCreatesNothing) {
    {
        ConfigHome home;
        const Settings store;
        store.ReadInteger("common", "mode", 0);
        store.ReadBool("common", "sound", true);
        store.ReadString("highscore", "player", "Mr. Brain");
        EXPECT_TRUE(QDir(home.Config()).isEmpty());
        EXPECT_TRUE(QDir(home.Home()).isEmpty());
    }
    {
        ConfigHome home;
        home.WriteStore("[common]\nmode=1\n");
        const QByteArray before = home.StoreBytes();
        const Settings store;
        store.ReadInteger("common", "mode", 0);
        store.ReadInteger("common", "missing", 0);
        store.ReadString("nosection", "player", "");
        EXPECT_EQ(home.StoreBytes(), before);
        EXPECT_EQ(QDir(QFileInfo(home.StorePath()).path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                  QStringList{"V1.ini"});
    }
}

TEST(SettingsStore, WritesEveryValueAsText) {
    ConfigHome home;
    Settings store;
    ASSERT_TRUE(store.WriteInteger("common", "mode", 2));
    ASSERT_TRUE(store.WriteInteger("common", "tongue", -1));
    ASSERT_TRUE(store.WriteBool("common", "sound", true));
    ASSERT_TRUE(store.WriteBool("common", "music", false));
    ASSERT_TRUE(store.WriteString("Common", "MainForm", "200,0,1,10,20,510,386"));

    QSettings raw(home.FromDisk().FilePath(), QSettings::IniFormat);
    const struct {
        const char* key;
        const char* text;
    } expected[] = {{"common/mode", "2"},
                    {"common/tongue", "-1"},
                    {"common/sound", "1"},
                    {"common/music", "0"},
                    {"common/mainform", "200,0,1,10,20,510,386"}};
    for (const auto& e : expected) {
        SCOPED_TRACE(e.key);
        const QVariant value = raw.value(e.key);
        EXPECT_EQ(value.typeId(), QMetaType::QString);
        EXPECT_EQ(value.toString(), e.text);
    }
    EXPECT_EQ(raw.childGroups(), QStringList{"common"});
}

// High-score values are scrambled text: any character must come back.
TEST(SettingsStore, AnyTextComesBack) {
    const QString texts[] = {
        "Mr. Brain", "", "a,b", "1,2,3", "@foo", "@ByteArray(x)", "x;y", "q\"u\"", "back\\slash", " lead",
        "trail ", "line\nbreak", "cr\rlf", "tab\there", "=eq", "#hash", "[common]", "\x01\x02\x1f",
        QString::fromUtf8("Müller äöüß €"), QString::fromUtf8("中文 ✓"), QString(255, QChar('z')),
    };
    ConfigHome home;
    Settings store;
    for (int i = 0; i < std::ssize(texts); ++i) ASSERT_TRUE(store.WriteString("highscore", QString("v%1").arg(i), texts[i]));
    const Settings disk = home.FromDisk();
    for (int i = 0; i < std::ssize(texts); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(disk.ReadString("highscore", QString("v%1").arg(i), "dflt"), texts[i]);
    }
}

// Rewrites of the same length, faster than the file clock ticks: every read
// gives what was written last, through any store object.
TEST(SettingsStore, ReadsSeeTheLastWrite) {
    ConfigHome home;
    Settings writer;
    const Settings reader;
    for (int i = 0; i < 60; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(writer.WriteInteger("common", "mode", i % 10));
        ASSERT_EQ(reader.ReadInteger("common", "mode", -1), i % 10);
        ASSERT_EQ(Settings().ReadInteger("Common", "Mode", -1), i % 10);
    }
}

TEST(SettingsStore, WriteReplacesEverySpellingOfTheName) {
    ConfigHome home;
    home.WriteStore("[Common]\nMode=2\nSound=0\n[COMMON]\nMODE=1\n[highscore]\nplayer=Ann\n");
    Settings store;
    ASSERT_TRUE(store.WriteInteger("common", "mode", 3));
    const Settings disk = home.FromDisk();
    EXPECT_EQ(disk.ReadInteger("common", "mode", -1), 3);
    EXPECT_EQ(disk.ReadInteger("common", "sound", -1), 0);
    EXPECT_EQ(disk.ReadString("highscore", "player", ""), "Ann");
    // Exactly one "mode" is left in the file, the one just written.
    QSettings raw(disk.FilePath(), QSettings::IniFormat);
    QStringList modes;
    for (const QString& key : raw.allKeys())
        if (key.endsWith("/mode", Qt::CaseInsensitive)) modes << key + "=" + raw.value(key).toString();
    EXPECT_EQ(modes, QStringList{"common/mode=3"});
}

// Lines the program does not own stay as they were, byte for byte, however
// odd: values QSettings cannot give back equal (a NaN, an empty list, a
// NUL), comments, lines without '=', other line ends, other encodings.
TEST(SettingsStore, OtherLinesStayByteForByte) {
    struct Case {
        const char* what;
        QByteArray before;
        QList<QPair<QString, QString>> values;  // written to "common" in one call
        QByteArray after;
    };
    const QByteArray odd = "x=a,\\0\n";
    const QByteArray highscore =
        "[highscore]\nnan=@Variant(\\0\\0\\0\\x6\\x7f\\xf8\\0\\0\\0\\0\\0\\0)\nlist=@Variant(\\0\\0\\0\\v\\0\\0\\0\\0)\n"
        "player=Ann\n";
    const Case cases[] = {
        {"values QSettings cannot compare", "[common]\nmode=1\n" + odd + highscore, {{"mode", "2"}, {"sound", "0"}},
         "[common]\nmode=2\n" + odd + "sound=0\n" + highscore},
        {"comments, a stray line and CR LF", "; written by hand\r\n[common]\r\njunk line\r\nmode=1\r\n\r\n[other]\r\nk=v\r\n",
         {{"mode", "3"}, {"music", "1"}},
         "; written by hand\r\n[common]\r\njunk line\r\nmode=3\r\nmusic=1\r\n\r\n[other]\r\nk=v\r\n"},
        {"no line break at the end", "[common]\nmode=1", {{"sound", "0"}}, "[common]\nmode=1\nsound=0\n"},
        {"only another spelling of the section", "[Common]\nMode=1\nSound=1\n", {{"mode", "2"}},
         "[Common]\nSound=1\n\n[common]\nmode=2\n"},
        {"empty file", "", {{"mode", "2"}, {"sound", "0"}}, "[common]\nmode=2\nsound=0\n"},
        {"a BOM and a Latin-1 name", "\xEF\xBB\xBF[common]\nname=M\xFCller\nmode=1\n", {{"mode", "0"}},
         "\xEF\xBB\xBF[common]\nname=M\xFCller\nmode=0\n"},
        {"the value rewritten on the last line", "[common]\nmode=1", {{"mode", "2"}, {"sound", "0"}}, "[common]\nmode=2\nsound=0\n"},
        {"a lone backslash at the very end", "[common]\nk=a\\", {{"mode", "2"}}, "[common]\nk=a\\\n\nmode=2\n"},
        // An escaped CR takes an LF after it along, an escaped LF does not
        // take another LF.
        {"an escaped CR at the very end", "[common]\nk=a\\\r", {{"mode", "2"}}, "[common]\nk=a\\\r\n\nmode=2\n"},
        {"an escaped CR at the end of another section", "[co@c;common]\nk=a\\\r", {{"mode", "2"}},
         "[co@c;common]\nk=a\\\r\n\n\n[common]\nmode=2\n"},
        {"an escaped LF at the very end", "[common]\nk=a\\\n", {{"mode", "2"}}, "[common]\nk=a\\\n\nmode=2\n"},
        {"the old value over two lines", "[common]\nmode=1\\\n2\nsound=1\n", {{"mode", "5"}}, "[common]\nmode=5\nsound=1\n"},
        {"texts that need quotes and escapes", "[common]\n", {{"mainform", "200,0,1"}, {"t", " a\tb\\"}},
         "[common]\nmainform=\"200,0,1\"\nt=\" a\\tb\\\\\"\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConfigHome home;
        home.WriteStore(c.before);
        Settings store;
        ASSERT_TRUE(store.WriteStrings("common", c.values));
        EXPECT_EQ(home.StoreBytes(), c.after);
        for (const auto& [name, text] : c.values) EXPECT_EQ(store.ReadString("common", name, "dflt"), text);
        // And again: a write that changes nothing keeps the file.
        ASSERT_TRUE(store.WriteStrings("common", c.values));
        EXPECT_EQ(home.StoreBytes(), c.after);
    }
}

// The file stays one that QSettings reads and writes: what either side
// writes, the other reads back as the same text.
TEST(SettingsStore, QSettingsAndTheStoreAgree) {
    const QString texts[] = {
        "Mr. Brain", "", "a,b", "@foo", "@@x", "@ByteArray(x)", "@String(y)", "x;y", "q\"u\"", "back\\slash",
        " lead", "trail ", "line\nbreak", "tab\there", "=eq", "#hash", "[common]", QString::fromLatin1("nul\0" "12", 6),
        "\x01" "2\x1f" "a", "\x7f", QString::fromUtf8("Müller äöüß €"), QString::fromUtf8("中文 ✓ 😀"), "200,0,1,10,20,510,386",
    };
    for (int i = 0; i < std::ssize(texts); ++i) {
        SCOPED_TRACE(i);
        const QString name = QString("v%1").arg(i);
        {
            ConfigHome home;
            ASSERT_TRUE(Settings().WriteString("highscore", name, texts[i]));
            QSettings raw(home.FromDisk().FilePath(), QSettings::IniFormat);
            const QVariant value = raw.value("highscore/" + name);
            EXPECT_EQ(value.typeId(), QMetaType::QString);
            EXPECT_EQ(value.toString(), texts[i]);
        }
        {
            ConfigHome home;
            QDir().mkpath(QFileInfo(home.StorePath()).path());
            {
                QSettings raw(home.StorePath(), QSettings::IniFormat);
                raw.setValue("highscore/" + name, texts[i]);
            }
            EXPECT_EQ(Settings().ReadString("highscore", name, "dflt"), texts[i]) << home.StoreBytes().constData();
        }
    }
}

TEST(SettingsStore, WritesThroughLinksToTheirTargets) {
    struct Case {
        const char* what;
        const char* link;  // as stored in the link, from the store's folder
        bool targetExists;
    };
    const Case cases[] = {
        {"relative link", "../elsewhere/real.ini", true},
        {"absolute link", nullptr, true},
        {"link to a file not made yet", "../elsewhere/new.ini", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConfigHome home;
        const QString folder = QFileInfo(home.StorePath()).path();
        const QString elsewhere = home.Config() + "/QuirkoGames/elsewhere";
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(QDir().mkpath(elsewhere));
        const QString target = elsewhere + (c.targetExists ? "/real.ini" : "/new.ini");
        if (c.targetExists) {
            QFile f(target);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("[highscore]\nplayer=Ann\n");
        }
        const QByteArray linkText = c.link ? QByteArray(c.link) : QFile::encodeName(target);
        ASSERT_EQ(::symlink(linkText.constData(), QFile::encodeName(home.StorePath()).constData()), 0);

        Settings store;
        ASSERT_TRUE(store.WriteStrings("common", {{"mode", "2"}}));
        EXPECT_TRUE(QFileInfo(home.StorePath()).isSymLink());
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), c.targetExists ? QByteArray("[highscore]\nplayer=Ann\n\n[common]\nmode=2\n")
                                              : QByteArray("[common]\nmode=2\n"));
        EXPECT_EQ(store.ReadInteger("common", "mode", -1), 2);
        // Nothing else was left beside the link.
        EXPECT_EQ(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System), QStringList{"V1.ini"});
    }
}

// ---------------------------------------------------------------------------
// Writes the store refuses, and writers killed half-way: the file on disk is
// always a whole one. Both run in a second process.

struct ChildRun {
    int exitCode = -1;
    QProcess::ExitStatus status = QProcess::CrashExit;
    QByteArray out, err;
};

ChildRun RunRefusingChild(const QString& file, long long limit) {
    QProcess child;
    child.start(QStringLiteral(QG_SETTINGS_CHILD), {"refused", file, QString::number(limit)});
    ChildRun run;
    if (!child.waitForFinished(60000)) return run;
    run.exitCode = child.exitCode();
    run.status = child.exitStatus();
    run.out = child.readAllStandardOutput();
    run.err = child.readAllStandardError();
    return run;
}

TEST(SettingsFailure, RefusedWriteKeepsTheOldFileAndSaysSoOnce) {
    enum class Trouble { DiskFull, FolderIsAFile, FileIsAFolder, ReadOnlyFolder };
    struct Case {
        const char* what;
        Trouble trouble;
        const char* cause;  // what the message says
    };
    const Case cases[] = {
        {"disk full", Trouble::DiskFull, "the disk is full"},
        {"a file where the folder belongs", Trouble::FolderIsAFile, "its folder cannot be created"},
        {"a folder where the file belongs", Trouble::FileIsAFolder, "not a regular file"},
        {"read-only folder", Trouble::ReadOnlyFolder, "no write permission"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Permissions do not stop the superuser.
        if (c.trouble == Trouble::ReadOnlyFolder && ::geteuid() == 0) continue;
        ConfigHome home;
        const QString folder = QFileInfo(home.StorePath()).path();
        long long limit = -1;
        QString watched = home.StorePath();  // what must stay as it was
        switch (c.trouble) {
        case Trouble::DiskFull:
            home.WriteStore("[common]\nmode=1\n[highscore]\nplayer=Mr. Brain\n");
            limit = home.StoreBytes().size() + 100;
            break;
        case Trouble::FolderIsAFile: {
            watched = home.Config() + "/QuirkoGames";
            QFile blocker(watched);
            ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
            blocker.write("not a folder");
            break;
        }
        case Trouble::FileIsAFolder:
            ASSERT_TRUE(QDir().mkpath(home.StorePath()));
            break;
        case Trouble::ReadOnlyFolder:
            home.WriteStore("[common]\nmode=1\n");
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            break;
        }
        const QFileInfo before(watched);
        QByteArray bytesBefore;
        if (before.isFile()) {
            QFile f(watched);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            bytesBefore = f.readAll();
        }

        const ChildRun run = RunRefusingChild(home.StorePath(), limit);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        // The program went on after both refusals.
        EXPECT_EQ(run.status, QProcess::NormalExit);
        EXPECT_EQ(run.exitCode, 0) << run.err.constData();
        EXPECT_EQ(run.out, "went on\n");
        // One line, naming the file.
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.constData();
        EXPECT_TRUE(run.err.endsWith('\n'));
        EXPECT_TRUE(run.err.contains(home.StorePath().toLocal8Bit())) << run.err.constData();
        EXPECT_TRUE(run.err.contains(c.cause)) << run.err.constData();
        // The old file as it was.
        const QFileInfo after(watched);
        EXPECT_EQ(after.isFile(), before.isFile());
        EXPECT_EQ(after.isDir(), before.isDir());
        if (after.isFile()) {
            QFile f(watched);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_EQ(f.readAll(), bytesBefore);
        }
    }
}

// The index of the last write the file holds (writes go value by value,
// generation by generation), or a message saying why it is not a whole file.
struct FileState {
    std::optional<long long> lastWrite;
    std::string why;
};

FileState ReadChurnState(const ConfigHome& home) {
    const Settings disk = home.FromDisk();
    {
        QSettings raw(disk.FilePath(), QSettings::IniFormat);
        if (raw.status() != QSettings::NoError) return {std::nullopt, "the file does not parse"};
    }
    std::vector<long long> generation;
    for (int k = 0; k < test::kChurnCount; ++k) {
        const QString text = disk.ReadString(test::kChurnSection, test::kChurnNames[static_cast<std::size_t>(k)], "");
        const std::optional<long long> g = test::ChurnGeneration(text, k);
        if (!g) return {std::nullopt, "value " + std::to_string(k) + " is damaged or missing"};
        generation.push_back(*g);
    }
    // Generation G in the first values, G - 1 in the rest.
    const long long g0 = generation.front();
    int newer = 0;
    while (newer < test::kChurnCount && generation[static_cast<std::size_t>(newer)] == g0) ++newer;
    for (int k = newer; k < test::kChurnCount; ++k)
        if (generation[static_cast<std::size_t>(k)] != g0 - 1)
            return {std::nullopt, "value " + std::to_string(k) + " is from another write"};
    return {g0 * test::kChurnCount + newer - 1, ""};
}

TEST(SettingsFailure, KillWhileRewritingLeavesAWholeFile) {
    ConfigHome home;
    Settings store;
    for (int k = 0; k < test::kChurnCount; ++k)
        ASSERT_TRUE(store.WriteString(test::kChurnSection, test::kChurnNames[static_cast<std::size_t>(k)],
                                      test::ChurnValue(0, k)));
    long long last = test::kChurnCount - 1;
    const long long first = last;
    std::mt19937 delays(20240611);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        QProcess child;
        child.start(QStringLiteral(QG_SETTINGS_CHILD), {"churn", home.StorePath(), QString::number(last + 1)});
        ASSERT_TRUE(child.waitForStarted());
        ASSERT_TRUE(child.waitForReadyRead(60000)) << child.readAllStandardError().constData();
        // Anywhere from before the first write to some dozens of writes in.
        std::this_thread::sleep_for(std::chrono::microseconds(delays() % 80000));
        ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
        ASSERT_TRUE(child.waitForFinished(60000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << "the writer stopped by itself: "
                                                           << child.readAllStandardError().constData();
        const FileState state = ReadChurnState(home);
        ASSERT_TRUE(state.lastWrite) << state.why;
        // Either the old file or a newer one; never an older one.
        ASSERT_GE(*state.lastWrite, last);
        last = *state.lastWrite;
    }
    // The writers got somewhere, through all the locks the killed ones left.
    EXPECT_GT(last, first);
    // The next write clears away the drafts of the killed ones.
    ASSERT_TRUE(store.WriteString(test::kChurnSection, test::kChurnNames[0], test::ChurnValue(0, 0)));
    EXPECT_EQ(QDir(QFileInfo(home.StorePath()).path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
              (QStringList{"V1.ini", "V1.ini.writer-lock"}));
}

// A run of the game against a file it must not replace: it reads the
// defaults (or what a read-only file holds), says so in one line naming the
// file and the cause, never waits long, and leaves the file as it was.
TEST(SettingsFailure, TroubledFileIsLeftAsItWas) {
    struct Case {
        const char* what;
        QByteArray bytes;  // the file's content
        std::function<void(const ConfigHome&)> trouble;
        const char* read;   // what the run reads for "mode"
        const char* cause;  // what the message says
    };
    QByteArray utf16;
    for (const char c : QByteArray("[common]\r\nmode=3\r\n")) utf16 += QByteArray(1, c) + '\0';
    QByteArray garbage;
    std::mt19937 bytes(7);
    for (int i = 0; i < 3000; ++i) garbage += char(bytes() & 0xFF);
    const QByteArray stored = "[common]\nmode=3\n[highscore]\nplayer=Ann\n";
    const auto chmod = [](QFileDevice::Permissions p) {
        return [p](const ConfigHome& home) { QFile::setPermissions(home.StorePath(), p); };
    };
    const Case cases[] = {
        {"UTF-16", "\xFF\xFE" + utf16, {}, "-77", "not a text settings file"},
        {"binary garbage", garbage, {}, "-77", "not a text settings file"},
        {"a NUL in a value", QByteArray("[common]\nmode=3\nx=a") + '\0' + "b\n", {}, "-77", "not a text settings file"},
        {"no read permission", stored, chmod({}), "-77", "cannot be read"},
        {"read-only", stored, chmod(QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther), "3",
         "read-only"},
        {"another writer holds the lock", stored, {}, "3", "another program"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConfigHome home;
        home.WriteStore(c.bytes);
        // The run may be the unprivileged user: let it reach the folder.
        for (QString dir = QFileInfo(home.StorePath()).path(); dir.startsWith(home.Config()); dir = QFileInfo(dir).path())
            QFile::setPermissions(dir, QFileDevice::Permissions(0x7777));
        if (c.trouble) c.trouble(home);
        // A second writer, holding the lock for longer than any run takes.
        const int lock = ::open(QFile::encodeName(home.StorePath() + ".writer-lock").constData(), O_RDWR | O_CREAT, 0666);
        ASSERT_GE(lock, 0);
        if (std::string(c.what) == "another writer holds the lock") {
            ASSERT_EQ(::flock(lock, LOCK_EX), 0);
        }

        QProcess child;
        const auto started = std::chrono::steady_clock::now();
        child.start(QStringLiteral(QG_SETTINGS_CHILD), {"session", home.StorePath(), "nobody"});
        ASSERT_TRUE(child.waitForFinished(60000));
        const auto took = std::chrono::steady_clock::now() - started;
        ::close(lock);
        const QByteArray out = child.readAllStandardOutput(), err = child.readAllStandardError();
        QFile::setPermissions(home.StorePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);

        EXPECT_EQ(child.exitCode(), 0) << err.constData();
        EXPECT_EQ(out, QByteArray("read ") + c.read + "\nrefused\nrefused\n");
        EXPECT_EQ(err.count('\n'), 1) << err.constData();
        EXPECT_TRUE(err.contains(home.StorePath().toLocal8Bit())) << err.constData();
        EXPECT_TRUE(err.contains(c.cause)) << err.constData();
        EXPECT_EQ(home.StoreBytes(), c.bytes);
        // Two refused writes, each waiting a second or two at most, and the
        // lock never released meanwhile.
        EXPECT_LT(took, std::chrono::seconds(30));
    }
}

TEST(SettingsFailure, KillDuringABatchLeavesAllOldOrAllNew) {
    ConfigHome home;
    Settings store;
    QList<QPair<QString, QString>> first;
    for (int k = 0; k < test::kChurnCount; ++k) first.append({test::kChurnNames[static_cast<std::size_t>(k)], test::ChurnValue(0, k)});
    ASSERT_TRUE(store.WriteStrings(test::kChurnSection, first));
    long long generation = 0;
    std::mt19937 delays(20261210);
    int advanced = 0;
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        QProcess child;
        child.start(QStringLiteral(QG_SETTINGS_CHILD), {"batch", home.StorePath(), QString::number(generation + 1)});
        ASSERT_TRUE(child.waitForStarted());
        ASSERT_TRUE(child.waitForReadyRead(60000)) << child.readAllStandardError().constData();
        std::this_thread::sleep_for(std::chrono::microseconds(delays() % 40000));
        ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
        ASSERT_TRUE(child.waitForFinished(60000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << child.readAllStandardError().constData();
        // Every value of one and the same generation, never an older one.
        const Settings disk = home.FromDisk();
        std::set<long long> found;
        for (int k = 0; k < test::kChurnCount; ++k) {
            const auto g = test::ChurnGeneration(
                disk.ReadString(test::kChurnSection, test::kChurnNames[static_cast<std::size_t>(k)], ""), k);
            ASSERT_TRUE(g) << "value " << k << " is damaged or missing";
            found.insert(*g);
        }
        ASSERT_EQ(found.size(), 1u) << "values of " << found.size() << " writes mixed";
        ASSERT_GE(*found.begin(), generation);
        if (*found.begin() > generation) ++advanced;
        generation = *found.begin();
    }
    // The kills came at all stages of the writes, and most let some land.
    EXPECT_GT(advanced, 10);
}

// ---------------------------------------------------------------------------
// The window position.

TEST(WindowPosition, PlacedFromTheStoredValue) {
    const QSize frame(502, 391);
    const QRect big(0, 0, 1024, 768);
    const QRect small(0, 0, 640, 480);
    struct Case {
        const char* stored;
        QRect screen;
        QPoint expected;
    };
    const Case cases[] = {
        {"200,0,1,100,50,602,441", big, {100, 50}},
        {"200,0,1,522,377,1024,768", big, {522, 377}},
        // Size and show state in the value do not matter.
        {"200,2,3,100,50,0,0", big, {100, 50}},
        // Stored on a larger screen: pulled back onto this one.
        {"200,0,1,400,40,902,431", small, {138, 40}},
        {"200,0,1,10,300,512,691", small, {10, 89}},
        {"200,0,1,900,700,1402,1091", small, {138, 89}},
        {"200,0,1,523,50,1025,441", big, {522, 50}},
        // Left of or above the screen: brought back so the title bar shows.
        {"200,0,1,-300,-20,202,371", big, {0, 0}},
        {"200,0,1,2147483647,-2147483648,0,0", big, {522, 0}},
        // Not of the stored form: centred, halves rounded towards zero.
        {"", big, {261, 188}},
        {"", small, {69, 44}},
        {"199,0,1,100,50,602,441", big, {261, 188}},
        {"2000,0,1,100,50,602,441", big, {261, 188}},
        {" 200,0,1,100,50,602,441", big, {261, 188}},
        {"200,0,1,100,50,602", big, {261, 188}},
        {"200,0,1,100,50,602,441,9", big, {261, 188}},
        {"200,0,1,x,50,602,441", big, {261, 188}},
        {"200,0,1,100,5.5,602,441", big, {261, 188}},
        {"200,0,1,99999999999,50,602,441", big, {261, 188}},
        {"200;0;1;100;50;602;441", big, {261, 188}},
        // A screen smaller than the window: the top-left corner stays on it.
        {"", QRect(0, 0, 400, 300), {-51, -45}},
        {"200,0,1,30,30,532,421", QRect(0, 0, 400, 300), {0, 0}},
        // A screen that does not start at 0,0.
        {"200,0,1,100,50,602,441", QRect(1280, 0, 1024, 768), {1280, 50}},
        {"", QRect(1280, 0, 1024, 768), {1541, 188}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.stored) + " on " + std::to_string(c.screen.width()) + "x" +
                     std::to_string(c.screen.height()));
        EXPECT_EQ(PlaceWindow(c.stored, frame, c.screen), c.expected);
    }
}

class KeptWindow : public QWidget {
public:
    explicit KeptWindow(PositionKeeper& keeper) : keeper_(keeper) {}

protected:
    void showEvent(QShowEvent* event) override {
        keeper_.Restore(*this);
        QWidget::showEvent(event);
    }

private:
    PositionKeeper& keeper_;
};

TEST(WindowPosition, KeeperMovesAndStoresARealWindow) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    ASSERT_EQ(screen->geometry(), QRect(0, 0, 800, 800)) << "the offscreen platform's screen";
    // The offscreen platform draws a 2-pixel frame: the window's frame is
    // 504 x 370, and that is what is placed and stored.
    struct Case {
        const char* stored;  // nullptr: nothing stored
        QPoint shownAt;
    };
    const Case cases[] = {
        {nullptr, {148, 215}},
        {"200,0,1,40,30,544,400", {40, 30}},
        {"200,0,1,700,500,1204,870", {296, 430}},
        {"200,0,1,700,30,1204,400", {296, 30}},
        {"200,0,1,40,600,544,970", {40, 430}},
        {"201,0,1,40,30,544,400", {148, 215}},
        {"200,0,1,40,30", {148, 215}},
        {"200,0,1,forty,30,544,400", {148, 215}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "(nothing stored)");
        ConfigHome home;
        if (c.stored) Settings().WriteString("Common", "MainForm", c.stored);
        QPoint movedTo;
        QSize frame;
        {
            PositionKeeper keeper(Settings(), "Common", "MainForm");
            // Restored when first shown, as the main window does it.
            KeptWindow window(keeper);
            window.setFixedSize(500, 366);
            window.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
            frame = window.frameGeometry().size();
            ASSERT_EQ(frame, QSize(504, 370));
            EXPECT_EQ(window.frameGeometry().topLeft(), c.shownAt);
            // A second show (after a minimise, say) leaves the window alone.
            movedTo = c.shownAt + QPoint(7, 9);
            window.move(movedTo);
            keeper.Restore(window);
            EXPECT_EQ(window.frameGeometry().topLeft(), movedTo);
            keeper.Save(window);
        }
        EXPECT_EQ(home.FromDisk().ReadString("common", "mainform", ""),
                  QString("200,0,1,%1,%2,%3,%4")
                      .arg(movedTo.x())
                      .arg(movedTo.y())
                      .arg(movedTo.x() + frame.width())
                      .arg(movedTo.y() + frame.height()));
    }
}

TEST(WindowPosition, NeverShownWindowKeepsTheStoredPlace) {
    ConfigHome home;
    Settings().WriteString("common", "mainform", "200,0,1,40,30,540,396");
    const QByteArray before = home.StoreBytes();
    {
        QWidget window;
        window.setFixedSize(500, 366);
        PositionKeeper keeper(Settings(), "Common", "MainForm");
        keeper.Save(window);
    }
    EXPECT_EQ(home.StoreBytes(), before);
}

// ---------------------------------------------------------------------------
// Through the main window: what one run leaves, the next one starts with.

constexpr char kProgramDir[] = QG_PROGRAM_DIR;

using test::ScriptedWindows;

QToolButton* Button(TMainForm& form, const char* name) { return form.findChild<QToolButton*>(name); }

// A corner of the board that no puzzle covers: it shows the puzzle's own
// sheet, so it tells which puzzle is on screen.
constexpr QPoint kBoardCorner{3, 3};

std::uint32_t SheetCorner(int game) {
    QImage sheet(QString(kProgramDir) + Record(game).sheetFile);
    return sheet.convertToFormat(QImage::Format_RGB32).pixel(kBoardCorner) | 0xFF000000u;
}

TEST(SettingsAtStart, FormCreateReadsTheStoredValues) {
    struct Expect {
        int tongue = -1, mode = 0, pmode = 1, cmode = 1;
        bool sound = true, music = true;
    };
    struct Case {
        const char* file;  // nullptr: first start, no file
        Expect expect;
    };
    const Case cases[] = {
        {nullptr, {}},
        {"", {}},
        {"[common]\ntongue=1\nmode=1\npmode=2\ncmode=3\nsound=0\nmusic=0\n", {1, 1, 2, 3, false, false}},
        {"[common]\npmode=7\ncmode=9\n", {-1, 0, 3, 4, true, true}},
        {"[common]\npmode=0\ncmode=0\n", {}},
        {"[common]\npmode=-5\ncmode=-5\n", {}},
        {"[common]\nsound=2\nmusic=-1\n", {}},
        {"[common]\nsound=abc\nmusic=\n", {}},
        {"[common]\ntongue=\nmode=\npmode=\ncmode=\nsound=\nmusic=\n", {}},
        {"[common]\ntongue=99999999999\nmode=99999999999\npmode=99999999999\n", {}},
        {"[common]\nmode=1,2\npmode=2,3\nsound=0,0\n", {}},
        {"[common]\nmode=7\n", {}},
        {"[common]\nmode=-1\n", {}},
        {"[common]\ntongue=0\nmode=3\ncmode=2\n", {0, 3, 1, 2, true, true}},
        {"[common]\ntongue=5\nmode=2\n", {5, 2, 1, 1, true, true}},
        {"[Common]\nMode=3\nPMode=3\nCMODE=4\nSound=0\nTongue=1\n", {1, 3, 3, 4, false, true}},
        {"[highscore]\nmode=2\n[common]\npmode=2\n", {-1, 0, 2, 1, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file ? c.file : "(no file)");
        ConfigHome home;
        if (c.file) home.WriteStore(c.file);
        TMainForm form(kProgramDir);
        ASSERT_TRUE(form.FormCreate());
        EXPECT_EQ(form.Language(), c.expect.tongue);
        EXPECT_EQ(form.GameIndex(), c.expect.mode);
        EXPECT_EQ(form.game().OptionOf(kPellora), c.expect.pmode);
        EXPECT_EQ(form.game().OptionOf(kCirrela), c.expect.cmode);
        EXPECT_EQ(Button(form, "SoundBtn")->isChecked(), c.expect.sound);
        EXPECT_EQ(Button(form, "MidiBtn")->isChecked(), c.expect.music);
        // The player sees the stored puzzle's board.
        form.boxPaint();
        EXPECT_EQ(form.box()->Screen().pixel(kBoardCorner.x(), kBoardCorner.y()), SheetCorner(c.expect.mode));
    }
}

TEST(SettingsAtStart, OneRunLeavesWhatTheNextStartsWith) {
    ConfigHome home;
    const QPoint placedAt(123, 77);
    {
        ScriptedWindows windows;
        TMainForm form(kProgramDir, &windows);
        ASSERT_TRUE(form.FormCreate());
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        // PELLORA one size up, CIRRELA two levels up, then CIRRELA stays.
        Button(form, "PelloraBtn")->click();
        ASSERT_EQ(form.GameIndex(), kPellora);
        form.OptionBtnMouseDown(20, 2);
        Button(form, "CirrelaBtn")->click();
        ASSERT_EQ(form.GameIndex(), kCirrela);
        form.OptionBtnMouseDown(20, 2);
        form.OptionBtnMouseDown(20, 2);
        Button(form, "SoundBtn")->click();
        form.move(placedAt);
        EXPECT_TRUE(form.close());
    }
    const Settings disk = home.FromDisk();
    EXPECT_EQ(disk.ReadString("common", "mode", ""), "3");
    EXPECT_EQ(disk.ReadString("common", "pmode", ""), "2");
    EXPECT_EQ(disk.ReadString("common", "cmode", ""), "3");
    EXPECT_EQ(disk.ReadString("common", "sound", ""), "0");
    EXPECT_EQ(disk.ReadString("common", "music", ""), "1");
    EXPECT_EQ(disk.ReadString("common", "tongue", ""), "-1");
    EXPECT_EQ(disk.ReadString("Common", "MainForm", ""), "200,0,1,123,77,627,447");  // a 504 x 370 frame

    ScriptedWindows windows;
    TMainForm form(kProgramDir, &windows);
    ASSERT_TRUE(form.FormCreate());
    EXPECT_EQ(form.GameIndex(), kCirrela);
    EXPECT_EQ(form.game().OptionOf(kPellora), 2);
    EXPECT_EQ(form.game().OptionOf(kCirrela), 3);
    EXPECT_FALSE(Button(form, "SoundBtn")->isChecked());
    EXPECT_TRUE(Button(form, "MidiBtn")->isChecked());
    EXPECT_TRUE(Button(form, "CirrelaBtn")->isChecked());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.frameGeometry().topLeft(), placedAt);
    EXPECT_EQ(form.box()->Screen().pixel(kBoardCorner.x(), kBoardCorner.y()), SheetCorner(kCirrela));
}

TEST(SettingsAtStart, LanguageChosenOnceIsKept) {
    struct Case {
        const char* what;
        std::optional<int> choice;  // nothing: window closed without a choice
        const char* stored;
        bool askedAgain;
    };
    const Case cases[] = {
        {"German", 1, "1", false},
        {"English", 0, "0", false},
        {"closed without a choice", std::nullopt, "-1", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConfigHome home;
        {
            ScriptedWindows windows;
            windows.languageChoice = c.choice;
            TMainForm form(kProgramDir, &windows);
            ASSERT_TRUE(form.FormCreate());
            form.show();
            ASSERT_TRUE(QTest::qWaitFor([&] { return windows.Count("language") > 0; }));
            EXPECT_EQ(windows.Count("language"), 1);
            form.close();
        }
        EXPECT_EQ(home.FromDisk().ReadString("common", "tongue", ""), c.stored);

        ScriptedWindows windows;
        TMainForm form(kProgramDir, &windows);
        ASSERT_TRUE(form.FormCreate());
        EXPECT_EQ(form.Language(), c.choice.value_or(-1));
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        // The language question follows the splash at the first activation.
        ASSERT_TRUE(QTest::qWaitFor([&] { return windows.Count("splash") > 0; }));
        EXPECT_EQ(windows.Count("language"), c.askedAgain ? 1 : 0);
    }
}

// Two games on one store, both started from the same file: each close
// writes only what its own run changed, so the other game's changes survive;
// a value both changed holds the one closed last.
TEST(SettingsAtExit, TwoGamesKeepEachOthersChanges) {
    using Change = std::function<void(TMainForm&, ScriptedWindows&)>;
    const Change soundOffPellora = [](TMainForm& f, ScriptedWindows&) {
        Button(f, "SoundBtn")->click();
        Button(f, "PelloraBtn")->click();
    };
    const Change germanCirrela2 = [](TMainForm& f, ScriptedWindows& w) {
        w.languageChoice = 1;
        Button(f, "TongueBtn")->click();
        Button(f, "CirrelaBtn")->click();
        f.OptionBtnMouseDown(20, 2);
    };
    const Change cirrela3 = [](TMainForm& f, ScriptedWindows&) {
        Button(f, "CirrelaBtn")->click();
        f.OptionBtnMouseDown(20, 2);
        f.OptionBtnMouseDown(20, 2);
    };
    const Change nothing = [](TMainForm&, ScriptedWindows&) {};
    struct Case {
        const char* what;
        Change a, b;
        bool aClosesFirst;
        const char* mode;
        const char* cmode;
        const char* sound;
        const char* tongue;
    };
    const Case cases[] = {
        {"different values, A first", soundOffPellora, germanCirrela2, true, "3", "2", "0", "1"},
        {"different values, B first", soundOffPellora, germanCirrela2, false, "1", "2", "0", "1"},
        {"the same value, A first", germanCirrela2, cirrela3, true, "3", "3", "1", "1"},
        {"the same value, B first", germanCirrela2, cirrela3, false, "3", "2", "1", "1"},
        {"one game changed nothing, closing last", soundOffPellora, nothing, true, "1", "1", "0", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConfigHome home;
        home.WriteStore("[common]\nmode=0\npmode=1\ncmode=1\nsound=1\nmusic=1\ntongue=0\n");
        ScriptedWindows windowsA, windowsB;
        TMainForm a(kProgramDir, &windowsA), b(kProgramDir, &windowsB);
        ASSERT_TRUE(a.FormCreate());
        ASSERT_TRUE(b.FormCreate());
        c.a(a, windowsA);
        c.b(b, windowsB);
        TMainForm& first = c.aClosesFirst ? a : b;
        TMainForm& last = c.aClosesFirst ? b : a;
        first.SaveSettings();
        last.SaveSettings();
        const Settings disk = home.FromDisk();
        EXPECT_EQ(disk.ReadString("common", "mode", ""), c.mode);
        EXPECT_EQ(disk.ReadString("common", "pmode", ""), "1");
        EXPECT_EQ(disk.ReadString("common", "cmode", ""), c.cmode);
        EXPECT_EQ(disk.ReadString("common", "sound", ""), c.sound);
        EXPECT_EQ(disk.ReadString("common", "music", ""), "1");
        EXPECT_EQ(disk.ReadString("common", "tongue", ""), c.tongue);
    }
}

// A hand-written file keeps every byte through a run that changes one value:
// comments, a stray line, CR LF, a value over two lines, other spellings,
// the window place and the high scores.
TEST(SettingsAtExit, OneChangeLeavesEveryOtherByte) {
    const QByteArray before =
        "; kept by hand\r\n[common]\r\nMode=1\r\n"
        "junk line without equals\r\n"
        "pmode=2\r\ncmode=3 \r\n\r\n# music next\r\nmusic=1\r\nsound=1\r\ntongue=0\r\n"
        "MainForm=\"10,20,0,0\"\r\nx=a\\\r\nb\r\n"
        "[highscore]\r\nplayer=Ann\r\ntorv0=\"xyz,1\"\r\n"
        "[COMMON]\r\nSOUND=1\r\n";
    // Sound off: its line changes in place and its other spelling goes;
    // nothing else moves.
    const QByteArray after =
        "; kept by hand\r\n[common]\r\nMode=1\r\n"
        "junk line without equals\r\n"
        "pmode=2\r\ncmode=3 \r\n\r\n# music next\r\nmusic=1\r\nsound=0\r\ntongue=0\r\n"
        "MainForm=\"10,20,0,0\"\r\nx=a\\\r\nb\r\n"
        "[highscore]\r\nplayer=Ann\r\ntorv0=\"xyz,1\"\r\n"
        "[COMMON]\r\n";
    ConfigHome home;
    home.WriteStore(before);
    ScriptedWindows windows;
    TMainForm form(kProgramDir, &windows);
    ASSERT_TRUE(form.FormCreate());
    Button(form, "SoundBtn")->click();
    form.SaveSettings();
    EXPECT_EQ(home.StoreBytes(), after);
    // A second close with nothing new changes nothing.
    form.SaveSettings();
    EXPECT_EQ(home.StoreBytes(), after);
}

// ---------------------------------------------------------------------------
// The game's settings on their own.

TEST(GameSettings, EachValueReadsAsStoredOrItsDefault) {
    struct Case {
        const char* what;
        QByteArray file;
        int language, gameIndex;
        bool sound, music;
        int pellora, cirrela;
        const char* place;
    };
    const Case cases[] = {
        {"no file", "(none)", -1, 0, true, true, 1, 1, ""},
        {"every value", "[common]\nmode=2\npmode=3\ncmode=4\nsound=0\nmusic=0\ntongue=1\nmainform=\"1,2,3,4\"\n", 1, 2,
         false, false, 3, 4, "1,2,3,4"},
        {"any case, bools other than 1", "[COMMON]\nMODE=3\nSound=7\nMusic=-1\n", -1, 3, true, true, 1, 1, ""},
        {"no whole numbers", "[common]\nmode=x\ntongue=1.5\npmode=\ncmode=99999999999\nsound=\n", -1, 0, true, true, 1,
         1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConfigHome home;
        if (c.file != "(none)") home.WriteStore(c.file);
        Settings store;
        GameSettings settings(store, kPuzzles);
        settings.Load();
        EXPECT_EQ(settings.language(), c.language);
        EXPECT_EQ(settings.gameIndex(), c.gameIndex);
        EXPECT_EQ(settings.sound(), c.sound);
        EXPECT_EQ(settings.music(), c.music);
        EXPECT_EQ(settings.option(Record(kPellora)), c.pellora);
        EXPECT_EQ(settings.option(Record(kCirrela)), c.cirrela);
        EXPECT_EQ(settings.option(Record(kTorvane)), Record(kTorvane).optionMin);  // no option to keep
        EXPECT_EQ(settings.windowPlace(), c.place);
    }
}

TEST(GameSettings, SaveWritesWhatTheRunChangedAndWhatTheFileLacks) {
    const QByteArray full = "[common]\nmode=1\npmode=2\ncmode=3\nsound=1\nmusic=1\ntongue=0\n";
    using Step = std::function<void(GameSettings&)>;
    const Step nothing = [](GameSettings&) {};
    struct Case {
        const char* what;
        QByteArray before;
        Step takeUp;    // the run's state as it takes its settings up
        QByteArray meanwhile;  // another game's file, written before the save ("" for none)
        Step change;    // then the run changes
        QByteArray after;
    };
    const Case cases[] = {
        {"nothing changed", full, nothing, "", nothing, full},
        {"the file lacks some", "[common]\nsound=0\n", nothing, "", nothing,
         "[common]\nsound=0\nmode=0\npmode=1\ncmode=1\nmusic=1\ntongue=-1\n"},
        {"one change", full, nothing, "", [](GameSettings& s) { s.setMusic(false); },
         "[common]\nmode=1\npmode=2\ncmode=3\nsound=1\nmusic=0\ntongue=0\n"},
        {"every change", full, nothing, "",
         [](GameSettings& s) {
             s.setGameIndex(3);
             s.setOption(Record(kPellora), 4);
             s.setOption(Record(kCirrela), 5);
             s.setSound(false);
             s.setMusic(false);
             s.setLanguage(1);
         },
         "[common]\nmode=3\npmode=4\ncmode=5\nsound=0\nmusic=0\ntongue=1\n"},
        {"a value put right at the start goes back", "[common]\nmode=9\npmode=2\ncmode=3\nsound=1\nmusic=1\ntongue=0\n",
         [](GameSettings& s) { s.setGameIndex(0); }, "", nothing, "[common]\nmode=0\npmode=2\ncmode=3\nsound=1\nmusic=1\ntongue=0\n"},
        {"another game's change stays", full, nothing, "[common]\nmode=2\npmode=2\ncmode=3\nsound=1\nmusic=1\ntongue=1\n",
         [](GameSettings& s) { s.setSound(false); },
         "[common]\nmode=2\npmode=2\ncmode=3\nsound=0\nmusic=1\ntongue=1\n"},
        {"where both changed one, this save wins", full, nothing,
         "[common]\nmode=2\npmode=2\ncmode=3\nsound=1\nmusic=1\ntongue=0\n", [](GameSettings& s) { s.setGameIndex(3); },
         "[common]\nmode=3\npmode=2\ncmode=3\nsound=1\nmusic=1\ntongue=0\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConfigHome home;
        home.WriteStore(c.before);
        Settings store;
        GameSettings settings(store, kPuzzles);
        settings.Load();
        c.takeUp(settings);
        settings.TakeUp();
        if (!c.meanwhile.isEmpty()) home.WriteStore(c.meanwhile);
        c.change(settings);
        ASSERT_TRUE(settings.Save());
        EXPECT_EQ(home.StoreBytes(), c.after);
    }
}

TEST(GameSettings, NothingIsWrittenBeforeTheRunTookItsSettingsUp) {
    ConfigHome home;
    Settings store;
    GameSettings settings(store, kPuzzles);
    settings.Load();
    settings.setSound(false);
    EXPECT_TRUE(settings.Save());
    EXPECT_EQ(home.StoreBytes(), "(no file)");
    settings.TakeUp();
    settings.setSound(true);
    EXPECT_TRUE(settings.Save());
    EXPECT_EQ(home.StoreBytes(), "[common]\nmode=0\npmode=1\ncmode=1\nsound=1\nmusic=1\ntongue=-1\n");
}

// A second save of one run (a logout that was cancelled, then the close)
// writes nothing that another game changed in between.
TEST(SettingsAtExit, SecondSaveOfARunWritesOnlyNewChanges) {
    ConfigHome home;
    home.WriteStore("[common]\nmode=0\nsound=1\n");
    ScriptedWindows windows;
    TMainForm form(kProgramDir, &windows);
    ASSERT_TRUE(form.FormCreate());
    Button(form, "SoundBtn")->click();
    form.SaveSettings();
    EXPECT_EQ(home.FromDisk().ReadString("common", "sound", ""), "0");
    ASSERT_TRUE(Settings().WriteString("common", "sound", "1"));  // the other game
    form.SaveSettings();
    EXPECT_EQ(home.FromDisk().ReadString("common", "sound", ""), "1");
}

// ---------------------------------------------------------------------------
// Start-up without a usable sheet: the box says which file, why and where,
// in the stored language, and nothing is written.

TEST(StartUpError, NamesTheSheetWhyAndWhere) {
    // TORVANE's sheet, the one shown first.
    const QString sheetFile = QString::fromLatin1(Record(kTorvane).sheetFile);
    const auto Named = [&](const char* text) { return QString::fromUtf8(text).arg(sheetFile); };
    struct Case {
        const char* what;
        const char* stored;  // the settings file
        std::function<void(const QString& sheet)> breakSheet;
        QStringList says;
    };
    const auto writeBytes = [](QByteArray bytes) {
        return [bytes](const QString& sheet) {
            QFile f(sheet);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(bytes);
        };
    };
    QByteArray half;
    {
        QFile f(QString(kProgramDir) + sheetFile);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        half = f.readAll();
        half.truncate(half.size() / 2);
    }
    QByteArray rle = half.left(54);
    rle[28] = 8, rle[30] = 1;  // 8 bits, RLE8
    const Case cases[] = {
        {"missing", "[common]\ntongue=0\n", [](const QString& sheet) { QFile::remove(sheet); },
         {"Not enough memory! Program aborted.", Named("The picture file \"%1\" is missing."), "Looked for in: "}},
        {"missing, in German", "[common]\ntongue=1\n", [](const QString& sheet) { QFile::remove(sheet); },
         {"Zuwenig Speicher! Programm wird beendet.", Named("Die Bilddatei \"%1\" fehlt."), "Gesucht in: "}},
        {"a FIFO", "", [](const QString& sheet) {
             QFile::remove(sheet);
             ::mkfifo(QFile::encodeName(sheet).constData(), 0600);
         },
         {"Not enough memory! Program aborted.", Named("\"%1\" is not a regular file.")}},
        {"cut in half", "", writeBytes(half), {Named("\"%1\" is damaged.")}},
        {"compressed", "[common]\ntongue=1\n", writeBytes(rle), {Named("\"%1\" hat ein Format"), "24- oder 32-Bit"}},
        {"too small", "", writeBytes(QByteArray::fromHex("424d3a0000000000000036000000280000000100000001000000010018000000000004000000130b0000130b00000000000000000000ffffff00")),
         {Named("\"%1\" is smaller than 500 x 383 pixels.")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConfigHome home;
        home.WriteStore(c.stored);
        const QByteArray storedBefore = home.StoreBytes();
        QTemporaryDir dir;
        for (const PuzzleRecord& r : kPuzzles) QFile::copy(QString(kProgramDir) + r.sheetFile, dir.filePath(r.sheetFile));
        c.breakSheet(dir.filePath(sheetFile));

        ScriptedWindows windows;
        TMainForm form(dir.path() + "/", &windows);
        EXPECT_FALSE(form.FormCreate());
        ASSERT_EQ(windows.errors.size(), 1u);
        const QString text = QString::fromStdString(windows.errors.front());
        for (const QString& part : c.says) EXPECT_TRUE(text.contains(part)) << text.toStdString();
        if (!c.says.front().contains(sheetFile)) {
            EXPECT_TRUE(text.contains(dir.path())) << text.toStdString();
        }
        // Nothing written.
        form.close();
        EXPECT_EQ(home.StoreBytes(), storedBefore);
    }
}

// ---------------------------------------------------------------------------
// The real game ended by a signal saves as a confirmed close does.

// Whether the process has a handler for the signal (its start-up has got
// that far).
bool Catches(qint64 pid, int signal) {
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return false;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:")) return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    return false;
}

TEST(SettingsAtExit, TerminationSignalSavesLikeAClose) {
    struct Case {
        const char* what;
        int signal;
    };
    const Case cases[] = {{"SIGTERM (logout)", SIGTERM}, {"SIGINT (Ctrl+C)", SIGINT}, {"SIGHUP (terminal closed)", SIGHUP}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConfigHome home;
        home.WriteStore("[common]\nmode=2\ntongue=1\ncmode=9\n\n[highscore]\nplayer=Ann\n");
        QProcess game;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", home.Config());
        env.insert("HOME", home.Home());
        game.setProcessEnvironment(env);
        game.start(QString(kProgramDir) + "quirko-gyrelle", {});
        ASSERT_TRUE(game.waitForStarted());
        ASSERT_TRUE(QTest::qWaitFor([&] { return Catches(game.processId(), c.signal); }, 60000));
        ::kill(static_cast<pid_t>(game.processId()), c.signal);
        ASSERT_TRUE(game.waitForFinished(60000));
        EXPECT_EQ(game.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(game.exitCode(), 0);
        // Every value of a close, the level clamped as read, the window's
        // place, and the rest kept.
        EXPECT_EQ(home.StoreBytes(),
                  "[common]\nmode=2\ntongue=1\ncmode=4\npmode=1\nsound=1\nmusic=1\n"
                  "mainform=\"200,0,1,148,215,652,585\"\n\n[highscore]\nplayer=Ann\n");
    }
}

}  // namespace
}  // namespace qg
