#pragma once
// The settings file on disk: read only when it is a regular file of sane
// size, and replaced whole in one step, so that a kill at any moment leaves
// the old file or the new one.

#include <QByteArray>
#include <QString>

#include <sys/stat.h>
#include <sys/types.h>

#include "settings/StoreProblem.h"

namespace qg::store {

QByteArray Native(const QString& path);

// What a file may be to be read at all.
struct ReadRules {
    qint64 maxBytes;
    bool (*isText)(const QByteArray& bytes);
};

struct Loaded {
    Problem problem;
    QByteArray bytes;  // empty unless the problem is none
    struct stat info {};
};

// Reads only regular files: a FIFO or a device in the file's place must not
// hold up the game.
Loaded LoadFile(const QString& path, const ReadRules& rules);

// The file a link leads to, as editors write it; the path itself otherwise.
QString FollowLinks(const QString& path);

// Removes the drafts of writers that were killed (files starting with
// `target`'s name and the draft mark); only while no other writer is at work.
void RemoveDrafts(const QString& target);

// Puts `bytes` in the place of `target` with the given mode: a draft beside
// it, synced and read back, renamed over it. On failure the old file stays
// and the draft goes.
Problem PutInPlace(const QString& target, const QByteArray& bytes, mode_t mode, const ReadRules& rules);

// The mode a new file gets.
mode_t NewFileMode();

}  // namespace qg::store
