// The tree a script is read into: expressions, statements, procedures and whole programs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "script/values/operators.h"
#include "script/values/variant.h"

namespace rekna {

struct TProc;

enum class TExprKind : std::uint8_t {
    ekLiteral,  // Value
    ekName,     // Name, with Args when HasArgs: a variable, array element or call
    ekMember,   // Object.Name, with Args when HasArgs
    ekNegate,   // -Left
    ekNot,      // Not Left
    ekBinary,   // Left Op Right
};

// Where a name was found the last time it was read; the interpreter fills it in.
enum class TNameSlot : std::uint8_t { nsUnknown, nsLocal, nsGlobal, nsBuiltin, nsConstant };

struct TExpr;
using TExprPtr = std::unique_ptr<TExpr>;

struct TExpr {
    TExprKind Kind = TExprKind::ekLiteral;
    TBinaryOp Op = TBinaryOp::boAdd;
    bool HasArgs = false;        // brackets followed the name, even empty ones
    bool Parenthesized = false;  // the whole expression stood in brackets (passed by value)
    std::uint16_t Depth = 1;     // height of the tree below, bounded by the parser
    int Line = 0;
    int Column = 0;
    TVariant Value;
    std::string Name;      // lower case
    std::string Spelling;  // as written, for messages and host objects
    TExprPtr Left, Right;  // operands; Left is the object of a member
    std::vector<TExprPtr> Args;
    // Cache of the name's resolution.
    mutable TNameSlot Slot = TNameSlot::nsUnknown;
    mutable int SlotIndex = -1;
};

enum class TStmtKind : std::uint8_t {
    skDim,
    skReDim,
    skErase,
    skConst,
    skAssign,
    skSet,
    skCall,
    skIf,
    skSelect,
    skFor,
    skForEach,
    skDo,
    skWhile,
    skExitFor,
    skExitDo,
    skExitProc,
    skOnErrorResume,
    skOnErrorGoto0,
};

struct TStmt;
using TStmtPtr = std::unique_ptr<TStmt>;
using TBlock = std::vector<TStmtPtr>;

// One variable of a Dim, ReDim or Const statement.
struct TDeclare {
    std::string Name;
    std::string Spelling;
    bool IsArray = false;  // "a()" or "a(3)"
    std::vector<TExprPtr> Bounds;
    TExprPtr Value;  // Const
};

// One item of a Case list: a value, a range "a To b", or "Is op value".
struct TCaseItem {
    TExprPtr Low, High;  // High for a range
    bool IsCompare = false;
    TBinaryOp Op = TBinaryOp::boEq;
};

struct TCaseClause {
    std::vector<TCaseItem> Items;  // empty for Case Else
    TBlock Body;
};

struct TStmt {
    TStmtKind Kind = TStmtKind::skCall;
    int Line = 0;
    int Column = 0;
    bool Preserve = false;             // ReDim Preserve
    bool PreTest = false;              // Do While/Until at the top
    bool Until = false;                // Do ... Until
    TExprPtr Target;                   // assigned item, called item, loop variable
    TExprPtr Value;                    // assigned value, Select and loop condition, For start
    TExprPtr Limit, Step;              // For
    std::vector<TExprPtr> Conditions;  // If and ElseIf, in order
    std::vector<TBlock> Blocks;        // one per condition, then the Else block if any
    std::vector<TDeclare> Declares;
    std::vector<TCaseClause> Cases;
};

struct TParam {
    std::string Name;
    bool ByRef = true;
};

// A Sub or Function; slot 0 of a function's locals holds its result.
struct TProc {
    std::string Name;
    std::string Spelling;
    bool IsFunction = false;
    std::vector<TParam> Params;
    TBlock Body;
    std::vector<std::string> Locals;  // slot names: the result, parameters, then Dim and implicit
    std::vector<bool> LocalIsConst;
    std::unordered_map<std::string, int> LocalIndex;
    const struct TProgram* Program = nullptr;

    int AddLocal(const std::string& name, bool isConst = false) {
        const auto it = LocalIndex.find(name);
        if (it != LocalIndex.end()) return it->second;
        const int slot = static_cast<int>(Locals.size());
        Locals.push_back(name);
        LocalIsConst.push_back(isConst);
        LocalIndex.emplace(name, slot);
        return slot;
    }
};

// One text as read: its lines (for error reports), top-level statements and procedures.
struct TProgram {
    std::vector<std::string> Lines;
    TBlock Body;
    std::vector<std::unique_ptr<TProc>> Procs;
    std::vector<std::string> Globals;  // names declared by top-level Dim, Const and ReDim
    TExprPtr Expression;               // the text read as one expression
    bool OptionExplicit = false;
};

}  // namespace rekna
