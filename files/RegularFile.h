#pragma once
// Reading a whole file the game was told to read, without letting the file
// hold the game up or fill its memory: only a regular file is read, opened
// without waiting (a FIFO or device in its place is refused, never waited
// on) and judged on the open descriptor, and only up to a size limit.

#include <QByteArray>
#include <QString>

namespace qg {

enum class FileProblem {
    None,
    Missing,         // no such file
    NotRegularFile,  // a folder, FIFO, device... in its place
    Unreadable,      // no permission to read it, or a read error
    TooLarge,        // more bytes than the caller allows
};

struct FileRead {
    QByteArray bytes;  // empty unless problem is None
    FileProblem problem = FileProblem::None;
};

// The bytes of the regular file at `path`, at most maxBytes of them; a larger
// file is refused as a whole. A file that shrinks while it is read is taken
// as far as it goes.
FileRead ReadRegularFile(const QString& path, qint64 maxBytes);

}  // namespace qg
