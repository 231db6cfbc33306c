// TUMemoStrings: the row interface, host data, replay operations, logical lines, the text
// property, edit groups and the consistency check.
#include "editor/store/umemo_strings.h"

#include "editor/commands/past_string_list.h"
#include "editor/store/columns.h"
#include "platform/cp932.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <sstream>

namespace rekna {
namespace {

[[nodiscard]] std::string ListIndexError(std::int32_t row) {
    static const std::string format = SysText("リストのインデックスが範囲を超えています (%d)");
    std::string text = format;
    const std::size_t at = text.find("%d");
    if (at != std::string::npos) text.replace(at, 2, std::to_string(row));
    return text;
}

[[nodiscard]] const std::string& EmptyText() {
    static const std::string empty;
    return empty;
}

[[nodiscard]] const TUMemoStringItem& EmptyItem() {
    static const TUMemoStringItem empty;
    return empty;
}

[[nodiscard]] std::uint16_t CommonPrefix(std::string_view a, std::string_view b,
                                         std::uint16_t limit) noexcept {
    std::size_t n = std::min({a.size(), b.size(), static_cast<std::size_t>(limit)});
    std::size_t i = 0;
    while (i < n && a[i] == b[i])
        ++i;
    return static_cast<std::uint16_t>(i);
}

[[nodiscard]] std::uint16_t ClampHang(std::uint16_t hang, std::string_view text) noexcept {
    return static_cast<std::uint16_t>(std::min<std::size_t>(hang, text.size()));
}

}  // namespace

TUMemoStrings::TUMemoStrings() {
    FRules.BanHead = &FBanHead;
    FRules.BanEnd = &FBanEnd;
    FBanHead.Assign(SysText("、。，．？！゛゜…‥’”）〕］｝〉》」』】≫)]}."));
    FBanEnd.Assign(SysText("（［｛「〔《『【〈≪‘“([{"));
}

TUMemoStrings::~TUMemoStrings() = default;

// --- Row primitives ---------------------------------------------------------------------------

bool TUMemoStrings::CheckRow(std::int32_t row, bool allowEnd) const {
    const std::int32_t limit = GetCount() + (allowEnd ? 1 : 0);
    if (row >= 0 && row < limit) return true;
    FLastError = ListIndexError(row);
    return false;
}

void TUMemoStrings::Record(TUndoKind kind, std::int32_t row, std::string_view oldText,
                           bool oldContinued, std::uint16_t oldHangLength) {
    if (FRecorder) FRecorder->RecordRow(kind, row, oldText, oldContinued, oldHangLength);
}

TUMemoStringItem TUMemoStrings::NewItem(std::string_view text, bool continued,
                                        std::uint16_t hangLength) const {
    TUMemoStringItem item;
    item.Text.assign(text);
    const TRowMeasure measure = MeasureRow(text, FRules.TabStops);
    item.Width = measure.Width;
    item.Tabs = measure.Tabs ? 1 : 0;
    item.HangLength = ClampHang(hangLength, text);
    item.Continued = continued ? 1 : 0;
    item.HasValue = FCplxEnable ? 1 : 0;
    return item;
}

void TUMemoStrings::RawInsert(std::int32_t row, std::string_view text, bool continued,
                              std::uint16_t hangLength) {
    FRows.Insert(row, NewItem(text, continued, hangLength));
    FChanged = true;
    Record(TUndoKind::ukInserted, row, {}, false, 0);
    if (FObserver && !FClearing) FObserver->RowsInserted(row, 1);
}

void TUMemoStrings::RawDelete(std::int32_t row) {
    if (FObserver && !FClearing) FObserver->RowsRemoving(row, 1);
    const TUMemoStringItem& item = FRows.At(row);
    Record(TUndoKind::ukDeleted, row, item.Text, item.Continued != 0, item.HangLength);
    FRows.Erase(row);
    FChanged = true;
}

void TUMemoStrings::RawInsertRows(std::int32_t row, std::vector<TUMemoStringItem>&& items) {
    const auto n = static_cast<std::int32_t>(items.size());
    FRows.InsertRange(row, std::move(items));
    FChanged = true;
    for (std::int32_t k = 0; k < n; ++k)
        Record(TUndoKind::ukInserted, row + k, {}, false, 0);
    if (FObserver && n > 0) FObserver->RowsInserted(row, n);
}

void TUMemoStrings::RawDeleteRows(std::int32_t row, std::int32_t count) {
    count = std::min(count, GetCount() - row);
    if (FObserver && count > 0) FObserver->RowsRemoving(row, count);
    for (std::int32_t k = 0; k < count; ++k) {
        const TUMemoStringItem& item = FRows.At(row + k);
        Record(TUndoKind::ukDeleted, row, item.Text, item.Continued != 0, item.HangLength);
    }
    FRows.EraseRange(row, count);
    FChanged = true;
}

void TUMemoStrings::RawPut(std::int32_t row, std::string_view text, bool continued,
                           std::uint16_t hangLength) {
    const TUMemoStringItem& item = FRows.At(row);
    hangLength = ClampHang(hangLength, text);
    if (item.Text == text && item.HangLength == hangLength) {
        RawSetFlag(row, continued);
        return;
    }
    std::string copy(text);  // text may view the row itself
    if (FRecorder)
        FRecorder->RecordChange(row, item.Text, copy, item.Continued != 0, item.HangLength);
    SetRowText(row, std::move(copy));
    RowTextChanged(row, continued, hangLength);
}

void TUMemoStrings::SetRowText(std::int32_t row, std::string&& text) {
    const TRowMeasure measure = MeasureRow(text, FRules.TabStops);
    FRows.SetText(row, std::move(text), measure.Width, measure.Tabs);
}

void TUMemoStrings::RowTextChanged(std::int32_t row, bool continued, std::uint16_t hangLength) {
    FRows.SetContinued(row, continued);
    TUMemoStringItem& host = FRows.Host(row);
    host.HangLength = ClampHang(hangLength, host.Text);
    if (host.RowMark != TRowMark::rmInserted) host.RowMark = TRowMark::rmModified;
    FChanged = true;
    if (FObserver) FObserver->RowChanged(row);
}

void TUMemoStrings::SpliceText(std::int32_t row, std::size_t at, std::size_t count,
                               std::string_view bytes) {
    const TUMemoStringItem& item = FRows.At(row);
    const std::string_view old = item.Text;
    const auto hasTab = [](std::string_view part) {
        return !part.empty() && std::memchr(part.data(), '\t', part.size()) != nullptr;
    };
    const bool tabAdded = hasTab(bytes);
    const bool tabRemoved = item.Tabs != 0 && hasTab(old.substr(at, count));
    const bool tabBehind = item.Tabs != 0 && (tabRemoved || hasTab(old.substr(at + count)));
    // A removed Tab may have been the row's last: then the parts that stay are searched.
    const bool tabs =
        tabAdded ||
        (tabRemoved ? hasTab(old.substr(0, at)) || hasTab(old.substr(at + count)) : item.Tabs != 0);
    // Without a Tab from the splice on, the columns before it stay and every byte behind it takes
    // one column, so the width moves by the change of length. A Tab behind it may reach another
    // stop: then the row is walked again.
    const bool walk = tabAdded || tabBehind || item.Width == INT32_MAX;
    const auto grown = static_cast<std::int64_t>(bytes.size()) - static_cast<std::int64_t>(count);
    const auto width = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(std::int64_t{item.Width} + grown, 0, INT32_MAX));
    FRows.Splice(row, at, count, bytes, width, tabs);
    if (walk) FRows.SetWidth(row, RowWidth(FRows.At(row).Text));
}

