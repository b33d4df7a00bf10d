#include "settings/Settings.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>
#include <set>
#include <utility>

#include "settings/AtomicFile.h"
#include "settings/WriterLock.h"

namespace qg {

namespace {

using namespace store;

constexpr char kStoreFolder[] = "QuirkoGames/QuirkoGyrelle";
constexpr char kStoreFile[] = "V1.ini";
constexpr char kLockMark[] = ".writer-lock";

constexpr ReadRules kReadRules{Settings::kMaxFileBytes, ini::LooksLikeText};

QString Cause(const Problem& p) {
    const QString why = p.err ? QString::fromLocal8Bit(std::strerror(p.err)) : QString();
    switch (p.trouble) {
    case Trouble::Unreadable: return "the file cannot be read (" + why + ")";
    case Trouble::NotRegular: return "it is not a regular file";
    case Trouble::TooLarge: return QString("the file is larger than %1 MB").arg(Settings::kMaxFileBytes >> 20);
    case Trouble::NotText: return "the file is not a text settings file (binary data or UTF-16)";
    case Trouble::ReadOnly: return "the file is read-only";
    case Trouble::Locked:
        return QString("another program has been writing it for more than %1 ms").arg(Settings::kLockWait.count());
    case Trouble::NoFolder: return "its folder cannot be created";
    case Trouble::WriteFailed:
        if (p.err == ENOSPC || p.err == EDQUOT || p.err == EFBIG) return "the disk is full (" + why + ")";
        if (p.err == EACCES || p.err == EPERM || p.err == EROFS) return "no write permission (" + why + ")";
        return why;
    case Trouble::NotAsWritten: return "the new file did not read back as written";
    default: return "unknown";
    }
}

// A store in trouble is reported once, not once per value; a write that
// lands again ends the trouble.
std::mutex reportMutex;
std::set<QString> reportedPaths;

void Report(const QString& path, const QString& text) {
    std::lock_guard lock(reportMutex);
    if (!reportedPaths.insert(path).second) return;
    std::fprintf(stderr, "quirko-gyrelle: %s\n", qPrintable(text));
    std::fflush(stderr);
}

void Landed(const QString& path) {
    std::lock_guard lock(reportMutex);
    reportedPaths.erase(path);
}

// The file as loaded may be replaced: it is missing, or a readable text file
// that its owner may write.
Problem MayReplace(const QString& target, const Loaded& current) {
    if (current.problem.trouble == Trouble::Missing) return {};
    if (!current.problem.ok()) return current.problem;
    if ((current.info.st_mode & 0222) == 0 || ::access(Native(target).constData(), W_OK) != 0)
        return {Trouble::ReadOnly, 0};
    return {};
}

// Writes the values into the file at path (through links) in one atomic
// replacement.
Problem Replace(const QString& path,
                const std::function<QList<Settings::Value>(const Settings::Snapshot&)>& change) {
    if (path.isEmpty()) return {Trouble::NoFolder, 0};
    const QString target = FollowLinks(path);
    if (!QDir().mkpath(QFileInfo(target).absolutePath())) return {Trouble::NoFolder, 0};

    // One writer at a time, across processes: each one reads the file,
    // changes its values and puts a whole new file in its place.
    const WriterLock lock(target + kLockMark, Settings::kLockWait);
    if (!lock.problem().ok()) return lock.problem();
    RemoveDrafts(target);

    const Loaded current = LoadFile(target, kReadRules);
    if (const Problem p = MayReplace(target, current); !p.ok()) return p;
    const bool exists = current.problem.ok();

    const QList<Settings::Value> values = change(Settings::Snapshot(current.bytes));
    if (values.isEmpty()) return {};
    const QByteArray next = ini::Edit(current.bytes, values);
    // Whatever the file held, the new one must give back what was written.
    if (!ini::GivesBack(next, values)) return {Trouble::NotAsWritten, 0};
    if (exists && next == current.bytes) return {};
    return PutInPlace(target, next, exists ? (current.info.st_mode & 07777) : NewFileMode(), kReadRules);
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
    if (path_.isEmpty()) return std::nullopt;
    const Loaded file = LoadFile(path_, kReadRules);
    if (file.problem.trouble == Trouble::Missing) return std::nullopt;
    if (file.problem.trouble != Trouble::None) {
        Report(path_, QString("cannot read the settings file %1: %2; playing with the default settings, "
                              "and the file is left as it is")
                          .arg(QDir::toNativeSeparators(path_), Cause(file.problem)));
        return std::nullopt;
    }
    return ini::Find(file.bytes, section, name);
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
    return WriteValues({{section, name, text}});
}

bool Settings::WriteStrings(const QString& section, const QList<QPair<QString, QString>>& values) {
    QList<Value> batch;
    for (const auto& [name, text] : values) batch.append({section, name, text});
    return WriteValues(batch);
}

StoredValue Settings::Lookup(const QString& section, const QString& name, Commas commas) const {
    if (path_.isEmpty()) return {};
    const Loaded file = LoadFile(path_, kReadRules);
    if (file.problem.trouble == Trouble::Missing) return {};
    if (file.problem.trouble != Trouble::None) {
        (void)ReadText(section, name);  // says why, once
        return {};
    }
    return ini::Lookup(file.bytes, section, name, commas);
}

StoredValue Settings::Snapshot::Lookup(const QString& section, const QString& name, Commas commas) const {
    return ini::Lookup(file_, section, name, commas);
}

QString Settings::Snapshot::ReadString(const QString& section, const QString& name,
                                       const QString& defaultValue) const {
    return Lookup(section, name).text.value_or(defaultValue);
}

bool Settings::WriteValues(const QList<Value>& values) {
    if (values.isEmpty()) return true;
    return Update([&](const Snapshot&) { return values; });
}

bool Settings::Update(const std::function<QList<Value>(const Snapshot& now)>& change) {
    const Problem p = Replace(path_, change);
    if (p.trouble == Trouble::None) {
        Landed(path_);
        return true;
    }
    Report(path_, QString("cannot save the settings to %1: %2; the file keeps its previous contents")
                      .arg(QDir::toNativeSeparators(path_), Cause(p)));
    return false;
}

}  // namespace qg
