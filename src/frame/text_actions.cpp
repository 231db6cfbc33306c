// The table and text actions of the frame and what each one runs.
#include "frame/text_actions.h"

#include "editor/commands/table_commands.h"
#include "editor/commands/text_commands.h"
#include "editor/commands/text_transforms.h"
#include "editor/umemo_editor.h"
#include "frame/calc_options.h"
#include "frame/table_calc.h"
#include "platform/clipboard.h"
#include "platform/lcmap.h"
#include "text/str_utils.h"

#include <algorithm>
#include <charconv>
#include <climits>

namespace rekna {

namespace {

constexpr std::string_view kCategories[] = {"テーブル", "変換", "入替", "整形", "括弧"};

constexpr TTextAction kActions[] = {
    {"ActionTableTab", "テーブル", "→&Tab区切り", "", ""},
    {"ActionTableDSP", "テーブル", "→全角空白区切り(&S)", "", ""},
    {"ActionTableKei", "テーブル", "→罫線区切り(&K)", "", ""},
    {"ActionTableAlignLeft", "テーブル", "各列を左揃(&L)", "", "", true},
    {"ActionTableAlignCenter", "テーブル", "各列をセンター揃え(&M)", "", "", true},
    {"ActionTableAlignRight", "テーブル", "各列を右揃え(&R)", "", "", true},
    {"ActionTableAlignDot", "テーブル", "各列を小数点揃え(&D)", "", "", true},
    {"ActionTableXYchange", "テーブル", "&XY入替", "", ""},
    {"ActionTableCopyRev", "テーブル", "XY入替コピー(&C)", "", "Shift+Ctrl+C"},
    {"ActionTablePasteRev", "テーブル", "XY入替貼付け(&V)", "", "Shift+Ctrl+V"},
    {"ActionTableSpToTab", "テーブル", "スペースをTabに縮約変換(&T)", "", ""},
    {"ActionTableSpsToSp", "テーブル", "連続スペースを1個に縮約(&S)", "", ""},
    {"ActionTableSpsToTab", "テーブル", "連続スペースをTabに変換(&U)", "", ""},
    {"ActionTableCalc", "テーブル", "計算結果で置換(&E)", "", ""},
    {"ActionChangeByteDSnK", "変換", "→半角計算式+全角カナ", "", ""},
    {"ActionChangeAlfaS", "変換", "→先頭大文字＋小文字", "", ""},
    {"ActionChangeSpaceDS", "変換", "全角スペース→半角スペース", "", ""},
    {"ActionChnageSpaceSD", "変換", "半角スペース→全角スペース", "", ""},
    {"ActionChangeSpaceTS", "変換", "Tab→半角スペース", "", ""},
    {"ActionChangeSpaceST", "変換", "半角スペース→Tab", "", ""},
    {"ActionChangeTabCR", "変換", "Tab→改行", "", ""},
    {"ActionChangeCRTab", "変換", "改行→Tab", "", ""},
    {"ActionChangeTabCRTab", "変換", "改行⇔Tab", "", ""},
    {"ActionChangeByteDS", "変換", "→半角", "", ""},
    {"ActionEditHankaku", "変換", "全角->半角変換(&H)", "", "Ctrl+H"},
    {"ActionChangeByteDSE", "変換", "→半角(英数)", "", ""},
    {"ActionChangeByteDSM", "変換", "→半角(記号)", "", ""},
    {"ActionChangeByteDSK", "変換", "→半角(カナ)", "", ""},
    {"ActionChangeByteSD", "変換", "→全角", "", ""},
    {"ActionChangeByteSDE", "変換", "→全角(英数)", "", ""},
    {"ActionChangeByteSDM", "変換", "→全角(記号)", "", ""},
    {"ActionChangeByteSDK", "変換", "→全角(カナ)", "", ""},
    {"ActionChangeAlfaLS", "変換", "→小文字", "", ""},
    {"ActionChangeAlfaLSS", "変換", "→小文字(半角)", "", ""},
    {"ActionChangeAlfaLSD", "変換", "→小文字(全角)", "", ""},
    {"ActionChangeAlfaSL", "変換", "→大文字", "", ""},
    {"ActionChangeAlfaSLS", "変換", "→大文字(半角)", "", ""},
    {"ActionChangeAlfaSLD", "変換", "→大文字(全角)", "", ""},
    {"ActionChangeKanaHK", "変換", "かな→カナ", "", ""},
    {"ActionChangeKanaKH", "変換", "カナ→かな", "", ""},
    {"ActionSortStrRev", "変換", "文字を逆に並べ替える", "", ""},
    {"ActionSortNumRev", "変換", "数字を逆に並べ替える", "", ""},
    {"ActionRowJoin", "入替", "行を結合(&W)", "", ""},
    {"ActionRowSplit", "入替", "行を分割(&U)", "", ""},
    {"ActionRowRejoin", "入替", "行を再結合(&R)", "", ""},
    {"ActionRowJoinSel", "入替", "行を選択結合(&S)", "", ""},
    {"ActionSortRowUP", "入替", "行をソート(昇順)", "", "", false, true},
    {"ActionSortRowDN", "入替", "行をソート(降順)", "", ""},
    {"ActionSortRowRev", "入替", "行を逆順に並べ替える", "", ""},
    {"ActionSortDelRowS", "入替", "空行を削除", "", ""},
    {"ActionSortDelRowW", "入替", "重複行を削除", "", ""},
    {"ActionRowDup", "入替", "行を2重化", "", ""},
    {"ActionRowAdd", "入替", "行を挿入...", "行を、指定個数挿入", ""},
    {"ActionRowTrim", "入替", "文末のスペース行を削除", "", ""},
    {"ActionFormatTrimL", "整形", "行頭の空白を削除", "", ""},
    {"ActionFormatTrimR", "整形", "行末の空白を削除", "", ""},
    {"ActionFormatTrimLR", "整形", "行頭と行末の空白を削除", "", ""},
    {"ActionFormatAlignL", "整形", "左揃え", "", ""},
    {"ActionFormatAlignR", "整形", "右揃え", "", ""},
    {"ActionFormatAlignC", "整形", "センター揃え", "", ""},
    {"ActionFormatAlignEq", "整形", "=位置揃え", "", ""},
    {"ActionFormatAlignComment", "整形", "コメント位置揃え", "", ""},
    {"ActionFormatAddSp", "整形", "行末に空白を追加...", "", ""},
    {"ActionFormatFillSp", "整形", "行末を空白で埋める...", "", ""},
    {"ActionFormatDelSp", "整形", "行末の空白と文末の空白行を削除", "", ""},
    {"ActionKakkoChange1", "括弧", "{ }→( ) 変換", "", ""},
    {"ActionkakkoChange2", "括弧", "[ ]→( ) 変換", "", ""},
    {"ActionKakkoChange3", "括弧", "( )→[ ] 変換", "", ""},
};

using TConversion = std::string (*)(std::string_view);

struct TConversionAction {
    std::string_view Name;
    TConversion Run;
};

const TConversionAction kConversions[] = {
    {"ActionChangeByteSD", &ToFullWidth},         {"ActionChangeByteSDE", &ToFullWidthAlnum},
    {"ActionChangeByteSDM", &ToFullWidthSymbols}, {"ActionChangeByteSDK", &ToFullWidthKana},
    {"ActionChangeByteDS", &ToHalfWidth},         {"ActionEditHankaku", &ToHalfWidth},
    {"ActionChangeByteDSE", &ToHalfWidthAlnum},   {"ActionChangeByteDSM", &ToHalfWidthSymbols},
    {"ActionChangeByteDSK", &ToHalfWidthKana},    {"ActionChangeByteDSnK", &FormulaToCalcText},
    {"ActionChangeAlfaSL", &LocaleUpperCase},     {"ActionChangeAlfaLS", &LocaleLowerCase},
    {"ActionChangeAlfaSLS", &UpperCaseAscii},     {"ActionChangeAlfaLSS", &LowerCaseAscii},
    {"ActionChangeAlfaSLD", &UpperCaseWide},      {"ActionChangeAlfaLSD", &LowerCaseWide},
    {"ActionChangeAlfaS", &CapitalizeWords},      {"ActionChangeKanaHK", &HiraganaToKatakana},
    {"ActionChangeKanaKH", &KatakanaToHiragana},
};

std::optional<std::int64_t> Integer(std::string_view text) {
    const std::string t = TrimBlanks(text);
    if (t.empty()) return std::nullopt;
    std::int64_t v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (end != t.data() + t.size()) return std::nullopt;
    if (ec == std::errc::result_out_of_range) return t.front() == '-' ? INT64_MIN : INT64_MAX;
    if (ec != std::errc()) return std::nullopt;
    return v;
}

std::int32_t Cut(std::int64_t v, std::int32_t limit) {
    return static_cast<std::int32_t>(std::min<std::int64_t>(v, limit));
}

// The two padding commands: the prompt, the remembered counts, the padding.
bool PadCommand(TTextCommandHost& host, bool fill) {
    TUMemoEditor& memo = host.Memo();
    if (memo.ReadOnly()) return false;
    TCalcOptions& o = host.Options();
    const bool selection = memo.Strings().Selection().HasSelection(memo.Strings());
    const std::int32_t limit = fill ? std::max(1, host.FillColumnLimit()) : kMaxPadSpaces;
    std::string_view caption;
    std::string_view prompt;
    std::string text;
    if (selection) {
        caption = fill ? "選択範囲の行末に指定桁位置まで空白を追加" : "選択範囲の行末に空白を追加";
        prompt = fill ? "桁位置" : "空白の個数";
        text = std::to_string(o.FillSpace[1]);
    } else {
        caption = fill ? "キャレット行以降の行末に指定桁位置まで空白を追加"
                       : "キャレット行以降の行末に空白を追加";
        prompt = fill ? "追加する行数 , 桁位置" : "追加する行数 , 空白の個数";
        text = std::to_string(o.FillSpace[0]) + " , " + std::to_string(o.FillSpace[1]);
    }
    const std::optional<std::string> answer = host.AskText(caption, prompt, text);
    if (!answer) return false;
    const std::optional<TPadAnswer> pad = ParsePadAnswer(*answer, selection, limit);
    if (!pad) return false;
    o.FillSpace[1] = pad->Count;
    if (!selection) o.FillSpace[0] = pad->Rows;
    return fill ? FillSpaces(memo, pad->Rows, pad->Count) : AddSpaces(memo, pad->Rows, pad->Count);
}

// "行を挿入...": that many empty lines in front of the caret's line.
bool InsertRowsCommand(TTextCommandHost& host) {
    TUMemoEditor& memo = host.Memo();
    if (memo.ReadOnly()) return false;
    const std::optional<std::string> answer = host.AskText("行を挿入", "挿入する行数", "1");
    if (!answer) return false;
    const std::optional<std::int64_t> n = Integer(*answer);
    if (!n || *n < 1) return false;
    TUMemoStrings& s = memo.Strings();
    const TEditGroup group(s, true);
    const std::int32_t row = s.GetCount() == 0 ? 0 : s.FirstRowOfLine(s.Selection().Caret.Y);
    for (std::int32_t k = Cut(*n, kMaxPadRows); k > 0; --k)
        s.InsertRow(row, {}, false);
    s.Selection().SetCaret(s, {1, row}, TSelMode::smNone);
    memo.ScrollCaretIntoView();
    return true;
}

// A line-break command of the line store on the selected rows.
bool RunLineBreakCommand(TUMemoEditor& memo, void (TUMemoStrings::*command)()) {
    TUMemoStrings& s = memo.Strings();
    if (memo.ReadOnly() || !s.Selection().HasSelection(s)) return false;
    (s.*command)();
    return true;
}

TTableAlign AlignOf(std::string_view name) {
    if (name == "ActionTableAlignCenter") return TTableAlign::taCenter;
    if (name == "ActionTableAlignRight") return TTableAlign::taRight;
    if (name == "ActionTableAlignDot") return TTableAlign::taDecimal;
    return TTableAlign::taLeft;
}

bool TableAction(std::string_view name, TTextCommandHost& host, TTextCommandState& state) {
    TUMemoEditor& m = host.Memo();
    if (name == "ActionTableTab") return ConvertTable(m, kTabSeparator, state.Mode);
    if (name == "ActionTableDSP") return ConvertTable(m, kFullSpaceSeparator, state.Mode);
    if (name == "ActionTableKei") return ConvertTable(m, kBarSeparator, state.Mode);
    if (name.starts_with("ActionTableAlign")) {
        state.Mode = AlignOf(name);
        return AlignTable(m, state.Mode);
    }
    if (name == "ActionTableXYchange") return ExchangeTable(m, state.Mode);
    if (name == "ActionTableCopyRev") {
        TUMemoEditor* e = host.FocusedEditor();
        return e != nullptr && CopyExchanged(*e, host.Clipboard());
    }
    if (name == "ActionTablePasteRev")
        return host.MemoFocused() && PasteExchanged(m, host.Clipboard());
    if (name == "ActionTableSpToTab") return SpacesToTab(m);
    if (name == "ActionTableSpsToSp") return SpacesToOneSpace(m);
    if (name == "ActionTableSpsToTab") return SpaceRunsToTab(m);
    if (name == "ActionTableCalc")
        return host.MemoFocused() &&
               CalculateTable(
                   m, [&host](std::string_view cell) { return host.CalcCell(cell); },
                   [&host](std::size_t done, std::size_t total) {
                       return host.KeepCalculating(done, total);
                   });
    return false;
}

}  // namespace

std::span<const TTextAction> TextActions() {
    return kActions;
}

std::span<const std::string_view> TextActionCategories() {
    return kCategories;
}

std::string_view TextCategoryCaption(std::string_view category) {
    // The row commands' menu holds the line-break commands first.
    if (category == "入替") return "行(&R)";
    // The other menus' titles where they carry an accelerator.
    if (category == "変換") return "変換(&E)";
    if (category == "整形") return "整形(&S)";
    if (category == "括弧") return "括弧(&K)";
    return category;
}

bool NeedsRowsSelected(std::string_view name) {
    constexpr std::string_view names[] = {"ActionRowJoin",    "ActionRowSplit",   "ActionRowRejoin",
                                          "ActionRowJoinSel", "ActionSortRowUP",  "ActionSortRowDN",
                                          "ActionSortRowRev", "ActionSortDelRowW"};
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

const TTextAction* FindTextAction(std::string_view name) {
    const auto it = std::find_if(std::begin(kActions), std::end(kActions),
                                 [name](const TTextAction& a) { return a.Name == name; });
    return it == std::end(kActions) ? nullptr : &*it;
}

std::optional<TPadAnswer> ParsePadAnswer(std::string_view text, bool selection,
                                         std::int32_t maxCount) {
    TPadAnswer out;
    if (selection) {
        const auto n = Integer(text);
        if (!n || *n < 1) return std::nullopt;
        out.Count = Cut(*n, maxCount);
        return out;
    }
    const std::size_t comma = text.find(',');
    const auto rows = Integer(text.substr(0, comma));
    const auto count = comma == std::string_view::npos ? std::optional<std::int64_t>(1)
                                                       : Integer(text.substr(comma + 1));
    if (!rows || !count || *rows < 1 || *count < 1) return std::nullopt;
    out.Rows = Cut(*rows, kMaxPadRows);
    out.Count = Cut(*count, maxCount);
    return out;
}

bool RunTextAction(std::string_view name, TTextCommandHost& host, TTextCommandState& state) {
    if (!FindTextAction(name)) return false;
    if (name.starts_with("ActionTable")) return TableAction(name, host, state);
    TUMemoEditor& m = host.Memo();
    for (const TConversionAction& c : kConversions)
        if (c.Name == name) return RewriteWith(m, c.Run);
    if (name == "ActionChangeSpaceDS") return FullSpaceToSpaces(m);
    if (name == "ActionChnageSpaceSD") return SpacesToFullSpace(m);
    if (name == "ActionChangeSpaceTS") return TabsToSpaces(m);
    if (name == "ActionChangeSpaceST") return SpacesToTabs(m);
    if (name == "ActionChangeTabCR" || name == "ActionChangeCRTab" ||
        name == "ActionChangeTabCRTab") {
        bool done = false;
        if (name == "ActionChangeTabCR") done = ReplaceInSelection(m, "\t", "\r\n");
        if (name == "ActionChangeCRTab") done = ReplaceInSelection(m, "\r\n", "\t");
        if (name == "ActionChangeTabCRTab") done = SwapInSelection(m, "\r\n", "\t");
        // The lines moved: without a run the answers no longer stand beside their lines.
        if (done && !host.Options().CalcAuto) host.ClearAnswers();
        return done;
    }
    if (name == "ActionSortStrRev") return ReverseCharacters(m);
    if (name == "ActionSortNumRev") return ReverseDigits(m);
    if (name == "ActionRowJoin") return RunLineBreakCommand(m, &TUMemoStrings::JoinLines);
    if (name == "ActionRowSplit") return RunLineBreakCommand(m, &TUMemoStrings::SplitAtWraps);
    if (name == "ActionRowRejoin") return RunLineBreakCommand(m, &TUMemoStrings::RejoinWraps);
    if (name == "ActionRowJoinSel") return RunLineBreakCommand(m, &TUMemoStrings::JoinSelected);
    if (name == "ActionSortRowUP" || name == "ActionSortRowDN")
        return SortRows(m, name == "ActionSortRowDN");
    if (name == "ActionSortRowRev") return ReverseRows(m);
    if (name == "ActionSortDelRowS") return DeleteBlankRows(m);
    if (name == "ActionSortDelRowW") return DeleteRepeatedRows(m);
    if (name == "ActionRowDup") return DuplicateRows(m);
    if (name == "ActionRowAdd") return InsertRowsCommand(host);
    if (name == "ActionRowTrim") return DeleteTrailingBlankRows(m);
    if (name == "ActionFormatTrimL") return TrimLines(m, true, false);
    if (name == "ActionFormatTrimR") return TrimLines(m, false, true);
    if (name == "ActionFormatTrimLR") return TrimLines(m, true, true);
    if (name == "ActionFormatAlignL") return AlignLines(m, 0);
    if (name == "ActionFormatAlignR") return AlignLines(m, 1);
    if (name == "ActionFormatAlignC") return AlignLines(m, 2);
    if (name == "ActionFormatAlignEq") return AlignEquals(m);
    if (name == "ActionFormatAlignComment") return AlignComments(m);
    if (name == "ActionFormatAddSp") return PadCommand(host, false);
    if (name == "ActionFormatFillSp") return PadCommand(host, true);
    if (name == "ActionFormatDelSp") return DeleteTrailingSpaces(m);
    if (name == "ActionKakkoChange1") return ConvertBrackets(m, 0);
    if (name == "ActionkakkoChange2") return ConvertBrackets(m, 1);
    if (name == "ActionKakkoChange3") return ConvertBrackets(m, 2);
    return false;
}

}  // namespace rekna
