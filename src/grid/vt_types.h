// The settings grid's enumerations, cell coordinates and rectangles, and its collection items.
#pragma once

#include "platform/color.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rekna {

// What a cell does when the user acts on it.
enum class TVtCellMode : std::uint8_t { cmLabel, cmEdit, cmList, cmListBox, cmComboBox, cmColor };

// How a cell's number is written and read, and which characters may be typed into it.
enum class TVtEditDataType : std::uint8_t {
    dtString,
    dtPosInteger,
    dtInteger,
    dtPosFrac,
    dtFrac,
    dtPosReal,
    dtReal,
    dtPosEng,
    dtEng,
    dtTime,
    dtCalc,
    dtColor,
    dtHex
};
inline constexpr int kVtEditDataTypeCount = 13;

enum class TVtAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
enum class TVtLayout : std::uint8_t { tlTop, tlCenter, tlBottom };

// A set of font styles as bits.
enum TVtFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TVtFontStyles = std::uint8_t;

// The gestures that open a drop-down list or the colour dialog, as bits of a set.
enum TListBoxOpenMode : std::uint8_t {
    omMouseDown = 1,
    omDblClick = 2,
    omEnter = 4,
    omSpace = 8,
    omElse = 16
};
using TListBoxOpenModes = std::uint8_t;

enum class TVtParamSelect : std::uint8_t { psRowFirst, psColFirst };
enum class TVtBevel : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };

// How one cell is drawn.
enum class TVtDrawKind : std::uint8_t {
    dkNormal,
    dkSelected,
    dkFocused,
    dkFixed,
    dkFixedFocused,
    dkFixedSelected,
    dkInactive
};

struct TGridCoord {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TGridCoord&, const TGridCoord&) = default;
};

// Left and Right are columns, Top and Bottom rows, both inclusive.
struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    friend bool operator==(const TGridRect&, const TGridRect&) = default;
    [[nodiscard]] bool Contains(int c, int r) const noexcept {
        return c >= Left && c <= Right && r >= Top && r <= Bottom;
    }
    [[nodiscard]] int Width() const noexcept { return Right - Left + 1; }
    [[nodiscard]] int Height() const noexcept { return Bottom - Top + 1; }
};

// A cell's behaviour: its mode, data type and list items.
struct TVtCellAction {
    TVtCellMode Mode = TVtCellMode::cmEdit;
    TVtEditDataType EditDataType = TVtEditDataType::dtString;
    int FloatPrecision = 6;
    bool ImeSentenceNone = false;
    std::vector<std::string> Items;
};

// A cell's layout.
struct TVtCellStyle {
    TVtAlignment Alignment = TVtAlignment::taCenter;
    TVtLayout Layout = TVtLayout::tlCenter;
    int Indent = 1;
    TVtFontStyles FontStyle = 0;
};

// What a cell, a header cell or the corner says about the cells it governs: indexes into the
// grid's collections (-1 none) and colours (clNone none).
struct TVtParam {
    int CellActions = -1;
    int CellStyles = -1;
    int FixedCellStyles = -1;
    TColor Color = clNone;
    TColor FontColor = clNone;
    TColor FixedColor = clNone;
    TColor FixedFontColor = clNone;
    friend bool operator==(const TVtParam&, const TVtParam&) = default;
};

// Header-cell styles.
struct TVtFixedStyles {
    TVtBevel Bevel = TVtBevel::bvSpace;
    TVtBevel BevelFocused = TVtBevel::bvSpace;
    TVtBevel BevelSelected = TVtBevel::bvSpace;
    TVtFontStyles FontStyle = 0;
    TVtFontStyles FontStyleFocused = 0;
    TVtFontStyles FontStyleSelected = 0;
    TColor HighlightColor = clBtnHighlight;
    TColor ShadowColor = clBtnShadow;
};

// The grid's behaviour and colours.
struct TVtOptions {
    bool WantChar = true;
    bool DefaultDrawing = true;
    bool CanEditRange = true;
    bool HideSelection = false;
    bool AutoHint = false;
    bool ShowFixedAccelChar = false;
    bool FloatToStrHideZero = true;
    bool ValuesNanEnablw = false;
    std::string ColorCellStr;  // the grid sets "■" in CP932
    int FloatToStrExpMax = 6;
    int FloatToStrExpMin = -3;
    TColor SelectCellColor = clHighlight;
    TColor SelectFontColor = clHighlightText;
    TColor InActiveCellColor = clInactiveCaption;
    TColor InActiveFontColor = clHighlightText;
    TColor FocusedVLineColor = clNone;
    TColor FocusedHLineColor = clNone;
    std::string ListUpKeys = "uU";
    std::string ListDnKeys = "dD";
    bool ListBoxUpSideDown = true;
    TListBoxOpenModes ListBoxOpenModes = omDblClick | omEnter;
    TListBoxOpenModes ColorDialogOpenModes = omDblClick | omEnter;
    TVtParamSelect VtParamSelect = TVtParamSelect::psRowFirst;
    TVtFixedStyles FixedStyles;
};

// One cell: its text (CP932) and its parameter's index in the grid's parameters (-1 none).
struct TVtGridData {
    std::string Text;
    int Param = -1;
    friend bool operator==(const TVtGridData&, const TVtGridData&) = default;
};

}  // namespace rekna
