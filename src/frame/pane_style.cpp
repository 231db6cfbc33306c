// The panes' paint styles under the view options.
#include "frame/pane_style.h"

#include "platform/cp932.h"

namespace rekna {

TPaintStyle PaneStyle(const TPaintStyle& base, const TCalcOptions& o) {
    TPaintStyle s = base;
    s.ShowUnderLine = o.ViewLine;
    s.KakkoHeight = o.ViewKakkoH;
    s.ColorOn = o.ViewColor && !o.ViewBW;
    s.ShowMark = o.ViewMark && !o.ViewBW;
    s.ShowKakko = o.ViewKakko && !o.ViewBW;
    s.ShowEof = o.ViewEof;
    s.ShowCr = o.ViewCr;
    s.ShowTab = o.ViewTab;
    s.ShowJSpace = o.ViewDSpace;
    s.BoldReserved = o.BoldReserved;
    s.ResetCharColors();
    s.ColorCharOn = o.CharColorOn && !o.ViewBW;
    for (const TCharColorClass& c : o.CharColors) {
        for (std::size_t i = 0; i < c.Chars.size(); i += CharLength(c.Chars, i)) {
            if (CharLength(c.Chars, i) == 1)
                s.SetCharColor(static_cast<unsigned char>(c.Chars[i]), c.Color);
        }
    }
    return s;
}

}  // namespace rekna