void TUMemoStrings::RawSplice(std::int32_t row, std::size_t at, std::size_t count,
                              std::string_view bytes) {
    const TUMemoStringItem& item = FRows.At(row);
    if (count == bytes.size() && std::string_view(item.Text).substr(at, count) == bytes) return;
    if (FRecorder)
        FRecorder->RecordSplice(row, item.Text, at, count, bytes.size(), item.Continued != 0,
                                item.HangLength);
    const bool continued = item.Continued != 0;
    const std::uint16_t hangLength = item.HangLength;
    SpliceText(row, at, count, bytes);
    RowTextChanged(row, continued, hangLength);
}

void TUMemoStrings::RawSetFlag(std::int32_t row, bool continued) {
    const TUMemoStringItem& item = FRows.At(row);
    if ((item.Continued != 0) == continued) return;
    Record(TUndoKind::ukFlag, row, {}, item.Continued != 0, item.HangLength);
    FRows.SetContinued(row, continued);
    TUMemoStringItem& host = FRows.Host(row);
    if (host.RowMark != TRowMark::rmInserted) host.RowMark = TRowMark::rmModified;
    FChanged = true;
    if (FObserver && !FClearing) FObserver->RowChanged(row);
}

void TUMemoStrings::FixHang(std::int32_t row) {
    if (row < 0 || row >= GetCount()) return;
    const TUMemoStringItem& item = FRows.At(row);
    if (item.HangLength == 0 || (row > 0 && FRows.At(row - 1).Continued != 0)) return;
    RawPut(row, item.Text, item.Continued != 0, 0);
}

