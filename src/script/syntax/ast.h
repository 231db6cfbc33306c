// The tree a script is read into: expressions, statements, procedures, classes and whole
// programs, with the caches the interpreter fills in as it resolves names.
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
struct TClassDef;
struct TProgram;

enum class TExprKind : std::uint8_t {
    ekLiteral,  // Value
    ekName,     // Name, with Args when HasArgs: a variable, array element or call
    ekMember,   // Left.Name, with Args when HasArgs; Left is null for ".Name" inside With
    ekIndex,    // Left(Args): indexes or arguments applied to the value Left gives
    ekNegate,   // -Left
    ekNot,      // Not Left
    ekBinary,   // Left Op Right (comparisons, Is, the logical operators)
    ekChain,    // Args[0] Ops[0] Args[1] Ops[1] ...: a run of operators of one precedence
    ekNew,      // New Name
    ekMe,       // Me
    ekMissing,  // an argument left out
};

// Where a name was found the last time it was read; the interpreter fills it in.
enum class TNameSlot : std::uint8_t {
    nsUnknown,
    nsLocal,     // SlotIndex: the slot of the procedure's frame
    nsGlobal,    // SlotIndex: the global variable; SlotPtr it, valid while SlotGen matches
    nsField,     // SlotIndex: the field of Me
    nsMember,    // SlotIndex: a method or property of Me's class
    nsProc,      // SlotPtr: the procedure, valid while SlotGen matches
    nsObject,    // SlotPtr: the host's named object, valid while SlotGen matches
    nsErr,       // the Err object
    nsBuiltin,   // SlotIndex: the built-in function
    nsConstant,  // SlotIndex: the built-in constant
};

struct TExpr;
using TExprPtr = std::unique_ptr<TExpr>;

struct TExpr {
    TExprKind Kind = TExprKind::ekLiteral;
    TBinaryOp Op = TBinaryOp::boAdd;
    bool HasArgs = false;        // brackets followed the name, even empty ones
    bool Parenthesized = false;  // the whole expression stood in brackets (passed by value)
    int Line = 0;
    int Column = 0;
    TVariant Value;
    std::string Name;      // lower case
    std::string Spelling;  // as written, for messages and host objects
    TExprPtr Left, Right;  // operands; Left is the object of a member
    std::vector<TExprPtr> Args;
    std::vector<TBinaryOp> Ops;  // ekChain: the operator before Args[i + 1]
    // Cache of the name's resolution, or of a member's identifier (SlotPtr the member key).
    mutable TNameSlot Slot = TNameSlot::nsUnknown;
    mutable int SlotIndex = -1;
    mutable const void* SlotPtr = nullptr;
    mutable std::uint32_t SlotGen = 0;
    mutable bool SlotConst = false;  // the variable found is a constant
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
    skWith,
    skExitFor,
    skExitDo,
    skExitProc,
    skOnErrorResume,
    skOnErrorGoto0,
    skNothing,  // Stop, and statements that do nothing here
};

struct TStmt;
using TStmtPtr = std::unique_ptr<TStmt>;
using TBlock = std::vector<TStmtPtr>;

// One variable of a Dim, ReDim or Const statement (or a field of a class).
struct TDeclare {
    std::string Name;
    std::string Spelling;
    bool IsArray = false;  // "a()" or "a(3)"
    bool IsPublic = true;
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
    bool Preserve = false;    // ReDim Preserve
    bool PreTest = false;     // Do While/Until at the top
    bool Until = false;       // Do ... Until
    bool AppendSelf = false;  // "s = s & ...": the text may grow in place
    // A call of a host object's method without arguments, as found the first time: the object
    // (valid while QuickGen matches the interpreter's objects) and the member.
    mutable void* QuickObject = nullptr;
    mutable std::uint32_t QuickGen = 0;
    mutable int QuickId = -1;
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

enum class TProcKind : std::uint8_t { pkSub, pkFunction, pkGet, pkLet, pkSet };

// A Sub, Function or Property procedure; slot 0 of its locals holds its result.
struct TProc {
    std::string Name;
    std::string Spelling;
    TProcKind Kind = TProcKind::pkSub;
    bool IsPublic = true;
    bool IsDefault = false;
    std::vector<TParam> Params;
    std::vector<std::uint8_t> ByRef;  // per parameter, for the calls
    TBlock Body;
    std::vector<std::string> Locals;  // slot names: the result, parameters, then Dim and implicit
    std::vector<bool> LocalIsConst;
    std::unordered_map<std::string, int> LocalIndex;
    const TProgram* Program = nullptr;
    TClassDef* Class = nullptr;  // the class whose method this is

    [[nodiscard]] bool IsFunction() const noexcept {
        return Kind == TProcKind::pkFunction || Kind == TProcKind::pkGet;
    }

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

// One name of a class: a field, a method, or the procedures of a property.
struct TClassMember {
    std::string Name;  // lower case
    std::string Spelling;
    bool IsPublic = true;
    int Field = -1;  // the field's index, or -1
    TProc* Method = nullptr;
    TProc* Get = nullptr;
    TProc* Let = nullptr;
    TProc* Set = nullptr;
};

// A Class ... End Class: its fields, its members by name and its procedures.
struct TClassDef {
    std::string Name;  // lower case
    std::string Spelling;
    std::vector<TDeclare> Fields;
    std::vector<TClassMember> Members;
    std::unordered_map<std::string, int> MemberIndex;
    int Default = -1;  // the member of "Public Default", or -1
    TProc* Initialize = nullptr;
    TProc* Terminate = nullptr;
    std::vector<std::unique_ptr<TProc>> Procs;
    const TProgram* Program = nullptr;

    [[nodiscard]] int Find(const std::string& lower) const {
        const auto it = MemberIndex.find(lower);
        return it == MemberIndex.end() ? -1 : it->second;
    }
};

// One text as read: its lines (for error reports), top-level statements, procedures, classes.
struct TProgram {
    std::vector<std::string> Lines;
    TBlock Body;
    std::vector<std::unique_ptr<TProc>> Procs;
    std::vector<std::unique_ptr<TClassDef>> Classes;
    std::vector<std::string> Globals;  // names declared by top-level Dim, Const and ReDim
    TExprPtr Expression;               // the text read as one expression
    bool OptionExplicit = false;
};

}  // namespace rekna
