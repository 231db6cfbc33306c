// Reads script text into a program tree by recursive descent, with the language's precedence.
#include "script/syntax/parser.h"

#include <algorithm>
#include <unordered_set>

#include "script/runtime/script_error.h"
#include "script/syntax/lexer.h"

namespace rekna {

namespace {

struct TParseFail {
    int Number;
    int Line;
    int Column;
};

using TK = TTokenKind;
using KW = TKeyword;

class TParser {
public:
    TParser(std::vector<TToken>& tokens, TProgram& program) : FTok(tokens), FProgram(program) {}

    void Program() {
        ParseBlock(FProgram.Body, true);
        if (Peek().Kind != TK::tkEnd) Fail(seExpectedStatement);
    }

    void Expression() {
        SkipSeparators();
        FProgram.Expression = ParseExpr();
        SkipSeparators();
        if (Peek().Kind != TK::tkEnd) Fail(seExpectedEndOfStatement);
    }

private:
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
    bool IsWord(const char* word) const {
        return Peek().Kind == TK::tkName && Peek().Keyword == KW::kwNone && Peek().Text == word;
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
        TParser& FP;
    };

    // ---- nodes
    TExprPtr Node(TExprKind kind, const TToken& at) {
        auto e = std::make_unique<TExpr>();
        e->Kind = kind;
        e->Line = at.Line;
        e->Column = at.Column;
        return e;
    }
    void Grow(TExpr& e, const TExpr& child) {
        if (child.Depth + 1 > e.Depth) e.Depth = static_cast<std::uint16_t>(child.Depth + 1);
        if (e.Depth > kMaxExprDepth) throw TParseFail{seTooComplex, e.Line, e.Column};
    }
    TExprPtr Binary(TBinaryOp op, TExprPtr l, TExprPtr r, const TToken& at) {
        auto e = Node(TExprKind::ekBinary, at);
        e->Op = op;
        Grow(*e, *l);
        Grow(*e, *r);
        e->Left = std::move(l);
        e->Right = std::move(r);
        return e;
    }

    // ---- expressions, loosest first
    TExprPtr ParseExpr() {
        TNest nest(*this);
        return ParseImp();
    }

    template <class TSub> TExprPtr LeftAssoc(TSub sub, KW kw, TBinaryOp op) {
        TExprPtr l = (this->*sub)();
        while (IsKw(kw)) {
            const TToken& at = Next();
            TExprPtr r = (this->*sub)();
            l = Binary(op, std::move(l), std::move(r), at);
        }
        return l;
    }
    TExprPtr ParseImp() { return LeftAssoc(&TParser::ParseEqv, KW::kwImp, TBinaryOp::boImp); }
    TExprPtr ParseEqv() { return LeftAssoc(&TParser::ParseXor, KW::kwEqv, TBinaryOp::boEqv); }
    TExprPtr ParseXor() { return LeftAssoc(&TParser::ParseOr, KW::kwXor, TBinaryOp::boXor); }
    TExprPtr ParseOr() { return LeftAssoc(&TParser::ParseAnd, KW::kwOr, TBinaryOp::boOr); }
    TExprPtr ParseAnd() { return LeftAssoc(&TParser::ParseNot, KW::kwAnd, TBinaryOp::boAnd); }

    TExprPtr ParseNot() {
        if (!IsKw(KW::kwNot)) return ParseCompare();
        TNest nest(*this);
        const TToken& at = Next();
        TExprPtr operand = ParseNot();
        auto e = Node(TExprKind::ekNot, at);
        Grow(*e, *operand);
        e->Left = std::move(operand);
        return e;
    }

    bool CompareOp(TBinaryOp& op) const {
        switch (Peek().Kind) {
        case TK::tkEq: op = TBinaryOp::boEq; return true;
        case TK::tkNe: op = TBinaryOp::boNe; return true;
        case TK::tkLt: op = TBinaryOp::boLt; return true;
        case TK::tkGt: op = TBinaryOp::boGt; return true;
        case TK::tkLe: op = TBinaryOp::boLe; return true;
        case TK::tkGe: op = TBinaryOp::boGe; return true;
        default: break;
        }
        if (IsKw(KW::kwIs)) {
            op = TBinaryOp::boIs;
            return true;
        }
        return false;
    }