// --- Row interface ----------------------------------------------------------------------------

const std::string& TUMemoStrings::Get(std::int32_t row) const {
    if (!CheckRow(row)) return EmptyText();
    return FRows.At(row).Text;
}

bool TUMemoStrings::Put(std::int32_t row, std::string_view text) {
    if (!CheckRow(row)) return false;
    return PutRow(row, text, FRows.At(row).Continued != 0);
}

bool TUMemoStrings::PutRow(std::int32_t row, std::string_view text, bool continued) {
    if (!CheckRow(row)) return false;
    BeginEdit(false);
    const TUMemoStringItem& item = FRows.At(row);
    const std::uint16_t hang = CommonPrefix(item.Text, text, item.HangLength);
    RawPut(row, text, continued, hang);
    if (!continued) FixHang(row + 1);
    EndEdit(false);
    return true;
}

bool TUMemoStrings::Splice(std::int32_t row, std::int32_t pos, std::int32_t count,
                           std::string_view bytes) {
    if (!CheckRow(row)) return false;
    const TUMemoStringItem& item = FRows.At(row);
    const std::string_view text = item.Text;
    const auto length = static_cast<std::int32_t>(text.size());
    pos = std::clamp(pos, 1, length + 1);
    count = std::clamp(count, 0, length + 1 - pos);
    const auto at = static_cast<std::size_t>(pos - 1);
    const bool inside = !bytes.empty() && bytes.data() < text.data() + text.size() &&
                        text.data() < bytes.data() + bytes.size();
    if (at < item.HangLength || inside) {
        // Into the hanging-indent copy, whose kept part Put works out, or bytes of the row itself.
        std::string edited(text);
        edited.replace(at, static_cast<std::size_t>(count), bytes);
        return Put(row, edited);
    }
    BeginEdit(false);
    RawSplice(row, at, static_cast<std::size_t>(count), bytes);
    if (FRows.At(row).Continued == 0) FixHang(row + 1);
    EndEdit(false);
    return true;
}

bool TUMemoStrings::Insert(std::int32_t row, std::string_view text) {
    return InsertRow(row, text, false);
}

bool TUMemoStrings::InsertRow(std::int32_t row, std::string_view text, bool continued) {
    if (!CheckRow(row, true)) return false;
    BeginEdit(false);
    RawInsert(row, text, continued, 0);
    if (!continued) FixHang(row + 1);
    EndEdit(false);
    return true;
}

std::int32_t TUMemoStrings::Add(std::string_view text) {
    const std::int32_t row = GetCount();
    InsertRow(row, text, false);
    return row;
}

