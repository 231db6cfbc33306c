// The calculation frame's keys of the settings file, read and written through a key-value store
// that the main window connects to the file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/paint/paint_style.h"
#include "frame/calc_options.h"

namespace rekna {

class TVtCalc;

// Keys and values as the settings file holds them (CP932 text).
class TSettingsStore {
public:
    virtual ~TSettingsStore() = default;
    // The value of the key, or nothing when the key is missing.
    [[nodiscard]] virtual std::optional<std::string> Get(std::string_view key) const = 0;
    // Writing keeps the order of first writing.
    virtual void Set(std::string_view key, std::string_view value) = 0;
};

// A store in memory, in writing order; the first line of a key wins when reading.
class TMemorySettings : public TSettingsStore {
public:
    [[nodiscard]] std::optional<std::string> Get(std::string_view key) const override;
    void Set(std::string_view key, std::string_view value) override;
    [[nodiscard]] const std::vector<std::pair<std::string, std::string>>& Entries() const noexcept {
        return FEntries;
    }
    // "key=value" lines joined by CR LF, and their reading (lines without "=" are skipped).
    [[nodiscard]] std::string Text() const;
    void SetText(std::string_view text);

private:
    std::vector<std::pair<std::string, std::string>> FEntries;
};

// The pane colours the settings carry: the memo's, and the answer pane's (which the log pane
// shares, with its "＝" in the comment colour).
struct TPaneStyles {
    TPaintStyle Memo;
    TPaintStyle Answer;
    [[nodiscard]] TPaintStyle Log() const;
};

// The options of a fresh installation: the design options with what a first start turns on
// (short answers, Eng answers below 1 with a unit prefix, brackets sized by their depth) and
// the run buttons left to the main window's tool bar. Keys missing from a settings file keep
// these values.
[[nodiscard]] TCalcOptions FreshInstallOptions();
// Every key the frame reads or writes, in writing order.
[[nodiscard]] std::vector<std::string> FrameSettingsKeys();

// Reads the frame's keys: options, engine numbers and pane colours. A missing key, a text that
// is no number, an unreadable colour or a flag digit other than "0" and "1" leaves its value.
void ReadFrameSettings(const TSettingsStore& store, TCalcOptions& options, TVtCalc& calc,
                       TPaneStyles& styles);
// Writes every frame key in its order.
void WriteFrameSettings(TSettingsStore& store, const TCalcOptions& options, const TVtCalc& calc,
                        const TPaneStyles& styles);

}  // namespace rekna
