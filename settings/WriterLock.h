#pragma once
// One writer of the settings file at a time, across processes.

#include <QString>

#include <chrono>

#include "settings/StoreProblem.h"

namespace qg::store {

// Held while one writer reads, changes and replaces the file. The system
// drops it when the writer ends, however it ends, so a killed writer never
// leaves a lock behind. A writer that holds it longer than `wait` is not
// waited for.
class WriterLock {
public:
    WriterLock(const QString& file, std::chrono::milliseconds wait);
    ~WriterLock();
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;
    const Problem& problem() const { return problem_; }

private:
    int fd_;
    Problem problem_;
};

}  // namespace qg::store
