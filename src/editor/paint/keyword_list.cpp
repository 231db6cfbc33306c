// The painter's word lists: sorted look-ups and the fixed tables they are built from.
#include "editor/paint/keyword_list.h"

#include <algorithm>
#include <tuple>

namespace rekna {
namespace {

// The calculation functions whose names are coloured when a bracket follows them.
constexpr std::string_view kCalcFunctions[] = {
    "Abs",     "Mag",    "Arg",     "Angle", "Phase",   "ArgD",  "AngleD", "PhaseD", "ArgR",
    "AngleR",  "PhaseR", "Re",      "Im",    "Conj",    "S",     "zR",     "zL",     "zC",
    "yR",      "yL",     "yC",      "AzR",   "AzL",     "AzC",   "AyR",    "AyL",    "AyC",
    "Qz",      "Qy",     "VSWR",    "dB10",  "dB",      "dB20",  "dB2",    "dBm",    "dBu",
    "AdB10",   "AdB",    "AdB20",   "AdB2",  "AdBm",    "AdBu",  "Sqr",    "Sqrt",   "Sqr3",
    "Sqrt3",   "Exp",    "Ln",      "Log",   "Log10",   "Log2",  "Sin",    "Cos",    "Tan",
    "ArcSin",  "ASin",   "ArcCos",  "ACos",  "ArcTan",  "ATan",  "SinD",   "CosD",   "TanD",
    "ArcSinD", "ASinD",  "ArcCosD", "ACosD", "ArcTanD", "ATanD", "SinR",   "CosR",   "TanR",
    "ArcSinR", "ASinR",  "ArcCosR", "ACosR", "ArcTanR", "ATanR", "Sinh",   "Cosh",   "Tanh",
    "ArcSinh", "ASinh",  "ArcCosh", "ACosh", "ArcTanh", "ATanh", "J0",     "J1",     "J2",
    "J3",      "J4",     "J5",      "J6",    "J7",      "J8",    "J9",     "Rad",    "Deg",
    "Round",   "Int",    "Frac",    "E6",    "E12",     "E24",   "Pol",    "Sign",   "Pos",
    "Neg",     "Zero",   "Rand",    "Time",  "Dist",    "SDist", "DistP",  "SDistP",
};

constexpr std::string_view kVBScriptReserved[] = {
    "Empty",  "True", "False",    "Nothing", "Null",   "Not",   "And",      "Or",     "Xor",
    "Eqv",    "Imp",  "Mod",      "Is",      "Call",   "Class", "Const",    "Dim",    "Do",
    "While",  "Wend", "Until",    "Exit",    "Loop",   "For",   "Each",     "In",     "Next",
    "To",     "Stop", "Function", "End",     "If",     "Else",  "ElseIf",   "Then",   "On",
    "Resume", "GoTo", "Option",   "Private", "Public", "ReDim", "Rem",      "Select", "Case",
    "Set",    "Sub",  "ByRef",    "ByVal",   "With",   "New",   "Preserve",
};

// The script engine's constants (colours, comparison, dates, message boxes, strings, tristate,
// variant types), its built-in functions, and a few statements and objects.
constexpr std::string_view kVBScriptKeyWords[] = {
    "vbBlack",
    "vbRed",
    "vbGreen",
    "vbYellow",
    "vbBlue",
    "vbMagenta",
    "vbCyan",
    "vbWhite",
    "vbBinaryCompare",
    "vbTextCompare",
    "vbSunday",
    "vbMonday",
    "vbTuesday",
    "vbWednesday",
    "vbThursday",
    "vbFriday",
    "vbSaturday",
    "vbUseSystemDayOfWeek",
    "vbUseSystem",
    "vbFirstJan1",
    "vbFirstFourDays",
    "vbFirstFullWeek",
    "vbGeneralDate",
    "vbLongDate",
    "vbShortDate",
    "vbLongTime",
    "vbShortTime",
    "vbObjectError",
    "vbOKOnly",
    "vbOKCancel",
    "vbAbortRetryIgnore",
    "vbYesNoCancel",
    "vbYesNo",
    "vbRetryCancel",
    "vbCritical",
    "vbQuestion",
    "vbExclamation",
    "vbInformation",
    "vbDefaultButton1",
    "vbDefaultButton2",
    "vbDefaultButton3",
    "vbDefaultButton4",
    "vbApplicationModal",
    "vbSystemModal",
    "vbMsgBoxHelpButton",
    "vbMsgBoxSetForeground",
    "vbMsgBoxRight",
    "vbMsgBoxRtlReading",
    "vbOK",
    "vbCancel",
    "vbAbort",
    "vbRetry",
    "vbIgnore",
    "vbYes",
    "vbNo",
    "vbCr",
    "vbCrLf",
    "vbFormFeed",
    "vbLf",
    "vbNewLine",
    "vbNullChar",
    "vbNullString",
    "vbTab",
    "vbVerticalTab",
    "vbUseDefault",
    "vbTrue",
    "vbFalse",
    "vbEmpty",
    "vbNull",
    "vbInteger",
    "vbLong",
    "vbSingle",
    "vbDouble",
    "vbCurrency",
    "vbDate",
    "vbString",
    "vbObject",
    "vbError",
    "vbBoolean",
    "vbVariant",
    "vbDataObject",
    "vbDecimal",
    "vbByte",
    "vbArray",
    "Abs",
    "Array",
    "Asc",
    "AscB",
    "AscW",
    "Atn",
    "CBool",
    "CByte",
    "CCur",
    "CDate",
    "CDbl",
    "Chr",
    "ChrB",
    "ChrW",
    "CInt",
    "CLng",
    "Cos",
    "CreateObject",
    "CSng",
    "CStr",
    "Date",
    "DateAdd",
    "DateDiff",
    "DatePart",
    "DateSerial",
    "DateValue",
    "Day",
    "Escape",
    "Eval",
    "Exp",
    "Filter",
    "Fix",
    "FormatCurrency",
    "FormatDateTime",
    "FormatNumber",
    "FormatPercent",
    "GetLocale",
    "GetObject",
    "GetRef",
    "Hex",
    "Hour",
    "InputBox",
    "InStr",
    "InStrB",
    "InStrRev",
    "Int",
    "IsArray",
    "IsDate",
    "IsEmpty",
    "IsNull",
    "IsNumeric",
    "IsObject",
    "Join",
    "LBound",
    "LCase",
    "Left",
    "LeftB",
    "Len",
    "LenB",
    "Log",
    "LTrim",
    "Mid",
    "MidB",
    "Minute",
    "Month",
    "MonthName",
    "MsgBox",
    "Now",
    "Oct",
    "Replace",
    "RGB",
    "Right",
    "RightB",
    "Rnd",
    "Round",
    "RTrim",
    "ScriptEngine",
    "ScriptEngineBuildVersion",
    "ScriptEngineMajorVersion",
    "ScriptEngineMinorVersion",
    "Second",
    "SetLocale",
    "Sgn",
    "Sin",
    "Space",
    "Split",
    "Sqr",
    "StrComp",
    "String",
    "StrReverse",
    "Tan",
    "Time",
    "Timer",
    "TimeSerial",
    "TimeValue",
    "Trim",
    "TypeName",
    "UBound",
    "UCase",
    "Unescape",
    "VarType",
    "Weekday",
    "WeekdayName",
    "Year",
    "Clear",
    "Raise",
    "Test",
    "Erase",
    "Execute",
    "ExecuteGlobal",
    "Error",
    "Explicit",
    "Randomize",
    "Step",
    "Err",
    "RegExp",
    // The automation object through which scripts reach the calculation, and its members.
    "Rekna",
    "Calc",
    "CalcC",
    "CalcS",
    "Var",
    "VarC",
    "Func",
    "FuncC",
    "EscStop",
    "ClipBoard",
    "ExePath",
    "FileName",
    "Ans",
    "Sleep",
    "Quit",
};

constexpr std::string_view kJScriptReserved[] = {
    "break",  "delete",     "function", "return", "typeof",   "case",    "do",   "if",
    "switch", "var",        "catch",    "else",   "in",       "this",    "void", "continue",
    "false",  "instanceof", "throw",    "while",  "debugger", "finally", "new",  "true",
    "with",   "default",    "for",      "null",   "try",
};

// Conditional compilation, the built-in objects, their constants, methods and properties.
constexpr std::string_view kJScriptKeyWords[] = {
    "@cc_on",
    "@if",
    "@set",
    "ActiveXObject",
    "Array",
    "Boolean",
    "Date",
    "Debug",
    "Enumerator",
    "Error",
    "Function",
    "Global",
    "Math",
    "Number",
    "Object",
    "RegExp",
    "String",
    "VBArray",
    "E",
    "LN10",
    "LN2",
    "LOG10E",
    "LOG2E",
    "PI",
    "SQRT1_2",
    "SQRT2",
    "MAX_VALUE",
    "MIN_VALUE",
    "NaN",
    "NEGATIVE_INFINITY",
    "POSITIVE_INFINITY",
    "Infinity",
    "undefined",
    "abs",
    "acos",
    "anchor",
    "apply",
    "asin",
    "atan",
    "atan2",
    "atEnd",
    "big",
    "blink",
    "bold",
    "call",
    "ceil",
    "charAt",
    "charCodeAt",
    "compile",
    "concat",
    "cos",
    "decodeURI",
    "decodeURIComponent",
    "dimensions",
    "encodeURI",
    "encodeURIComponent",
    "escape",
    "eval",
    "exec",
    "exp",
    "fixed",
    "floor",
    "fontcolor",
    "fontsize",
    "fromCharCode",
    "getDate",
    "getDay",
    "getFullYear",
    "getHours",
    "getItem",
    "getMilliseconds",
    "getMinutes",
    "getMonth",
    "GetObject",
    "getSeconds",
    "getTime",
    "getTimezoneOffset",
    "getUTCDate",
    "getUTCDay",
    "getUTCFullYear",
    "getUTCHours",
    "getUTCMilliseconds",
    "getUTCMinutes",
    "getUTCMonth",
    "getUTCSeconds",
    "getVarDate",
    "getYear",
    "hasOwnProperty",
    "indexOf",
    "isFinite",
    "isNaN",
    "isPrototypeOf",
    "italics",
    "item",
    "join",
    "lastIndexOf",
    "lbound",
    "link",
    "localeCompare",
    "log",
    "match",
    "max",
    "min",
    "moveFirst",
    "moveNext",
    "parse",
    "parseFloat",
    "parseInt",
    "pop",
    "pow",
    "propertyIsEnumerable",
    "push",
    "random",
    "replace",
    "reverse",
    "round",
    "ScriptEngine",
    "ScriptEngineBuildVersion",
    "ScriptEngineMajorVersion",
    "ScriptEngineMinorVersion",
    "search",
    "setDate",
    "setFullYear",
    "setHours",
    "setMilliseconds",
    "setMinutes",
    "setMonth",
    "setSeconds",
    "setTime",
    "setUTCDate",
    "setUTCFullYear",
    "setUTCHours",
    "setUTCMilliseconds",
    "setUTCMinutes",
    "setUTCMonth",
    "setUTCSeconds",
    "setYear",
    "shift",
    "sin",
    "slice",
    "small",
    "sort",
    "splice",
    "split",
    "sqrt",
    "strike",
    "sub",
    "substr",
    "substring",
    "sup",
    "tan",
    "test",
    "toArray",
    "toDateString",
    "toExponential",
    "toFixed",
    "toGMTString",
    "toLocaleDateString",
    "toLocaleLowerCase",
    "toLocaleString",
    "toLocaleTimeString",
    "toLocaleUpperCase",
    "toLowerCase",
    "toPrecision",
    "toString",
    "toTimeString",
    "toUpperCase",
    "toUTCString",
    "ubound",
    "unescape",
    "unshift",
    "UTC",
    "valueOf",
    "arguments",
    "callee",
    "caller",
    "constructor",
    "description",
    "global",
    "ignoreCase",
    "index",
    "input",
    "lastIndex",
    "lastMatch",
    "lastParen",
    "leftContext",
    "length",
    "message",
    "multiline",
    "name",
    "number",
    "prototype",
    "source",
    "rightContext",
};

[[nodiscard]] char Lower(char c) noexcept {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

TKeyWordList::TKeyWordList(std::span<const std::string_view> words, bool caseSensitive) {
    Assign(words, caseSensitive);
}

TKeyWordList::TEntry TKeyWordList::EntryOf(std::string_view word) const {
    std::string key(word);
    if (!FCaseSensitive) std::transform(key.begin(), key.end(), key.begin(), Lower);
    return {std::move(key), std::string(word)};
}

void TKeyWordList::Assign(std::span<const std::string_view> words, bool caseSensitive) {
    FCaseSensitive = caseSensitive;
    FKeys.clear();
    FWords.clear();
    FPending.clear();
    Add(words);
    Settle();
}

void TKeyWordList::Add(std::span<const std::string_view> words) {
    for (const std::string_view w : words)
        FPending.push_back(EntryOf(w));
}

void TKeyWordList::MergePending() const {
    std::sort(FPending.begin(), FPending.end());
    std::vector<TEntry> entries;
    entries.reserve(FKeys.size() + FPending.size());
    std::size_t i = 0, j = 0;
    // Both runs are sorted: one merge, then of equal keys the smallest word stays.
    while (i < FKeys.size() || j < FPending.size()) {
        const bool takeOld =
            j == FPending.size() ||
            (i < FKeys.size() &&
             std::tie(FKeys[i], FWords[i]) <= std::tie(FPending[j].first, FPending[j].second));
        if (takeOld) {
            entries.emplace_back(std::move(FKeys[i]), std::move(FWords[i]));
            ++i;
        } else {
            entries.push_back(std::move(FPending[j++]));
        }
    }
    FPending.clear();
    entries.erase(std::unique(entries.begin(), entries.end(),
                              [](const auto& a, const auto& b) { return a.first == b.first; }),
                  entries.end());
    FKeys.clear();
    FWords.clear();
    FKeys.reserve(entries.size());
    FWords.reserve(entries.size());
    for (auto& [key, word] : entries) {
        FKeys.push_back(std::move(key));
        FWords.push_back(std::move(word));
    }
}

bool TKeyWordList::Contains(std::string_view word) const {
    Settle();
    if (FCaseSensitive) return std::binary_search(FKeys.begin(), FKeys.end(), word);
    // Identifiers longer than every word cannot be in the list; the rest are lowered on the stack.
    char buf[64];
    if (word.size() > sizeof buf) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        buf[i] = Lower(word[i]);
    return std::binary_search(FKeys.begin(), FKeys.end(), std::string_view(buf, word.size()));
}

std::span<const std::string_view> CalcFunctionNames() noexcept {
    return kCalcFunctions;
}
std::span<const std::string_view> VBScriptReservedNames() noexcept {
    return kVBScriptReserved;
}
std::span<const std::string_view> VBScriptKeyWordNames() noexcept {
    return kVBScriptKeyWords;
}
std::span<const std::string_view> JScriptReservedNames() noexcept {
    return kJScriptReserved;
}
std::span<const std::string_view> JScriptKeyWordNames() noexcept {
    return kJScriptKeyWords;
}

const TKeyWordList& VBScriptReserved() {
    static const TKeyWordList list(kVBScriptReserved, false);
    return list;
}
const TKeyWordList& VBScriptKeyWords() {
    static const TKeyWordList list(kVBScriptKeyWords, false);
    return list;
}
const TKeyWordList& JScriptReserved() {
    static const TKeyWordList list(kJScriptReserved, true);
    return list;
}
const TKeyWordList& JScriptKeyWords() {
    static const TKeyWordList list(kJScriptKeyWords, true);
    return list;
}

}  // namespace rekna