bool TUMemoStrings::Delete(std::int32_t row) {
    if (!CheckRow(row)) return false;
    BeginEdit(false);
    RawDelete(row);
    FixHang(row);
    EndEdit(false);
    return true;
}

void TUMemoStrings::Clear() {
    BeginEdit(false);
    if (FRecorder) FRecorder->ClearUndo();
    FClearing = true;
    for (std::int32_t row = GetCount() - 1; row >= 0; --row)
        RawDelete(row);
    FClearing = false;
    FSelection.Reset();
    FTopRow = 0;
    if (FObserver) FObserver->RowsReset();
    EndEdit(false);
}

bool TUMemoStrings::Continued(std::int32_t row) const {
    return CheckRow(row) && FRows.At(row).Continued != 0;
}

bool TUMemoStrings::SetContinued(std::int32_t row, bool continued) {
    if (!CheckRow(row)) return false;
    BeginEdit(false);
    RawSetFlag(row, continued);
    if (!continued) FixHang(row + 1);
    EndEdit(false);
    return true;
}

const TUMemoStringItem& TUMemoStrings::Item(std::int32_t row) const {
    return CheckRow(row) ? FRows.At(row) : EmptyItem();
}

std::int32_t TUMemoStrings::HangLength(std::int32_t row) const {
    return Item(row).HangLength;
}

std::string_view TUMemoStrings::RowContent(std::int32_t row) const {
    const TUMemoStringItem& item = Item(row);
    return std::string_view(item.Text).substr(item.HangLength);
}

std::string_view TUMemoStrings::Note(std::int32_t row) const {
    return Item(row).Answer.Note();
}

std::string_view TUMemoStrings::Result(std::int32_t row) const {
    return Item(row).Answer.Result();
}

TCplx TUMemoStrings::Value(std::int32_t row) const {
    const TUMemoStringItem& item = Item(row);
    return item.HasValue ? item.Answer.Value() : TCplx();
}

std::string_view TUMemoStrings::Log(std::int32_t row) const {
    return Item(row).Answer.Log();
}

const TLineAnswerRef& TUMemoStrings::Answer(std::int32_t row) const {
    return Item(row).Answer;
}

bool TUMemoStrings::SetAnswer(std::int32_t row, TLineAnswerRef answer) {
    if (!CheckRow(row)) return false;
    TUMemoStringItem& item = FRows.Host(row);
    if (answer.Get() == item.Answer.Get()) return true;
    if (!item.HasValue && !answer.Value().IsZero()) {
        // The row keeps no value: a block of the texts alone.
        answer =
            TLineAnswer::Make(answer.Note(), answer.Result(), TCplx(), answer.Log(), answer.Deps());
    }
    if (item.Answer.Result() != answer.Result()) item.ResultMark = 2;
    item.Answer = std::move(answer);
    return true;
}

bool TUMemoStrings::SetNote(std::int32_t row, std::string_view note) {
    if (!CheckRow(row)) return false;
    const TLineAnswerRef& a = FRows.At(row).Answer;
    if (a.Note() == note) return true;
    return SetAnswer(row, TLineAnswer::Make(note, a.Result(), a.Value(), a.Log(), a.Deps()));
}

bool TUMemoStrings::SetResult(std::int32_t row, std::string_view result) {
    if (!CheckRow(row)) return false;
    const TLineAnswerRef& a = FRows.At(row).Answer;
    if (a.Result() == result) return true;
    return SetAnswer(row, TLineAnswer::Make(a.Note(), result, a.Value(), a.Log(), a.Deps()));
}

bool TUMemoStrings::SetValue(std::int32_t row, const TCplx& value) {
    if (!CheckRow(row)) return false;
    const TUMemoStringItem& item = FRows.At(row);
    if (!item.HasValue) return true;
    const TLineAnswerRef& a = item.Answer;
    return SetAnswer(row, TLineAnswer::Make(a.Note(), a.Result(), value, a.Log(), a.Deps()));
}

std::int32_t TUMemoStrings::Width(std::int32_t row) const {
    if (GetCount() == 0) return 0;
    return Item(row).Width;
}