    TExprPtr ParseCompare() {
        TExprPtr l = ParseConcat();
        TBinaryOp op{};
        while (CompareOp(op)) {
            const TToken& at = Next();
            TExprPtr r = ParseConcat();
            l = Binary(op, std::move(l), std::move(r), at);
        }
        return l;
    }

    TExprPtr ParseConcat() {
        TExprPtr l = ParseAdd();
        while (Is(TK::tkAmp)) {
            const TToken& at = Next();
            l = Binary(TBinaryOp::boConcat, std::move(l), ParseAdd(), at);
        }
        return l;
    }

    TExprPtr ParseAdd() {
        TExprPtr l = ParseMod();
        while (Is(TK::tkPlus) || Is(TK::tkMinus)) {
            const TToken& at = Next();
            const TBinaryOp op = at.Kind == TK::tkPlus ? TBinaryOp::boAdd : TBinaryOp::boSub;
            l = Binary(op, std::move(l), ParseMod(), at);
        }
        return l;
    }

    TExprPtr ParseMod() {
        TExprPtr l = ParseIntDiv();
        while (IsKw(KW::kwMod)) {
            const TToken& at = Next();
            l = Binary(TBinaryOp::boMod, std::move(l), ParseIntDiv(), at);
        }
        return l;
    }

    TExprPtr ParseIntDiv() {
        TExprPtr l = ParseMul();
        while (Is(TK::tkBackslash)) {
            const TToken& at = Next();
            l = Binary(TBinaryOp::boIntDiv, std::move(l), ParseMul(), at);
        }
        return l;
    }

    TExprPtr ParseMul() {
        TExprPtr l = ParseUnary();
        while (Is(TK::tkStar) || Is(TK::tkSlash)) {
            const TToken& at = Next();
            const TBinaryOp op = at.Kind == TK::tkStar ? TBinaryOp::boMul : TBinaryOp::boDiv;
            l = Binary(op, std::move(l), ParseUnary(), at);
        }
        return l;
    }

    TExprPtr Negated(TExprPtr operand, const TToken& at) {
        if (operand->Kind == TExprKind::ekLiteral && operand->Value.IsNumberLike() &&
            !operand->Value.IsEmpty() && operand->Value.Type() != TVarType::vtBoolean) {
            operand->Value = Negate(operand->Value);
            operand->Line = at.Line;
            operand->Column = at.Column;
            return operand;
        }
        auto e = Node(TExprKind::ekNegate, at);
        Grow(*e, *operand);
        e->Left = std::move(operand);
        return e;
    }

    // Unary minus binds looser than "^": -2^2 is -4.
    TExprPtr ParseUnary() {
        if (Is(TK::tkMinus) || Is(TK::tkPlus)) {
            TNest nest(*this);
            const TToken& at = Next();
            TExprPtr operand = ParseUnary();
            if (at.Kind == TK::tkPlus) return operand;
            return Negated(std::move(operand), at);
        }
        return ParsePow();
    }

    // The right operand of "^" may carry its own sign: 2^-1.
    TExprPtr ParsePowOperand() {
        if (Is(TK::tkMinus) || Is(TK::tkPlus)) {
            TNest nest(*this);
            const TToken& at = Next();
            TExprPtr operand = ParsePowOperand();
            if (at.Kind == TK::tkPlus) return operand;
            return Negated(std::move(operand), at);
        }
        return ParsePostfix(false);
    }

    TExprPtr ParsePow() {
        TExprPtr l = ParsePostfix(false);
        while (Is(TK::tkCaret)) {
            const TToken& at = Next();
            l = Binary(TBinaryOp::boPow, std::move(l), ParsePowOperand(), at);
        }
        return l;
    }

    TExprPtr Literal(TVariant v, const TToken& at) {
        auto e = Node(TExprKind::ekLiteral, at);
        e->Value = std::move(v);
        return e;
    }

