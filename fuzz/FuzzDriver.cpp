// Runs a fuzz target where libFuzzer is not available (GCC): every seed
// first, then mutations of them (bit flips, special bytes, insertions,
// deletions, copies, splices) until the time is up. Same command line as
// libFuzzer: [-max_total_time=SECONDS] [-runs=N] [-seed=N] FILE_OR_FOLDER...
// With -runs the same seed makes the same inputs on any machine, however
// fast. An input that crashes the target, by a signal or by a sanitizer's
// report, is saved as fuzz-crash-input and printed in hex.

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <sanitizer/common_interface_defs.h>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using Input = std::vector<std::uint8_t>;

const Input* current = nullptr;

// Only async-signal-safe calls: this runs from a signal handler too.
void SaveCurrent() {
    if (!current) return;
    const int fd = ::open("fuzz-crash-input", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        if (::write(fd, current->data(), current->size()) < 0) {
        }
        ::close(fd);
    }
    // In hex as well, so that a finding in a CI log can be reproduced.
    static const char note[] = "fuzz driver: the input is saved as fuzz-crash-input; as hex:\n";
    if (::write(2, note, sizeof note - 1) < 0) {
    }
    static const char digits[] = "0123456789abcdef";
    char line[129];
    std::size_t used = 0;
    for (std::size_t i = 0; i < current->size(); ++i) {
        line[used++] = digits[(*current)[i] >> 4];
        line[used++] = digits[(*current)[i] & 15];
        if (used == 128 || i + 1 == current->size()) {
            line[used++] = '\n';
            if (::write(2, line, used) < 0) {
            }
            used = 0;
        }
    }
    current = nullptr;
}

void SaveOnSignal(int signal) {
    SaveCurrent();
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

void Collect(const std::string& path, std::vector<Input>& seeds) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return;
    if (S_ISDIR(info.st_mode)) {
        DIR* dir = ::opendir(path.c_str());
        if (!dir) return;
        std::vector<std::string> names;
        while (const dirent* e = ::readdir(dir))
            if (e->d_name[0] != '.') names.push_back(path + "/" + e->d_name);
        ::closedir(dir);
        std::sort(names.begin(), names.end());
        for (const std::string& n : names) Collect(n, seeds);
    } else if (S_ISREG(info.st_mode)) {
        std::ifstream f(path, std::ios::binary);
        seeds.emplace_back(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
}

void Run(const Input& input) {
    current = &input;
    // In a block of exactly its size: a vector's spare capacity would hide
    // a read past the end from AddressSanitizer.
    const std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[input.size()]);
    std::copy(input.begin(), input.end(), exact.get());
    LLVMFuzzerTestOneInput(exact.get(), input.size());
    current = nullptr;
}

Input Mutate(const std::vector<Input>& seeds, std::mt19937_64& rng) {
    static constexpr std::uint8_t kSpecial[] = {0,   1,    0x7F, 0x80, 0xFF, '\n', '\r', '=', '[', ']', '\\',
                                                ',', '"', '@',  ';',  '%',  ' ',  'B',  'M', 24,  32,  255};
    Input in = seeds[rng() % seeds.size()];
    const int steps = 1 + static_cast<int>(rng() % 8);
    for (int s = 0; s < steps; ++s) {
        const std::size_t n = in.size();
        switch (rng() % 7) {
        case 0:
            if (n) in[rng() % n] ^= std::uint8_t(1u << (rng() % 8));
            break;
        case 1:
            if (n) in[rng() % n] = kSpecial[rng() % sizeof kSpecial];
            break;
        case 2:
            in.insert(in.begin() + static_cast<long>(n ? rng() % (n + 1) : 0), std::uint8_t(rng()));
            break;
        case 3:
            if (n) {
                const std::size_t at = rng() % n, len = 1 + rng() % std::min<std::size_t>(n - at, 64);
                in.erase(in.begin() + static_cast<long>(at), in.begin() + static_cast<long>(at + len));
            }
            break;
        case 4:
            if (n) {
                const std::size_t from = rng() % n, len = 1 + rng() % std::min<std::size_t>(n - from, 64);
                const Input chunk(in.begin() + static_cast<long>(from), in.begin() + static_cast<long>(from + len));
                in.insert(in.begin() + static_cast<long>(rng() % (n + 1)), chunk.begin(), chunk.end());
            }
            break;
        case 5: {
            const Input& other = seeds[rng() % seeds.size()];
            if (!other.empty() && n) {
                const std::size_t cut = rng() % n, from = rng() % other.size();
                in.resize(cut);
                in.insert(in.end(), other.begin() + static_cast<long>(from), other.end());
            }
            break;
        }
        case 6:
            if (n) in.resize(rng() % n);
            break;
        }
    }
    return in;
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 3;
    std::uint64_t seed = 1;
    long long maxRuns = -1;
    std::vector<Input> seeds;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("-max_total_time=", 0) == 0) seconds = std::atof(arg.c_str() + 16);
        else if (arg.rfind("-runs=", 0) == 0) maxRuns = std::atoll(arg.c_str() + 6);
        else if (arg.rfind("-seed=", 0) == 0) seed = std::strtoull(arg.c_str() + 6, nullptr, 10);
        else if (arg.rfind("-", 0) != 0) Collect(arg, seeds);
    }
    for (const int s : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL}) ::signal(s, SaveOnSignal);
    // AddressSanitizer and UBSan end the process without a signal.
    __sanitizer_set_death_callback(SaveCurrent);
    if (seeds.empty()) seeds.push_back({});
    for (const Input& s : seeds) Run(s);

    std::mt19937_64 rng(seed);
    long long runs = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    if (maxRuns >= 0) {
        for (; runs < maxRuns; ++runs) Run(Mutate(seeds, rng));
    } else {
        while (std::chrono::steady_clock::now() < end) {
            for (int i = 0; i < 64; ++i, ++runs) Run(Mutate(seeds, rng));
        }
    }
    std::printf("fuzz driver: %zu seeds and %lld mutations, no failure\n", seeds.size(), runs);
    return 0;
}
