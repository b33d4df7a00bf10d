// Helper of the settings tests: rewrites a settings file in another process,
// so that the test can kill it at any moment, or limit what it may write.
//
//   settings_writer_child churn FILE FIRST
//       writes value FIRST % n of generation FIRST / n, then the next, for
//       ever (n values per generation, see settings_churn.h)
//   settings_writer_child refused FILE LIMIT
//       with files limited to LIMIT bytes (-1: no limit), writes two values
//       that the store must refuse, then says "went on"
//   settings_writer_child batch FILE FIRST
//       writes all n values of generation FIRST in one call, then those of
//       the next generation, for ever
//   settings_writer_child session FILE [nobody]
//       what a run of the game does with the store: reads "mode" (default
//       -77), then writes two values at close and one more; says "read M",
//       then "saved" or "refused" for each write. With "nobody", a superuser
//       first becomes the unprivileged user 65534, so that permissions count.

#include <QCoreApplication>
#include <QString>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "settings/Settings.h"
#include "tests/settings_churn.h"

namespace {

int Churn(const QString& file, long long first) {
    qg::Settings store(file);
    std::printf("writing\n");
    std::fflush(stdout);
    for (long long w = first;; ++w) {
        const int k = static_cast<int>(w % qg::test::kChurnCount);
        if (!store.WriteString(qg::test::kChurnSection, qg::test::kChurnNames[static_cast<std::size_t>(k)],
                               qg::test::ChurnValue(w / qg::test::kChurnCount, k)))
            return 3;
    }
}

int Refused(const QString& file, long long limit) {
    if (limit >= 0) {
        // A full disk: writing past the limit fails with EFBIG instead of
        // killing the process.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit size{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
        if (setrlimit(RLIMIT_FSIZE, &size) != 0) return 4;
    }
    qg::Settings store(file);
    const bool first = store.WriteString("highscore", "player", QString(20000, QChar('x')));
    const bool second = store.WriteString("highscore", "torv0", QString(20000, QChar('y')));
    if (first || second) return 5;
    std::printf("went on\n");
    return 0;
}

int Batch(const QString& file, long long first) {
    qg::Settings store(file);
    std::printf("writing\n");
    std::fflush(stdout);
    for (long long g = first;; ++g) {
        QList<QPair<QString, QString>> values;
        for (int k = 0; k < qg::test::kChurnCount; ++k)
            values.append({qg::test::kChurnNames[static_cast<std::size_t>(k)], qg::test::ChurnValue(g, k)});
        if (!store.WriteStrings(qg::test::kChurnSection, values)) return 3;
    }
}

int Session(const QString& file, bool nobody) {
    if (nobody && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 4;
    qg::Settings store(file);
    std::printf("read %d\n", store.ReadInteger("common", "mode", -77));
    std::fflush(stdout);
    const bool closed = store.WriteStrings("common", {{"mode", "2"}, {"sound", "0"}});
    std::printf("%s\n", closed ? "saved" : "refused");
    std::fflush(stdout);
    const bool again = store.WriteString("common", "tongue", "1");
    std::printf("%s\n", again ? "saved" : "refused");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args[1] == "churn") return Churn(args[2], args[3].toLongLong());
    if (args.size() == 4 && args[1] == "refused") return Refused(args[2], args[3].toLongLong());
    if (args.size() == 4 && args[1] == "batch") return Batch(args[2], args[3].toLongLong());
    if ((args.size() == 3 || args.size() == 4) && args[1] == "session")
        return Session(args[2], args.size() == 4 && args[3] == "nobody");
    std::fprintf(stderr,
                 "usage: settings_writer_child churn FILE FIRST | refused FILE LIMIT | batch FILE FIRST | "
                 "session FILE [nobody]\n");
    return 2;
}
