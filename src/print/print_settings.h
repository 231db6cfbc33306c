// The print window's number boxes with their clamps, its switches, and their settings keys.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace rekna {

// The seven number boxes of the print window, in the order of their tags.
enum class TPrintBox : std::uint8_t { pbScale, pbTop, pbBottom, pbLeft, pbRight, pbSpace, pbAns };
inline constexpr std::size_t kPrintBoxCount = 7;

// One row of the clamp table: the settings key, the accepted range, the default and the
// drop-down list of the box.
struct TPrintBoxRow {
    std::string_view Key;
    int Min;
    int Max;
    int Default;
    std::string_view Items;  // comma-separated
};

[[nodiscard]] const TPrintBoxRow& PrintBoxRow(TPrintBox box) noexcept;

// What a number box holds: the text up to the first "." read as a whole number (100 when it is
// none), made positive and clamped to the box's range.
[[nodiscard]] int ComboValue(std::string_view text, TPrintBox box) noexcept;

// The window's settings as the settings file keeps them.
struct TPrintSettings {
    // Window place; a stored text that is no number keeps the window's own value.
    std::optional<int> Top, Left, Width, Height;
    // The box texts as they stand (the stored text when not empty, else the default).
    std::array<std::string, kPrintBoxCount> Boxes;
    bool FileName = false;  // ファイル名を印刷
    bool TwoColumn = true;  // 計算結果を印刷
    bool PageNo = false;    // ページNoを印刷
    bool SelRow = false;    // 選択行のみ
    // The paper chosen in the printer set-up: "WIDTHxHEIGHT" in millimetres, empty while none
    // was chosen (the printer's own then holds), and its orientation.
    std::string Paper;
    bool Landscape = false;
};

// The width and height of a stored paper in millimetres; none when the text is no paper.
struct TPaperMm {
    double Width = 0, Height = 0;
};
[[nodiscard]] std::optional<TPaperMm> ReadPaper(std::string_view text);
[[nodiscard]] std::string PaperText(const TPaperMm& paper);

using TKeptTexts = std::map<std::string, std::string, std::less<>>;

[[nodiscard]] TPrintSettings ReadPrintSettings(const TKeptTexts& kept);
// Every key of the window: its place (only those known), the box texts and the four switches.
void WritePrintSettings(TKeptTexts& kept, const TPrintSettings& s);
// The "計算結果を印刷" switch is stored at once when it changes.
void StoreTwoColumn(TKeptTexts& kept, bool on);

// The printer page as the printer describes it, in its dots.
struct TPrintMetrics {
    int PaperW = 0, PaperH = 0;  // the whole sheet
    int OffX = 0, OffY = 0;      // where the printable area starts on it
    int PageW = 0, PageH = 0;    // the printable area
    int DpiX = 0, DpiY = 0;
    [[nodiscard]] bool Valid() const noexcept {
        return PaperW > 0 && PaperH > 0 && PageW > 0 && PageH > 0 && DpiX > 0 && DpiY > 0;
    }
};

// The wrap width in characters for wrapping at the paper edge: the usable width between the
// stored left and right margins (the answer column's share of it when answers print beside the
// memo) over the width of "__" (twoCharWidth, in printer dots). 80 when the printer or the
// font cannot say.
[[nodiscard]] int PaperColumns(const TKeptTexts& kept, const TPrintMetrics& m, int twoCharWidth,
                               bool answerPaneShown) noexcept;

// mm on a printer of dpi dots per inch, rounded.
[[nodiscard]] int MmToDots(int mm, int dpi) noexcept;

}  // namespace rekna
