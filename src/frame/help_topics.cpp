// The help texts on numbers, variables, comments, brackets, statistics, user functions, box
// selection, ruled lines and VBScript lines.
#include "frame/help_topics.h"

#include <algorithm>
#include <array>

#include "frame/frame_actions.h"
#include "platform/cp932.h"

namespace rekna {
namespace {

constexpr std::string_view kValue[] = {
    "数値として、10進数、2進数、16進数を使用することができます。",
    "",
    "  数字か小数点で始まる連続した文字列は、10進数として解析します。",
    "    整数、小数、指数、Eng、%、dB形式と、京兆億万、日時分を使って入力できます。",
    "    123、1.23、1.2E3、1.2E-34、1.3m、1.3M、3.5%、-2.3dB、1億23万45.6",
    "",
    "  && で始まる連続した文字列は、2進数として解析し、整数、小数、指数形式を使えます。",
    "    &&10010、&&10.01、&&1.0011E&&101",
    "",
    "  &&C で始まる連続した文字列は、2の補数形式の2進数として解析します。",
    "    &&C010010、&&c100.01、&&C1.0011E-10",
    "",
    "  $ で始まる連続した文字列は、16進数として解析し、整数、小数、指数形式を使えます。",
    "    $1F00、$ABC、$123.EF、$1.23P-$EF",
    "",
    "直前に - があるとき、負の数値として認識します。",
    "    -$1F00、-2.3E-2、-23.4u、--10dB",
    "",
    "直後に i か j があるとき、虚数と認識します。",
    "    $1F00i、2.3E-2i、-23.4ui、12万j",
    "極座標形式(大きさ@位相)で複素数を入力することもできます。",
    "    23m@2、-2.3dB@-60",
};
constexpr std::string_view kVariable[] = {
    "変数は、半角アルファベットかギリシャ文字か√か _ で始まる、",
    "有効な文字の連続した文字列で、",
    "半角アルファベットと半角数字とギリシャ文字と√ _ と . を使用できます。",
    "",
    "変数は内部で小文字に変換され、大文字と小文字は区別されません。",
    "変数の数、文字数とも制限はありません。",
    "関数名と同じ変数も使用でき、直後に ( が無い場合は変数になります。",
    "",
    "= または := により値が代入されると、変数として登録されます。",
    "（未登録の変数には、0を代入して計算を行います。）",
    "変数を使用して複数行の計算を行うことができます。",
    "  f=100M[Hz]",
    "  Z1=51[Ω]+1/S(f*10p[F])",
    "  Z2=100[Ω]+1/S(f*5p[F])",
    "  A=Z2/(Z1+Z2)",
    "  Abs(A)  ;ゲイン",
    "このような場合、全行計算モードが便利です。",
    "",
    "直前の計算結果が代入される特殊変数(Ans)と",
    "統計計算用の特殊変数(Count,Sum,Ave,Var,Std,VarP,StdP,Min,Max,MinA,MaxA)は、",
    "計算により値が自動更新されるので注意してください。",
};
constexpr std::string_view kComment[] = {
    "[ ] の中はコメントです。",
    "; の後はコメントです。",
    ": の前はコメントです。",
    "  ただし、:= は変数への代入記号と解釈します。",
    "",
    "ギリシャ文字と√以外の全角文字はコメントです。",
    "　ただし、数値の桁文字として、京兆億万日時分を使えます。",
    "　全角の＝の後ろは、計算結果記入で更新されるコメントです。",
    "",
    "コメントは無視して計算式を解析します。",
};
constexpr std::string_view kKakko[] = {
    "( ) と { } の中の計算が優先されます。",
    "{ } は内部で ( ) に変換され、区別されません。",
    "",
    "[ ] の中はコメントです。",
    "",
    "それ以外のカッコは無視されます。",
    "",
    "カッコ文字をダブルクリックすると、カッコ内を選択できます。",
    "（カッコ文字の外側付近の場合は、カッコ文字も含めて選択されます。）",
};
constexpr std::string_view kStat[] = {
    "1変数の統計計算に対応し、平均値や標準偏差を計算できます。",
    "データは、Data( ) と End( ) の間の行に、> で入力します。",
    "",
    "Data( )",
    ">10.3",
    ">10.7",
    ">9.8",
    ">10.9",
    ">11.5",
    "End( )",
    "Std( );標準偏差",
    "",
    "Data( ) と End( ) の間で、行の先頭が>のとき、その行の計算結果を統計データに追加します。",
    "データ追加時に、Ans領域にデータNoを表示し、平均値や標準偏差を再計算します。",
    "",
    "Data( ) と End( ) の間では、",
    "統計計算用の特殊変数(Count,Sum,Ave,Var,Std,VarP,StdP,Min,Max,MinA,MaxA)",
    "の値も、統計計算により自動更新されます。",
};
constexpr std::string_view kUserFunc[] = {
    "ユーザー定義関数（引数は\",\"+スペース区切り）を使用できます。",
    "",
    "#関数名(引数1, 引数2, 引数3)=定義式",
    "",
    "のように、制御行(1文字目が#の行)として記述します。",
    "",
    "#Sqr(X)=X^2",
    "2+Sqr(4)",
    "",
    "関数名や引数名の規定は、変数名と同様です。",
    "組み込み関数と同じ名称のユーザー定義関数も定義でき、",
    "組み込み関数よりも優先されるため、関数の上書きが可能です。",
    "",
    "定義式の中では、後から定義されたユーザー定義関数は使用できません。",
    "定義式の中では、変数も使用でき、ユーザー定義関数を計算する時点",
    "での変数値を使って計算が実行されます。",
};
constexpr std::string_view kBoxSelect[] = {
    "通常選択：左ドラッグ、[Shift]+[矢印キー/左クリック]",
    "",
    "矩形選択：[Ctrl]+左ドラッグ、[Shift]+[Ctrl]+[矢印キー/左クリック]",
    "",
    "　矩形選択（Box選択）のクリップボードデータは、改行区切りです。",
    "",
    "矩形選択時には、自動的にBox入力、Box貼付けモードになります。",
    "",
    "　キャレットが複数行対応になり、文字を一括入力できます。",
    "　貼付けデータに改行がないとき、キャレット行範囲に一括貼付けします。",
    "　Box貼付けデータ(改行あり)は、データ行とキャレット行範囲内でBox貼付けします。",
};
constexpr std::string_view kKeisen[] = {
    "[Alt]+矢印キーで、罫線を入力できます。",
    "罫線は半角文字の-+|を使用し、上書きモードで記入されます。",
    "",
    "[Alt]+[Shift]+矢印キーで、罫線を削除（スペースで上書き）できます。",
};
constexpr std::string_view kVBScript[] = {
    "VBScriptを有効にすると、",
    "通常の計算行と、VBScript行を混在して使用できます。",
    "",
    "#? で始まる行は、VBScript式の評価行で、右に評価結果が記入されます。",
    "#> で始まる行は、VBScript文の実行行です。",
    "連続した #> 行は、まとめて実行されます。",
    "",
    "#>S=\"\"",
    "#>For i=0 to 5",
    "#>  S=S && i && \"A \"",
    "#>Next",
    "#?S  ' ＝ 0A 1A 2A 3A 4A 5A",
    "",
    "ループには中断コードが自動挿入され、Escキーで中断できます。",
};

constexpr std::array kTopics{
    THelpTopic{"ActionHelpValue", "数値説明(&L)", kValue},
    THelpTopic{"ActionHelpVariable", "変数説明(&V)", kVariable},
    THelpTopic{"ActionHelpComment", "コメント説明(&C)", kComment},
    THelpTopic{"ActionHelpKakko", "かっこ説明(&K)", kKakko},
    THelpTopic{"ActionHelpStat", "統計説明(&S)", kStat},
    THelpTopic{"ActionHelpUserFunc", "ユーザー定義関数説明(&F)", kUserFunc},
    THelpTopic{"ActionHelpBoxSelect", "Box選択説明(&B)", kBoxSelect},
    THelpTopic{"ActionHelpKeisen", "罫線入力説明(&I)", kKeisen},
    THelpTopic{"ActionHelpVBScript", "VBScrip&t説明", kVBScript},
};

}  // namespace

std::string THelpTopic::Text() const {
    std::string utf8;
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        if (i > 0) utf8 += "\r\n";
        utf8 += Lines[i];
    }
    // The texts were written for a label that takes "&" as an accelerator prefix.
    return SysText(StripAccelerator(utf8));
}

std::span<const THelpTopic> HelpTopics() noexcept {
    return kTopics;
}

const THelpTopic* FindHelpTopic(std::string_view action) noexcept {
    const auto it = std::find_if(kTopics.begin(), kTopics.end(),
                                 [action](const THelpTopic& t) { return t.Action == action; });
    return it == kTopics.end() ? nullptr : &*it;
}

}  // namespace rekna
