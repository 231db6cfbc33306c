// The print window's number boxes with their clamps, its switches, and their settings keys.
#include "print/print_settings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace rekna {
namespace {

constexpr std::array<TPrintBoxRow, kPrintBoxCount> kBoxes{{
    {"PreView.Scale", 20, 200, 75, "25,50,75,100,125,150,175,200"},
    {"PrintMargin.Top", 10, 50, 25, "10,15,20,25,30"},
    {"PrintMargin.Bottom", 10, 50, 20, "10,15,20,25,30"},
    {"PrintMargin.Left", 10, 50, 25, "10,15,20,25,30"},
    {"PrintMargin.Right", 10, 50, 20, "10,15,20,25,30"},
    {"PrintLineSpace", 0, 100, 20, "0,10,20,30,40,50"},
    {"PrintAnsWidth", 10, 90, 75, "50,60,70,80,90"},
}};

constexpr std::string_view kTopKey = "PreView.Top";
constexpr std::string_view kLeftKey = "PreView.Left";
constexpr std::string_view kWidthKey = "PreView.Width";
constexpr std::string_view kHeightKey = "PreView.Hight";
constexpr std::string_view kFileNameKey = "PrintFileName";
constexpr std::string_view kTwoColumnKey = "Print2Column";
constexpr std::string_view kPageNoKey = "PrintPageNo";
constexpr std::string_view kSelRowKey = "PrintSelRow";
constexpr std::string_view kPaperKey = "PrintPaper";
constexpr std::string_view kLandscapeKey = "PrintLandscape";

// A whole number with optional leading blanks and sign; anything else (trailing text, an
// overflow) is none.
std::optional<long long> ReadInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    text.remove_prefix(i);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 10) return std::nullopt;
    long long v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return negative ? -v : v;
}

std::string_view Find(const TKeptTexts& kept, std::string_view key) {
    const auto it = kept.find(key);
    return it == kept.end() ? std::string_view() : std::string_view(it->second);
}

std::optional<int> ReadPlace(const TKeptTexts& kept, std::string_view key) {
    const std::optional<long long> v = ReadInteger(Find(kept, key));
    if (!v || *v < -1000000 || *v > 1000000) return std::nullopt;
    return static_cast<int>(*v);
}

bool ReadSwitch(const TKeptTexts& kept, std::string_view key, bool fallback) {
    const std::optional<long long> v = ReadInteger(Find(kept, key));
    return v ? *v != 0 : fallback;
}

// A stored margin, answer position or switch for the paper width: empty (or unreadable) gives
// the fallback, any other text reads as its box would.
int StoredBox(const TKeptTexts& kept, TPrintBox box, int fallback) {
    const std::string_view text = Find(kept, PrintBoxRow(box).Key);
    return text.empty() ? fallback : ComboValue(text, box);
}

}  // namespace

const TPrintBoxRow& PrintBoxRow(TPrintBox box) noexcept {
    return kBoxes[static_cast<std::size_t>(box)];
}

int ComboValue(std::string_view text, TPrintBox box) noexcept {
    const std::size_t dot = text.find('.');
    const std::optional<long long> v = ReadInteger(text.substr(0, dot));
    const long long value = v ? std::llabs(*v) : 100;
    const TPrintBoxRow& row = PrintBoxRow(box);
    return static_cast<int>(std::clamp<long long>(value, row.Min, row.Max));
}

TPrintSettings ReadPrintSettings(const TKeptTexts& kept) {
    TPrintSettings s;
    s.Top = ReadPlace(kept, kTopKey);
    s.Left = ReadPlace(kept, kLeftKey);
    s.Width = ReadPlace(kept, kWidthKey);
    s.Height = ReadPlace(kept, kHeightKey);
    for (std::size_t i = 0; i < kPrintBoxCount; ++i) {
        const std::string_view stored = Find(kept, kBoxes[i].Key);
        s.Boxes[i] = stored.empty() ? std::to_string(kBoxes[i].Default) : std::string(stored);
    }
    s.FileName = ReadSwitch(kept, kFileNameKey, false);
    s.TwoColumn = ReadSwitch(kept, kTwoColumnKey, true);
    s.PageNo = ReadSwitch(kept, kPageNoKey, false);
    s.SelRow = ReadSwitch(kept, kSelRowKey, false);
    if (const std::optional<TPaperMm> paper = ReadPaper(Find(kept, kPaperKey)))
        s.Paper = PaperText(*paper);
    s.Landscape = ReadSwitch(kept, kLandscapeKey, false);
    return s;
}

