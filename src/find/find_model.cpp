// The find window's state and commands on the memo and answer panes.
#include "find/find_model.h"

#include "editor/commands/find_text.h"
#include "editor/umemo_editor.h"
#include "platform/cp932.h"
#include "platform/lcmap.h"

#include <algorithm>
#include <limits>

namespace rekna {

namespace {

constexpr std::size_t kJumpChars = 100;
// Far beyond any row count, so that a long run of digits cannot overflow.
constexpr std::int64_t kJumpLimit = std::int64_t{1} << 40;

// Marks a command as running for the length of a scope.
class TRunningMark {
public:
    explicit TRunningMark(bool& flag) : FFlag(flag) { FFlag = true; }
    TRunningMark(const TRunningMark&) = delete;
    TRunningMark& operator=(const TRunningMark&) = delete;
    ~TRunningMark() { FFlag = false; }

private:
    bool& FFlag;
};

[[nodiscard]] TUMemoEditor* FindTarget(const TFindPanes& panes) {
    return panes.AnswerActive && panes.Answer != nullptr ? panes.Answer : panes.Memo;
}

}  // namespace

void AddToHistory(std::vector<std::string>& items, std::string_view text) {
    if (text.empty()) return;
    const std::string lowered = LocaleLowerCase(text);
    const bool known = std::any_of(items.begin(), items.end(), [&](const std::string& item) {
        return item.size() == text.size() && LocaleLowerCase(item) == lowered;
    });
    if (!known) items.insert(items.begin(), std::string(text));
}

std::string EncodeFindSettings(bool matchCase, std::string_view text) {
    std::string out(1, matchCase ? '1' : '0');
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = CharLength(text, i);
        if (n == 1) {
            switch (text[i]) {
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            default: out += text[i]; break;
            }
        } else {
            out.append(text, i, n);
        }
        i += n;
    }
    return out;
}

void DecodeFindSettings(std::string_view value, bool& matchCase, std::string& text) {
    if (value.empty()) return;
    if (value[0] == '0' || value[0] == '1') {
        matchCase = value[0] == '1';
        value.remove_prefix(1);
    }
    std::string out;
    for (std::size_t i = 0; i < value.size();) {
        const std::size_t n = CharLength(value, i);
        if (n == 1 && value[i] == '\\' && i + 1 < value.size()) {
            const char e = value[i + 1];
            const char c = e == 't' ? '\t' : e == 'r' ? '\r' : e == 'n' ? '\n' : e == '\\' ? e : 0;
            if (c != 0) {
                out += c;
                i += 2;
                continue;
            }
        }
        out.append(value, i, n);
        i += n;
    }
    text = std::move(out);
}

