// Reading the program's settings file at start.
#include "shell/program_settings.h"

#include <algorithm>
#include <set>

#include "frame/main_settings.h"
#include "shell/settings_file.h"

namespace rekna {

bool HoldsProgramSettings(const TSettingsStore& store) {
    static const std::set<std::string, std::less<>> known = [] {
        std::set<std::string, std::less<>> keys;
        for (const std::string_view k : MainSettingsKeys())
            keys.emplace(k);
        for (std::string& k : FrameSettingsKeys())
            keys.insert(std::move(k));
        return keys;
    }();
    return std::any_of(known.begin(), known.end(),
                       [&store](const std::string& key) { return store.Get(key).has_value(); });
}

bool ReadProgramSettings(const std::string& path, std::string_view programName,
                         TMemorySettings& store, TSettingsFormat* format) {
    if (!IsSettingsFileName(path, programName)) return false;
    TMemorySettings read;
    TSettingsFormat readFormat;
    if (!ReadSettingsFile(path, read, &readFormat).Ok() || !HoldsProgramSettings(read))
        return false;
    store = std::move(read);
    if (format) *format = readFormat;
    return true;
}

}  // namespace rekna
