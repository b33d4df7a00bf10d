#include "settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStringDecoder>
#include <QUuid>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

namespace qg {

namespace {

constexpr char kStoreFolder[] = "QuirkoGames/QuirkoGyrelle";
constexpr char kStoreFile[] = "V1.ini";

// Files being written carry this mark after the store's name.
constexpr char kDraftMark[] = ".new-";
constexpr char kLockMark[] = ".writer-lock";

// Names are stored in lower case; files edited by hand may use any case.
QString Canonical(const QString& name) { return name.toLower(); }

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// ---------------------------------------------------------------------------
// The INI text, line by line.

constexpr char kHex[] = "0123456789ABCDEF";

bool IsHexDigit(char16_t c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Section and value names: letters, digits, '_', '-' and '.' as they are,
// '/' as '\', everything else as %XX or %UXXXX.
QByteArray EncodeKey(const QString& key) {
    QByteArray out;
    for (const QChar qc : key) {
        const char16_t c = qc.unicode();
        if (c == '/') out += '\\';
        else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
                 c == '.')
            out += char(c);
        else if (c <= 0xFF) out += '%', out += kHex[c / 16], out += kHex[c % 16];
        else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
        }
    }
    return out;
}

QString DecodeKey(QByteArrayView key) {
    QString out;
    qsizetype i = 0;
    while (i < key.size()) {
        const char c = key[i];
        if (c == '\\') {
            out += '/';
            ++i;
        } else if (c == '%' && i + 1 < key.size() && key[i + 1] == 'U') {
            qsizetype j = i + 2;
            char16_t value = 0;
            while (j < key.size() && j < i + 6 && HexValue(key[j]) >= 0) value = char16_t(value * 16 + HexValue(key[j++]));
            if (j == i + 2) out += QString::fromUtf8(key.sliced(i, 2)), j = i + 2;
            else out += QChar(value);
            i = j;
        } else if (c == '%') {
            qsizetype j = i + 1;
            int value = 0;
            while (j < key.size() && j < i + 3 && HexValue(key[j]) >= 0) value = value * 16 + HexValue(key[j++]);
            if (j == i + 1) out += '%';
            else out += QChar(char16_t(value));
            i = j;
        } else {
            qsizetype j = i;
            while (j < key.size() && key[j] != '\\' && key[j] != '%') ++j;
            out += QString::fromUtf8(key.sliced(i, j - i));
            i = j;
        }
    }
    return out;
}

QByteArrayView Trimmed(QByteArrayView s) {
    while (!s.isEmpty() && (s.front() == ' ' || s.front() == '\t')) s = s.sliced(1);
    while (!s.isEmpty() && (s.back() == ' ' || s.back() == '\t')) s.chop(1);
    return s;
}

struct Line {
    enum Kind { Blank, Comment, Section, Key, Odd };
    qsizetype begin = 0, end = 0;  // its bytes, the line break included
    Kind kind = Odd;
    QString name;       // Section: the section; Key: the value's name
    QString section;    // Key: the section it lies in ("" before the first)
    qsizetype valueBegin = 0, valueEnd = 0;  // Key: the text after the '=', in the file
    QByteArray lineBreak;  // the line's own break; empty for a last line without one
};

// A backslash takes the next byte with it, line breaks too: a value may go
// on over several lines.
QList<Line> SplitLines(const QByteArray& file) {
    QList<Line> lines;
    QString section;
    qsizetype i = 0;
    const qsizetype n = file.size();
    while (i < n) {
        Line line;
        line.begin = i;
        qsizetype contentEnd = n;
        while (i < n) {
            const char c = file[i++];
            if (c == '\\') {
                if (i < n) {
                    const char e = file[i++];
                    if ((e == '\n' || e == '\r') && i < n && (file[i] == '\n' || file[i] == '\r') && file[i] != e) ++i;
                }
                continue;
            }
            if (c == '\n' || c == '\r') {
                contentEnd = i - 1;
                if (i < n && (file[i] == '\n' || file[i] == '\r') && file[i] != c) ++i;
                line.lineBreak = file.mid(contentEnd, i - contentEnd);
                break;
            }
        }
        line.end = i;
        QByteArrayView content(file.constData() + line.begin, contentEnd - line.begin);
        if (line.begin == 0 && content.startsWith("\xEF\xBB\xBF")) content = content.sliced(3);
        const QByteArrayView trimmed = Trimmed(content);
        if (trimmed.isEmpty()) {
            line.kind = Line::Blank;
        } else if (trimmed.front() == ';' || trimmed.front() == '#') {
            line.kind = Line::Comment;
        } else if (trimmed.front() == '[' && trimmed.indexOf(']') > 0) {
            line.kind = Line::Section;
            const QByteArrayView inner = Trimmed(trimmed.sliced(1, trimmed.indexOf(']') - 1));
            line.name = SameName(QString::fromUtf8(inner), "general") ? QString() : DecodeKey(inner);
            section = line.name;
        } else if (const qsizetype eq = trimmed.indexOf('='); eq > 0) {
            line.kind = Line::Key;
            line.name = DecodeKey(Trimmed(trimmed.first(eq)));
            line.section = section;
            line.valueBegin = trimmed.sliced(eq + 1).data() - file.constData();
            line.valueEnd = trimmed.data() + trimmed.size() - file.constData();
        }
        lines.append(line);
    }
    return lines;
}

// The line that holds section/name: the program's own spelling (the last
// one, as later lines win), else the first of any other spelling.
qsizetype FindLine(const QList<Line>& lines, const QString& section, const QString& name) {
    const QString ownSection = Canonical(section), ownName = Canonical(name);
    qsizetype own = -1, other = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line& l = lines[i];
        if (l.kind != Line::Key || !SameName(l.section, section) || !SameName(l.name, name)) continue;
        if (l.section == ownSection && l.name == ownName) own = i;
        else if (other < 0) other = i;
    }
    return own >= 0 ? own : other;
}

}  // namespace

