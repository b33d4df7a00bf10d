#pragma once
// The program's settings store, in place of the registry key
// "Software\QuirkoGames\QuirkoGyrelle\V1": sections are subkeys ("common",
// "highscore"), every value is text.
//
// One INI file, $XDG_CONFIG_HOME/QuirkoGames/QuirkoGyrelle/V1.ini (or
// ~/.config/... when XDG_CONFIG_HOME is unset). Section and value names are
// compared without regard to case, as registry names are. Reading never
// creates anything; every write replaces the whole file atomically, so a kill
// at any moment leaves either the old file or the new one. A write that fails
// leaves the old file as it was and says so in one line on stderr.

#include <QList>
#include <QPair>
#include <QString>

#include <optional>

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
    // Several values of one section, in the given order.
    bool WriteStrings(const QString& section, const QList<QPair<QString, QString>>& values);

private:
    // The stored text, or nothing when the value is missing or is not a
    // single string (a hand-edited unquoted "a,b" reads back as a list).
    std::optional<QString> ReadText(const QString& section, const QString& name) const;
    bool Replace(const QString& section, const QString& name, const QString& text) const;

    QString path_;
};

// An optional sign and decimal digits, nothing else, within 32 bits.
std::optional<int> ParseWholeNumber(const QString& text);

}  // namespace qg