TRowMark TUMemoStrings::RowMark(std::int32_t row) const {
    return Item(row).RowMark;
}

bool TUMemoStrings::SetRowMark(std::int32_t row, TRowMark mark) {
    if (!CheckRow(row)) return false;
    FRows.Host(row).RowMark = mark;
    if (mark != TRowMark::rmNone) FChanged = true;
    return true;
}

std::uint8_t TUMemoStrings::ResultMark(std::int32_t row) const {
    return Item(row).ResultMark;
}

bool TUMemoStrings::SetResultMark(std::int32_t row, std::uint8_t mark) {
    if (!CheckRow(row)) return false;
    FRows.Host(row).ResultMark = mark;
    return true;
}

// --- Replay -----------------------------------------------------------------------------------

bool TUMemoStrings::ReplayInsert(std::int32_t row, std::string_view text, bool continued,
                                 std::uint16_t hangLength) {
    if (row < 0 || row > GetCount()) return false;
    FRows.Insert(row, NewItem(text, continued, hangLength));
    FChanged = true;
    if (FObserver) FObserver->RowsInserted(row, 1);
    return true;
}

bool TUMemoStrings::ReplayDelete(std::int32_t row) {
    if (row < 0 || row >= GetCount()) return false;
    if (FObserver) FObserver->RowsRemoving(row, 1);
    FRows.Erase(row);
    FChanged = true;
    return true;
}

bool TUMemoStrings::ReplayInsertRows(std::int32_t row, std::vector<TUMemoStringItem>&& items) {
    if (row < 0 || row > GetCount()) return false;
    const auto n = static_cast<std::int32_t>(items.size());
    FRows.InsertRange(row, std::move(items));
    FChanged = true;
    if (FObserver && n > 0) FObserver->RowsInserted(row, n);
    return true;
}

bool TUMemoStrings::ReplayDeleteRows(std::int32_t row, std::int32_t count) {
    if (row < 0 || count < 0 || row + count > GetCount()) return false;
    if (FObserver && count > 0) FObserver->RowsRemoving(row, count);
    FRows.EraseRange(row, count);
    FChanged = true;
    return true;
}

bool TUMemoStrings::ReplayPut(std::int32_t row, std::string_view text, bool continued,
                              std::uint16_t hangLength) {
    if (row < 0 || row >= GetCount()) return false;
    SetRowText(row, std::string(text));
    RowTextChanged(row, continued, hangLength);
    return true;
}

bool TUMemoStrings::ReplaySplice(std::int32_t row, std::size_t at, std::size_t count,
                                 std::string_view bytes, bool continued, std::uint16_t hangLength) {
    if (row < 0 || row >= GetCount()) return false;
    const std::size_t length = FRows.At(row).Text.size();
    at = std::min(at, length);
    SpliceText(row, at, std::min(count, length - at), bytes);
    RowTextChanged(row, continued, hangLength);
    return true;
}

bool TUMemoStrings::ReplayFlag(std::int32_t row, bool continued) {
    if (row < 0 || row >= GetCount()) return false;
    FRows.SetContinued(row, continued);
    FChanged = true;
    if (FObserver) FObserver->RowChanged(row);
    return true;
}

void TUMemoStrings::ReplayView(const TViewState& view) {
    FRules.WrapColumns = std::clamp(view.WrapColumns, 0, kMaxWrapColumns);
    FSelection.Caret = {view.CaretX, view.CaretY};
    FSelection.Anchor = {view.AnchorX, view.AnchorY};
    FSelection.Mode = view.Mode;
    SetTopRow(view.TopRow);
    SetLeftCol(view.LeftCol);
}

TViewState TUMemoStrings::ViewState() const noexcept {
    return {FRules.WrapColumns, FSelection.Caret.X,  FSelection.Caret.Y,  FTopRow,
            FLeftCol,           FSelection.Anchor.X, FSelection.Anchor.Y, FSelection.Mode};
}

