// The high-score tables without widgets: the cipher, ranking, and the stored
// form of a table in a settings file of the test's own.

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "highscores/HighscoreTable.h"
#include "highscores/ScoreCipher.h"
#include "settings/Settings.h"

namespace qg {
namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

// --- The cipher -----------------------------------------------------------

TEST(ScoreCipher, RoundTripKeepsEveryRecordAndItsLength) {
    ScoreCipher cipher;
    cipher.Init(QString(), 0);
    const QString longName(300, QChar('x'));
    const QString cases[] = {
        QString(),
        Q("0,Mr. Brain"),
        Q("42,Smith, John, Jr."),            // commas in the name
        Q("137,Jürgen Größe ÅÉÎõ ß"),        // accented letters
        Q("-5,;#=[]\"\\ @Variant"),          // what an INI file treats specially
        Q("12,\xF0\x9F\x98\x80 smile"),      // a character beyond 16 bits
        Q("7,") + longName,                   // cut to 255 first
    };
    for (const QString& record : cases) {
        SCOPED_TRACE(record.left(40).toStdString());
        const QString cut = CutRecord(record);
        EXPECT_LE(cut.size(), kRecordLimit);
        const QString scrambled = cipher.Encode(cut);
        EXPECT_EQ(scrambled.size(), cut.size());
        EXPECT_EQ(cipher.Decode(scrambled), cut);
        // Outside the alphabet nothing changes: blanks, punctuation, umlauts.
        for (qsizetype i = 0; i < cut.size(); ++i) {
            if (!ScoreCipher::DefaultAlphabet().contains(cut[i])) {
                EXPECT_EQ(scrambled[i], cut[i]) << "at " << i;
            }
        }
    }
    EXPECT_EQ(CutRecord(Q("7,") + longName).size(), 255);
    // A cut never leaves half of a character behind.
    EXPECT_EQ(CutRecord(QString(254, QChar('a')) + Q("\xF0\x9F\x98\x80")), QString(254, QChar('a')));
}

// x87's own pi, to check the one the vectors below were derived with.
long double FpuPi() {
    long double pi;
    asm("fldpi" : "=t"(pi));
    return pi;
}

// The shift sequence from the stated arithmetic, with long double and every
// result stored through a volatile double, or (for comparison) with doubles
// only.
std::vector<int> Shifts(int key, int n, int count, bool extended) {
    std::vector<int> shifts;
    if (extended) {
        volatile double x = std::fabs(static_cast<long double>(key) / FpuPi());
        for (int j = 0; j < count; ++j) {
            x = x - std::trunc(static_cast<long double>(x));
            shifts.push_back(static_cast<int>(std::trunc(static_cast<long double>(n) * x)));
            x = static_cast<long double>(x) * 997.0L + FpuPi();
        }
    } else {
        volatile double x = std::fabs(key / 3.141592653589793);
        for (int j = 0; j < count; ++j) {
            x = x - std::trunc(x);
            volatile double nx = n * x;
            shifts.push_back(static_cast<int>(std::trunc(nx)));
            volatile double prod = x * 997.0;
            x = prod + 3.141592653589793;
        }
    }
    return shifts;
}

TEST(ScoreCipher, KnownVectorsFollowTheExtendedPrecisionArithmetic) {
    ScoreCipher cipher;
    cipher.Init(QString(), 0);
    EXPECT_EQ(cipher.Key(), 48071);
    // FLDPI's pi is the 64-bit mantissa rounded to nearest.
    EXPECT_EQ(FpuPi(), 0xC.90FDAA22168C235p-2L);

    // Worked out with exact fractions, rounding to 64 and then 53 bits of
    // mantissa at every step: 48071 / pi = 15301.6..., so the first shift is
    // trunc(62 * 0.47...) = 29 and "A" becomes the 30th letter, "d".
    const std::vector<int> first{29, 15, 5, 46, 56, 7, 27, 48, 0, 13, 28, 46, 12, 44, 20, 38, 59, 43, 7, 0};
    const std::vector<int> extended = Shifts(48071, 62, 255, true);
    EXPECT_EQ(std::vector<int>(extended.begin(), extended.begin() + 20), first);
    // Doubles alone part ways after a dozen characters: the precision matters.
    EXPECT_NE(Shifts(48071, 62, 255, false), extended);

    struct Vector {
        const char* plain;
        const char* scrambled;
    };
    const Vector vectors[] = {
        {"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", "dPFu4HbwANcuMsUm7rHAEFkt1zc3AcyKSsgtczUk"},
        {"9999999999999999999999999999999999999999", "cOEt3Gav9MbtLrTl6qG9DEjs0yb29bxJRrfsbyTj"},
        {"0,Mr. Brain", "T,Rb. cdavF"},
        {"137,Jürgen, der Große", "UIC,DüISe0, pMB DYvßi"},
    };
    for (const Vector& v : vectors) {
        SCOPED_TRACE(v.plain);
        EXPECT_EQ(cipher.Encode(Q(v.plain)), Q(v.scrambled));
        EXPECT_EQ(cipher.Decode(Q(v.scrambled)), Q(v.plain));
    }
    // The in-test sequence agrees far beyond the worked-out part.
    const QString plain(255, QChar('A'));
    const QString scrambled = cipher.Encode(plain);
    for (int j = 0; j < 255; ++j) EXPECT_EQ(scrambled[j], ScoreCipher::DefaultAlphabet()[extended[j]]) << "at " << j;
}

TEST(ScoreCipher, InitTakesDefaultsAndClampsTheKey) {
    struct Case {
        int key;
        int expected;
    };
    const Case cases[] = {{0, 48071}, {5, 5}, {-5, 5}, {2147482863, 2147482863}, {INT_MAX, 2147482863},
                          {-INT_MAX, 2147482863}, {INT_MIN, 2147482863}};
    for (const Case& c : cases) {
        ScoreCipher cipher;
        cipher.Init(QString(), c.key);
        EXPECT_EQ(cipher.Key(), c.expected) << c.key;
        // Whatever the key, Decode undoes Encode.
        EXPECT_EQ(cipher.Decode(cipher.Encode(Q("31415,Ada"))), Q("31415,Ada")) << c.key;
    }
    ScoreCipher small;
    small.Init(Q("abc"), 5);
    EXPECT_EQ(small.Encode(Q("abcabcabc")), Q("babbccabc"));  // worked out like the vectors above
    ScoreCipher huge;
    huge.Init(QString(300, QChar('q')), 1);
    EXPECT_EQ(huge.Alphabet().size(), 255);
    ScoreCipher big;
    big.Init(QString(), 2147482863);
    EXPECT_EQ(big.Encode(Q("0,Mr. Brain")), Q("h,rg. htJmQ"));
}

// --- Ranking --------------------------------------------------------------

TEST(HighscoreTable, RanksNewTimesBelowEqualOnes) {
    struct Case {
        const char* what;
        std::vector<int> before;
        int time;
        int index;  // -1: does not qualify
        std::vector<int> after;
    };
    const Case cases[] = {
        {"into an empty table", {0, 0, 0, 0, 0}, 50, 0, {50, 0, 0, 0, 0}},
        {"after the filled ones", {10, 20, 0, 0, 0}, 50, 2, {10, 20, 50, 0, 0}},
        {"tie with the 3rd goes to rank 4", {10, 20, 30, 40, 50}, 30, 3, {10, 20, 30, 30, 40}},
        {"tie with the 5th does not qualify", {10, 20, 30, 40, 50}, 50, -1, {10, 20, 30, 40, 50}},
        {"slower than all does not qualify", {10, 20, 30, 40, 50}, 51, -1, {10, 20, 30, 40, 50}},
        {"better than all", {10, 20, 30, 40, 50}, 9, 0, {9, 10, 20, 30, 40}},
        {"tie with the 1st", {10, 20, 30, 40, 50}, 10, 1, {10, 10, 20, 30, 40}},
        {"no time at all", {10, 0, 0, 0, 0}, 0, -1, {10, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Built through the ranking itself, each entry named after its time.
        HighscoreTable table;
        for (int t : c.before)
            if (t > 0) table.Rank(t, QString::number(t));
        const std::optional<int> at = table.Rank(c.time, Q("new"));
        EXPECT_EQ(at.value_or(-1), c.index);
        for (int i = 0; i < kHighscoreEntries; ++i) {
            EXPECT_EQ(table.Time(i), c.after[static_cast<std::size_t>(i)]) << "entry " << i;
            const QString name = i == c.index ? Q("new") : c.after[static_cast<std::size_t>(i)] == 0 ? Q("Mr. Brain")
                                                                                                   : QString::number(table.Time(i));
            EXPECT_EQ(table.Name(i), name) << "entry " << i;
        }
    }
}

// --- Storage --------------------------------------------------------------

class StoredTable : public ::testing::Test {
protected:
    QString Path() const { return dir_.filePath("V1.ini"); }
    QByteArray File() const {
        QFile f(Path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void Store(const QString& name, const QString& plainRecord) {
        settings_.WriteString(kHighscoreSection, name, cipher_.Encode(plainRecord));
    }

    QTemporaryDir dir_;
    Settings settings_{Path()};
    ScoreCipher cipher_;
};

TEST_F(StoredTable, SaveWritesPlainPlayerAndScrambledRecordsThatLoadBack) {
    HighscoreTable table;
    table.Rank(85, Q("Zoë, the quick"));
    table.Rank(120, Q(""));
    table.Rank(85, QString(300, QChar('w')));
    ASSERT_TRUE(table.Save(settings_, cipher_, Q("pell2"), Q("Zoë, the quick")));

    EXPECT_EQ(ReadPlayerName(settings_), Q("Zoë, the quick"));
    EXPECT_EQ(settings_.ReadString(kHighscoreSection, Q("pell20"), QString()), cipher_.Encode(Q("85,Zoë, the quick")));
    EXPECT_EQ(settings_.ReadString(kHighscoreSection, Q("pell23"), QString()), cipher_.Encode(Q("0,Mr. Brain")));
    // Nobody reads the names off the file.
    EXPECT_FALSE(File().contains("Brain")) << File().toStdString();

    HighscoreTable loaded;
    ASSERT_FALSE(loaded.Load(settings_, cipher_, Q("pell2")));
    const std::vector<int> times{85, 85, 120, 0, 0};
    const QStringList names{Q("Zoë, the quick"), QString(255 - 3, QChar('w')), Q(""), Q("Mr. Brain"), Q("Mr. Brain")};
    for (int i = 0; i < kHighscoreEntries; ++i) {
        EXPECT_EQ(loaded.Time(i), times[static_cast<std::size_t>(i)]) << i;
        EXPECT_EQ(loaded.Name(i), names[i]) << i;
    }
    // The other eight tables know nothing of it.
    for (const char* key : {"torv", "pell1", "pell3", "nubb", "cirr1", "cirr2", "cirr3", "cirr4"}) {
        HighscoreTable other;
        other.Rank(1, Q("x"));
        ASSERT_FALSE(other.Load(settings_, cipher_, Q(key)));
        EXPECT_EQ(other.Time(0), 0) << key;
        EXPECT_EQ(other.Name(0), Q("Mr. Brain")) << key;
    }
}

TEST_F(StoredTable, AwkwardNamesComeBackAsTyped) {
    const QStringList names{Q(""), Q("  blanks  "), Q("@Variant(x)"), Q("a;b#c=d"), Q("\"quoted\""), Q("back\\slash"),
                            Q("tab\there"), Q("Ærøskøbing"), Q("[section]")};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        HighscoreTable table;
        table.Rank(9, name);
        ASSERT_TRUE(table.Save(settings_, cipher_, Q("torv"), name));
        EXPECT_EQ(ReadPlayerName(settings_), name);
        HighscoreTable loaded;
        ASSERT_FALSE(loaded.Load(settings_, cipher_, Q("torv")));
        EXPECT_EQ(loaded.Name(0), name);
        EXPECT_EQ(loaded.Time(0), 9);
    }
}

TEST_F(StoredTable, LoadTakesMissingValuesAsEmptyAndKeepsTheStoredOrder) {
    Store(Q("nubb0"), Q("90,late"));
    Store(Q("nubb2"), Q("30,early,with,commas"));
    settings_.WriteString(kHighscoreSection, Q("nubb3"), QString());  // empty: an empty entry
    HighscoreTable table;
    ASSERT_FALSE(table.Load(settings_, cipher_, Q("nubb")));
    const std::vector<int> times{90, 0, 30, 0, 0};
    const QStringList names{Q("late"), Q("Mr. Brain"), Q("early,with,commas"), Q("Mr. Brain"), Q("Mr. Brain")};
    for (int i = 0; i < kHighscoreEntries; ++i) {
        EXPECT_EQ(table.Time(i), times[static_cast<std::size_t>(i)]) << i;
        EXPECT_EQ(table.Name(i), names[i]) << i;
    }
    EXPECT_EQ(ReadPlayerName(settings_), Q("Mr. Brain"));
    settings_.WriteString(kHighscoreSection, Q("player"), QString());
    EXPECT_EQ(ReadPlayerName(settings_), QString());  // an empty name stays empty
}

TEST_F(StoredTable, UnreadableRecordStopsLoadingAndNamesTheEntry) {
    struct Case {
        const char* what;
        const char* record;
    };
    const Case cases[] = {
        {"no comma", "12 Mr. Brain"},
        {"time not a number", "12a,Bob"},
        {"no time", ",Bob"},
        {"time beyond 32 bits", "99999999999,Bob"},
        // Times the game never writes: the clock shows six digits, no sign,
        // no leading zeros.
        {"negative time", "-5,Negative"},
        {"time beyond the clock", "1000000,Huge"},
        {"the largest 32-bit time", "2147483647,Huge"},
        {"a plus sign and zeros", "+0000012,Padded"},
        {"a leading zero", "012,Padded"},
        {"blanks around the time", " 12,Bob"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Store(Q("cirr30"), Q("5,fine"));
        Store(Q("cirr31"), Q(c.record));
        HighscoreTable table;
        table.Rank(77, Q("held before"));
        const std::optional<HighscoreLoadError> error = table.Load(settings_, cipher_, Q("cirr3"));
        ASSERT_TRUE(error);
        EXPECT_EQ(error->valueName, Q("cirr31"));
        EXPECT_EQ(error->index, 1);
        EXPECT_EQ(error->decoded, Q(c.record));
        // Nothing of the half-read table is taken.
        EXPECT_EQ(table.Time(0), 77);
        EXPECT_EQ(table.Name(0), Q("held before"));
    }
}

TEST_F(StoredTable, StoredValuesAreCutBeforeUnscrambling) {
    // A hand-made value longer than 255: the tail is never read.
    Store(Q("torv0"), Q("3,") + QString(253, QChar('n')) + Q("TAIL"));
    HighscoreTable table;
    ASSERT_FALSE(table.Load(settings_, cipher_, Q("torv")));
    EXPECT_EQ(table.Name(0), QString(253, QChar('n')));
}

}  // namespace
}  // namespace qg
