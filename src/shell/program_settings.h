// Reading the program's settings file at start, shared by the window and the batch calculator.
#pragma once

#include <string>
#include <string_view>

#include "frame/frame_settings.h"
#include "shell/settings_file.h"

namespace rekna {

// True when the store holds at least one key that the program writes: a file without any (a
// file of garbage, another program's file) is no settings file of ours.
[[nodiscard]] bool HoldsProgramSettings(const TSettingsStore& store);

// Reads the file at path into store when its name is a settings-file name of programName, it
// can be read and it holds a key of the program; otherwise false with store untouched.
// format, when given, says how the file was written.
[[nodiscard]] bool ReadProgramSettings(const std::string& path, std::string_view programName,
                                       TMemorySettings& store, TSettingsFormat* format = nullptr);

}  // namespace rekna
