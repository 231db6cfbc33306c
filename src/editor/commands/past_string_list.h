// TPastStringList: a list of lines whose text conversion breaks at CR LF, lone CR and lone LF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rekna {

// Reads the line that starts at pos and moves pos behind its line break (CR LF, a lone CR or a
// lone LF). False once pos has reached the end, so a text ending with a line break has no empty
// line after it; an empty text has no lines.
bool NextTextLine(std::string_view text, std::size_t& pos, std::string_view& line) noexcept;

// The line list of pasted and inserted text, and of the store's text property.
class TPastStringList {
public:
    // Splits at CR LF, lone CR and lone LF; a text ending with LF gets an empty last line.
    void SetTextStr(std::string_view text);
    // The lines joined with CR LF, without a line end after the last one.
    [[nodiscard]] std::string GetTextStr() const;

    [[nodiscard]] std::int32_t Count() const noexcept {
        return static_cast<std::int32_t>(FLines.size());
    }
    // Out-of-range indexes give an empty line.
    [[nodiscard]] const std::string& Get(std::int32_t index) const noexcept;
    [[nodiscard]] const std::vector<std::string>& Lines() const noexcept { return FLines; }
    void Add(std::string line) { FLines.push_back(std::move(line)); }
    void Clear() noexcept { FLines.clear(); }

private:
    std::vector<std::string> FLines;
};

}  // namespace rekna
