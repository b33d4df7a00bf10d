#include "files/GameFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMap>

#include <algorithm>

#include "puzzles/PuzzleRecords.h"

namespace qg {

namespace {

QString WithSlash(const QString& dir) {
    QString d = QDir::cleanPath(dir);
    if (!d.endsWith('/')) d += '/';
    return d;
}

int SheetsIn(const QString& dir) {
    int found = 0;
    for (const PuzzleRecord& r : kPuzzles) found += QFileInfo(dir + QString::fromLatin1(r.sheetFile)).isFile();
    return found;
}

}  // namespace

QString InstalledDataDirectory(const QString& executableDir) {
    return WithSlash(executableDir + "/../share/quirko-gyrelle");
}

QString FindProgramDirectory(const QString& executableDir) {
    const QString candidates[] = {WithSlash(executableDir), InstalledDataDirectory(executableDir)};
    for (const QString& dir : candidates)
        if (SheetsIn(dir) == kPuzzleCount) return dir;
    for (const QString& dir : candidates)
        if (SheetsIn(dir) > 0) return dir;
    return candidates[0];
}

QString UserMusicDirectory() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    // XDG ignores a relative base directory, as if it were unset.
    if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + "/.local/share";
    return WithSlash(base + "/quirko-gyrelle/music");
}

bool MakeUserMusicDirectory() { return QDir().mkpath(UserMusicDirectory()); }

QStringList ListMusicFiles(const QStringList& folders) {
    // Keyed by the exact name, so a later folder replaces an earlier one's file.
    QMap<QString, QString> byName;
    for (const QString& folder : folders) {
        // No name filter: QDir would match it through a regular expression,
        // which costs the start-up a PCRE2 compile for one suffix.
        const QDir dir(folder);
        QDirIterator it(dir.path(), QDir::Files | QDir::Hidden | QDir::System);
        while (it.hasNext()) {
            it.next();
            const QString name = it.fileName();
            if (name.endsWith(QLatin1String(".mid"), Qt::CaseInsensitive)) byName.insert(name, dir.filePath(name));
        }
    }
    QStringList names = byName.keys();
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    QStringList paths;
    for (const QString& name : names) paths << byName.value(name);
    return paths;
}

QStringList GameMusicFiles(const QString& programDirectory) {
    MakeUserMusicDirectory();
    return ListMusicFiles({programDirectory, UserMusicDirectory()});
}

}  // namespace qg
