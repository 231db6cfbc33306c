// Settings colours on the screen: plain colours as they are, system colours from the palette.
#pragma once

#include "platform/color.h"

#include <QPalette>
#include <QRgb>

namespace rekna {

// The system colour names take the palette colour of the matching role (clWindow the base,
// clWindowText the text, clBtnFace the button, clHighlight the highlight, clGrayText the disabled
// text, ...). clNone and clDefault, which name no colour, become the base and the text colour.
[[nodiscard]] QRgb ToQRgb(TColor color, const QPalette& palette);

}  // namespace rekna
