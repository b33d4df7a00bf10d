#pragma once
// Catches what the process writes to stderr while it lives.

#include <unistd.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace qg::test {

class StderrCapture {
public:
    StderrCapture() {
        std::fflush(stderr);
        saved_ = dup(2);
        file_ = std::tmpfile();
        dup2(fileno(file_), 2);
    }
    ~StderrCapture() { Stop(); }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Ends the capture; everything written meanwhile.
    std::string Stop() {
        if (saved_ >= 0) {
            std::fflush(stderr);
            dup2(saved_, 2);
            close(saved_);
            saved_ = -1;
            std::rewind(file_);
            char buf[4096];
            std::size_t n;
            while ((n = std::fread(buf, 1, sizeof buf, file_)) > 0) text_.append(buf, n);
            std::fclose(file_);
        }
        return text_;
    }
    // The same, line by line.
    std::vector<std::string> StopLines() {
        std::vector<std::string> lines;
        std::istringstream in(Stop());
        for (std::string line; std::getline(in, line);) lines.push_back(line + '\n');
        return lines;
    }

private:
    int saved_ = -1;
    std::FILE* file_ = nullptr;
    std::string text_;
};

}  // namespace qg::test
