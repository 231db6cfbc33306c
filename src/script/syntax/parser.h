// Reads script text into a program tree: statements with procedures, or a single expression.
#pragma once

#include <string_view>

#include "script/syntax/ast.h"

namespace rekna {

// A syntax error with its position (0-based line and column).
struct TParseError {
    int Number = 0;
    int Line = 0;
    int Column = 0;
};

// How deeply statements and brackets may nest, and how tall an expression tree may grow.
inline constexpr int kMaxNesting = 200;
inline constexpr int kMaxExprDepth = 400;

// Reads the text as statements into program (Body, Procs, Globals, Lines).
bool ParseProgram(std::string_view text, TProgram& program, TParseError& error);
// Reads the text as one expression into program.Expression ("=" compares).
bool ParseExpression(std::string_view text, TProgram& program, TParseError& error);

}  // namespace rekna
