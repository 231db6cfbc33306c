// Golden memos: memo files whose lines carry their expected answer in a trailing comment
// ` ;=> "answer"` (\t for a Tab); a line without one expects no answer. A first line
// "; golden: --errors --control Hide0=0" turns on the answer filters it names and sets the
// settings keys it names; everything else is as on a fresh installation. "--script" marks a memo
// whose script lines need the script host of the programs.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace rekna::test {

struct TGoldenMemo {
    std::string Name;
    std::vector<std::string> Lines;     // UTF-8, as in the file
    std::vector<std::string> Expected;  // UTF-8
    bool ShowErrors = false;
    bool ShowControl = false;
    bool Script = false;                // "--script": its script lines need the script host
    std::vector<std::string> Settings;  // "KEY=VALUE"
};

inline std::string TestDataDir() {
    const char* dir = std::getenv("REKNA_TEST_DATA");
    return dir ? dir : "tests";
}

inline std::string ExpectedAnswer(const std::string& line) {
    const std::string marker = " ;=> \"";
    const std::size_t at = line.rfind(marker);
    const std::size_t end = line.rfind('"');
    if (at == std::string::npos || end <= at + marker.size() - 1) return {};
    std::string raw = line.substr(at + marker.size(), end - at - marker.size());
    std::string out;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size() && raw[i + 1] == 't') {
            out += '\t';
            ++i;
        } else {
            out += raw[i];
        }
    }
    return out;
}

inline TGoldenMemo ReadGolden(const std::filesystem::path& path) {
    TGoldenMemo memo;
    memo.Name = path.filename().string();
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (memo.Lines.empty() && line.rfind("; golden:", 0) == 0) {
            memo.ShowErrors = line.find("--errors") != std::string::npos;
            memo.ShowControl = line.find("--control") != std::string::npos;
            memo.Script = line.find("--script") != std::string::npos;
            std::istringstream words(line.substr(9));
            std::string word;
            while (words >> word)
                if (word.find('=') != std::string::npos) memo.Settings.push_back(word);
        }
        memo.Lines.push_back(line);
        memo.Expected.push_back(ExpectedAnswer(line));
    }
    return memo;
}

inline std::vector<TGoldenMemo> ReadGoldens() {
    std::vector<TGoldenMemo> memos;
    for (const auto& entry : std::filesystem::directory_iterator(TestDataDir() + "/golden")) {
        if (entry.path().extension() == ".txt") memos.push_back(ReadGolden(entry.path()));
    }
    return memos;
}

}  // namespace rekna::test
