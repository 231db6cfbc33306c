// The calculation log and the rendering of compiled lines and evaluation steps.
#include "engine/calc_log.h"

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

std::string_view Trimmed(std::string_view s) noexcept {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

bool IsControlLine(const TCalcList& list) noexcept {
    return list.size() > 1 && list[1].Is(TItemKind::mCnt);
}

std::string ControlText(TControlMask mask) { return ControlMaskText(mask & ~ControlBit(cbData)); }

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

void TCalcLog::Reset(const std::string* firstLine) {
    FLines.Lines.clear();
    if (firstLine) FLines.Lines.push_back(*firstLine);
}

void TCalcLog::AddStep(std::string_view step) {
    if (!FLines.Lines.empty()) {
        std::string_view last = FLines.Lines.back();
        if (FLines.Lines.size() > 1 && last.substr(0, StepMark().size()) == StepMark())
            last.remove_prefix(StepMark().size());
        if (Trimmed(last) == Trimmed(step)) return;
    }
    std::string line = StepMark();
    line += step;
    FLines.Lines.push_back(std::move(line));
}

namespace {

// The text of one item; control says whether the list is a control or definition line.
std::string ItemText(const TCalcItem& item, std::size_t position, bool asWritten, bool control,
                     const TRenderScope& scope) {
    switch (item.Kind) {
        case TItemKind::mCon: return ConstantDisplay(item.Code);
        case TItemKind::mFun: return FunctionDisplay(item.Code);
        case TItemKind::mOpr: return OperatorLogText(item.Code);
        case TItemKind::mVal:
            if (!item.Text.empty() && (asWritten || item.Text.front() == '[')) return item.Text;
            return FormatLogValue(item.Value);
        case TItemKind::mVar: {
            if (control) return item.Text;
            if (item.Index < 0 || item.Index >= scope.Vars.Count()) return item.Text + "?";
            const TVarItem& var = scope.Vars.Item(item.Index);
            return (var.Flags & vfError) ? var.Name + "??" : var.Name;
        }
        case TItemKind::mStr: return control ? item.Text : item.Text + "?";
        case TItemKind::mCbe: return "(";
        case TItemKind::mCen: return ")";
        case TItemKind::mUsr: {
            if (!item.Text.empty()) return item.Text;
            const TUserFunc* f = scope.Funcs.Get(item.Index);
            return f ? f->Name : std::string();
        }
        case TItemKind::mArg: return item.Text;
        case TItemKind::mCnt: {
            std::string text = ControlText(item.Mask);
            if (position > 1 && !text.empty()) text.insert(text.begin(), ' ');
            return text;
        }
        case TItemKind::mNop: return {};
    }
    return {};
}

}  // namespace

std::string RenderList(const TCalcList& list, std::size_t start, bool asWritten,
                       const TRenderScope& scope) {
    const bool control = IsControlLine(list);
    std::string out;
    for (std::size_t i = start; i < list.size(); ++i) out += ItemText(list[i], i, asWritten, control, scope);
    if (!out.empty() && !list.empty() && list[0].Is(TItemKind::mCnt)) {
        const std::string keys = ControlText(list[0].Mask);
        if (!keys.empty()) {
            out += ' ';
            out += keys;
        }
    }
    return out;
}

namespace {

// A value that is the pending argument of a user function: "(a, b, value, 0)".
std::string PendingCall(const TEvaluator& eval, const TCalcItem& usr, const std::string& value,
                        const TRenderScope& scope) {
    const TUserFunc* f = scope.Funcs.Get(usr.Index);
    const std::size_t params = f ? f->Params.size() : 1;
    const auto& args = eval.Arguments();
    std::string out = "(";
    for (std::size_t k = 0; k < std::max<std::size_t>(params, args.size() + 1); ++k) {
        if (k > 0) out += ", ";
        if (k < args.size()) {
            out += FormatLogValue(args[k]);
        } else if (k == args.size()) {
            out += value;
        } else {
            out += '0';
        }
    }
    return out + ")";
}

}  // namespace

std::string RenderStep(const TEvaluator& eval, const TRenderScope& scope) {
    const TCalcStak& ops = eval.Operators();
    const TCalcStak& vals = eval.Values();
    std::string out;
    std::size_t vi = 0;
    const auto value = [&](std::size_t i) { return ItemText(vals.At(i), 2, false, false, scope); };
    for (std::size_t k = 1; k < ops.Count(); ++k) {
        const TCalcItem& op = ops.At(k);
        const auto before = static_cast<std::size_t>(op.Tag);
        for (; vi < before && vi < vals.Count(); ++vi) out += value(vi);
        out += ItemText(op, 2, false, false, scope);
        if (op.Is(TItemKind::mUsr) && k + 1 == ops.Count() && vi < vals.Count()) {
            out += PendingCall(eval, op, value(vals.Count() - 1), scope);
            for (std::size_t i = vi; i + 1 < vals.Count(); ++i) out += value(i);
            vi = vals.Count();
        }
    }
    for (; vi < vals.Count(); ++vi) out += value(vi);
    TCalcList rest;
    eval.Remaining(rest);
    for (const TCalcItem& item : rest) out += ItemText(item, 2, false, false, scope);
    const TCalcItem& control = eval.LineControl();
    if (!out.empty() && control.Is(TItemKind::mCnt)) {
        const std::string keys = ControlText(control.Mask);
        if (!keys.empty()) {
            out += ' ';
            out += keys;
        }
    }
    return out;
}

}  // namespace rekna
