// Scripting.Dictionary: keys and items in the order they were added, looked up by key.
#pragma once

#include "script/runtime/script_object.h"

namespace rekna {

// The one object CreateObject makes ("Scripting.Dictionary").
[[nodiscard]] TRef<TScriptObject> MakeDictionary();

}  // namespace rekna
