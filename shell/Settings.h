#pragma once
// The program's settings store, in place of the registry key
// "Software\QuirkoGames\QuirkoGyrelle\V1": sections are subkeys ("common",
// "highscore"), every value is text.

#include <QString>

namespace qg {

class Settings {
public:
    // The user's store.
    Settings();
    // A store in the given file (tests).
    explicit Settings(QString filePath);

    const QString& FilePath() const { return path_; }

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

private:
    QString path_;
};

}  // namespace qg
