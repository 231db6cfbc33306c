// Writes a shell completion file from its template, with the settings file's keys put in place of
// @SETTINGS_KEYS@, so that completion offers exactly the keys the program reads.
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "frame/frame_settings.h"
#include "frame/main_settings.h"
#include "platform/cp932.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: rekna_settings_keys TEMPLATE OUTPUT\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        std::cerr << "rekna_settings_keys: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::vector<std::string> keys = rekna::FrameSettingsKeys();
    for (const std::string_view key : rekna::MainSettingsKeys())
        keys.emplace_back(key);
    std::string joined;
    for (const std::string& key : keys) {
        // Keys a shell word cannot carry unquoted are left to be typed.
        if (key.empty() || key.find_first_of(" \t'\"$`\\") != std::string::npos) continue;
        if (!joined.empty()) joined += ' ';
        joined += rekna::Cp932ToUtf8(key);
    }
    const std::string marker = "@SETTINGS_KEYS@";
    const std::size_t at = text.find(marker);
    if (at == std::string::npos) {
        std::cerr << "rekna_settings_keys: " << argv[1] << " has no " << marker << "\n";
        return 1;
    }
    text.replace(at, marker.size(), joined);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        std::cerr << "rekna_settings_keys: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
