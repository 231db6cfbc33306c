// Script error numbers, their texts, and the error a run reports to its host.
#pragma once

#include <string>
#include <string_view>

namespace rekna {

// Runtime and compilation error numbers used by the interpreter.
enum TScriptErrorNumber : int {
    seInvalidCall = 5,
    seOverflow = 6,
    seOutOfMemory = 7,
    seSubscript = 9,
    seFixedArray = 10,
    seDivByZero = 11,
    seTypeMismatch = 13,
    seOutOfString = 14,
    seTooComplex = 16,
    seOutOfStack = 28,
    seNotDefined = 35,
    seObjectNotSet = 91,
    seForNotInit = 92,
    seInvalidNull = 94,
    seObjectRequired = 424,
    seCannotCreate = 429,
    seNoMember = 438,
    seNoAction = 445,
    seArgNotOptional = 449,
    seArgCount = 450,
    seNotCollection = 451,
    seKeyExists = 457,
    seUndefinedVar = 500,
    seIllegalAssign = 501,
    seBadReference = 505,
    seClassNotDefined = 506,
    seStopped = 1000,  // the host asked the script to stop
    seSyntax = 1002,
    seExpectedColon = 1003,
    seExpectedLParen = 1005,
    seExpectedRParen = 1006,
    seExpectedIdent = 1010,
    seExpectedEqual = 1011,
    seExpectedIf = 1012,
    seExpectedTo = 1013,
    seExpectedEnd = 1014,
    seExpectedFunction = 1015,
    seExpectedSub = 1016,
    seExpectedThen = 1017,
    seExpectedWend = 1018,
    seExpectedLoop = 1019,
    seExpectedNext = 1020,
    seExpectedCase = 1021,
    seExpectedSelect = 1022,
    seExpectedExpression = 1023,
    seExpectedStatement = 1024,
    seExpectedEndOfStatement = 1025,
    seExpectedInteger = 1026,
    seExpectedWhileUntil = 1027,
    seExpectedWith = 1029,
    seInvalidNumber = 1031,
    seInvalidChar = 1032,
    seUnterminatedString = 1033,
    seInvalidMe = 1037,
    seInvalidExit = 1039,
    seNameRedefined = 1041,
    seExpectedIn = 1046,
    seExpectedClass = 1047,
    seExpectedLetSetGet = 1049,
    seExpectedProperty = 1050,
    sePropertyArgs = 1051,
    seMultipleDefault = 1052,
    seClassEventArgs = 1053,
    sePropertyPutArgs = 1054,
    seDefaultNotHere = 1056,
    seDefaultNotPublic = 1057,
    seDefaultNotGet = 1058,
    seRegExpSyntax = 5017,
    seElementNotFound = 32811,
};

// The standard text of an error number as the Japanese edition of the language words it
// ("型が一致しません。"), in CP932; a generic text for unknown numbers.
[[nodiscard]] std::string ScriptErrorText(int number);
// The Err.Source of runtime errors and the source of compilation errors, in CP932.
[[nodiscard]] const std::string& ScriptRuntimeSource();
[[nodiscard]] const std::string& ScriptCompileSource();
// An error text naming what it is about: "型が一致しません。: 'Eval'".
[[nodiscard]] std::string ScriptErrorNaming(int number, std::string_view name);

// True for the numbers of errors found while reading a script, before it runs.
[[nodiscard]] constexpr bool IsCompileError(int number) noexcept {
    return number >= 1001 && number < 1100;
}

// An error that ended a run: Line and Column count from 0 within the text the error happened in;
// SourceLine is that line of the text. Stopped is set when the host's stop request ended it.
struct TScriptError {
    int Number = 0;
    std::string Description;
    std::string Source;
    int Line = 0;
    int Column = 0;
    std::string SourceLine;
    bool Stopped = false;
    // The failing line belongs to a procedure read by an earlier run, not to the text just run.
    bool EarlierText = false;

    [[nodiscard]] bool Failed() const noexcept { return Number != 0; }
};

}  // namespace rekna
