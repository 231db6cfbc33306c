// The objects the interpreter itself makes: Err, and the procedure reference GetRef gives.
#pragma once

#include <memory>

#include "script/runtime/script_object.h"

namespace rekna {

class TRuntime;
struct TProc;
struct TProgram;

// Err: Number (its value), Description, Source, HelpFile, HelpContext, Clear and Raise.
[[nodiscard]] TRef<TScriptObject> MakeErrObject(TRuntime& rt);

// A procedure as a value: calling the object calls the procedure with its arguments.
[[nodiscard]] TRef<TScriptObject> MakeProcRef(std::shared_ptr<const TProgram> program, TProc& proc,
                                              TRuntime& rt);

}  // namespace rekna
