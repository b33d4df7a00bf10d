#include "settings/IniText.h"

#include <QMap>
#include <QStringDecoder>

#include <algorithm>

namespace qg {

namespace {

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


// Where the line that starts at `begin` ends: the end of its content, and
// the end of its line break. A backslash takes the next byte with it, line
// breaks too: a value may go on over several lines.
struct LineBounds {
    qsizetype contentEnd, end;
};

LineBounds ScanLine(const QByteArray& file, qsizetype begin) {
    const qsizetype n = file.size();
    qsizetype i = begin;
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
            const qsizetype contentEnd = i - 1;
            if (i < n && (file[i] == '\n' || file[i] == '\r') && file[i] != c) ++i;
            return {contentEnd, i};
        }
    }
    return {n, n};
}

// What the line holds; a section line changes `section` for those below it.
void Classify(Line& line, const QByteArray& file, QByteArrayView content, QString& section) {
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
}

QList<Line> SplitLines(const QByteArray& file) {
    QList<Line> lines;
    QString section;
    qsizetype i = 0;
    while (i < file.size()) {
        Line line;
        line.begin = i;
        const LineBounds bounds = ScanLine(file, i);
        line.end = i = bounds.end;
        line.lineBreak = file.mid(bounds.contentEnd, bounds.end - bounds.contentEnd);
        Classify(line, file, QByteArrayView(file.constData() + line.begin, bounds.contentEnd - line.begin), section);
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

// ---------------------------------------------------------------------------
// A value's text: the unescaping QSettings applies (quotes, backslash
// escapes, and unquoted commas that make a list).

std::optional<char> NamedEscape(char e) {
    static constexpr char kEscapes[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},  {'r', '\r'}, {'t', '\t'},
                                           {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    for (const auto& esc : kEscapes)
        if (e == esc[0]) return esc[1];
    return std::nullopt;
}

// Values of other types carry an @-mark; a text that starts with '@' has it
// doubled.
std::optional<QString> Unmarked(const QString& text) {
    if (!text.startsWith('@')) return text;
    if (text.endsWith(')')) {
        if (text.startsWith("@String(")) return text.sliced(8).chopped(1);
        for (const char* other : {"@ByteArray(", "@Variant(", "@DateTime(", "@Rect(", "@Size(", "@Point("})
            if (text.startsWith(QLatin1String(other))) return std::nullopt;
        if (text == "@Invalid()") return std::nullopt;
    }
    if (text.startsWith("@@")) return text.sliced(1);
    return text;
}

class TextDecoder {
public:
    TextDecoder(const QByteArray& raw, Commas commas) : raw_(raw), n_(raw.size()), commas_(commas) {}

    std::optional<QString> Run() {
        SkipBlanks();
        while (i_ < n_) {
            const char c = raw_[i_];
            if (c == '\\') {
                Escape();
            } else if (c == '"') {
                Quote();
            } else if (c == ',' && !inQuotes_ && commas_ == Commas::MakeAList) {
                return std::nullopt;  // a list: not a text value, whatever follows
            } else if (c == ',') {
                current_ += QLatin1Char(',');
                ++i_;
            } else {
                Plain();
            }
        }
        if (!quoted_) ChopTrailingSpaces(current_, chopLimit_);
        return Unmarked(current_);
    }

private:
    void SkipBlanks() {
        while (i_ < n_ && (raw_[i_] == ' ' || raw_[i_] == '\t')) ++i_;
    }

    // An escaped character counts as text: blanks before it stay.
    void Escape() {
        if (++i_ >= n_) return;
        const char e = raw_[i_++];
        if (const std::optional<char> named = NamedEscape(e)) current_ += QLatin1Char(*named);
        else if (e == 'x' && !(i_ < n_ && IsHexDigit(raw_[i_]))) {
            // "\x" without digits stands for nothing
        } else if (e == 'x' || (e >= '0' && e <= '7')) current_ += QChar(Number(e));
        else if ((e == '\n' || e == '\r') && i_ < n_ && (raw_[i_] == '\n' || raw_[i_] == '\r') && raw_[i_] != e) ++i_;
        chopLimit_ = current_.size();
    }

    // "\x" and hex digits, or "\" and octal ones.
    char16_t Number(char e) {
        const int base = e == 'x' ? 16 : 8;
        char16_t value = e == 'x' ? 0 : char16_t(e - '0');
        while (i_ < n_) {
            const int d = HexValue(raw_[i_]);
            if (d < 0 || d >= base) break;
            value = char16_t(value * base + d);
            ++i_;
        }
        return value;
    }

    void Quote() {
        ++i_;
        quoted_ = true;
        inQuotes_ = !inQuotes_;
        if (!inQuotes_) SkipBlanks();
    }

    void Plain() {
        qsizetype j = i_ + 1;
        while (j < n_ && raw_[j] != '\\' && raw_[j] != '"' && raw_[j] != ',') ++j;
        current_ += fromUtf8_(QByteArrayView(raw_.constData() + i_, j - i_));
        i_ = j;
    }

    const QByteArray& raw_;
    const qsizetype n_;
    const Commas commas_;
    qsizetype i_ = 0;
    QString current_;
    // One decoder for the whole value, as QSettings has it: a byte order
    // mark is dropped only at the value's very start.
    QStringDecoder fromUtf8_{QStringDecoder::Utf8};
    bool inQuotes_ = false, quoted_ = false;
    qsizetype chopLimit_ = 0;
};

// The escape QSettings writes for a character, if it has a name.
const char* NamedEscapeOf(char16_t c) {
    switch (c) {
    case '\a': return "\\a";
    case '\b': return "\\b";
    case '\f': return "\\f";
    case '\n': return "\\n";
    case '\r': return "\\r";
    case '\t': return "\\t";
    case '\v': return "\\v";
    case '"': return "\\\"";
    case '\\': return "\\\\";
    default: return nullptr;
    }
}

// ---------------------------------------------------------------------------
// Editing: one value per name, the last one given; in the order first given.

struct Target {
    QString section, name;  // the program's own spelling
    QByteArray line;        // "name=text"
    qsizetype keep = -1;    // the line rewritten in place, if any
};

QList<Target> TargetsOf(const QList<SettingValue>& values) {
    QList<Target> targets;
    for (const SettingValue& v : values) {
        Target t{Canonical(v.section), Canonical(v.name), EncodeKey(Canonical(v.name)) + '=' + ini::EncodeText(v.text)};
        auto same = std::find_if(targets.begin(), targets.end(),
                                 [&](const Target& o) { return o.section == t.section && o.name == t.name; });
        if (same != targets.end()) same->line = t.line;
        else targets.append(t);
    }
    return targets;
}

// Each name keeps one line: its line in the program's own spelling is
// rewritten in place; every other spelling goes.
void FindKeptLines(const QList<Line>& lines, QList<Target>& targets) {
    for (Target& t : targets) {
        const qsizetype at = FindLine(lines, t.section, t.name);
        if (at >= 0 && lines[at].section == t.section && lines[at].name == t.name) t.keep = at;
    }
}

// New values go after the last line of their section in the program's
// spelling, or into a new section at the end.
struct NewLines {
    QMap<qsizetype, QByteArray> after;  // new lines after line i
    QList<QString> sections;            // new sections, in order
    QMap<QString, QByteArray> sectionLines;
};

QMap<QString, qsizetype> SectionEnds(const QList<Line>& lines) {
    QMap<QString, qsizetype> sectionEnd;
    QString current;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line& l = lines[i];
        if (l.kind == Line::Section) current = l.name, inSection = true;
        if (inSection && (l.kind == Line::Section || l.kind == Line::Key)) sectionEnd[current] = i;
    }
    return sectionEnd;
}

NewLines PlaceNewLines(const QList<Line>& lines, const QList<Target>& targets, const QByteArray& eol) {
    const QMap<QString, qsizetype> sectionEnd = SectionEnds(lines);
    NewLines out;
    for (const Target& t : targets) {
        if (t.keep >= 0) continue;
        if (const auto end = sectionEnd.constFind(t.section); end != sectionEnd.constEnd()) {
            out.after[*end] += t.line + eol;
        } else {
            if (!out.sectionLines.contains(t.section)) out.sections.append(t.section);
            out.sectionLines[t.section] += t.line + eol;
        }
    }
    return out;
}

// The file's lines with the targets' lines rewritten, dropped or added.
QByteArray RewriteLines(const QByteArray& file, const QList<Line>& lines, const QList<Target>& targets,
                        const NewLines& added, const QByteArray& eol) {
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
        if (const auto add = added.after.constFind(i); add != added.after.constEnd()) {
            if (l.lineBreak.isEmpty()) EndLastLine(out, eol);
            out += *add;
        }
    }
    return out;
}

void AppendNewSections(QByteArray& out, const NewLines& added, const QByteArray& eol) {
    for (const QString& section : added.sections) {
        EndLastLine(out, eol);
        if (!out.isEmpty()) out += eol;
        out += '[' + EncodeKey(section) + ']' + eol + added.sectionLines[section];
    }
}

}  // namespace

namespace ini {

std::optional<QString> DecodeText(const QByteArray& raw, Commas commas) { return TextDecoder(raw, commas).Run(); }

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
        if (const char* named = NamedEscapeOf(c)) {
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

QByteArray Edit(const QByteArray& file, const QList<SettingValue>& values) {
    QList<Target> targets = TargetsOf(values);
    const QList<Line> lines = SplitLines(file);
    const QByteArray eol = file.contains("\r\n") ? "\r\n" : "\n";
    FindKeptLines(lines, targets);
    const NewLines added = PlaceNewLines(lines, targets, eol);
    QByteArray out = RewriteLines(file, lines, targets, added, eol);
    AppendNewSections(out, added, eol);
    return out;
}

bool GivesBack(const QByteArray& file, const QList<SettingValue>& values) {
    const QList<Line> lines = SplitLines(file);
    for (qsizetype i = 0; i < values.size(); ++i) {
        bool later = false;
        for (qsizetype j = i + 1; j < values.size(); ++j)
            later = later || (SameName(values[j].section, values[i].section) && SameName(values[j].name, values[i].name));
        if (!later && FindIn(file, lines, values[i].section, values[i].name) != values[i].text) return false;
    }
    return true;
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

}  // namespace qg
