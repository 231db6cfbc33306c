// The texts of the script error numbers.
#include "script/runtime/script_error.h"

namespace rekna {

namespace {

struct TErrorText {
    int Number;
    const char* Text;
};

constexpr TErrorText kErrorTexts[] = {
    {seInvalidCall, "Invalid procedure call or argument"},
    {seOverflow, "Overflow"},
    {seOutOfMemory, "Out of memory"},
    {seSubscript, "Subscript out of range"},
    {seFixedArray, "This array is fixed or temporarily locked"},
    {seDivByZero, "Division by zero"},
    {seTypeMismatch, "Type mismatch"},
    {seOutOfString, "Out of string space"},
    {seOutOfStack, "Out of stack space"},
    {seNotDefined, "Sub or Function not defined"},
    {seForNotInit, "For loop not initialized"},
    {seInvalidNull, "Invalid use of Null"},
    {seObjectRequired, "Object required"},
    {seCannotCreate, "ActiveX component can't create object"},
    {seNoMember, "Object doesn't support this property or method"},
    {seArgCount, "Wrong number of arguments or invalid property assignment"},
    {seNotCollection, "Object not a collection"},
    {seUndefinedVar, "Variable is undefined"},
    {seIllegalAssign, "Illegal assignment"},
    {seStopped, "Script stopped"},
    {seSyntax, "Syntax error"},
    {seExpectedColon, "Expected ':'"},
    {seExpectedLParen, "Expected '('"},
    {seExpectedRParen, "Expected ')'"},
    {seExpectedIdent, "Expected identifier"},
    {seExpectedEqual, "Expected '='"},
    {seExpectedIf, "Expected 'If'"},
    {seExpectedTo, "Expected 'To'"},
    {seExpectedEnd, "Expected 'End'"},
    {seExpectedFunction, "Expected 'Function'"},
    {seExpectedSub, "Expected 'Sub'"},
    {seExpectedThen, "Expected 'Then'"},
    {seExpectedWend, "Expected 'Wend'"},
    {seExpectedLoop, "Expected 'Loop'"},
    {seExpectedNext, "Expected 'Next'"},
    {seExpectedCase, "Expected 'Case'"},
    {seExpectedSelect, "Expected 'Select'"},
    {seExpectedExpression, "Expected expression"},
    {seExpectedStatement, "Expected statement"},
    {seExpectedEndOfStatement, "Expected end of statement"},
    {seExpectedInteger, "Expected integer constant"},
    {seExpectedWhileUntil, "Expected 'While', 'Until' or end of statement"},
    {seInvalidNumber, "Invalid number"},
    {seInvalidChar, "Invalid character"},
    {seUnterminatedString, "Unterminated string constant"},
    {seInvalidExit, "Invalid 'exit' statement"},
    {seNameRedefined, "Name redefined"},
    {seExpectedIn, "Expected 'In'"},
    {seTooComplex, "Expression or statement too deeply nested"},
};

}  // namespace

std::string ScriptErrorText(int number) {
    for (const TErrorText& e : kErrorTexts) {
        if (e.Number == number) return e.Text;
    }
    return "Unknown runtime error";
}

}  // namespace rekna
