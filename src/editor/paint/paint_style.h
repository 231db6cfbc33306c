// TPaintStyle: the painter's colours and switches with their defaults, and the colours of a cell.
#pragma once

#include "editor/paint/char_kind.h"
#include "editor/store/wrap.h"
#include "platform/color.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace rekna {

struct TPaintCell;

// The 83 vendor characters of the code page's row 0x87 (circled numbers, Roman numerals, unit
// and era symbols, and the row's mathematical signs), as CP932 bytes.
[[nodiscard]] const std::string& DefaultDependenceChars();

// The fields carry the names of the control's published properties.
struct TPaintStyle {
    TColor Color = clWindow;            // the paper: text area up to the wrap column
    TColor ColorBack = clBtnFace;       // left of the text and beyond the paper
    TColor ColorText = clWindowText;    // ordinary characters
    TColor ColorControl = clHighlight;  // ordinary characters of control lines ('#' first)
    TColor ColorStat = 128;             // ... of statistics lines ('>' first), quoted mail lines
    TColor ColorComment = 32768;
    TColor ColorString = 128;        // also whole rows of script answers in the answer pane
    TColor ColorKeyWord = 16711680;  // keywords and function names
    TColor ColorReserved = 8388608;  // reserved words
    TColor ColorDependence = 16711935;
    TColor ColorDEq = 8388736;       // "＝"
    TColor ColorDSpace = clBtnFace;  // full-width space mark
    TColor ColorTab = clBtnFace;
    TColor ColorCrLf = clBtnFace;
    TColor ColorEof = clBtnFace;
    TColor ColorKakko = clWindow;  // background of the caret's bracket pair
    TColor ColorKakko0 = 128;      // bracket colours by relative depth, innermost first
    TColor ColorKakko1 = 32768;
    TColor ColorKakko2 = 32896;
    TColor ColorKakko3 = 8421376;
    TColor ColorKakko4 = 8388608;
    TColor ColorFind = 65535;            // background of find matches
    TColor ColorFDelimiter = 12639424;   // background of characters in Delimiters
    TColor ColorUnderLine = clGrayText;  // the caret-row underline
    TColor ColorSelText = clHighlightText;
    TColor ColorSelCr = clBtnFace;  // selected marks
    TColor ColorSelBrush = clHighlight;
    TColor ColorSelBrushInactive = clGrayText;

    bool BoldReserved = true;
    bool KakkoHeight = false;  // brackets drawn in sizes by depth
    bool ColorOn = true;       // syntax colours; off: everything but the marks in ColorText
    bool ColorCharOn = false;  // the per-byte colour table
    bool ShowMark = true;      // master switch of the four marks
    bool ShowTab = true;
    bool ShowJSpace = true;
    bool ShowCr = true;
    bool ShowEof = true;
    bool ShowKakko = true;  // the caret's bracket pair bold
    bool ShowUnderLine = true;
    bool HideSelection = false;  // no selection shown without the focus

    TCharSet DependenceChar{DefaultDependenceChars()};

    [[nodiscard]] TColor KakkoColor(std::int32_t level) const noexcept;

    // Single-byte characters whose background is ColorFDelimiter; read back in byte order.
    [[nodiscard]] std::string Delimiters() const;
    // Takes every single-byte character of chars; double-byte characters are skipped.
    void SetDelimiters(std::string_view chars);
    [[nodiscard]] bool IsDelimiter(std::uint8_t c) const noexcept { return FDelimiters[c]; }

    // The per-byte colour table: clNone (unset) everywhere at first. Reading outside 0..255 gives
    // clNone; writing there is ignored.
    [[nodiscard]] TColor CharColor(std::int32_t index) const noexcept;
    void SetCharColor(std::int32_t index, TColor color) noexcept;
    void ResetCharColors() noexcept { FCharColors.fill(clNone); }

    friend bool operator==(const TPaintStyle& a, const TPaintStyle& b);

private:
    std::bitset<256> FDelimiters;
    std::array<TColor, 256> FCharColors = MakeUnsetTable();

    [[nodiscard]] static constexpr std::array<TColor, 256> MakeUnsetTable() noexcept {
        std::array<TColor, 256> t{};
        t.fill(clNone);
        return t;
    }
};

// The colour properties and switches by name, for the settings and the options dialog.
struct TColorProperty {
    std::string_view Name;
    TColor TPaintStyle::*Field;
};
struct TSwitchProperty {
    std::string_view Name;
    bool TPaintStyle::*Field;
};
[[nodiscard]] std::span<const TColorProperty> ColorProperties() noexcept;
[[nodiscard]] std::span<const TSwitchProperty> SwitchProperties() noexcept;

// How one cell is drawn.
struct TCellStyle {
    TColor Font = clWindowText;
    TColor Back = clWindow;
    bool Bold = false;

    friend bool operator==(const TCellStyle&, const TCellStyle&) = default;
};

// The colours of a cell of a row in the given line state. A hidden mark is drawn in its own
// background colour, so it keeps its columns but cannot be seen.
[[nodiscard]] TCellStyle CellStyle(const TPaintStyle& style, const TPaintCell& cell,
                                   TLineState state, bool focused) noexcept;

}  // namespace rekna
