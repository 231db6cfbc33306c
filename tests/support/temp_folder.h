// A temporary folder for the shell's file tests, and a limit that makes writes fail.
#pragma once

#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace rekna::test {

class TTempFolder {
public:
    TTempFolder() {
        std::string p = (std::filesystem::temp_directory_path() / "rekna-shell-XXXXXX").string();
        if (::mkdtemp(p.data()) != nullptr) FPath = p;
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;
    ~TTempFolder() {
        std::error_code ignored;
        if (!FPath.empty()) std::filesystem::remove_all(FPath, ignored);
    }
    [[nodiscard]] const std::string& Path() const noexcept { return FPath; }
    [[nodiscard]] std::string File(const std::string& name) const { return FPath + "/" + name; }

private:
    std::string FPath;
};

inline std::string ReadBytes(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteBytes(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

// Every write past a few bytes fails while this lives, also for root, whom permissions do not
// stop.
class TWriteLimit {
public:
    TWriteLimit() : FHandler(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &FSaved);
        rlimit small = FSaved;
        small.rlim_cur = 4;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    TWriteLimit(const TWriteLimit&) = delete;
    TWriteLimit& operator=(const TWriteLimit&) = delete;
    ~TWriteLimit() {
        ::setrlimit(RLIMIT_FSIZE, &FSaved);
        std::signal(SIGXFSZ, FHandler);
    }

private:
    void (*FHandler)(int);
    rlimit FSaved{};
};

}  // namespace rekna::test