namespace ini {
std::optional<QString> DecodeText(const QByteArray& raw, Commas commas);
}

namespace {

StoredValue LookupIn(const QByteArray& file, const QList<Line>& lines, const QString& section, const QString& name,
                     Commas commas) {
    const qsizetype at = FindLine(lines, section, name);
    if (at < 0) return {};
    const QByteArray raw = file.mid(lines[at].valueBegin, lines[at].valueEnd - lines[at].valueBegin);
    bool joins = false;
    for (qsizetype i = 0; i < raw.size(); ++i)
        if (raw[i] == '\\') {
            joins = joins || i + 1 == raw.size() || raw[i + 1] == '\n' || raw[i + 1] == '\r';
            ++i;
        }
    return {true, ini::DecodeText(raw, commas), joins};
}

std::optional<QString> FindIn(const QByteArray& file, const QList<Line>& lines, const QString& section,
                              const QString& name) {
    return LookupIn(file, lines, section, name, Commas::MakeAList).text;
}

// Ends the text's last line, so that what follows starts a line of its own.
// A backslash at the end takes the next line break with it, and an escaped
// CR takes an LF after it too, so one break may not be enough.
void EndLastLine(QByteArray& out, const QByteArray& eol) {
    while (!out.isEmpty() && SplitLines(out).back().lineBreak.isEmpty()) out += eol;
}

void ChopTrailingSpaces(QString& s, qsizetype limit) {
    while (s.size() > limit && (s.back() == ' ' || s.back() == '\t')) s.chop(1);
}

}  // namespace

