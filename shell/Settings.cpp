#include "shell/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include <sys/stat.h>

#include <cstdio>
#include <limits>
#include <mutex>
#include <set>
#include <utility>

namespace qg {

namespace {

constexpr char kStoreFolder[] = "QuirkoGames/QuirkoGyrelle";
constexpr char kStoreFile[] = "V1.ini";

// Names are stored in lower case; files edited by hand may use any case.
QString Canonical(const QString& name) { return name.toLower(); }

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// Every key of the store that names section/name in some spelling, the
// program's own spelling first.
QStringList MatchingKeys(QSettings& store, const QString& section, const QString& name) {
    QStringList keys;
    const QString own = Canonical(section) + '/' + Canonical(name);
    for (const QString& group : store.childGroups()) {
        if (!SameName(group, section)) continue;
        store.beginGroup(group);
        const QStringList names = store.childKeys();
        store.endGroup();
        for (const QString& key : names) {
            if (!SameName(key, name)) continue;
            const QString full = group + '/' + key;
            if (full == own) keys.prepend(full);
            else keys.append(full);
        }
    }
    return keys;
}

// Which file a path names right now. A successful atomic write puts a new
// file in place, so the identity changes with every write that lands.
struct FileIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

FileIdentity IdentityOf(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return {};
    return {true, info.st_dev, info.st_ino};
}

// A failing store is reported once, not once per value; a write that lands
// again ends the failure.
std::mutex failingMutex;
std::set<QString> failingPaths;

void NoteWrite(const QString& path, bool landed) {
    std::lock_guard lock(failingMutex);
    if (landed) {
        failingPaths.erase(path);
        return;
    }
    if (!failingPaths.insert(path).second) return;
    std::fprintf(stderr,
                 "quirko-gyrelle: cannot save the settings to %s (no write permission or disk full); "
                 "the file keeps its previous contents\n",
                 qPrintable(QDir::toNativeSeparators(path)));
    std::fflush(stderr);
}

}  // namespace

std::optional<int> ParseWholeNumber(const QString& text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) return std::nullopt;
    // Accumulated as a negative number, so that the lowest int fits too.
    long long value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 - (c.unicode() - '0');
        if (value < std::numeric_limits<int>::min()) return std::nullopt;
    }
    if (!negative) {
        value = -value;
        if (value > std::numeric_limits<int>::max()) return std::nullopt;
    }
    return static_cast<int>(value);
}

Settings::Settings() : path_(DefaultFilePath()) {}
Settings::Settings(QString filePath) : path_(std::move(filePath)) {}

QString Settings::DefaultFilePath() {
    // An unset, empty or relative XDG_CONFIG_HOME means ~/.config.
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + "/.config";
    return QDir::cleanPath(base + '/' + kStoreFolder + '/' + kStoreFile);
}

std::optional<QString> Settings::ReadText(const QString& section, const QString& name) const {
    // QSettings itself would not create the file either, but a missing file
    // needs no parsing at all.
    if (path_.isEmpty() || !QFileInfo(path_).isFile()) return std::nullopt;
    QSettings store(path_, QSettings::IniFormat);
    const QStringList keys = MatchingKeys(store, section, name);
    if (keys.isEmpty()) return std::nullopt;
    const QVariant value = store.value(keys.front());
    if (value.typeId() != QMetaType::QString) return std::nullopt;
    return value.toString();
}

int Settings::ReadInteger(const QString& section, const QString& name, int defaultValue) const {
    const std::optional<QString> text = ReadText(section, name);
    if (!text) return defaultValue;
    return ParseWholeNumber(*text).value_or(defaultValue);
}

bool Settings::ReadBool(const QString& section, const QString& name, bool defaultValue) const {
    return ReadInteger(section, name, defaultValue ? 1 : 0) != 0;
}

QString Settings::ReadString(const QString& section, const QString& name, const QString& defaultValue) const {
    return ReadText(section, name).value_or(defaultValue);
}

bool Settings::WriteInteger(const QString& section, const QString& name, int value) {
    return WriteString(section, name, QString::number(value));
}

bool Settings::WriteBool(const QString& section, const QString& name, bool value) {
    return WriteInteger(section, name, value ? 1 : 0);
}

bool Settings::WriteString(const QString& section, const QString& name, const QString& text) {
    const FileIdentity before = IdentityOf(path_);
    QSettings store(path_, QSettings::IniFormat);
    // Never write in place: a temporary file renamed over the old one.
    store.setAtomicSyncRequired(true);
    // One value per name: other spellings of it go, so that reading finds
    // what was written last.
    const QStringList keys = MatchingKeys(store, section, name);
    const QString own = Canonical(section) + '/' + Canonical(name);
    for (const QString& key : keys) {
        if (key != own) store.remove(key);
    }
    store.setValue(own, text);
    store.sync();

    bool landed = store.status() == QSettings::NoError;
    if (store.status() == QSettings::FormatError) {
        // A damaged file hides whether the rewrite worked; a new file in
        // place of the old one says that it did.
        const FileIdentity after = IdentityOf(path_);
        landed = after.exists && after != before;
    }
    NoteWrite(path_, landed);
    return landed;
}

}  // namespace qg
