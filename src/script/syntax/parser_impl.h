// The recursive-descent reader of script text, shared by the files that read expressions,
// statements and procedures (internal to the library).
#pragma once

#include <algorithm>
#include <string>
#include <unordered_set>
#include <vector>

#include "script/runtime/script_error.h"
#include "script/syntax/ast.h"
#include "script/syntax/lexer.h"
#include "script/syntax/parser.h"

namespace rekna {

struct TParseFail {
    int Number;
    int Line;
    int Column;
};

class TParser {
public:
    using TK = TTokenKind;
    using KW = TKeyword;

    TParser(std::vector<TToken>& tokens, TProgram& program) : FTok(tokens), FProgram(program) {}

    void Program();
    void Expression();

    // ---- tokens
    const TToken& Peek(std::size_t ahead = 0) const {
        const std::size_t i = std::min(FPos + ahead, FTok.size() - 1);
        return FTok[i];
    }
    const TToken& Next() {
        const TToken& t = FTok[FPos];
        if (FPos + 1 < FTok.size()) ++FPos;
        return t;
    }
    bool Is(TK kind) const { return Peek().Kind == kind; }
    bool IsKw(KW kw) const { return Peek().Kind == TK::tkName && Peek().Keyword == kw; }
    bool IsKwAt(std::size_t ahead, KW kw) const {
        return Peek(ahead).Kind == TK::tkName && Peek(ahead).Keyword == kw;
    }
    bool IsWord(const char* word) const {
        return Peek().Kind == TK::tkName && Peek().Keyword == KW::kwNone && Peek().Text == word;
    }
    bool IsWordAt(std::size_t ahead, const char* word) const {
        return Peek(ahead).Kind == TK::tkName && Peek(ahead).Keyword == KW::kwNone &&
               Peek(ahead).Text == word;
    }
    bool Accept(TK kind) {
        if (!Is(kind)) return false;
        Next();
        return true;
    }
    bool AcceptKw(KW kw) {
        if (!IsKw(kw)) return false;
        Next();
        return true;
    }
    [[noreturn]] void Fail(int number) const { Fail(number, Peek()); }
    [[noreturn]] void Fail(int number, const TToken& at) const {
        throw TParseFail{number, at.Line, at.Column};
    }
    void Expect(TK kind, int number) {
        if (!Accept(kind)) Fail(number);
    }
    void ExpectKw(KW kw, int number) {
        if (!AcceptKw(kw)) Fail(number);
    }
    const TToken& ExpectName() {
        if (!Is(TK::tkName) || Peek().Keyword != KW::kwNone) Fail(seExpectedIdent);
        return Next();
    }
    bool AtStatementEnd() const {
        const TK k = Peek().Kind;
        return k == TK::tkNewLine || k == TK::tkColon || k == TK::tkEnd ||
               (FSingleLine > 0 && IsKw(KW::kwElse));
    }
    void SkipSeparators() {
        while (Is(TK::tkNewLine) || Is(TK::tkColon))
            Next();
    }
    void EndStatement() {
        if (!AtStatementEnd()) Fail(seExpectedEndOfStatement);
    }

    struct TNest {
        explicit TNest(TParser& p) : FP(p) {
            if (++FP.FNesting > kMaxNesting) FP.Fail(seTooComplex);
        }
        ~TNest() { --FP.FNesting; }
        TNest(const TNest&) = delete;
        TNest& operator=(const TNest&) = delete;
        TParser& FP;
    };

    // ---- expressions (parser_expr.cpp)
    TExprPtr Node(TExprKind kind, const TToken& at);
    TExprPtr ParseExpr();
    TExprPtr ParseLevel(int level);
    TExprPtr ParseNot();
    TExprPtr ParseUnary();
    TExprPtr ParsePowOperand();
    TExprPtr ParsePrimary();
    TExprPtr ParsePostfix(bool head);
    void ParseArgs(TExpr& e);
    TExprPtr ParseArgument(TK closer);
    // The value after "Case Is <op>": an expression above the comparisons.
    TExprPtr ParseCaseOperand();
    bool CompareOp(TBinaryOp& op) const;

    // ---- statements (parser.cpp)
    TStmtPtr Stmt(TStmtKind kind, const TToken& at);
    bool AtBlockEnd() const;
    void ParseBlock(TBlock& block, bool topLevel = false);
    void ParseLineBlock(TBlock& block);
    TStmtPtr ParseStatement();
    TExprPtr ParseTarget();
    TStmtPtr ParseAssignOrCall();
    void Declare(const std::string& name, bool isConst = false);
    // A name with its bounds, as Dim and the fields of a class give them.
    TDeclare ParseDeclared();
    TStmtPtr ParseDim(const TToken& at, TStmtKind kind);
    TStmtPtr ParseConst(const TToken& at);
    TStmtPtr ParseErase(const TToken& at);
    TStmtPtr ParseIf();
    TStmtPtr ParseSelect();
    TExprPtr LoopVariable();
    void ParseLoopBody(TBlock& body, int& depth);
    TStmtPtr ParseFor();
    TStmtPtr ParseDo();
    TStmtPtr ParseWhile();
    TStmtPtr ParseWith();
    TStmtPtr ParseExit();
    TStmtPtr ParseOnError();

    // ---- procedures and classes (parser_proc.cpp)
    bool AtProcedure() const;
    void ParseProcHeader(TProc& proc);
    std::unique_ptr<TProc> ParseProc(TClassDef* owner, bool isPublic, bool isDefault);
    void ParseClass();
    void ParseClassBody(TClassDef& def);
    void AddClassProc(TClassDef& def, std::unique_ptr<TProc> proc, const TToken& at);

    std::vector<TToken>& FTok;
    TProgram& FProgram;
    std::size_t FPos = 0;
    int FNesting = 0;
    int FSingleLine = 0;
    int FForDepth = 0;
    int FDoDepth = 0;
    int FWithDepth = 0;
    TProc* FProc = nullptr;
    TClassDef* FClass = nullptr;
    std::unordered_set<std::string> FProcNames;
    std::unordered_set<std::string> FGlobalNames;
};

}  // namespace rekna