namespace ini {

std::optional<QString> DecodeText(const QByteArray& raw, Commas commas) {
    // The unescaping QSettings applies: quotes, backslash escapes, and
    // unquoted commas that make a list.
    static constexpr char kEscapes[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},  {'r', '\r'}, {'t', '\t'},
                                           {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    QString current;
    // One decoder for the whole value, as QSettings has it: a byte order
    // mark is dropped only at the value's very start.
    QStringDecoder fromUtf8(QStringDecoder::Utf8);
    bool isList = false, inQuotes = false, quoted = false;
    qsizetype i = 0;
    const qsizetype n = raw.size();
    while (i < n && (raw[i] == ' ' || raw[i] == '\t')) ++i;
    qsizetype chopLimit = 0;
    while (i < n) {
        const char c = raw[i];
        if (c == '\\') {
            ++i;
            if (i >= n) break;
            const char e = raw[i++];
            bool named = false;
            for (const auto& esc : kEscapes)
                if (e == esc[0]) {
                    current += QLatin1Char(esc[1]);
                    named = true;
                    break;
                }
            if (named) {
                chopLimit = current.size();
                continue;
            }
            if (e == 'x' || (e >= '0' && e <= '7')) {
                const int base = e == 'x' ? 16 : 8;
                char16_t value = e == 'x' ? 0 : char16_t(e - '0');
                if (e == 'x' && !(i < n && IsHexDigit(raw[i]))) {
                    chopLimit = current.size();
                    continue;
                }
                while (i < n) {
                    const int d = HexValue(raw[i]);
                    if (d < 0 || d >= base) break;
                    value = char16_t(value * base + d);
                    ++i;
                }
                current += QChar(value);
            } else if (e == '\n' || e == '\r') {
                if (i < n && (raw[i] == '\n' || raw[i] == '\r') && raw[i] != e) ++i;
            }
            chopLimit = current.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                while (i < n && (raw[i] == ' ' || raw[i] == '\t')) ++i;
        } else if (c == ',' && !inQuotes && commas == Commas::MakeAList) {
            // A list: not a text value, whatever follows.
            isList = true;
            break;
        } else if (c == ',') {
            current += QLatin1Char(',');
            ++i;
        } else {
            qsizetype j = i + 1;
            while (j < n && raw[j] != '\\' && raw[j] != '"' && raw[j] != ',') ++j;
            current += fromUtf8(QByteArrayView(raw.constData() + i, j - i));
            i = j;
        }
    }
    if (isList) return std::nullopt;
    if (!quoted) ChopTrailingSpaces(current, chopLimit);

    // Values of other types carry an @-mark; a text that starts with '@'
    // has it doubled.
    if (current.startsWith('@')) {
        if (current.endsWith(')')) {
            if (current.startsWith("@String(")) return current.sliced(8).chopped(1);
            for (const char* other : {"@ByteArray(", "@Variant(", "@DateTime(", "@Rect(", "@Size(", "@Point("})
                if (current.startsWith(QLatin1String(other))) return std::nullopt;
            if (current == "@Invalid()") return std::nullopt;
        }
        if (current.startsWith("@@")) return current.sliced(1);
    }
    return current;
}

QByteArray EncodeText(const QString& text) {
    QString marked = text;
    if (marked.contains(QChar::Null)) marked = "@String(" + marked + ')';
    else if (marked.startsWith('@')) marked.prepend('@');

    // The escaping QSettings applies, so that it reads the value back too.
    QByteArray out;
    QString plain;  // characters taken as they are, in UTF-8
    auto flush = [&] {
        out += plain.toUtf8();
        plain.clear();
    };
    bool needsQuotes = false, escapeNextIfDigit = false;
    for (const QChar qc : marked) {
        const char16_t c = qc.unicode();
        if (c == ';' || c == ',' || c == '=') needsQuotes = true;
        if (escapeNextIfDigit && IsHexDigit(c)) {
            out += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        escapeNextIfDigit = false;
        const char* named = nullptr;
        switch (c) {
        case '\a': named = "\\a"; break;
        case '\b': named = "\\b"; break;
        case '\f': named = "\\f"; break;
        case '\n': named = "\\n"; break;
        case '\r': named = "\\r"; break;
        case '\t': named = "\\t"; break;
        case '\v': named = "\\v"; break;
        case '"': named = "\\\""; break;
        case '\\': named = "\\\\"; break;
        default: break;
        }
        if (named) {
            flush();
            out += named;
        } else if (c == 0) {
            flush();
            out += "\\0";
            escapeNextIfDigit = true;
        } else if (c <= 0x1F || c == 0xFEFF) {
            // Control characters, and a byte order mark, which a reader
            // may drop.
            flush();
            out += "\\x" + QByteArray::number(c, 16);
            escapeNextIfDigit = true;
        } else {
            plain += qc;
        }
    }
    flush();
    if (needsQuotes || (!out.isEmpty() && (out.front() == ' ' || out.back() == ' '))) out = '"' + out + '"';
    return out;
}

std::optional<QString> Find(const QByteArray& file, const QString& section, const QString& name) {
    const QList<Line> lines = SplitLines(file);
    return FindIn(file, lines, section, name);
}

StoredValue Lookup(const QByteArray& file, const QString& section, const QString& name, Commas commas) {
    return LookupIn(file, SplitLines(file), section, name, commas);
}

QByteArray Edit(const QByteArray& file, const QList<Settings::Value>& values) {
    // One value per name, the last one given; in the order first given.
    struct Target {
        QString section, name;  // the program's own spelling
        QByteArray line;        // "name=text"
        qsizetype keep = -1;    // the line rewritten in place, if any
    };
    QList<Target> targets;
    for (const Settings::Value& v : values) {
        Target t{Canonical(v.section), Canonical(v.name), EncodeKey(Canonical(v.name)) + '=' + EncodeText(v.text)};
        auto same = std::find_if(targets.begin(), targets.end(),
                                 [&](const Target& o) { return o.section == t.section && o.name == t.name; });
        if (same != targets.end()) same->line = t.line;
        else targets.append(t);
    }

    const QList<Line> lines = SplitLines(file);
    const QByteArray eol = file.contains("\r\n") ? "\r\n" : "\n";
    // Each name keeps one line: its line in the program's own spelling is
    // rewritten in place; every other spelling goes.
    for (Target& t : targets) {
        const qsizetype at = FindLine(lines, t.section, t.name);
        if (at >= 0 && lines[at].section == t.section && lines[at].name == t.name) t.keep = at;
    }
    // New values go after the last line of their section in the program's
    // spelling, or into a new section at the end.
    QMap<QString, qsizetype> sectionEnd;
    {
        QString current;
        bool inSection = false;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const Line& l = lines[i];
            if (l.kind == Line::Section) current = l.name, inSection = true;
            if (inSection && (l.kind == Line::Section || l.kind == Line::Key)) sectionEnd[current] = i;
        }
    }
    QMap<qsizetype, QByteArray> after;  // new lines after line i
    QList<QString> newSections;
    QMap<QString, QByteArray> newSectionLines;
    for (const Target& t : targets) {
        if (t.keep >= 0) continue;
        if (const auto end = sectionEnd.constFind(t.section); end != sectionEnd.constEnd()) {
            after[*end] += t.line + eol;
        } else {
            if (!newSectionLines.contains(t.section)) newSections.append(t.section);
            newSectionLines[t.section] += t.line + eol;
        }
    }

    QByteArray out;
    out.reserve(file.size() + 256);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line& l = lines[i];
        const Target* match = nullptr;
        if (l.kind == Line::Key)
            for (const Target& t : targets)
                if (SameName(l.section, t.section) && SameName(l.name, t.name)) match = &t;
        if (match) {
            if (match->keep == i) out += match->line + l.lineBreak;
        } else {
            out += QByteArrayView(file.constData() + l.begin, l.end - l.begin);
        }
        if (const auto add = after.constFind(i); add != after.constEnd()) {
            if (l.lineBreak.isEmpty()) EndLastLine(out, eol);
            out += *add;
        }
    }
    for (const QString& section : newSections) {
        EndLastLine(out, eol);
        if (!out.isEmpty()) out += eol;
        out += '[' + EncodeKey(section) + ']' + eol + newSectionLines[section];
    }
    return out;
}

bool LooksLikeText(const QByteArray& file) {
    // UTF-16 and UTF-32 hold zero bytes in every Latin character; binary
    // data holds them and other control bytes throughout.
    qsizetype controls = 0;
    for (const char c : file) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0) return false;
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r') ++controls;
    }
    return controls * 64 <= file.size();
}

}  // namespace ini

