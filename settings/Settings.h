#pragma once
// The program's settings store, in place of the registry key
// "Software\QuirkoGames\QuirkoGyrelle\V1": sections are subkeys ("common",
// "highscore"), every value is text.
//
// One INI file, $XDG_CONFIG_HOME/QuirkoGames/QuirkoGyrelle/V1.ini (or
// ~/.config/... when XDG_CONFIG_HOME is unset), in the format QSettings
// reads and writes. Section and value names are compared without regard to
// case, as registry names are. Reading never creates anything.
//
// Writing edits the file's text: the lines of the values written are
// replaced or added, every other byte stays as it was. Each write (of one
// value or of a whole batch) replaces the file atomically, so a kill at any
// moment leaves either the old file or the new one. A symbolic link is
// written through to its target.
//
// A file that exists but cannot be read, is not text (binary, UTF-16), is
// not a regular file, is read-only or is huge is never replaced: reads give
// the defaults (or what a read-only file holds), writes are refused. A write
// waits at most kLockWait for another writer. Every refusal is reported once
// per file on stderr, naming the file and the cause, until a write lands.

#include <QList>
#include <QPair>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

#include "settings/IniText.h"

namespace qg {

class Settings {
public:
    // The user's store.
    Settings();
    // A store in the given file (tests).
    explicit Settings(QString filePath);

    const QString& FilePath() const { return path_; }
    // Where the user's store lives, from the environment as it is now.
    static QString DefaultFilePath();

    // How long a write waits while another writer holds the file.
    static constexpr std::chrono::milliseconds kLockWait{1500};
    // Files larger than this are left alone.
    static constexpr qint64 kMaxFileBytes = 64LL << 20;

    // The default when the section or value is missing or its text is not a
    // whole decimal number in 32-bit range.
    int ReadInteger(const QString& section, const QString& name, int defaultValue) const;
    // The integer read with default 1 or 0; true when not 0.
    bool ReadBool(const QString& section, const QString& name, bool defaultValue) const;
    QString ReadString(const QString& section, const QString& name, const QString& defaultValue) const;

    // Each returns false when the store refused the write.
    bool WriteInteger(const QString& section, const QString& name, int value);
    bool WriteBool(const QString& section, const QString& name, bool value);
    bool WriteString(const QString& section, const QString& name, const QString& text);
    // Several values of one section, in the given order, in one replacement:
    // afterwards the file holds all of them or, when refused, none.
    bool WriteStrings(const QString& section, const QList<QPair<QString, QString>>& values);

    // The value as stored, told apart from a missing one.
    StoredValue Lookup(const QString& section, const QString& name, Commas commas = Commas::MakeAList) const;

    using Value = SettingValue;
    // Values of several sections in one replacement.
    bool WriteValues(const QList<Value>& values);

    // The file as it was at one moment.
    class Snapshot {
    public:
        explicit Snapshot(QByteArray file) : file_(std::move(file)) {}
        StoredValue Lookup(const QString& section, const QString& name, Commas commas = Commas::MakeAList) const;
        QString ReadString(const QString& section, const QString& name, const QString& defaultValue) const;

    private:
        QByteArray file_;
    };
    // Read, change and write as one step that no other writer (in this or
    // another process) comes between: `change` sees the file as it is now
    // and gives the values to write, none to write nothing. False when the
    // store refused the write; `change` is not asked when the file cannot
    // be written at all.
    bool Update(const std::function<QList<Value>(const Snapshot& now)>& change);

private:
    // The stored text, or nothing when the value is missing or is not a
    // single string (a hand-edited unquoted "a,b" reads back as a list).
    std::optional<QString> ReadText(const QString& section, const QString& name) const;

    QString path_;
};

// An optional sign and decimal digits, nothing else, within 32 bits.
std::optional<int> ParseWholeNumber(const QString& text);

}  // namespace qg
