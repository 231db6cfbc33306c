// The calculation log and the rendering of compiled lines and evaluation steps.
#include "engine/calc_log.h"
#include "engine/log_pack.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "engine/control_keywords.h"
#include "engine/evaluator.h"
#include "engine/functions.h"
#include "engine/operators.h"
#include "engine/user_func.h"
#include "engine/vari_list.h"
#include "numbers/format.h"
#include "platform/cp932.h"

namespace rekna {

namespace {

const std::string& StepMark() {
    static const std::string mark = SysText("＝ ");
    return mark;
}

const std::string& CutMark() {
    static const std::string mark = SysText("…");
    return mark;
}

const std::string& OmissionMark() {
    static const std::string mark = SysText("…(途中省略)");
    return mark;
}

// A text that keeps at most one byte beyond its limit: enough to tell that it is to be cut,
// however much is appended.
class TCappedText {
public:
    explicit TCappedText(std::size_t limit) noexcept
        : FLimit(limit), FCap(limit == std::string::npos ? limit : limit + 1) {}
    TCappedText& operator+=(std::string_view s) {
        if (FText.size() < FCap) FText.append(s.substr(0, FCap - FText.size()));
        return *this;
    }
    TCappedText& operator+=(char c) {
        if (FText.size() < FCap) FText += c;
        return *this;
    }
    [[nodiscard]] bool Full() const noexcept { return FText.size() >= FCap; }
    [[nodiscard]] bool Empty() const noexcept { return FText.empty(); }
    [[nodiscard]] std::string Take() { return CutLogLine(std::move(FText), FLimit); }

private:
    std::string FText;
    std::size_t FLimit;
    std::size_t FCap;
};

std::string_view Trimmed(std::string_view s) noexcept {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

bool IsControlLine(const TCalcList& list) noexcept {
    return list.size() > 1 && list[1].Is(TItemKind::mCnt);
}

std::string ControlText(TControlMask mask) {
    return ControlMaskText(mask & ~ControlBit(cbData));
}

}  // namespace

std::string TStringListEx::StoredText() const {
    std::string out;
    for (const auto& line : Lines) {
        out += line;
        out += '\b';
    }
    return out;
}

std::string TStringListEx::Text() const {
    std::string out;
    for (const auto& line : Lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

void TCalcLog::Reset(const std::string_view* firstLine) {
    FLines.Lines.clear();
    if (firstLine)
        FLines.Lines.push_back(CutLogLine(std::string(firstLine->substr(0, kLineLimit + 1))));
    FLinesValid = true;
    FStoredValid = false;
    FPackedValid = false;
    FStepBytes = 0;
}

void TCalcLog::AssignStored(std::string_view stored) {
    FStored.assign(stored);
    FStoredValid = true;
    FLinesValid = false;
    FPackedValid = false;
}

void TCalcLog::AssignPacked(std::string_view packed) {
    FPacked.assign(packed);
    FPackedValid = true;
    FStoredValid = false;
    FLinesValid = false;
}

void TCalcLog::SplitStored() const {
    (void)StoredText();
    std::size_t n = 0;
    std::size_t pos = 0;
    while (pos < FStored.size()) {
        std::size_t end = FStored.find('\b', pos);
        if (end == std::string::npos) end = FStored.size();
        if (n == FLines.Lines.size()) FLines.Lines.emplace_back();
        FLines.Lines[n++].assign(FStored, pos, end - pos);
        pos = end + 1;
    }
    FLines.Lines.resize(n);
    FLinesValid = true;
}

const TStringListEx& TCalcLog::Lines() const {
    if (!FLinesValid) SplitStored();
    return FLines;
}

const std::string& TCalcLog::StoredText() const {
    if (!FStoredValid) {
        // Without the lines the packed form is the one that holds.
        FStored = FLinesValid ? FLines.StoredText() : UnpackLog(FPacked);
        FStoredValid = true;
    }
    return FStored;
}

const std::string& TCalcLog::PackedText() const {
    if (!FPackedValid) {
        FPacked = PackLog(StoredText());
        FPackedValid = true;
    }
    return FPacked;
}

void TCalcLog::AddLine(std::string_view line) {
    if (!FLinesValid) SplitStored();
    FStoredValid = false;
    FPackedValid = false;
    FLines.Lines.push_back(CutLogLine(std::string(line.substr(0, kLineLimit + 1))));
}

void TCalcLog::AddStep(std::string_view step) {
    if (!FLinesValid) SplitStored();
    FStoredValid = false;
    FPackedValid = false;
    std::string text = CutLogLine(std::string(step.substr(0, kLineLimit + 1)));
    if (!FLines.Lines.empty()) {
        std::string_view last = FLines.Lines.back();
        if (FLines.Lines.size() > 1 && last.substr(0, StepMark().size()) == StepMark())
            last.remove_prefix(StepMark().size());
        if (Trimmed(last) == Trimmed(text)) return;
    }
    FLines.Lines.push_back(StepMark() + text);
}

void TCalcLog::AddEvaluationStep(std::string_view step) {
    if (!WantsSteps()) return;
    // A step that is dropped as a repeat was rendered all the same; the constant stands for
    // the work of a step that renders to next to nothing.
    FStepBytes += step.size() + 16;
    AddStep(step);
    if (!WantsSteps()) AddStep(OmissionMark());
}

namespace {

// Log steps show the same values again and again: the last few texts are kept, looked up by
// the value's bytes and the settings the text depends on.
const std::string& LogValueText(const TCplx& value) {
    using TKey = std::array<std::uint64_t, 6>;
    struct TEntry {
        TKey Key{};
        std::string Text;
    };
    static thread_local TEntry cache[8];
    static thread_local unsigned next = 0;
    TKey key{};
    unsigned char* bytes = reinterpret_cast<unsigned char*>(key.data());
    std::memcpy(bytes, &value.Re.Num, 10);
    std::memcpy(bytes + 10, &value.Re.Den, 10);
    std::memcpy(bytes + 20, &value.Im.Num, 10);
    std::memcpy(bytes + 30, &value.Im.Den, 10);
    bytes[40] = NumberSettings.LogFrac;
    bytes[41] = NumberSettings.LogN16;
    bytes[42] = static_cast<unsigned char>(NumberSettings.ImagChar);
    bytes[43] = 1;  // an empty slot never matches
    for (TEntry& e : cache) {
        if (e.Key == key) return e.Text;
    }
    TEntry& e = cache[next++ % 8];
    e.Key = key;
    e.Text = FormatLogValue(value);
    return e.Text;
}

// Appends the text of one item; control says whether the list is a control or definition line.
void AppendVariable(TCappedText& out, int id, const TRenderScope& scope) {
    const TVarItem& var = scope.Vars.Item(id);
    out += var.Name;
    if (var.Flags & vfError) out += "??";
}

void AppendItemText(TCappedText& out, const TCalcItem& item, std::size_t position, bool asWritten,
                    bool control, const TRenderScope& scope) {
    switch (item.Kind) {
    case TItemKind::mCon: out += ConstantDisplay(item.Code); return;
    case TItemKind::mFun: out += FunctionDisplay(item.Code); return;
    case TItemKind::mOpr: out += OperatorLogText(item.Code); return;
    case TItemKind::mVal:
        if (!item.Text.empty() && (asWritten || item.Text.front() == '[')) {
            out += item.Text;
        } else {
            out += LogValueText(item.Value);
        }
        return;
    case TItemKind::mVar: {
        if (control) {
            out += item.Text;
        } else if (item.Index < 0 || item.Index >= scope.Vars.Count()) {
            out += item.Text;
            out += '?';
        } else {
            AppendVariable(out, item.Index, scope);
        }
        return;
    }
    case TItemKind::mStr:
        out += item.Text;
        if (!control) out += '?';
        return;
    case TItemKind::mCbe: out += '('; return;
    case TItemKind::mCen: out += ')'; return;
    case TItemKind::mUsr: {
        if (!item.Text.empty()) {
            out += item.Text;
        } else if (const TUserFunc* f = scope.Funcs.Get(item.Index)) {
            out += f->Name;
        }
        return;
    }
    case TItemKind::mArg: out += item.Text; return;
    case TItemKind::mCnt: {
        const std::string text = ControlText(item.Mask);
        if (position > 1 && !text.empty()) out += ' ';
        out += text;
        return;
    }
    case TItemKind::mNop: return;
    }
}

void AppendKeywords(TCappedText& out, const TCalcItem& control) {
    if (out.Empty() || !control.Is(TItemKind::mCnt)) return;
    const std::string keys = ControlText(control.Mask);
    if (!keys.empty()) {
        out += ' ';
        out += keys;
    }
}

}  // namespace

std::string CutLogLine(std::string text, std::size_t limit) {
    // The stored form separates lines with '\b': a line's own shows as a space, so that the log
    // reads the same from every form.
    if (text.find('\b') != std::string::npos) std::replace(text.begin(), text.end(), '\b', ' ');
    if (text.size() <= limit) return text;
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + CharLength(text, end);
        if (next > limit) break;
        end = next;
    }
    text.resize(end);
    text += CutMark();
    return text;
}

std::string RenderList(const TCalcList& list, std::size_t start, bool asWritten,
                       const TRenderScope& scope, std::size_t limit) {
    const bool control = IsControlLine(list);
    TCappedText out(limit);
    for (std::size_t i = start; i < list.size() && !out.Full(); ++i)
        AppendItemText(out, list[i], i, asWritten, control, scope);
    if (!list.empty()) AppendKeywords(out, list[0]);
    return out.Take();
}

namespace {

// An entry of the value stack; a name that an assignment of this line has made a variable shows
// as that variable.
void AppendEntry(TCappedText& out, const TEvaluator& eval, const TCalcItem& entry,
                 const TRenderScope& scope) {
    const int created = eval.CreatedVariable(entry);
    if (created >= 0) {
        AppendVariable(out, created, scope);
    } else {
        AppendItemText(out, entry, 2, false, false, scope);
    }
}

// A value that is the pending argument of a user function: "(a, b, value, 0)".
void AppendPendingCall(TCappedText& out, const TEvaluator& eval, const TCalcItem& usr,
                       const TCalcItem& value, const TRenderScope& scope) {
    const TUserFunc* f = scope.Funcs.Get(usr.Index);
    const std::size_t params = f ? f->Params.size() : 1;
    const std::size_t args = eval.ArgumentCount();
    out += '(';
    for (std::size_t k = 0; k < std::max<std::size_t>(params, args + 1) && !out.Full(); ++k) {
        if (k > 0) out += ", ";
        if (k < args) {
            out += LogValueText(eval.Argument(k));
        } else if (k == args) {
            AppendEntry(out, eval, value, scope);
        } else {
            out += '0';
        }
    }
    out += ')';
}

}  // namespace

std::string RenderStep(const TEvaluator& eval, const TRenderScope& scope, std::size_t limit) {
    const TCalcStak& ops = eval.Operators();
    const TCalcStak& vals = eval.Values();
    TCappedText out(limit);
    std::size_t vi = 0;
    const auto value = [&](std::size_t i) { AppendEntry(out, eval, vals.At(i), scope); };
    for (std::size_t k = 1; k < ops.Count() && !out.Full(); ++k) {
        const TCalcItem& op = ops.At(k);
        const auto before = static_cast<std::size_t>(op.Tag);
        for (; vi < before && vi < vals.Count() && !out.Full(); ++vi)
            value(vi);
        AppendItemText(out, op, 2, false, false, scope);
        if (op.Is(TItemKind::mUsr) && k + 1 == ops.Count() && vi < vals.Count()) {
            AppendPendingCall(out, eval, op, vals.At(vals.Count() - 1), scope);
            vi = vals.Count();
        }
    }
    for (; vi < vals.Count() && !out.Full(); ++vi)
        value(vi);
    if (!out.Full()) {
        eval.ForEachRemaining([&](const TCalcItem& item) {
            AppendItemText(out, item, 2, false, false, scope);
            return !out.Full();
        });
    }
    AppendKeywords(out, eval.LineControl());
    return out.Take();
}

}  // namespace rekna
