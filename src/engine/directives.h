// The display directives of a line (#N2, #Fix, #j, #End, ...) applied to the number settings.
#pragma once

#include "engine/calc_item.h"
#include "numbers/number_settings.h"

namespace rekna {

// The component's own values of the display settings that a line's directives override.
struct TDisplayProps {
    TAnsFormat AnsFormat = TAnsFormat::afEng;
    TAnsFormat60 AnsFormat60 = TAnsFormat60::afN60D;
    TCplxFormat CplxFormat = TCplxFormat::cReIm;
    char ImagChar = 'i';

    friend bool operator==(const TDisplayProps&, const TDisplayProps&) noexcept = default;
};

// Writes the directives of a control mask into NumberSettings, in bit order (a later bit
// overrides an earlier one); #End restores the component's values.
void ApplyDirectives(TControlMask mask, const TDisplayProps& props) noexcept;

// Writes the component's values into NumberSettings.
void ApplyDisplayProps(const TDisplayProps& props) noexcept;

}  // namespace rekna
