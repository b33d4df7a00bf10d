#pragma once
// The INI text of the settings file, as the store reads and edits it: the
// format QSettings reads and writes, names compared without regard to case.
// Nothing here touches the disk (exposed for tests and the fuzz target).

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace qg {

// How an unquoted comma in a stored value reads: as QSettings has it, it
// makes a list, which is no text; values that hold commas by nature (and
// that a hand edit may have lost the quotes of) take it as a comma.
enum class Commas { MakeAList, AreText };

// A value as it lies in the file.
struct StoredValue {
    bool present = false;        // a line for it exists
    std::optional<QString> text; // its text, when it reads as a single string
    // It ends in a backslash that joins the next line to it (or ends the
    // file): the game never writes one, a hand edit may.
    bool joinsLines = false;
};

// One value to write.
struct SettingValue {
    QString section, name, text;
};

namespace ini {
// What a value line's text (after the '=') holds, when it is a single
// string; nothing for lists and other types.
std::optional<QString> DecodeText(const QByteArray& raw, Commas commas = Commas::MakeAList);
// The text after the '=' that reads back as `text`.
QByteArray EncodeText(const QString& text);
// The value of section/name in the file's bytes.
std::optional<QString> Find(const QByteArray& file, const QString& section, const QString& name);
StoredValue Lookup(const QByteArray& file, const QString& section, const QString& name,
                   Commas commas = Commas::MakeAList);
// The file's bytes with the values set; every other line kept byte for byte.
QByteArray Edit(const QByteArray& file, const QList<SettingValue>& values);
// True when the file reads back every value as given (the last one given,
// where a name comes more than once).
bool GivesBack(const QByteArray& file, const QList<SettingValue>& values);
// False for bytes that are no INI text at all (binary data, UTF-16).
bool LooksLikeText(const QByteArray& file);
}  // namespace ini

}  // namespace qg