    TExprPtr ParsePrimary() {
        const TToken& t = Peek();
        switch (t.Kind) {
        case TK::tkNumber: Next(); return Literal(t.Value, t);
        case TK::tkString: Next(); return Literal(TVariant::String(t.Text), t);
        case TK::tkLParen: {
            Next();
            TExprPtr e = ParseExpr();
            Expect(TK::tkRParen, seExpectedRParen);
            e->Parenthesized = true;
            return e;
        }
        case TK::tkName: break;
        default: Fail(seExpectedExpression);
        }
        switch (t.Keyword) {
        case KW::kwTrue: Next(); return Literal(TVariant::Boolean(true), t);
        case KW::kwFalse: Next(); return Literal(TVariant::Boolean(false), t);
        case KW::kwEmpty: Next(); return Literal(TVariant(), t);
        case KW::kwNull: Next(); return Literal(TVariant::Null(), t);
        case KW::kwNothing: Next(); return Literal(TVariant::Nothing(), t);
        case KW::kwNone: break;
        default: Fail(seExpectedExpression);
        }
        Next();
        auto e = Node(TExprKind::ekName, t);
        e->Name = t.Text;
        e->Spelling = t.Spelling;
        return e;
    }

    void ParseArgs(TExpr& e) {
        TNest nest(*this);
        Next();  // "("
        e.HasArgs = true;
        if (!Is(TK::tkRParen)) {
            for (;;) {
                TExprPtr a = ParseExpr();
                Grow(e, *a);
                e.Args.push_back(std::move(a));
                if (!Accept(TK::tkComma)) break;
            }
        }
        Expect(TK::tkRParen, seExpectedRParen);
    }

    // A name or literal with its argument lists and members. In the head of a call statement
    // (head set) a bracket after a blank starts the arguments instead: "Show (1), 2".
    TExprPtr ParsePostfix(bool head) {
        TExprPtr e = ParsePrimary();
        if (e->Kind != TExprKind::ekName) return e;
        for (;;) {
            if (Is(TK::tkLParen)) {
                if (head && Peek().SpaceBefore) break;
                if (e->HasArgs || e->Kind == TExprKind::ekLiteral) {
                    // "a(1)(2)": index the value that the first brackets gave
                    auto outer = Node(TExprKind::ekMember, Peek());
                    outer->Name.clear();
                    Grow(*outer, *e);
                    outer->Left = std::move(e);
                    e = std::move(outer);
                }
                ParseArgs(*e);
                continue;
            }
            if (Is(TK::tkDot) && !Peek().SpaceBefore) {
                const TToken& dot = Next();
                if (!Is(TK::tkName)) Fail(seExpectedIdent);
                const TToken& name = Next();
                auto m = Node(TExprKind::ekMember, dot);
                m->Name = name.Text;
                m->Spelling = name.Spelling;
                Grow(*m, *e);
                m->Left = std::move(e);
                e = std::move(m);
                continue;
            }
            break;
        }
        return e;
    }

    // ---- statements
    TStmtPtr Stmt(TStmtKind kind, const TToken& at) {
        auto s = std::make_unique<TStmt>();
        s->Kind = kind;
        s->Line = at.Line;
        s->Column = at.Column;
        return s;
    }

    bool AtBlockEnd() const {
        if (Is(TK::tkEnd)) return true;
        if (Peek().Kind != TK::tkName) return false;
        switch (Peek().Keyword) {
        case KW::kwEnd:
        case KW::kwNext:
        case KW::kwLoop:
        case KW::kwWend:
        case KW::kwElse:
        case KW::kwElseIf:
        case KW::kwCase: return true;
        default: return false;
        }
    }

