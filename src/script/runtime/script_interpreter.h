// The script interpreter: runs texts as statements or evaluates them as expressions, keeps
// variables and procedures between runs, and reaches host objects handed in by name.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "script/runtime/script_error.h"
#include "script/runtime/script_object.h"
#include "script/values/variant.h"

namespace rekna {

class TRuntime;

inline constexpr std::size_t kDefaultScriptMemory = std::size_t{512} << 20;

// Bounds that end a run with a runtime error instead of exhausting the machine.
struct TScriptLimits {
    std::size_t MaxTextBytes = std::size_t{64} << 20;   // one string
    std::size_t MaxArrayItems = std::size_t{16} << 20;  // one array
    // Everything the scripts' values hold together (strings, arrays, objects).
    std::size_t MaxMemoryBytes = kDefaultScriptMemory;
    int MaxCallDepth = 1000;                         // nested procedure calls
    std::size_t StackBudget = std::size_t{4} << 20;  // machine stack used by nested calls
};

// MsgBox and InputBox requests; without handlers MsgBox answers its default button and
// InputBox its default text.
struct TMsgBoxRequest {
    std::string Prompt;
    int Buttons = 0;
    std::string Title;
};
struct TInputBoxRequest {
    std::string Prompt;
    std::string Title;
    std::string Default;
};

class TScriptInterpreter {
public:
    TScriptInterpreter();
    ~TScriptInterpreter();
    TScriptInterpreter(const TScriptInterpreter&) = delete;
    TScriptInterpreter& operator=(const TScriptInterpreter&) = delete;

    // Makes obj reachable under name (matched without regard to case); a null obj removes it.
    // Objects stay across Reset.
    void AddObject(std::string_view name, TRef<TScriptObject> obj);

    // Runs the text as statements. Its procedures and top-level variables stay until Reset.
    // False when it failed to read or stopped with an error; LastError() says which.
    bool Execute(std::string_view text);
    // Evaluates the text as one expression ("=" compares).
    bool Evaluate(std::string_view text, TVariant& result);
    // Forgets every variable and procedure. Refused (false) while a run is in progress.
    bool Reset();
    [[nodiscard]] bool Running() const noexcept;

    [[nodiscard]] const TScriptError& LastError() const noexcept;

    // Asks the running script to stop at its next loop pass or procedure call; safe from any
    // thread. Each run starts with the request cleared. On Error Resume Next does not catch it.
    void RequestStop() noexcept;

    // A top-level variable's value (Empty when there is none).
    [[nodiscard]] TVariant Global(std::string_view name) const;

    // The bytes the scripts' strings, arrays and objects hold now, and the most they held since
    // the last ResetPeak (every run begins with one).
    [[nodiscard]] std::size_t MemoryInUse() const noexcept;
    [[nodiscard]] std::size_t MemoryPeak() const noexcept;

    TScriptLimits Limits;
    // Called every PollInterval loop passes and procedure calls, so that the host can look for
    // the user's stop request (and call RequestStop).
    std::function<void()> OnPoll;
    unsigned PollInterval = 4096;
    // MsgBox: the button pressed (vbOK = 1, ...). InputBox: false when cancelled.
    std::function<int(const TMsgBoxRequest&)> OnMsgBox;
    std::function<bool(const TInputBoxRequest&, std::string& answer)> OnInputBox;

private:
    std::unique_ptr<TRuntime> FRuntime;
};

// The value as text for the host, as CStr gives it; arrays and objects give their type name
// and Null gives "Null".
[[nodiscard]] std::string ScriptValueText(const TVariant& v);

}  // namespace rekna