// --- Logical lines ----------------------------------------------------------------------------

std::int32_t TUMemoStrings::FirstRowOfLine(std::int32_t row) const noexcept {
    const std::int32_t count = GetCount();
    if (count == 0) return 0;
    return FRows.FirstRowOfLine(std::clamp(row, 0, count - 1));
}

std::int32_t TUMemoStrings::LastRowOfLine(std::int32_t row) const noexcept {
    const std::int32_t count = GetCount();
    if (count == 0) return 0;
    return FRows.LastRowOfLine(std::clamp(row, 0, count - 1));
}

std::string TUMemoStrings::GetLine(std::int32_t row) const {
    if (GetCount() == 0) return {};
    const std::int32_t first = FirstRowOfLine(row);
    const std::int32_t last = LastRowOfLine(row);
    std::string line;
    for (std::int32_t r = first; r <= last; ++r)
        line += RowContent(r);
    return line;
}

std::string_view TUMemoStrings::LineView(std::int32_t row, std::string& storage) const {
    if (GetCount() == 0) return {};
    if (FirstRowOfLine(row) == LastRowOfLine(row)) return RowContent(row);
    storage = GetLine(row);
    return storage;
}

void TUMemoStrings::SetLine(std::int32_t row, std::string_view text) {
    BeginEdit(false);
    std::string copy(text);  // text may view one of the rows
    if (GetCount() == 0) RawInsert(0, {}, false, 0);
    const std::int32_t first = FirstRowOfLine(row);
    const std::int32_t last = LastRowOfLine(row);
    const std::int32_t removed = last - first;
    const bool caretInside = FSelection.Caret.Y >= first && FSelection.Caret.Y <= last;
    for (std::int32_t r = last; r > first; --r)
        RawDelete(r);
    for (TSelPoint* point : {&FSelection.Caret, &FSelection.Anchor})
        if (point->Y > last) point->Y -= removed;
    if (FTopRow > last)
        FTopRow -= removed;
    else if (FTopRow > first)
        FTopRow = first;
    RawPut(first, copy, false, 0);
    const std::int32_t newLast = ReflowFrom(first);
    if (caretInside) {
        FSelection.Caret = {static_cast<std::int32_t>(FRows.At(newLast).Text.size()) + 1, newLast};
        FSelection.Normalize(*this);
    }
    EndEdit(false);
}

// --- Text -------------------------------------------------------------------------------------

void TUMemoStrings::VisitLines(const std::function<void(std::string_view)>& piece,
                               const std::function<void(bool last)>& lineEnd) const {
    const std::int32_t count = GetCount();
    for (std::int32_t row = 0; row < count; ++row) {
        const TUMemoStringItem& item = FRows.At(row);
        piece(std::string_view(item.Text).substr(item.HangLength));
        if (item.Continued == 0 || row == count - 1) lineEnd(row == count - 1);
    }
}

std::string TUMemoStrings::GetTextStr() const {
    std::string text;
    VisitLines([&](std::string_view piece) { text += piece; },
               [&](bool last) {
                   if (!last) text += "\r\n";
               });
    return text;
}

std::string TUMemoStrings::SaveBytes() const {
    std::string bytes;
    VisitLines([&](std::string_view piece) { bytes += piece; }, [&](bool) { bytes += "\r\n"; });
    return bytes;
}

void TUMemoStrings::SetTextStr(std::string_view text) {
    BeginEdit(false);
    TPastStringList lines;
    lines.SetTextStr(text);
    // Normalising a final lone CR to CR LF makes it end the text with LF as well.
    if (!text.empty() && text.back() == '\r') lines.Add({});
    const std::int32_t count = GetCount();
    const std::int32_t n = lines.Count();
    for (std::int32_t i = 0; i < n; ++i) {
        if (i < count)
            RawPut(i, lines.Get(i), false, 0);
        else
            RawInsert(i, lines.Get(i), false, 0);
    }
    for (std::int32_t row = count - 1; row >= n; --row)
        RawDelete(row);
    FSelection.Reset();
    FSelection.Normalize(*this);
    FTopRow = 0;
    FLeftCol = 1;
    EndEdit(false);
}

