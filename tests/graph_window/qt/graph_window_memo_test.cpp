// The memo side of the graph window's widget tests, apart from the graph's headers (both the
// editor and the graph name a TShiftState of their own).
#include <QWidget>

#include <string>
#include <vector>

#include "editor/qt/umemo.h"
#include "frame/qt/vt_frame_calc.h"
#include "platform/cp932.h"
#include "shell/qt/form_memo.h"

namespace rekna::graph_test {

QWidget* MemoWidget(TFormMemo& form) {
    return form.VtFrameCalc1()->UMemo1();
}

std::vector<std::string> MemoRows(TFormMemo& form) {
    std::vector<std::string> rows;
    const TUMemoStrings& memo = form.VtFrameCalc1()->UMemo1()->Lines();
    for (int r = 0; r < memo.GetCount(); ++r)
        rows.push_back(Cp932ToUtf8(memo.Get(r)));
    return rows;
}

double MemoVariable(TFormMemo& form, const char* name) {
    TFrac re, im;
    if (form.VtFrameCalc1()->VtCalc1().GetVar(name, re, im) < 0) return -1;
    return static_cast<double>(re.Value());
}

}  // namespace rekna::graph_test
