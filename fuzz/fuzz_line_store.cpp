// Fuzz target: arbitrary bytes loaded into the line store, wrapped at two widths, edited a little
// and saved; what is saved must equal what was loaded (line ends aside) until an edit changes it.
#include "editor/commands/past_string_list.h"
#include "editor/store/umemo_strings.h"
#include "platform/cp932.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using rekna::TUMemoStrings;

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_line_store: %s\n", what);
        std::abort();
    }
}

void CheckRows(const TUMemoStrings& s, bool wrapped) {
    const std::string fault = s.CheckRows(wrapped);
    if (!fault.empty()) std::fprintf(stderr, "fuzz_line_store: %s\n", fault.c_str());
    Check(fault.empty(), "rows are inconsistent");
}

// The logical lines as a file holds them.
std::vector<std::string> Lines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    std::string_view line;
    while (rekna::NextTextLine(bytes, pos, line))
        lines.emplace_back(line);
    return lines;
}

std::string Saved(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines)
        out.append(line).append("\r\n");
    return out;
}

// Reads control bytes from the end of the input, so that the file bytes stay untouched.
class TControl {
public:
    TControl(const std::uint8_t* data, std::size_t size) : FData(data), FSize(size) {}
    unsigned Next(unsigned n) {
        if (FUsed >= FSize || n == 0) return 0;
        return FData[FSize - 1 - FUsed++] % n;
    }

private:
    const std::uint8_t* FData;
    std::size_t FSize;
    std::size_t FUsed = 0;
};

// Row and byte position of content offset `offset` of the logical line that starts at first.
rekna::TSelPoint PointOf(const TUMemoStrings& s, std::int32_t first, std::size_t offset) {
    const std::int32_t last = s.LastRowOfLine(first);
    for (std::int32_t row = first;; ++row) {
        const std::size_t length = s.RowContent(row).size();
        if (offset < length || row == last)
            return {s.HangLength(row) + static_cast<std::int32_t>(offset) + 1, row};
        offset -= length;
    }
}

std::int32_t FirstRowOf(const TUMemoStrings& s, std::size_t line) {
    std::int32_t row = 0;
    for (std::size_t l = 0; l < line; ++l)
        row = s.LastRowOfLine(row) + 1;
    return row;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 6) return 0;
    const auto firstWrap = static_cast<std::int32_t>(data[0] % 80);
    const auto secondWrap = static_cast<std::int32_t>(data[1] % 80);
    const auto tabs = static_cast<std::int32_t>(1 + data[2] % 12);
    const std::uint8_t flags = data[3];
    const unsigned edits = data[4] % 8;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 5, size - 5);
    TControl control(data, size);

    TUMemoStrings s;
    s.SetTabStops(tabs);
    s.SetAutoIndent((flags & 1) != 0);
    s.SetBanBreak((flags & 2) != 0);
    s.SetCplxEnable((flags & 4) != 0);
    s.SetWrapColumns(firstWrap);
    Check(s.LoadBytes(bytes, (flags & 8) != 0), "load failed");
    std::vector<std::string> lines = Lines(bytes);
    Check(s.SaveBytes() == Saved(lines), "saved bytes differ from the loaded ones");
    CheckRows(s, true);
    s.SetWrapColumns(secondWrap);
    Check(s.SaveBytes() == Saved(lines), "re-wrapping changed the text");
    CheckRows(s, true);

    // A few edits of known effect, checked against the lines.
    for (unsigned i = 0; i < edits && !lines.empty(); ++i) {
        const std::size_t line = control.Next(static_cast<unsigned>(lines.size()));
        std::string& model = lines[line];
        const std::size_t at = control.Next(static_cast<unsigned>(model.size() + 1));
        const std::int32_t first = FirstRowOf(s, line);
        const rekna::TSelPoint p = PointOf(s, first, at);
        s.BeginEdit(true);
        if (control.Next(2) == 0 || at == model.size()) {
            static const std::string wide = rekna::SysText("　「");
            const std::string piece = control.Next(2) == 0 ? wide : "x\t";
            std::string text = s.Get(p.Y);
            text.insert(static_cast<std::size_t>(p.X - 1), piece);
            s.Put(p.Y, text);
            model.insert(at, piece);
        } else {
            std::string text = s.Get(p.Y);
            text.erase(static_cast<std::size_t>(p.X - 1), 1);
            s.Put(p.Y, text);
            model.erase(at, 1);
        }
        s.Selection().Caret = p;
        s.Selection().Clear();
        s.Reflow(p.Y);
        s.EndEdit(true);
        Check(s.SaveBytes() == Saved(lines), "an edit changed other text");
        CheckRows(s, true);
    }

    // The line-break commands over a selection, and a final width change: they change the
    // text on purpose, so only the rows' consistency is checked.
    const std::int32_t count = s.GetCount();
    if (count > 0) {
        s.Selection().Mode = rekna::TSelMode::smLine;
        s.Selection().Anchor = {
            1, static_cast<std::int32_t>(control.Next(static_cast<unsigned>(count)))};
        s.Selection().Caret = {
            1, static_cast<std::int32_t>(control.Next(static_cast<unsigned>(count)))};
        switch (control.Next(4)) {
        case 0: s.JoinLines(); break;
        case 1: s.SplitAtWraps(); break;
        case 2: s.RejoinWraps(); break;
        default: s.JoinSelected(); break;
        }
        CheckRows(s, false);
        s.SetWrapColumns(0);
        CheckRows(s, true);
        s.SetWrapColumns(static_cast<std::int32_t>(control.Next(40)) + 1);
        CheckRows(s, true);
        s.SetTextStr(s.GetTextStr());
        CheckRows(s, false);
    }
    return 0;
}
