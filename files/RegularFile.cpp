#include "files/RegularFile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace qg {

FileRead ReadRegularFile(const QString& path, qint64 maxBytes) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {{}, errno == ENOENT || errno == ENOTDIR ? FileProblem::Missing : FileProblem::Unreadable};
    FileRead out;
    struct stat info {};
    // Judged on what was opened, not on the name, which may change meanwhile.
    if (::fstat(fd, &info) != 0) out.problem = FileProblem::Unreadable;
    else if (!S_ISREG(info.st_mode)) out.problem = FileProblem::NotRegularFile;
    else if (info.st_size > maxBytes) out.problem = FileProblem::TooLarge;
    else {
        out.bytes.resize(static_cast<qsizetype>(info.st_size));
        qsizetype got = 0;
        while (got < out.bytes.size()) {
            const ssize_t r = ::read(fd, out.bytes.data() + got, static_cast<size_t>(out.bytes.size() - got));
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) out.problem = FileProblem::Unreadable;
            if (r <= 0) break;
            got += r;
        }
        out.bytes.truncate(got);  // a file that shrank meanwhile is judged by what it holds
    }
    ::close(fd);
    if (out.problem != FileProblem::None) out.bytes.clear();
    return out;
}

}  // namespace qg