void WritePrintSettings(TKeptTexts& kept, const TPrintSettings& s) {
    const auto place = [&kept](std::string_view key, const std::optional<int>& v) {
        if (v) kept[std::string(key)] = std::to_string(*v);
    };
    place(kTopKey, s.Top);
    place(kLeftKey, s.Left);
    place(kWidthKey, s.Width);
    place(kHeightKey, s.Height);
    for (std::size_t i = 0; i < kPrintBoxCount; ++i)
        kept[std::string(kBoxes[i].Key)] = s.Boxes[i];
    kept[std::string(kFileNameKey)] = s.FileName ? "1" : "0";
    kept[std::string(kTwoColumnKey)] = s.TwoColumn ? "1" : "0";
    kept[std::string(kPageNoKey)] = s.PageNo ? "1" : "0";
    kept[std::string(kSelRowKey)] = s.SelRow ? "1" : "0";
    if (!s.Paper.empty()) {
        kept[std::string(kPaperKey)] = s.Paper;
        kept[std::string(kLandscapeKey)] = s.Landscape ? "1" : "0";
    }
}

std::optional<TPaperMm> ReadPaper(std::string_view text) {
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos) return std::nullopt;
    const auto number = [](std::string_view t) -> std::optional<double> {
        double v = 0;
        const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
        // From a post card to a long roll: anything else is no paper.
        if (ec != std::errc() || end != t.data() + t.size() || !(v >= 10 && v <= 5000))
            return std::nullopt;
        return v;
    };
    const std::optional<double> w = number(text.substr(0, x));
    const std::optional<double> h = number(text.substr(x + 1));
    if (!w || !h) return std::nullopt;
    return TPaperMm{*w, *h};
}

std::string PaperText(const TPaperMm& paper) {
    // Tenths of a millimetre tell every paper apart.
    const auto tenths = [](double v) {
        const long long t = std::llround(v * 10);
        return std::to_string(t / 10) + (t % 10 != 0 ? "." + std::to_string(t % 10) : "");
    };
    return tenths(paper.Width) + "x" + tenths(paper.Height);
}

void StoreTwoColumn(TKeptTexts& kept, bool on) {
    kept[std::string(kTwoColumnKey)] = on ? "1" : "0";
}

int MmToDots(int mm, int dpi) noexcept {
    return static_cast<int>(std::lround(mm * static_cast<double>(dpi) / 25.4));
}

int PaperColumns(const TKeptTexts& kept, const TPrintMetrics& m, int twoCharWidth,
                 bool answerPaneShown) noexcept {
    constexpr int kFallback = 80;
    if (!m.Valid() || twoCharWidth <= 0) return kFallback;
    // Both margins are measured from the printable area's left offset.
    const int left = MmToDots(StoredBox(kept, TPrintBox::pbLeft, 25), m.DpiX) - m.OffX;
    const int right = MmToDots(StoredBox(kept, TPrintBox::pbRight, 20), m.DpiX) - m.OffX;
    const double usable = m.PageW - left - right;
    const int ansWidth = StoredBox(kept, TPrintBox::pbAns, 75);
    // An empty key is a fresh installation: its check box is on, and so the answers take their
    // share of the width, else a full-width row would run under its own answer.
    const bool twoColumn = ReadSwitch(kept, kTwoColumnKey, ReadPrintSettings({}).TwoColumn);
    const double w = twoCharWidth;
    const double columns = twoColumn && answerPaneShown
                               ? (ansWidth * usable / 100.0 - left / 2.0) / w * 2.0
                               : usable / w * 2.0;
    if (!std::isfinite(columns)) return kFallback;
    return static_cast<int>(std::lround(std::clamp(columns, -1.0e6, 1.0e6)));
}

}  // namespace rekna
