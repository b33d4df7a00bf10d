#include "settings/WriterLock.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace qg::store {

WriterLock::WriterLock(const QString& file, std::chrono::milliseconds wait)
    : fd_(::open(QFile::encodeName(file).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    // A lock file made by another user can still be locked for reading.
    if (fd_ < 0 && errno == EACCES) fd_ = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        problem_ = {Trouble::WriteFailed, errno};
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return;
        if (errno == EINTR) continue;
        // Where the file system has no such locks, write unguarded rather
        // than not at all.
        if (errno != EWOULDBLOCK) return;
        if (std::chrono::steady_clock::now() >= deadline) {
            problem_ = {Trouble::Locked, 0};
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

WriterLock::~WriterLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace qg::store