namespace {

// ---------------------------------------------------------------------------
// The file on disk.

enum class Trouble {
    None,
    Missing,
    Unreadable,    // errno in err
    NotRegular,
    TooLarge,
    NotText,
    ReadOnly,
    Locked,
    NoFolder,
    WriteFailed,   // errno in err
    NotAsWritten,
};

struct Problem {
    Trouble trouble = Trouble::None;
    int err = 0;
};

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

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

struct Loaded {
    Problem problem;
    QByteArray bytes;
    struct stat info {};
};

// Reads only regular files: a FIFO or a device in the file's place must not
// hold up the game.
Loaded LoadFile(const QString& path) {
    Loaded out;
    const int fd = ::open(Native(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        out.problem = {errno == ENOENT || errno == ENOTDIR ? Trouble::Missing : Trouble::Unreadable, errno};
        return out;
    }
    if (::fstat(fd, &out.info) != 0) out.problem = {Trouble::Unreadable, errno};
    else if (!S_ISREG(out.info.st_mode)) out.problem = {Trouble::NotRegular, 0};
    else if (out.info.st_size > Settings::kMaxFileBytes) out.problem = {Trouble::TooLarge, 0};
    else {
        out.bytes.resize(static_cast<qsizetype>(out.info.st_size));
        qsizetype got = 0;
        for (;;) {
            if (got == out.bytes.size()) out.bytes.resize(got + 4096);  // it grew meanwhile
            const ssize_t r = ::read(fd, out.bytes.data() + got, static_cast<size_t>(out.bytes.size() - got));
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) {
                out.problem = {Trouble::Unreadable, errno};
                break;
            }
            if (r == 0) break;
            got += r;
            if (got > Settings::kMaxFileBytes) {
                out.problem = {Trouble::TooLarge, 0};
                break;
            }
        }
        out.bytes.truncate(got);
        if (out.problem.trouble == Trouble::None && !ini::LooksLikeText(out.bytes)) out.problem = {Trouble::NotText, 0};
    }
    ::close(fd);
    if (out.problem.trouble != Trouble::None) out.bytes.clear();
    return out;
}

// The file a link leads to, as editors write it; the path itself otherwise.
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

// Held while one writer reads, changes and replaces the file. The system
// drops it when the writer ends, however it ends, so a killed writer never
// leaves a lock behind. A writer that holds it too long is not waited for.
class WriterLock {
public:
    explicit WriterLock(const QString& file)
        : fd_(::open(Native(file).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        // A lock file made by another user can still be locked for reading.
        if (fd_ < 0 && errno == EACCES) fd_ = ::open(Native(file).constData(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) {
            problem_ = {Trouble::WriteFailed, errno};
            return;
        }
        const auto deadline = std::chrono::steady_clock::now() + Settings::kLockWait;
        for (;;) {
            if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return;
            if (errno == EINTR) continue;
            // Where the file system has no such locks, write unguarded
            // rather than not at all.
            if (errno != EWOULDBLOCK) return;
            if (std::chrono::steady_clock::now() >= deadline) {
                problem_ = {Trouble::Locked, 0};
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ~WriterLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;
    const Problem& problem() const { return problem_; }

private:
    int fd_;
    Problem problem_;
};

// Drafts of writers that were killed; no other writer is at work while the
// lock is held.
void RemoveLeftovers(const QString& folder, const QString& prefix) {
    const QDir dir(folder);
    for (const QString& f : dir.entryList({prefix + '*'}, QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(dir.filePath(f));
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
    if (p.trouble == Trouble::None && ::fchmod(fd, mode) != 0) p = {Trouble::WriteFailed, errno};
    if (p.trouble == Trouble::None && ::fsync(fd) != 0) p = {Trouble::WriteFailed, errno};
    if (::close(fd) != 0 && p.trouble == Trouble::None) p = {Trouble::WriteFailed, errno};
    return p;
}

// Writes the values into the file at path (through links) in one atomic
// replacement.
Problem Replace(const QString& path,
                const std::function<QList<Settings::Value>(const Settings::Snapshot&)>& change) {
    if (path.isEmpty()) return {Trouble::NoFolder, 0};
    const QString target = FollowLinks(path);
    const QFileInfo targetInfo(target);
    const QString folder = targetInfo.absolutePath();
    if (!QDir().mkpath(folder)) return {Trouble::NoFolder, 0};

    // One writer at a time, across processes: each one reads the file,
    // changes its values and puts a whole new file in its place.
    const WriterLock lock(target + kLockMark);
    if (lock.problem().trouble != Trouble::None) return lock.problem();
    RemoveLeftovers(folder, targetInfo.fileName() + kDraftMark);

    const Loaded current = LoadFile(target);
    if (current.problem.trouble != Trouble::None && current.problem.trouble != Trouble::Missing)
        return current.problem;
    const bool exists = current.problem.trouble == Trouble::None;
    if (exists && ((current.info.st_mode & 0222) == 0 || ::access(Native(target).constData(), W_OK) != 0))
        return {Trouble::ReadOnly, 0};

    const QList<Settings::Value> values = change(Settings::Snapshot(current.bytes));
    if (values.isEmpty()) return {};
    const QByteArray next = ini::Edit(current.bytes, values);
    // Whatever the file held, the new one must give back what was written.
    const QList<Line> nextLines = SplitLines(next);
    for (qsizetype i = 0; i < values.size(); ++i) {
        bool later = false;
        for (qsizetype j = i + 1; j < values.size(); ++j)
            later = later || (SameName(values[j].section, values[i].section) && SameName(values[j].name, values[i].name));
        if (!later && FindIn(next, nextLines, values[i].section, values[i].name) != values[i].text)
            return {Trouble::NotAsWritten, 0};
    }
    if (exists && next == current.bytes) return {};

    const QString draft = target + kDraftMark + QUuid::createUuid().toString(QUuid::Id128);
    const mode_t umaskNow = [] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    const mode_t mode = exists ? (current.info.st_mode & 07777) : (0666 & ~umaskNow);
    auto giveUp = [&](Problem p) {
        QFile::remove(draft);
        return p;
    };
    if (const Problem p = WriteAll(draft, next, mode); p.trouble != Trouble::None) return giveUp(p);
    // What the disk holds is what counts: a short write that was not
    // reported would show here.
    {
        const Loaded check = LoadFile(draft);
        if (check.problem.trouble != Trouble::None) return giveUp(check.problem);
        if (check.bytes != next) return giveUp({Trouble::NotAsWritten, 0});
    }
    // The old file stays in place until the new one replaces it in one step.
    if (::rename(Native(draft).constData(), Native(target).constData()) != 0)
        return giveUp({Trouble::WriteFailed, errno});
    if (const int dir = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
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
    const Loaded file = LoadFile(path_);
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
    const Loaded file = LoadFile(path_);
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