    void ParseBlock(TBlock& block, bool topLevel = false) {
        TNest nest(*this);
        const int savedSingle = FSingleLine;
        FSingleLine = 0;
        for (;;) {
            SkipSeparators();
            if (AtBlockEnd()) break;
            if (topLevel &&
                (IsKw(KW::kwSub) || IsKw(KW::kwFunction) ||
                 ((IsKw(KW::kwPrivate) || IsKw(KW::kwPublic)) &&
                  (Peek(1).Keyword == KW::kwSub || Peek(1).Keyword == KW::kwFunction)))) {
                if (!IsKw(KW::kwSub) && !IsKw(KW::kwFunction)) Next();
                ParseProc();
                continue;
            }
            if (IsKw(KW::kwSub) || IsKw(KW::kwFunction)) Fail(seSyntax);
            TStmtPtr s = ParseStatement();
            if (s) block.push_back(std::move(s));
            EndStatement();
        }
        FSingleLine = savedSingle;
    }

    // Statements of a one-line If: up to the end of the line or an Else.
    void ParseLineBlock(TBlock& block) {
        ++FSingleLine;
        for (;;) {
            while (Accept(TK::tkColon)) {}
            if (Is(TK::tkNewLine) || Is(TK::tkEnd) || IsKw(KW::kwElse)) break;
            TStmtPtr s = ParseStatement();
            if (s) block.push_back(std::move(s));
            EndStatement();
        }
        --FSingleLine;
    }

    TStmtPtr ParseStatement() {
        const TToken& t = Peek();
        if (t.Kind != TK::tkName) Fail(seExpectedStatement);
        switch (t.Keyword) {
        case KW::kwPrivate:
        case KW::kwPublic:
            Next();
            if (AcceptKw(KW::kwConst)) return ParseConst(t);
            return ParseDim(t, TStmtKind::skDim);
        case KW::kwDim: Next(); return ParseDim(t, TStmtKind::skDim);
        case KW::kwReDim: Next(); return ParseDim(t, TStmtKind::skReDim);
        case KW::kwConst: Next(); return ParseConst(t);
        case KW::kwErase: Next(); return ParseErase(t);
        case KW::kwOption: {
            Next();
            if (!IsWord("explicit")) Fail(seExpectedIdent);
            Next();
            FProgram.OptionExplicit = true;
            return nullptr;
        }
        case KW::kwSet: {
            Next();
            auto s = Stmt(TStmtKind::skSet, t);
            s->Target = ParseTarget();
            Expect(TK::tkEq, seExpectedEqual);
            s->Value = ParseExpr();
            return s;
        }
        case KW::kwCall: {
            Next();
            auto s = Stmt(TStmtKind::skCall, t);
            s->Target = ParseTarget();
            return s;
        }
        case KW::kwIf: return ParseIf();
        case KW::kwSelect: return ParseSelect();
        case KW::kwFor: return ParseFor();
        case KW::kwDo: return ParseDo();
        case KW::kwWhile: return ParseWhile();
        case KW::kwExit: return ParseExit();
        case KW::kwOn: return ParseOnError();
        case KW::kwNone: return ParseAssignOrCall();
        default: Fail(seExpectedStatement);
        }
    }

    TExprPtr ParseTarget() {
        if (!Is(TK::tkName) || Peek().Keyword != KW::kwNone) Fail(seExpectedIdent);
        return ParsePostfix(false);
    }

    TStmtPtr ParseAssignOrCall() {
        const TToken& at = Peek();
        const std::size_t start = FPos;
        TExprPtr target = ParsePostfix(false);
        if (Is(TK::tkEq)) {
            Next();
            auto s = Stmt(TStmtKind::skAssign, at);
            s->Target = std::move(target);
            s->Value = ParseExpr();
            return s;
        }
        auto s = Stmt(TStmtKind::skCall, at);
        if (AtStatementEnd()) {
            // "Show(x)" passes x by value, as "Show (x)" does
            if (target->HasArgs && target->Args.size() == 1) target->Args[0]->Parenthesized = true;
            s->Target = std::move(target);
            return s;
        }
        FPos = start;
        target = ParsePostfix(true);
        if (target->HasArgs && !AtStatementEnd()) Fail(seExpectedEndOfStatement);
        if (!target->HasArgs) {
            target->HasArgs = true;
            for (;;) {
                TExprPtr a = ParseExpr();
                Grow(*target, *a);
                target->Args.push_back(std::move(a));
                if (!Accept(TK::tkComma)) break;
            }
        }
        s->Target = std::move(target);
        return s;
    }

