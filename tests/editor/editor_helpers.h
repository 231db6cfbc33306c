// Helpers of the editor-command tests: an editor set up with lines, points given by logical line
// and text offset, and the whole state that undo and redo must restore.
#pragma once

#include "editor/umemo_editor.h"
#include "store_helpers.h"

#include <ostream>
#include <sstream>
#include <string>

namespace rekna::test {

// Rows with their flags and hanging-indent lengths, the selection and the view.
struct TEditorState {
    TRowSnapshot Rows;
    TSelMode Mode = TSelMode::smNone;
    TSelPoint Caret;
    TSelPoint Anchor;
    std::int32_t TopRow = 0;
    std::int32_t LeftCol = 1;
    std::int32_t Wrap = 0;

    friend bool operator==(const TEditorState&, const TEditorState&) = default;
};

inline TEditorState State(const TUMemoStrings& s) {
    const TUMemoSelection& sel = s.Selection();
    return {Snapshot(s), sel.Mode, sel.Caret, sel.Anchor, s.TopRow(), s.LeftCol(), s.WrapColumns()};
}

inline std::ostream& operator<<(std::ostream& out, const TEditorState& st) {
    out << "rows:";
    for (const auto& [text, continued, hang] : st.Rows)
        out << " [" << U(text) << (continued ? "~" : "|") << hang << "]";
    out << " mode " << static_cast<int>(st.Mode) << " caret (" << st.Caret.X << "," << st.Caret.Y
        << ") anchor (" << st.Anchor.X << "," << st.Anchor.Y << ") top " << st.TopRow << " left "
        << st.LeftCol << " wrap " << st.Wrap;
    return out;
}

// The editor's store configured and loaded with CP932 lines (wrapped under the settings).
inline void Setup(TUMemoEditor& e, const TStoreSetup& setup, std::string_view text) {
    Configure(e.Strings(), setup);
    LoadLines(e.Strings(), text);
}

// The first row of logical line `line` (clamped to the last line).
inline std::int32_t LineRow(const TUMemoStrings& s, std::size_t line) {
    std::int32_t row = 0;
    for (std::size_t l = 0; l < line && s.LastRowOfLine(row) + 1 < s.GetCount(); ++l)
        row = s.LastRowOfLine(row) + 1;
    return row;
}

// Row and byte position of text offset `offset` of logical line `line` (clamped to its end).
inline TSelPoint At(const TUMemoStrings& s, std::size_t line, std::size_t offset) {
    std::int32_t row = LineRow(s, line);
    const std::int32_t last = s.LastRowOfLine(row);
    for (;; ++row) {
        const std::size_t length = s.RowContent(row).size();
        if (offset < length || row == last) {
            offset = std::min(offset, length);
            return {s.HangLength(row) + static_cast<std::int32_t>(offset) + 1, row};
        }
        offset -= length;
    }
}

// The text of the store with LF between lines, in UTF-8, for readable expectations.
inline std::string Text(const TUMemoStrings& s) {
    std::string text = U(s.GetTextStr());
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

// UTF-8 lines joined with LF to CP932 with CR LF.
inline std::string Lines(std::string_view utf8) {
    std::string out;
    for (char c : J(utf8)) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

}  // namespace rekna::test