TJumpNumber ReadJumpNumber(std::string_view text) {
    text = text.substr(0, std::min(text.size(), kJumpChars));
    TJumpNumber n;
    if (text.empty()) return n;
    bool negative = false;
    if (text[0] == '+' || text[0] == '-') {
        n.Relative = true;
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return n;
    for (const char c : text) {
        if (c < '0' || c > '9') return n;
        n.Value = std::min(n.Value * 10 + (c - '0'), kJumpLimit);
    }
    if (negative) n.Value = -n.Value;
    n.Valid = n.Value != 0;
    return n;
}

bool JumpBoxAccepts(char32_t c) noexcept {
    return (c >= U'0' && c <= U'9') || c == U'+' || c == U'-';
}

std::string CaseHint(bool matchCase) {
    return matchCase ? "大文字と小文字を区別する" : "大文字と小文字を区別しない";
}

std::string FindActionHint(TFindDirection direction, std::string_view text) {
    const std::string name = direction == TFindDirection::fdDown ? "下方検索" : "上方検索";
    const std::string what = "カーソル位置から" + name;
    if (text.empty()) return name + "|" + what;
    return name + "|" + Cp932ToUtf8(text) + " " + what;
}

std::string ReplaceAllHint(bool inSelection) {
    return inSelection ? "すべて置換(選択範囲内)" : "すべて置換";
}

std::string FoundRowCaption(std::int64_t row) {
    return "検索結果 = " + std::to_string(row) + " 行";
}

std::string NotFoundCaption() {
    return "検索結果 = 見つかりませんでした";
}

std::string MemoOnlyCaption() {
    return "置換はメモ欄で働きます (メモ欄をクリックしてから)";
}

std::string ReplacedCaption(std::int64_t count) {
    return "置換結果 = " + std::to_string(count) + " 個を置換しました";
}

bool ReplacesInSelection(const TUMemoEditor& memo) {
    const TUMemoStrings& s = memo.Strings();
    return s.Selection().SelectedRowCount(s) >= 2;
}

void TFindModel::ShowFocus(TFindBox box) {
    switch (box) {
    case TFindBox::fbJump: FCaption = "行ジャンプ :"; break;
    case TFindBox::fbText: FCaption = "検索 :" + CaseHint(FMatchCase); break;
    case TFindBox::fbReplace: FCaption = "置換 :" + CaseHint(FMatchCase); break;
    case TFindBox::fbNone: FCaption = "ジャンプ/検索/置換 :"; break;
    }
}

void TFindModel::TakeSelection(const TUMemoEditor& memo) {
    const TUMemoStrings& s = memo.Strings();
    const TUMemoSelection& sel = s.Selection();
    if (!sel.HasSelection(s) || sel.Start().Y != sel.End().Y) return;
    std::string text = memo.GetSelText(false);
    if (!text.empty() && text.find_first_of("\r\n") == std::string::npos)
        SearchText = std::move(text);
}

bool TFindModel::Find(const TFindPanes& panes, TFindDirection direction) {
    TUMemoEditor* target = FindTarget(panes);
    if (target == nullptr) return false;
    AddToHistory(TextHistory, SearchText);
    TSearchTypes options{TSearchType::stSelect};
    if (direction == TFindDirection::fdUp) options.Include(TSearchType::stBack);
    if (FMatchCase) options.Include(TSearchType::stMatchCase);
    const TSelPoint found = FindText(*target, SearchText, options);
    if (found.Y < 0) {
        FCaption = NotFoundCaption();
        return false;
    }
    FCaption = FoundRowCaption(target->Strings().Selection().Caret.Y + 1);
    return true;
}

void TFindModel::ReplaceAndFind(const TFindPanes& panes, TFindDirection direction) {
    if (panes.Memo == nullptr || FReplacing) return;
    if (!panes.MemoActive) {
        FCaption = MemoOnlyCaption();
        return;
    }
    AddToHistory(ReplaceHistory, ReplaceText);
    ReplaceFoundText(*panes.Memo, SearchText, ReplaceText, FMatchCase,
                     direction == TFindDirection::fdUp);
    Find({.Memo = panes.Memo, .Answer = nullptr, .AnswerActive = false, .MemoActive = true},
         direction);
}

std::int64_t TFindModel::ReplaceAll(const TFindPanes& panes,
                                    const std::function<bool(std::int64_t count)>& poll) {
    if (panes.Memo == nullptr || FReplacing) return 0;
    if (!panes.MemoActive) {
        FCaption = MemoOnlyCaption();
        return 0;
    }
    const TRunningMark running(FReplacing);
    FStop = false;
    AddToHistory(TextHistory, SearchText);
    AddToHistory(ReplaceHistory, ReplaceText);
    TUMemoEditor& memo = *panes.Memo;
    if (ReplacesInSelection(memo))
        return ReplaceInSelection(memo, SearchText, ReplaceText, FMatchCase);
    FCaption = "検索中";
    const auto caption = [this](std::int64_t count) {
        FCaption = count > 0 ? ReplacedCaption(count) : NotFoundCaption();
    };
    const TReplaceAllResult result = ReplaceAllText(
        memo, SearchText, ReplaceText, FMatchCase,
        [&](std::int64_t count) {
            if (poll && poll(count)) FStop = true;
            return FStop;
        },
        [&](const TReplaceAllResult& done) {
            // The count shows while the memo is calculated again.
            caption(done.Count);
            if (OnReplaced) OnReplaced();
        });
    caption(result.Count);
    return result.Count;
}

bool TFindModel::JumpToRow(const TFindPanes& panes) {
    if (panes.Memo == nullptr) return false;
    TJumpNumber number = ReadJumpNumber(JumpText);
    if (!number.Valid) {
        JumpText = "1";
        number = ReadJumpNumber(JumpText);
    }
    AddToHistory(JumpHistory, JumpText);
    TUMemoStrings& s = panes.Memo->Strings();
    const std::int64_t target =
        number.Relative ? s.Selection().Caret.Y + number.Value : number.Value - 1;
    if (target < 0 || target >= s.GetCount()) {
        FCaption = NotFoundCaption();
        return false;
    }
    {
        const TEditGroup group(s, false);
        const auto row = static_cast<std::int32_t>(target);
        s.Selection().SelectRows(s, row, row);
        panes.Memo->ScrollCaretIntoView();
    }
    FCaption = FoundRowCaption(target + 1);
    return true;
}

void TFindModel::JumpTop(const TFindPanes& panes) {
    TUMemoEditor* target = FindTarget(panes);
    if (target == nullptr) return;
    TUMemoStrings& s = target->Strings();
    const TEditGroup group(s, false);
    s.Selection().SetCaret(s, {1, 0}, TSelMode::smNone);
    s.SetTopRow(0);
    s.SetLeftCol(1);
}

void TFindModel::JumpBottom(const TFindPanes& panes) {
    TUMemoEditor* target = FindTarget(panes);
    if (target == nullptr) return;
    TUMemoStrings& s = target->Strings();
    const TEditGroup group(s, false);
    s.Selection().SetCaret(s, {1, std::max(s.GetCount() - 1, 0)}, TSelMode::smNone);
    target->ScrollCaretIntoView();
}

}  // namespace rekna
