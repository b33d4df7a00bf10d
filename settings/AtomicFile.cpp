#include "settings/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace qg::store {

namespace {

// Files being written carry this mark after the file's name.
constexpr char kDraftMark[] = ".new-";

// The rest of the file after what its size promised; a file may grow while
// it is read.
Problem ReadAll(int fd, QByteArray& bytes, qint64 maxBytes) {
    qsizetype got = 0;
    Problem p;
    for (;;) {
        if (got == bytes.size()) bytes.resize(got + 4096);  // it grew meanwhile
        const ssize_t r = ::read(fd, bytes.data() + got, static_cast<size_t>(bytes.size() - got));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            p = {Trouble::Unreadable, errno};
            break;
        }
        if (r == 0) break;
        got += r;
        if (got > maxBytes) {
            p = {Trouble::TooLarge, 0};
            break;
        }
    }
    bytes.truncate(got);
    return p;
}

Problem WriteAll(const QString& file, const QByteArray& bytes, mode_t mode) {
    const int fd = ::open(Native(file).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return {Trouble::WriteFailed, errno};
    Problem p;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t w = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            p = {Trouble::WriteFailed, w < 0 ? errno : ENOSPC};
            break;
        }
        done += w;
    }
    if (p.ok() && ::fchmod(fd, mode) != 0) p = {Trouble::WriteFailed, errno};
    if (p.ok() && ::fsync(fd) != 0) p = {Trouble::WriteFailed, errno};
    if (::close(fd) != 0 && p.ok()) p = {Trouble::WriteFailed, errno};
    return p;
}

void SyncFolder(const QString& folder) {
    if (const int dir = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

}  // namespace

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

Loaded LoadFile(const QString& path, const ReadRules& rules) {
    Loaded out;
    const int fd = ::open(Native(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        out.problem = {errno == ENOENT || errno == ENOTDIR ? Trouble::Missing : Trouble::Unreadable, errno};
        return out;
    }
    if (::fstat(fd, &out.info) != 0) out.problem = {Trouble::Unreadable, errno};
    else if (!S_ISREG(out.info.st_mode)) out.problem = {Trouble::NotRegular, 0};
    else if (out.info.st_size > rules.maxBytes) out.problem = {Trouble::TooLarge, 0};
    else {
        out.bytes.resize(static_cast<qsizetype>(out.info.st_size));
        out.problem = ReadAll(fd, out.bytes, rules.maxBytes);
        if (out.problem.ok() && !rules.isText(out.bytes)) out.problem = {Trouble::NotText, 0};
    }
    ::close(fd);
    if (!out.problem.ok()) out.bytes.clear();
    return out;
}

QString FollowLinks(const QString& path) {
    QString at = QFileInfo(path).absoluteFilePath();
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(Native(at).constData(), &info) != 0 || !S_ISLNK(info.st_mode)) return at;
        char buffer[4096];
        const ssize_t n = ::readlink(Native(at).constData(), buffer, sizeof buffer - 1);
        if (n <= 0) return at;
        const QString target = QFile::decodeName(QByteArray(buffer, n));
        at = QDir::cleanPath(QDir::isAbsolutePath(target) ? target : QFileInfo(at).absolutePath() + '/' + target);
    }
    return at;
}

void RemoveDrafts(const QString& target) {
    const QFileInfo info(target);
    const QDir dir(info.absolutePath());
    for (const QString& f : dir.entryList({info.fileName() + kDraftMark + '*'}, QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(dir.filePath(f));
}

Problem PutInPlace(const QString& target, const QByteArray& bytes, mode_t mode, const ReadRules& rules) {
    const QString draft = target + kDraftMark + QUuid::createUuid().toString(QUuid::Id128);
    auto giveUp = [&](Problem p) {
        QFile::remove(draft);
        return p;
    };
    if (const Problem p = WriteAll(draft, bytes, mode); !p.ok()) return giveUp(p);
    // What the disk holds is what counts: a short write that was not
    // reported would show here.
    {
        const Loaded check = LoadFile(draft, rules);
        if (!check.problem.ok()) return giveUp(check.problem);
        if (check.bytes != bytes) return giveUp({Trouble::NotAsWritten, 0});
    }
    // The old file stays in place until the new one replaces it in one step.
    if (::rename(Native(draft).constData(), Native(target).constData()) != 0)
        return giveUp({Trouble::WriteFailed, errno});
    SyncFolder(QFileInfo(target).absolutePath());
    return {};
}

mode_t NewFileMode() {
    const mode_t umaskNow = ::umask(0);
    ::umask(umaskNow);
    return 0666 & ~umaskNow;
}

}  // namespace qg::store
