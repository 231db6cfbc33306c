// The interpreter's internal error signal; it never leaves the library.
#pragma once

#include <string>

#include "script/runtime/script_error.h"

namespace rekna {

// Thrown inside the interpreter and caught at its entry points (or by On Error Resume Next,
// unless Fatal).
struct TScriptRaise {
    int Number = 0;
    std::string Description;
    bool Fatal = false;
    // Where it happened, filled in by the innermost statement it passes through.
    bool Located = false;
    int Line = 0;
    int Column = 0;
    const void* Program = nullptr;
};

[[noreturn]] inline void Raise(int number, std::string description = {}, bool fatal = false) {
    if (description.empty()) description = ScriptErrorText(number);
    throw TScriptRaise{number, std::move(description), fatal};
}

}  // namespace rekna
