// The texts of the script error numbers, worded as the language's Japanese edition words them.
#include "script/runtime/script_error.h"

#include <unordered_map>

#include "platform/cp932.h"

namespace rekna {

namespace {

struct TErrorText {
    int Number;
    const char* Text;  // UTF-8
};

constexpr TErrorText kErrorTexts[] = {
    {seInvalidCall, "プロシージャの呼び出し、または引数が不正です。"},
    {seOverflow, "オーバーフローしました。"},
    {seOutOfMemory, "メモリが不足しています。"},
    {seSubscript, "インデックスが有効範囲にありません。"},
    {seFixedArray, "この配列は固定されているか、または一時的にロックされています。"},
    {seDivByZero, "0 で除算しました。"},
    {seTypeMismatch, "型が一致しません。"},
    {seOutOfString, "文字列領域が不足しています。"},
    {seTooComplex, "式が複雑すぎます。"},
    {17, "要求された操作は実行できません。"},
    {seOutOfStack, "スタック領域が不足しています。"},
    {seNotDefined, "Sub または Function が定義されていません。"},
    {48, "DLL 読み込み時のエラーです。"},
    {51, "内部エラーです。"},
    {seObjectNotSet, "オブジェクト変数または With ブロック変数が設定されていません。"},
    {seForNotInit, "For ループが初期化されていません。"},
    {seInvalidNull, "Null の使い方が不正です。"},
    {seObjectRequired, "オブジェクトがありません。"},
    {seCannotCreate, "ActiveX コンポーネントはオブジェクトを作成できません。"},
    {seNoMember, "オブジェクトでサポートされていないプロパティまたはメソッドです。"},
    {seNoAction, "オブジェクトでサポートされていない動作です。"},
    {seArgNotOptional, "引数は省略できません。"},
    {seArgCount, "引数の数が一致していません。または不正なプロパティを指定しています。"},
    {seNotCollection, "オブジェクトはコレクションではありません。"},
    {seKeyExists, "このキーは既にこのコレクションの要素に割り当てられています。"},
    {458, "変数が VBScript でサポートされていないオートメーションの型を使っています。"},
    {seUndefinedVar, "変数が定義されていません。"},
    {seIllegalAssign, "割り当てが不正です。"},
    {502, "オブジェクトはスクリプトに対して安全ではありません。"},
    {seBadReference, "無効または修飾されていない参照です。"},
    {seClassNotDefined, "クラスが定義されていません。"},
    {seStopped, "スクリプトの実行が中断されました。"},
    {1001, "メモリが不足しています。"},
    {seSyntax, "構文エラーです。"},
    {seExpectedColon, "':' がありません。"},
    {seExpectedLParen, "'(' がありません。"},
    {seExpectedRParen, "')' がありません。"},
    {1007, "']' がありません。"},
    {seExpectedIdent, "識別子がありません。"},
    {seExpectedEqual, "'=' がありません。"},
    {seExpectedIf, "'If' がありません。"},
    {seExpectedTo, "'To' がありません。"},
    {seExpectedEnd, "'End' がありません。"},
    {seExpectedFunction, "'Function' がありません。"},
    {seExpectedSub, "'Sub' がありません。"},
    {seExpectedThen, "'Then' がありません。"},
    {seExpectedWend, "'Wend' がありません。"},
    {seExpectedLoop, "'Loop' がありません。"},
    {seExpectedNext, "'Next' がありません。"},
    {seExpectedCase, "'Case' がありません。"},
    {seExpectedSelect, "'Select' がありません。"},
    {seExpectedExpression, "式がありません。"},
    {seExpectedStatement, "ステートメントがありません。"},
    {seExpectedEndOfStatement, "ステートメントの末尾が不正です。"},
    {seExpectedInteger, "整数の定数を指定してください。"},
    {seExpectedWhileUntil, "'While'、'Until' またはステートメントの末尾がありません。"},
    {seExpectedWith, "'With' がありません。"},
    {1030, "識別子が長すぎます。"},
    {seInvalidNumber, "数値が不正です。"},
    {seInvalidChar, "文字が不正です。"},
    {seUnterminatedString, "文字列定数が終了していません。"},
    {seInvalidMe, "'Me' キーワードの使い方が不正です。"},
    {1038, "'loop' に対応する 'do' がありません。"},
    {seInvalidExit, "'exit' ステートメントが不正です。"},
    {1040, "'for' ループの制御変数が不正です。"},
    {seNameRedefined, "名前が再定義されています。"},
    {1042, "行の最初のステートメントである必要があります。"},
    {1044, "Sub を呼び出すときにかっこは使用できません。"},
    {1045, "リテラル定数を指定してください。"},
    {seExpectedIn, "'In' がありません。"},
    {seExpectedClass, "'Class' がありません。"},
    {1048, "クラス内で定義する必要があります。"},
    {seExpectedLetSetGet, "プロパティの宣言には Let、Set または Get が必要です。"},
    {seExpectedProperty, "'Property' がありません。"},
    {sePropertyArgs, "引数の数はプロパティの指定ごとに一致している必要があります。"},
    {seMultipleDefault, "クラスに既定のプロパティまたはメソッドを複数指定することはできません。"},
    {seClassEventArgs, "クラスの初期化および終了処理に引数は指定できません。"},
    {sePropertyPutArgs, "Property Set または Property Let には少なくとも 1 つの引数が必要です。"},
    {1055, "'Next' が予期されていません。"},
    {seDefaultNotHere, "'Default' は 'Property'、'Function' または 'Sub' にのみ指定できます。"},
    {seDefaultNotPublic, "'Default' を指定するときは 'Public' も指定する必要があります。"},
    {seDefaultNotGet, "'Default' は Property Get にのみ指定できます。"},
    {5016, "正規表現オブジェクトが必要です。"},
    {seRegExpSyntax, "正規表現の構文エラーです。"},
    {5018, "数量詞が予期されない位置にあります。"},
    {5019, "正規表現に ']' がありません。"},
    {5020, "正規表現に ')' がありません。"},
    {5021, "文字セットの範囲が不正です。"},
    {seElementNotFound, "要素が見つかりません。"},
};

const std::unordered_map<int, std::string>& Texts() {
    static const std::unordered_map<int, std::string> texts = [] {
        std::unordered_map<int, std::string> m;
        for (const TErrorText& e : kErrorTexts)
            m.emplace(e.Number, Utf8ToCp932(e.Text));
        return m;
    }();
    return texts;
}

}  // namespace

std::string ScriptErrorText(int number) {
    const auto& texts = Texts();
    const auto it = texts.find(number);
    if (it != texts.end()) return it->second;
    static const std::string unknown = Utf8ToCp932("不明な実行時エラーです。");
    return unknown;
}

const std::string& ScriptRuntimeSource() {
    static const std::string source = Utf8ToCp932("Microsoft VBScript 実行時エラー");
    return source;
}

const std::string& ScriptCompileSource() {
    static const std::string source = Utf8ToCp932("Microsoft VBScript コンパイル エラー");
    return source;
}

std::string ScriptErrorNaming(int number, std::string_view name) {
    return ScriptErrorText(number) + ": '" + std::string(name) + "'";
}

}  // namespace rekna