// --- Edit groups ------------------------------------------------------------------------------

void TUMemoStrings::BeginEdit(bool recordState) {
    if (FEditNest++ > 0) return;
    FChangedFrom = FChangedTo = FSelection.Start().Y;
    if (FUpdateCount == 0 && recordState && FRecorder) {
        FRecorder->NewGroup();
        FRecorder->RecordView(ViewState());
    }
}

void TUMemoStrings::EndEdit(bool recordState) {
    if (FEditNest == 0) return;  // an unbalanced EndEdit is ignored
    if (--FEditNest > 0 || FUpdateCount > 0) return;
    if (OnEditEnd) OnEditEnd(TEditEnd::eeEdit);
    if (recordState && FRecorder) FRecorder->RecordView(ViewState());
    FChangedFrom = FChangedTo = FSelection.Start().Y;
}

void TUMemoStrings::BeginUpdate() {
    if (FUpdateCount++ > 0) return;
    if (FEditNest == 0 && FRecorder && !FRecorder->Replaying()) {
        FRecorder->NewGroup();
        FRecorder->RecordView(ViewState());
    }
}

void TUMemoStrings::EndUpdate() {
    if (FUpdateCount == 0) return;
    if (--FUpdateCount > 0) return;
    FSelection.Normalize(*this);
    if (FEditNest > 0) return;  // the open edit group notifies when it closes
    if (FRecorder && !FRecorder->Replaying()) FRecorder->RecordView(ViewState());
    if (OnEditEnd) OnEditEnd(TEditEnd::eeBatch);
}

void TUMemoStrings::SetChangedRange(std::int32_t from, std::int32_t to) noexcept {
    FChangedFrom = from;
    FChangedTo = to;
}

// --- Properties -------------------------------------------------------------------------------

void TUMemoStrings::SetTabStops(std::int32_t tabStops) noexcept {
    tabStops = std::clamp(tabStops, 1, kMaxWrapColumns);
    if (tabStops == FRules.TabStops) return;
    FRules.TabStops = tabStops;
    // The cached widths of rows with a Tab change with the stops; wrapping waits for an edit.
    for (std::int32_t row = 0; row < GetCount(); ++row) {
        const TUMemoStringItem& item = FRows.At(row);
        if (item.Tabs != 0) FRows.SetWidth(row, RowWidth(item.Text));
    }
}

void TUMemoStrings::SetRecorder(std::unique_ptr<TEditRecorder> recorder) noexcept {
    FRecorder = std::move(recorder);
}

std::int32_t TUMemoStrings::RowWidth(std::string_view s) const noexcept {
    return rekna::RowWidth(s, FRules.TabStops);
}

std::int32_t TUMemoStrings::ColumnOfPos(std::string_view s, std::int32_t pos) const noexcept {
    return rekna::ColumnOfPos(s, pos, FRules.TabStops, FRules.WrapColumns);
}

std::int32_t TUMemoStrings::PosOfColumn(std::string_view s, std::int32_t col) const noexcept {
    return rekna::PosOfColumn(s, col, FRules.TabStops);
}

std::int32_t TUMemoStrings::CharAtColumn(std::string_view s, std::int32_t col) const noexcept {
    return rekna::CharAtColumn(s, col, FRules.TabStops);
}

std::int32_t TUMemoStrings::PosNearestX(std::string_view s, double x) const noexcept {
    return rekna::PosNearestX(s, x, FRules.TabStops, FRules.WrapColumns);
}

std::int32_t TUMemoStrings::BoxPosOfColumn(std::string_view s, std::int32_t col) const noexcept {
    return rekna::BoxPosOfColumn(s, col, FRules.TabStops);
}