    void Declare(const std::string& name, bool isConst = false) {
        if (FProc) {
            FProc->AddLocal(name, isConst);
        } else if (FGlobalNames.insert(name).second) {
            FProgram.Globals.push_back(name);
        }
    }

    TStmtPtr ParseDim(const TToken& at, TStmtKind kind) {
        auto s = Stmt(kind, at);
        if (kind == TStmtKind::skReDim && IsWord("preserve")) {
            Next();
            s->Preserve = true;
        }
        for (;;) {
            const TToken& name = ExpectName();
            TDeclare d;
            d.Name = name.Text;
            d.Spelling = name.Spelling;
            if (Accept(TK::tkLParen)) {
                d.IsArray = true;
                if (!Is(TK::tkRParen)) {
                    for (;;) {
                        d.Bounds.push_back(ParseExpr());
                        if (!Accept(TK::tkComma)) break;
                    }
                }
                Expect(TK::tkRParen, seExpectedRParen);
            }
            if (kind == TStmtKind::skReDim && d.Bounds.empty()) Fail(seExpectedLParen);
            if (kind == TStmtKind::skDim || !FProc) Declare(d.Name);
            s->Declares.push_back(std::move(d));
            if (!Accept(TK::tkComma)) break;
        }
        return s;
    }

    TStmtPtr ParseConst(const TToken& at) {
        auto s = Stmt(TStmtKind::skConst, at);
        for (;;) {
            const TToken& name = ExpectName();
            TDeclare d;
            d.Name = name.Text;
            d.Spelling = name.Spelling;
            Expect(TK::tkEq, seExpectedEqual);
            d.Value = ParseExpr();
            Declare(d.Name, true);
            s->Declares.push_back(std::move(d));
            if (!Accept(TK::tkComma)) break;
        }
        return s;
    }

    TStmtPtr ParseErase(const TToken& at) {
        auto s = Stmt(TStmtKind::skErase, at);
        for (;;) {
            const TToken& name = ExpectName();
            TDeclare d;
            d.Name = name.Text;
            d.Spelling = name.Spelling;
            s->Declares.push_back(std::move(d));
            if (!Accept(TK::tkComma)) break;
        }
        return s;
    }

    TStmtPtr ParseIf() {
        const TToken& at = Next();
        auto s = Stmt(TStmtKind::skIf, at);
        s->Conditions.push_back(ParseExpr());
        ExpectKw(KW::kwThen, seExpectedThen);
        if (!Is(TK::tkNewLine) && !Is(TK::tkEnd)) {
            s->Blocks.emplace_back();
            ParseLineBlock(s->Blocks.back());
            if (AcceptKw(KW::kwElse)) {
                s->Blocks.emplace_back();
                ParseLineBlock(s->Blocks.back());
            }
            return s;
        }
        s->Blocks.emplace_back();
        ParseBlock(s->Blocks.back());
        for (;;) {
            if (AcceptKw(KW::kwElseIf)) {
                s->Conditions.push_back(ParseExpr());
                ExpectKw(KW::kwThen, seExpectedThen);
                s->Blocks.emplace_back();
                ParseBlock(s->Blocks.back());
                continue;
            }
            if (AcceptKw(KW::kwElse)) {
                s->Blocks.emplace_back();
                ParseBlock(s->Blocks.back());
            }
            break;
        }
        ExpectKw(KW::kwEnd, seExpectedEnd);
        ExpectKw(KW::kwIf, seExpectedIf);
        return s;
    }

