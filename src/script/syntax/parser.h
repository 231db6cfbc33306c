// Reads script text into a program tree: statements with procedures and classes, or a single
// expression.
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

// How deeply statements, brackets and unary operators may nest. A run of binary operators of
// any length is read without nesting.
inline constexpr int kMaxNesting = 200;

// Reads the text as statements into program (Body, Procs, Classes, Globals, Lines).
bool ParseProgram(std::string_view text, TProgram& program, TParseError& error);
// Reads the text as one expression into program.Expression ("=" compares).
bool ParseExpression(std::string_view text, TProgram& program, TParseError& error);

}  // namespace rekna
