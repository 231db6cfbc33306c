// Fuzzes the reading of settings files: any bytes give settings, and writing what was read and
// reading it again gives the same settings.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/vt_calc.h"
#include "frame/calc_options.h"
#include "frame/frame_settings.h"
#include "frame/main_settings.h"

namespace {

std::string ReadAndWrite(std::string_view text) {
    rekna::TMemorySettings in;
    in.SetText(text);
    rekna::TMainSettings main;
    rekna::TCalcOptions options;
    rekna::TVtCalc calc;
    rekna::TPaneStyles styles;
    rekna::ReadMainSettings(in, main);
    rekna::ReadFrameSettings(in, options, calc, styles);
    rekna::TMemorySettings out;
    rekna::WriteMainSettings(out, main, [&](rekna::TSettingsStore& s) {
        rekna::WriteFrameSettings(s, options, calc, styles);
    });
    return out.Text();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string once = ReadAndWrite(text);
    if (ReadAndWrite(once) != once) __builtin_trap();
    return 0;
}
