// TEObj: the automation object "Rekna" through which scripts reach the calculation, the
// answer pane, the clipboard, the program's folder and the Esc key.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "script/runtime/script_object.h"

namespace rekna {

class TVtCalc;

// What the program around the scripts gives them. Texts are CP932; lines count the memo's
// logical lines from 1. Hooks left empty fall back to a sound default (a clipboard of the
// process's own, no answers, no status, no events, no Esc).
struct TScriptDesk {
    std::function<std::string()> GetClipboard;
    std::function<void(const std::string& text)> SetClipboard;
    std::string ExePath;  // the program's folder, with a trailing "/"
    std::function<std::string()> FileName;
    std::function<std::string(int line)> GetAnswer;
    std::function<void(int line, const std::string& text)> SetAnswer;
    std::function<void(const std::string& text)> ShowStatus;
    std::function<void(bool busy)> SetBusyCursor;
    // Lets the window's pending events run (a repaint, the Esc key).
    std::function<void()> ProcessEvents;
    // Esc was typed since the run began.
    std::function<bool()> EscDown;
    // A script line begins to run.
    std::function<void()> BeginRun;
};

// The state of one script run that the object keeps and the host reads after it.
struct TScriptRunState {
    int EscStopCount = 0;
    bool StoppedByEsc = false;
    bool Quit = false;
    bool BusyCursor = false;
    // Times on the coarse clock (nanoseconds, a few milliseconds apart): of the last status
    // update, of the last event pass, and of the last look at the Esc key.
    std::int64_t LastStatus = 0;
    std::int64_t LastEvents = 0;
    std::int64_t LastEscCheck = 0;
    // While EscStop comes many times per clock tick the clock is read only every ClockSkip
    // calls (at most 16), and at every call again once a tick has passed.
    int ClockSkip = 1;
    int ClockCountdown = 1;
    std::string OwnClipboard;  // the clipboard without a desktop
};

// The dispatch result codes of the object's members.
enum TDispResult : std::uint32_t {
    drOk = 0,
    drNotImpl = 0x80004001,
    drMemberNotFound = 0x80020003,
    drUnknownName = 0x80020006,
    drOverflow = 0x8002000A,
    drBadParamCount = 0x8002000E,
    drInvalidArg = 0x80070057,
};

// The members, by their fixed dispatch identifiers.
enum TEObjMember : int {
    emCalc = 1,
    emCalcC,
    emCalcS,
    emVar,
    emVarC,
    emFunc,
    emFuncC,
    emEscStop,
    emClipBoard,
    emExePath,
    emFileName,
    emAns,
    emSleep,
    emQuit,
};

class TEObj : public TScriptObject {
public:
    TEObj(TVtCalc& calc, const TScriptDesk& desk, TScriptRunState& state)
        : FCalc(calc), FDesk(desk), FState(state) {}

    // Exactly one name gives its identifier (-1 and drUnknownName for an unknown one); more
    // than one gives drUnknownName, none drInvalidArg.
    std::uint32_t GetIDsOfNames(const std::vector<std::string_view>& names,
                                std::vector<int>& ids) const;
    // The object offers no type information.
    static std::uint32_t GetTypeInfoCount(unsigned& count) noexcept {
        count = 0;
        return drOk;
    }
    static std::uint32_t GetTypeInfo() noexcept { return drNotImpl; }
    // Calls a member; arguments in script order, a put's new value last.
    std::uint32_t Dispatch(int id, std::uint8_t flags, std::vector<TVariant>& args,
                           TVariant& result);

    [[nodiscard]] int MemberId(std::string_view name) const override;
    TInvokeResult Invoke(int id, std::uint8_t flags, std::vector<TVariant>& args,
                         TVariant& result) override;
    [[nodiscard]] std::string TypeName() const override { return "Rekna"; }
    [[nodiscard]] const void* MemberKey() const noexcept override;
    bool CallQuick(int id, TInvokeResult& failure) override;

    // Lets window events run at most every 20 ms.
    void PumpEvents();
    // Lets window events run and looks at the Esc key, as EscStop does; true (with the stop
    // shown in the status bar) when the script is to stop.
    bool PollEsc();

private:
    void PumpEvents(std::int64_t now);
    std::uint32_t EscStop() { return EscStopCounted() ? EscStopDue() : drOk; }
    // Counts an EscStop; true when the clock has to be looked at (otherwise nothing is due).
    // Inline, so that the check of every loop pass and call is a count and a compare.
    bool EscStopCounted() {
        ++FState.EscStopCount;
        return --FState.ClockCountdown <= 0;
    }
    // The part of EscStop that reads the clock, every few calls.
    [[gnu::noinline]] std::uint32_t EscStopDue();
    // CallQuick's ways out: a member other than EscStop, and the stop of the script.
    [[gnu::noinline]] bool CallQuickOther(int id, TInvokeResult& failure);
    [[gnu::noinline]] static bool QuickStopped(TInvokeResult& failure);
    // The part of EscStop that runs once per clock tick: status, events, the Esc key.
    std::uint32_t EscStopTick(std::int64_t now);
    void Sleep(double milliseconds);
    void Status(std::string_view utf8, int count);

    TVtCalc& FCalc;
    const TScriptDesk& FDesk;
    TScriptRunState& FState;
};

// The text a value leaves in the answer pane: an array as "[配列(0..n,...)]", a double as its
// shortest decimal text, anything that has no text (an object) as empty.
[[nodiscard]] std::string ScriptAnswerText(const TVariant& value);

}  // namespace rekna
