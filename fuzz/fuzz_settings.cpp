// Fuzz target: the settings file's text as the store reads and edits it.
// Whatever the bytes, reading must not crash, and when the store would
// write the file, every value it writes must read back as written, and a
// second identical write must change nothing.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "settings/Settings.h"

namespace {

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "fuzz_settings: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const char* name : {"mode", "pmode", "sound", "player", "torv0"})
        (void)qg::ini::Find(file, "common", name), (void)qg::ini::Find(file, "HighScore", name);
    (void)qg::ini::DecodeText(file);

    // Any text survives its encoding.
    const QString text = QString::fromUtf8(file.left(64));
    Check(qg::ini::DecodeText(qg::ini::EncodeText(text)) == text, "a text did not survive its encoding");
    // Some UTF-16 too, lone surrogates and control characters included.
    QString raw;
    for (qsizetype i = 0; i + 1 < file.size() && i < 64; i += 2)
        raw += QChar(char16_t(std::uint8_t(file[i]) | std::uint8_t(file[i + 1]) << 8));
    if (!raw.isEmpty()) {
        const auto back = qg::ini::DecodeText(qg::ini::EncodeText(raw));
        Check(back.has_value(), "an encoded text read back as no text");
        // Lone surrogates cannot be stored in UTF-8; everything else can.
        bool lone = false;
        for (qsizetype i = 0; i < raw.size(); ++i) {
            if (raw[i].isHighSurrogate() && i + 1 < raw.size() && raw[i + 1].isLowSurrogate()) ++i;
            else if (raw[i].isSurrogate()) lone = true;
        }
        Check(lone || *back == raw, "a UTF-16 text did not survive its encoding");
    }

    if (!qg::ini::LooksLikeText(file)) return 0;
    const QList<qg::Settings::Value> values = {
        {"common", "mode", "2"}, {"common", "sound", text}, {"highscore", "player", "Ann, \"B\" ;x"}, {"Common", "MODE", "3"}};
    const QByteArray edited = qg::ini::Edit(file, values);
    Check(qg::ini::Find(edited, "common", "mode") == QString("3"), "mode did not read back");
    Check(qg::ini::Find(edited, "common", "sound") == text, "sound did not read back");
    Check(qg::ini::Find(edited, "highscore", "player") == QString("Ann, \"B\" ;x"), "player did not read back");
    Check(qg::ini::Edit(edited, values) == edited, "a second identical write changed the file");
    Check(qg::ini::LooksLikeText(edited), "the edited file is no longer text");
    return 0;
}