    TStmtPtr ParseSelect() {
        const TToken& at = Next();
        ExpectKw(KW::kwCase, seExpectedCase);
        auto s = Stmt(TStmtKind::skSelect, at);
        s->Value = ParseExpr();
        EndStatement();
        SkipSeparators();
        while (AcceptKw(KW::kwCase)) {
            TCaseClause clause;
            if (!AcceptKw(KW::kwElse)) {
                for (;;) {
                    TCaseItem item;
                    if (AcceptKw(KW::kwIs)) {
                        item.IsCompare = true;
                        if (!CompareOp(item.Op) || item.Op == TBinaryOp::boIs) Fail(seSyntax);
                        Next();
                        item.Low = ParseConcat();
                    } else {
                        item.Low = ParseExpr();
                        if (AcceptKw(KW::kwTo)) item.High = ParseExpr();
                    }
                    clause.Items.push_back(std::move(item));
                    if (!Accept(TK::tkComma)) break;
                }
            }
            ParseBlock(clause.Body);
            const bool isElse = clause.Items.empty();
            s->Cases.push_back(std::move(clause));
            if (isElse) break;
        }
        ExpectKw(KW::kwEnd, seExpectedEnd);
        ExpectKw(KW::kwSelect, seExpectedSelect);
        return s;
    }

    TExprPtr LoopVariable() {
        const TToken& name = ExpectName();
        auto e = Node(TExprKind::ekName, name);
        e->Name = name.Text;
        e->Spelling = name.Spelling;
        return e;
    }

    void ParseLoopBody(TBlock& body, int& depth) {
        ++depth;
        ParseBlock(body);
        --depth;
    }

    TStmtPtr ParseFor() {
        const TToken& at = Next();
        if (IsWord("each")) {
            Next();
            auto s = Stmt(TStmtKind::skForEach, at);
            s->Target = LoopVariable();
            if (!IsWord("in")) Fail(seExpectedIn);
            Next();
            s->Value = ParseExpr();
            s->Blocks.emplace_back();
            ParseLoopBody(s->Blocks.back(), FForDepth);
            ExpectKw(KW::kwNext, seExpectedNext);
            return s;
        }
        auto s = Stmt(TStmtKind::skFor, at);
        s->Target = LoopVariable();
        Expect(TK::tkEq, seExpectedEqual);
        s->Value = ParseExpr();
        ExpectKw(KW::kwTo, seExpectedTo);
        s->Limit = ParseExpr();
        if (IsWord("step")) {
            Next();
            s->Step = ParseExpr();
        }
        s->Blocks.emplace_back();
        ParseLoopBody(s->Blocks.back(), FForDepth);
        ExpectKw(KW::kwNext, seExpectedNext);
        if (Is(TK::tkName) && Peek().Keyword == KW::kwNone) Next();
        return s;
    }

    TStmtPtr ParseDo() {
        const TToken& at = Next();
        auto s = Stmt(TStmtKind::skDo, at);
        if (IsKw(KW::kwWhile) || IsKw(KW::kwUntil)) {
            s->PreTest = true;
            s->Until = Next().Keyword == KW::kwUntil;
            s->Value = ParseExpr();
        }
        s->Blocks.emplace_back();
        ParseLoopBody(s->Blocks.back(), FDoDepth);
        ExpectKw(KW::kwLoop, seExpectedLoop);
        if (IsKw(KW::kwWhile) || IsKw(KW::kwUntil)) {
            if (s->PreTest) Fail(seExpectedEndOfStatement);
            s->Until = Next().Keyword == KW::kwUntil;
            s->Value = ParseExpr();
        }
        return s;
    }

    TStmtPtr ParseWhile() {
        const TToken& at = Next();
        auto s = Stmt(TStmtKind::skWhile, at);
        s->Value = ParseExpr();
        s->Blocks.emplace_back();
        int noExit = 0;
        ParseLoopBody(s->Blocks.back(), noExit);
        ExpectKw(KW::kwWend, seExpectedWend);
        return s;
    }

    TStmtPtr ParseExit() {
        const TToken& at = Next();
        TStmtKind kind{};
        if (AcceptKw(KW::kwFor)) {
            if (FForDepth == 0) Fail(seInvalidExit, at);
            kind = TStmtKind::skExitFor;
        } else if (AcceptKw(KW::kwDo)) {
            if (FDoDepth == 0) Fail(seInvalidExit, at);
            kind = TStmtKind::skExitDo;
        } else if (IsKw(KW::kwSub) || IsKw(KW::kwFunction)) {
            const bool isFunction = Next().Keyword == KW::kwFunction;
            if (!FProc || FProc->IsFunction != isFunction) Fail(seInvalidExit, at);
            kind = TStmtKind::skExitProc;
        } else {
            Fail(seInvalidExit);
        }
        return Stmt(kind, at);
    }

