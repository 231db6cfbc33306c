// RegExp: regular expressions on PCRE2 with the language's syntax and members, its Matches,
// Match and SubMatches, and limits that end a runaway match with a script error.
#pragma once

#include "script/runtime/script_object.h"

namespace rekna {

// The object "New RegExp" makes.
[[nodiscard]] TRef<TScriptObject> MakeRegExp();

// Work a single match may do before it ends with an error (PCRE2's match and depth limits, and
// the memory its backtracking may take).
inline constexpr unsigned kRegExpMatchLimit = 5'000'000;
inline constexpr unsigned kRegExpDepthLimit = 100'000;
inline constexpr unsigned kRegExpHeapLimitKiB = 64 * 1024;

}  // namespace rekna
