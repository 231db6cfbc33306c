// Splits script text into tokens: names, keywords, numbers, texts, operators and statement ends.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/values/variant.h"

namespace rekna {

enum class TTokenKind : std::uint8_t {
    tkEnd,      // end of the text
    tkNewLine,  // end of a line
    tkColon,    // ":" between statements
    tkName,     // a name, or a keyword when Keyword is set
    tkNumber,
    tkString,
    tkLParen,
    tkRParen,
    tkComma,
    tkDot,
    tkEq,
    tkNe,
    tkLt,
    tkGt,
    tkLe,
    tkGe,
    tkPlus,
    tkMinus,
    tkStar,
    tkSlash,
    tkBackslash,
    tkCaret,
    tkAmp,
};

// Reserved words; names such as Step, Each, Error, Get or Default are matched by text where they
// may appear.
enum class TKeyword : std::uint8_t {
    kwNone,
    kwAnd,
    kwCall,
    kwCase,
    kwClass,
    kwConst,
    kwDim,
    kwDo,
    kwElse,
    kwElseIf,
    kwEmpty,
    kwEnd,
    kwEqv,
    kwErase,
    kwExit,
    kwFalse,
    kwFor,
    kwFunction,
    kwIf,
    kwImp,
    kwIs,
    kwLet,
    kwLoop,
    kwMe,
    kwMod,
    kwNew,
    kwNext,
    kwNot,
    kwNothing,
    kwNull,
    kwOn,
    kwOption,
    kwOr,
    kwPrivate,
    kwProperty,
    kwPublic,
    kwReDim,
    kwSelect,
    kwSet,
    kwStop,
    kwSub,
    kwThen,
    kwTo,
    kwTrue,
    kwUntil,
    kwWend,
    kwWhile,
    kwWith,
    kwXor,
};

struct TToken {
    TTokenKind Kind = TTokenKind::tkEnd;
    TKeyword Keyword = TKeyword::kwNone;
    bool SpaceBefore = false;  // blank before the token (tells "f (x)" from "f(x)")
    int Line = 0;
    int Column = 0;
    std::string Text;      // names in lower case; the text of a string literal
    std::string Spelling;  // names as written
    TVariant Value;        // numbers and dates
};

// A lexical error, with its position.
struct TLexError {
    int Number = 0;
    int Line = 0;
    int Column = 0;
};

// The key a name is matched by: ASCII letters in lower case; the bytes of double-byte
// characters are left alone.
[[nodiscard]] std::string ScriptNameKey(std::string_view name);

// Reads the whole text; false with *error set on an unterminated string, bad number or character.
// The token list always ends with tkEnd.
bool Tokenize(std::string_view text, std::vector<TToken>& tokens, TLexError& error);

}  // namespace rekna