    TStmtPtr ParseOnError() {
        const TToken& at = Next();
        if (!IsWord("error")) Fail(seSyntax);
        Next();
        if (IsWord("resume")) {
            Next();
            if (!IsKw(KW::kwNext)) Fail(seSyntax);
            Next();
            return Stmt(TStmtKind::skOnErrorResume, at);
        }
        if (IsWord("goto")) {
            Next();
            if (!Is(TK::tkNumber) || Peek().Value.AsDouble() != 0) Fail(seSyntax);
            Next();
            return Stmt(TStmtKind::skOnErrorGoto0, at);
        }
        Fail(seSyntax);
    }

    void ParseProc() {
        const bool isFunction = Next().Keyword == KW::kwFunction;
        const TToken& name = ExpectName();
        auto proc = std::make_unique<TProc>();
        proc->Name = name.Text;
        proc->Spelling = name.Spelling;
        proc->IsFunction = isFunction;
        proc->Program = &FProgram;
        proc->AddLocal(proc->Name);
        if (!FProcNames.insert(proc->Name).second) Fail(seNameRedefined, name);
        if (Accept(TK::tkLParen)) {
            if (!Is(TK::tkRParen)) {
                for (;;) {
                    TParam param;
                    if (IsWord("byval")) {
                        Next();
                        param.ByRef = false;
                    } else if (IsWord("byref")) {
                        Next();
                    }
                    const TToken& pn = ExpectName();
                    param.Name = pn.Text;
                    if (Accept(TK::tkLParen)) Expect(TK::tkRParen, seExpectedRParen);
                    if (proc->LocalIndex.count(param.Name) != 0) Fail(seNameRedefined, pn);
                    proc->AddLocal(param.Name);
                    proc->Params.push_back(std::move(param));
                    if (!Accept(TK::tkComma)) break;
                }
            }
            Expect(TK::tkRParen, seExpectedRParen);
        }
        EndStatement();
        FProc = proc.get();
        const int savedFor = FForDepth, savedDo = FDoDepth;
        FForDepth = FDoDepth = 0;
        ParseBlock(proc->Body);
        FForDepth = savedFor;
        FDoDepth = savedDo;
        FProc = nullptr;
        ExpectKw(KW::kwEnd, seExpectedEnd);
        ExpectKw(isFunction ? KW::kwFunction : KW::kwSub,
                 isFunction ? seExpectedFunction : seExpectedSub);
        FProgram.Procs.push_back(std::move(proc));
    }

    std::vector<TToken>& FTok;
    TProgram& FProgram;
    std::size_t FPos = 0;
    int FNesting = 0;
    int FSingleLine = 0;
    int FForDepth = 0;
    int FDoDepth = 0;
    TProc* FProc = nullptr;
    std::unordered_set<std::string> FProcNames;
    std::unordered_set<std::string> FGlobalNames;
};

void SplitLines(std::string_view text, std::vector<std::string>& lines) {
    lines.clear();
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || text[i] == '\r') {
            lines.emplace_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    lines.emplace_back(text.substr(start));
}

template <class TRun>
bool Parse(std::string_view text, TProgram& program, TParseError& error, TRun run) {
    SplitLines(text, program.Lines);
    std::vector<TToken> tokens;
    TLexError lexError;
    if (!Tokenize(text, tokens, lexError)) {
        error = {lexError.Number, lexError.Line, lexError.Column};
        return false;
    }
    TParser parser(tokens, program);
    try {
        run(parser);
    } catch (const TParseFail& f) {
        error = {f.Number, f.Line, f.Column};
        return false;
    }
    return true;
}

}  // namespace

bool ParseProgram(std::string_view text, TProgram& program, TParseError& error) {
    return Parse(text, program, error, [](TParser& p) { p.Program(); });
}

bool ParseExpression(std::string_view text, TProgram& program, TParseError& error) {
    return Parse(text, program, error, [](TParser& p) { p.Expression(); });
}

}  // namespace rekna
