// The palette roles of the desktop's system colours.
#include "platform/qt/qt_color.h"

#include <iterator>

namespace rekna {
namespace {

struct TRole {
    QPalette::ColorGroup Group;
    QPalette::ColorRole Role;
};

// By system colour index; index 25 is unused by the desktop.
constexpr TRole kSystemRoles[] = {
    {QPalette::Active, QPalette::Button},             // clScrollBar
    {QPalette::Active, QPalette::Window},             // clBackground
    {QPalette::Active, QPalette::Highlight},          // clActiveCaption
    {QPalette::Inactive, QPalette::Highlight},        // clInactiveCaption
    {QPalette::Active, QPalette::Window},             // clMenu
    {QPalette::Active, QPalette::Base},               // clWindow
    {QPalette::Active, QPalette::Shadow},             // clWindowFrame
    {QPalette::Active, QPalette::WindowText},         // clMenuText
    {QPalette::Active, QPalette::Text},               // clWindowText
    {QPalette::Active, QPalette::HighlightedText},    // clCaptionText
    {QPalette::Active, QPalette::Window},             // clActiveBorder
    {QPalette::Active, QPalette::Window},             // clInactiveBorder
    {QPalette::Active, QPalette::Dark},               // clAppWorkSpace
    {QPalette::Active, QPalette::Highlight},          // clHighlight
    {QPalette::Active, QPalette::HighlightedText},    // clHighlightText
    {QPalette::Active, QPalette::Button},             // clBtnFace
    {QPalette::Active, QPalette::Dark},               // clBtnShadow
    {QPalette::Disabled, QPalette::Text},             // clGrayText
    {QPalette::Active, QPalette::ButtonText},         // clBtnText
    {QPalette::Inactive, QPalette::HighlightedText},  // clInactiveCaptionText
    {QPalette::Active, QPalette::Light},              // clBtnHighlight
    {QPalette::Active, QPalette::Shadow},             // cl3DDkShadow
    {QPalette::Active, QPalette::Midlight},           // cl3DLight
    {QPalette::Active, QPalette::ToolTipText},        // clInfoText
    {QPalette::Active, QPalette::ToolTipBase},        // clInfoBk
    {QPalette::Active, QPalette::Text},               // (unused)
    {QPalette::Active, QPalette::Link},               // clHotLight
    {QPalette::Active, QPalette::Highlight},          // clGradientActiveCaption
    {QPalette::Inactive, QPalette::Highlight},        // clGradientInactiveCaption
    {QPalette::Active, QPalette::Highlight},          // clMenuHighlight
    {QPalette::Active, QPalette::Window},             // clMenuBar
};

}  // namespace

QRgb ToQRgb(TColor color, const QPalette& palette) {
    if (IsSystemColor(color)) {
        const std::size_t i = SystemColorIndex(color);
        const TRole role =
            i < std::size(kSystemRoles) ? kSystemRoles[i] : TRole{QPalette::Active, QPalette::Text};
        return palette.color(role.Group, role.Role).rgb();
    }
    if (color == clNone) return palette.color(QPalette::Active, QPalette::Base).rgb();
    if (color == clDefault) return palette.color(QPalette::Active, QPalette::Text).rgb();
    return qRgb(ColorRed(color), ColorGreen(color), ColorBlue(color));
}

}  // namespace rekna