std::int32_t TUMemoStrings::RowColumnOfPos(std::int32_t row, std::int32_t pos) const noexcept {
    if (row < 0 || row >= GetCount()) return rekna::ColumnOfPos({}, pos, 1, 0);
    const TUMemoStringItem& item = FRows.At(row);
    return rekna::ColumnOfPos(item.Text, pos, FRules.TabStops, FRules.WrapColumns, item.Tabs != 0);
}

std::int32_t TUMemoStrings::RowCharAtColumn(std::int32_t row, std::int32_t col) const noexcept {
    if (row < 0 || row >= GetCount()) return rekna::CharAtColumn({}, col, 1, false);
    const TUMemoStringItem& item = FRows.At(row);
    return rekna::CharAtColumn(item.Text, col, FRules.TabStops, item.Tabs != 0);
}

std::optional<std::size_t> TUMemoStrings::SameSince(TEditStamp stamp,
                                                    std::int32_t row) const noexcept {
    if (row < 0 || row >= GetCount()) return std::nullopt;
    return FRows.SameSince(stamp, row);
}

std::int32_t TUMemoStrings::BreakPos(std::string_view s, std::size_t hangLength) const noexcept {
    return rekna::BreakPos(s, FRules, hangLength);
}

std::string TUMemoStrings::IndentPrefix(std::string_view s) const {
    return std::string(rekna::IndentPrefix(s, FRules));
}

std::int32_t TUMemoStrings::IndentLength(std::string_view s) const noexcept {
    return static_cast<std::int32_t>(rekna::IndentLength(s, FRules));
}

std::int32_t TUMemoStrings::IndentLength(std::int32_t row) const noexcept {
    if (row < 0 || row >= GetCount()) return 0;
    return IndentLength(FRows.At(row).Text);
}

// --- Consistency ------------------------------------------------------------------------------

std::string TUMemoStrings::CheckRows(bool wrapped) const {
    std::ostringstream out;
    out << FRows.CheckBlocks();
    const std::int32_t count = GetCount();
    int faults = 0;
    for (std::int32_t row = 0; row < count && faults < 5; ++row) {
        const TUMemoStringItem& item = FRows.At(row);
        if (item.Width != RowWidth(item.Text)) {
            out << "row " << row << " width " << item.Width << "; ";
            ++faults;
        }
        if ((item.Tabs != 0) != (item.Text.find('\t') != std::string::npos)) {
            out << "row " << row << " Tab summary " << int{item.Tabs} << "; ";
            ++faults;
        }
        if (item.HangLength > item.Text.size() ||
            (item.HangLength > 0 && (row == 0 || FRows.At(row - 1).Continued == 0))) {
            out << "row " << row << " hang " << item.HangLength << "; ";
            ++faults;
        }
    }
    if (!wrapped) return out.str();
    std::vector<TRowPiece> pieces;
    for (std::int32_t first = 0; first < count && faults < 5;) {
        const std::int32_t last = LastRowOfLine(first);
        const std::string content = GetLine(first);
        const std::string hang = LineHangIndent(first);
        WrapText(content, {}, hang, FRules, pieces);
        const auto rows = static_cast<std::int32_t>(pieces.size());
        if (rows != last - first + 1) {
            out << "line at row " << first << " has " << last - first + 1 << " rows for " << rows
                << "; ";
            ++faults;
        }
        for (std::int32_t j = 0; j < rows && first + j <= last; ++j) {
            const TUMemoStringItem& item = FRows.At(first + j);
            const std::string_view prefix = j == 0 ? std::string_view() : hang;
            const std::string expected =
                std::string(prefix) +
                content.substr(pieces[j].Begin, pieces[j].End - pieces[j].Begin);
            if (item.Text != expected || item.HangLength != prefix.size() ||
                (j < rows - 1 && item.Continued == 0)) {
                out << "row " << first + j << " is not cut as a fresh wrap cuts it (hang "
                    << item.HangLength << " for " << prefix.size() << ", " << item.Text.size()
                    << " bytes for " << expected.size() << "); ";
                ++faults;
                break;
            }
        }
        first = last + 1;
    }
    return out.str();
}

}  // namespace rekna
