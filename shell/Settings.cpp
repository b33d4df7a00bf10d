#include "shell/Settings.h"

#include <utility>

namespace qg {

// For now a store that holds nothing: every read gives its default.
Settings::Settings() = default;
Settings::Settings(QString filePath) : path_(std::move(filePath)) {}

int Settings::ReadInteger(const QString&, const QString&, int defaultValue) const { return defaultValue; }
bool Settings::ReadBool(const QString& section, const QString& name, bool defaultValue) const {
    return ReadInteger(section, name, defaultValue ? 1 : 0) != 0;
}
QString Settings::ReadString(const QString&, const QString&, const QString& defaultValue) const { return defaultValue; }

bool Settings::WriteInteger(const QString&, const QString&, int) { return true; }
bool Settings::WriteBool(const QString& section, const QString& name, bool value) {
    return WriteInteger(section, name, value ? 1 : 0);
}
bool Settings::WriteString(const QString&, const QString&, const QString&) { return true; }

}  // namespace qg
