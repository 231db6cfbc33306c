// Helpers of the script tests: run a program, evaluate an expression and show the value with
// its type ("Integer 3", "String abc") or the error that ended the run ("Err 13").
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "script/runtime/script_interpreter.h"

namespace rekna {

inline std::string ShowValue(const TVariant& v) {
    std::string type;
    switch (v.Type()) {
    case TVarType::vtEmpty: return "Empty";
    case TVarType::vtNull: return "Null";
    case TVarType::vtInteger: type = "Integer"; break;
    case TVarType::vtLong: type = "Long"; break;
    case TVarType::vtSingle: type = "Single"; break;
    case TVarType::vtDouble: type = "Double"; break;
    case TVarType::vtDate: type = "Date"; break;
    case TVarType::vtString: type = "String"; break;
    case TVarType::vtBoolean: type = "Boolean"; break;
    case TVarType::vtByte: type = "Byte"; break;
    case TVarType::vtCurrency: type = "Currency"; break;
    case TVarType::vtError: return "Missing";
    case TVarType::vtRef: return "Ref";
    case TVarType::vtObject: return v.ObjPtr() ? "Object" : "Nothing";
    case TVarType::vtArray: return "Array";
    }
    return type + " " + ScriptValueText(v);
}

inline std::string ShowError(const TScriptError& e) {
    return "Err " + std::to_string(e.Number);
}

// Runs program (when not empty) and then evaluates expr in the same interpreter.
inline std::string RunThenEval(TScriptInterpreter& s, const std::string& program,
                               const std::string& expr) {
    if (!program.empty() && !s.Execute(program)) return ShowError(s.LastError());
    TVariant v;
    if (!s.Evaluate(expr, v)) return ShowError(s.LastError());
    return ShowValue(v);
}

inline std::string RunThenEval(const std::string& program, const std::string& expr) {
    TScriptInterpreter s;
    return RunThenEval(s, program, expr);
}

// One program, the expression evaluated after it, and the value (or error) expected.
struct TScriptRow {
    std::string Program;
    std::string Expr;
    std::string Expected;
};

inline void ExpectScriptRows(const std::vector<TScriptRow>& rows) {
    for (const TScriptRow& row : rows) {
        EXPECT_EQ(RunThenEval(row.Program, row.Expr), row.Expected) << row.Program;
    }
}

}  // namespace rekna
