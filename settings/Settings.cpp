#include "settings/Settings.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QUuid>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <limits>
#include <map>
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

// Files being written carry this mark after the store's name.
constexpr char kDraftMark[] = ".new-";
constexpr char kLockMark[] = ".writer-lock";

// Held while one writer reads, changes and replaces the file. The system
// drops it when the writer ends, however it ends, so a killed writer never
// leaves a lock behind that the next one would have to judge stale (which
// QLockFile cannot always do without waiting half a minute).
class WriterLock {
public:
    explicit WriterLock(const QString& file)
        : fd_(::open(QFile::encodeName(file).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (fd_ < 0) return;
        // Where the file system has no such locks, write unguarded rather
        // than not at all.
        while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~WriterLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;
    bool Held() const { return fd_ >= 0; }

private:
    int fd_;
};

// Drafts of writers that were killed; no other writer is at work while the
// lock is held.
void RemoveLeftovers(const QString& folder, const QString& prefix) {
    const QDir dir(folder);
    for (const QString& f : dir.entryList({prefix + '*'}, QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(dir.filePath(f));
}

// QSettings knows a file it has read by its size and time to the
// millisecond: a new file must not look like the one it replaces, even when
// both are written within the same millisecond.
void MakeNewerThan(const QString& file, const QString& old) {
    const QFileInfo oldInfo(old);
    if (!oldInfo.exists()) return;
    const QDateTime oldTime = oldInfo.lastModified();
    if (QFileInfo(file).lastModified() > oldTime) return;
    QFile f(file);
    if (f.open(QIODevice::ReadOnly)) f.setFileTime(oldTime.addMSecs(1), QFileDevice::FileModificationTime);
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
    const bool landed = Replace(section, name, text);
    NoteWrite(path_, landed);
    return landed;
}

bool Settings::WriteStrings(const QString& section, const QList<QPair<QString, QString>>& values) {
    bool landed = true;
    for (const auto& [name, text] : values) landed = WriteString(section, name, text) && landed;
    return landed;
}

bool Settings::Replace(const QString& section, const QString& name, const QString& text) const {
    const QFileInfo target(path_);
    const QString folder = target.absolutePath();
    if (path_.isEmpty() || !QDir().mkpath(folder)) return false;
    if (target.exists() && !target.isFile()) return false;

    // One writer at a time, across processes: each one reads the file,
    // changes one value and puts a whole new file in its place.
    const WriterLock lock(path_ + kLockMark);
    if (!lock.Held()) return false;
    RemoveLeftovers(folder, target.fileName() + kDraftMark);

    const QString stem = path_ + kDraftMark + QUuid::createUuid().toString(QUuid::Id128);
    const QString draft = stem + "-draft";
    const QString whole = stem + "-whole";
    auto giveUp = [&] {
        for (const QString& f : {draft, draft + ".lock", whole}) QFile::remove(f);
        return false;
    };

    std::map<QString, QVariant> expected;
    {
        const QSettings current(path_, QSettings::IniFormat);
        QSettings edit(draft, QSettings::IniFormat);
        for (const QString& key : current.allKeys()) edit.setValue(key, current.value(key));
        // One value per name: other spellings of it go, so that reading
        // finds what was written last.
        const QString own = Canonical(section) + '/' + Canonical(name);
        for (const QString& key : MatchingKeys(edit, section, name)) edit.remove(key);
        edit.setValue(own, text);
        edit.sync();
        if (edit.status() != QSettings::NoError) return giveUp();
        for (const QString& key : edit.allKeys()) expected[key] = edit.value(key);
    }
    // QSettings takes a write cut short by a full disk for a whole one: read
    // the draft back, under a name it has not seen, before it counts.
    if (!QFile::rename(draft, whole)) return giveUp();
    {
        const QSettings check(whole, QSettings::IniFormat);
        if (check.status() != QSettings::NoError) return giveUp();
        std::map<QString, QVariant> found;
        for (const QString& key : check.allKeys()) found[key] = check.value(key);
        if (found != expected) return giveUp();
    }
    MakeNewerThan(whole, path_);
    // The old file stays in place until the new one replaces it in one step.
    if (std::rename(QFile::encodeName(whole).constData(), QFile::encodeName(path_).constData()) != 0)
        return giveUp();
    return true;
}

}  // namespace qg
