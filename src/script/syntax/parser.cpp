// Reads script text into a program tree by recursive descent: the statements, and the entry
// points that read a whole text.
#include "script/syntax/parser.h"

#include "script/syntax/parser_impl.h"

namespace rekna {

void TParser::Program() {
    ParseBlock(FProgram.Body, true);
    if (Peek().Kind != TK::tkEnd) Fail(seExpectedStatement);
}

void TParser::Expression() {
    SkipSeparators();
    FProgram.Expression = ParseExpr();
    SkipSeparators();
    if (Peek().Kind != TK::tkEnd) Fail(seExpectedEndOfStatement);
}

TStmtPtr TParser::Stmt(TStmtKind kind, const TToken& at) {
    auto s = std::make_unique<TStmt>();
    s->Kind = kind;
    s->Line = at.Line;
    s->Column = at.Column;
    return s;
}

bool TParser::AtBlockEnd() const {
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

void TParser::ParseBlock(TBlock& block, bool topLevel) {
    TNest nest(*this);
    const int savedSingle = FSingleLine;
    FSingleLine = 0;
    for (;;) {
        SkipSeparators();
        if (AtBlockEnd()) break;
        if (topLevel && IsKw(KW::kwClass)) {
            ParseClass();
            continue;
        }
        if (topLevel && AtProcedure()) {
            bool isPublic = true;
            if (IsKw(KW::kwPrivate) || IsKw(KW::kwPublic))
                isPublic = Next().Keyword == KW::kwPublic;
            if (IsWord("default")) Fail(seDefaultNotHere);
            if (IsKw(KW::kwProperty)) Fail(1048);
            std::unique_ptr<TProc> proc = ParseProc(nullptr, isPublic, false);
            FProgram.Procs.push_back(std::move(proc));
            continue;
        }
        if (AtProcedure() || IsKw(KW::kwClass)) Fail(seSyntax);
        TStmtPtr s = ParseStatement();
        if (s) block.push_back(std::move(s));
        EndStatement();
    }
    FSingleLine = savedSingle;
}

// Statements of a one-line If: up to the end of the line or an Else.
void TParser::ParseLineBlock(TBlock& block) {
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

TStmtPtr TParser::ParseStatement() {
    const TToken& t = Peek();
    if (t.Kind == TK::tkDot) return ParseAssignOrCall();
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
    case KW::kwLet: Next(); return ParseAssignOrCall();
    case KW::kwCall: {
        Next();
        auto s = Stmt(TStmtKind::skCall, t);
        s->Target = ParseTarget();
        return s;
    }
    case KW::kwStop: Next(); return Stmt(TStmtKind::skNothing, t);
    case KW::kwIf: return ParseIf();
    case KW::kwSelect: return ParseSelect();
    case KW::kwFor: return ParseFor();
    case KW::kwDo: return ParseDo();
    case KW::kwWhile: return ParseWhile();
    case KW::kwWith: return ParseWith();
    case KW::kwExit: return ParseExit();
    case KW::kwOn: return ParseOnError();
    case KW::kwMe:
    case KW::kwNone: return ParseAssignOrCall();
    default: Fail(seExpectedStatement);
    }
}

TExprPtr TParser::ParseTarget() {
    const bool dot = Is(TK::tkDot);
    if (!dot && !IsKw(KW::kwMe) && (!Is(TK::tkName) || Peek().Keyword != KW::kwNone)) {
        Fail(seExpectedIdent);
    }
    return ParsePostfix(false);
}

TStmtPtr TParser::ParseAssignOrCall() {
    const TToken& at = Peek();
    const std::size_t start = FPos;
    TExprPtr target = ParsePostfix(false);
    if (Is(TK::tkEq)) {
        Next();
        auto s = Stmt(TStmtKind::skAssign, at);
        s->Value = ParseExpr();
        // "s = s & x": the text in s may grow in place.
        const TExpr& v = *s->Value;
        const auto isSelf = [&](const TExpr& e) {
            return e.Kind == TExprKind::ekName && !e.HasArgs && e.Name == target->Name;
        };
        if (target->Kind == TExprKind::ekName && !target->HasArgs) {
            if (v.Kind == TExprKind::ekBinary && v.Op == TBinaryOp::boConcat && isSelf(*v.Left)) {
                s->AppendSelf = true;
            } else if (v.Kind == TExprKind::ekChain && isSelf(*v.Args[0]) &&
                       std::all_of(v.Ops.begin(), v.Ops.end(),
                                   [](TBinaryOp op) { return op == TBinaryOp::boConcat; })) {
                s->AppendSelf = true;
            }
        }
        s->Target = std::move(target);
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
        if (target->Kind != TExprKind::ekName && target->Kind != TExprKind::ekMember) {
            Fail(seExpectedEndOfStatement);
        }
        target->HasArgs = true;
        for (;;) {
            target->Args.push_back(ParseArgument(TK::tkEnd));
            if (!Accept(TK::tkComma)) break;
        }
    }
    s->Target = std::move(target);
    return s;
}

void TParser::Declare(const std::string& name, bool isConst) {
    if (FProc) {
        FProc->AddLocal(name, isConst);
    } else if (FGlobalNames.insert(name).second) {
        FProgram.Globals.push_back(name);
    }
}

TDeclare TParser::ParseDeclared() {
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
    return d;
}

TStmtPtr TParser::ParseDim(const TToken& at, TStmtKind kind) {
    auto s = Stmt(kind, at);
    if (kind == TStmtKind::skReDim && IsWord("preserve")) {
        Next();
        s->Preserve = true;
    }
    for (;;) {
        TDeclare d = ParseDeclared();
        if (kind == TStmtKind::skReDim && d.Bounds.empty()) Fail(seExpectedLParen);
        if (kind == TStmtKind::skDim || !FProc) Declare(d.Name);
        s->Declares.push_back(std::move(d));
        if (!Accept(TK::tkComma)) break;
    }
    return s;
}

TStmtPtr TParser::ParseConst(const TToken& at) {
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

TStmtPtr TParser::ParseErase(const TToken& at) {
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

TStmtPtr TParser::ParseIf() {
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

TStmtPtr TParser::ParseSelect() {
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
                    item.Low = ParseCaseOperand();
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

TExprPtr TParser::LoopVariable() {
    const TToken& name = ExpectName();
    auto e = Node(TExprKind::ekName, name);
    e->Name = name.Text;
    e->Spelling = name.Spelling;
    return e;
}

void TParser::ParseLoopBody(TBlock& body, int& depth) {
    ++depth;
    ParseBlock(body);
    --depth;
}

TStmtPtr TParser::ParseFor() {
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

TStmtPtr TParser::ParseDo() {
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

TStmtPtr TParser::ParseWhile() {
    const TToken& at = Next();
    auto s = Stmt(TStmtKind::skWhile, at);
    s->Value = ParseExpr();
    s->Blocks.emplace_back();
    int noExit = 0;
    ParseLoopBody(s->Blocks.back(), noExit);
    ExpectKw(KW::kwWend, seExpectedWend);
    return s;
}

TStmtPtr TParser::ParseWith() {
    const TToken& at = Next();
    auto s = Stmt(TStmtKind::skWith, at);
    s->Value = ParseExpr();
    EndStatement();
    s->Blocks.emplace_back();
    ++FWithDepth;
    ParseBlock(s->Blocks.back());
    --FWithDepth;
    ExpectKw(KW::kwEnd, seExpectedEnd);
    ExpectKw(KW::kwWith, seExpectedWith);
    return s;
}

TStmtPtr TParser::ParseExit() {
    const TToken& at = Next();
    TStmtKind kind{};
    if (AcceptKw(KW::kwFor)) {
        if (FForDepth == 0) Fail(seInvalidExit, at);
        kind = TStmtKind::skExitFor;
    } else if (AcceptKw(KW::kwDo)) {
        if (FDoDepth == 0) Fail(seInvalidExit, at);
        kind = TStmtKind::skExitDo;
    } else if (IsKw(KW::kwSub) || IsKw(KW::kwFunction) || IsKw(KW::kwProperty)) {
        const KW which = Next().Keyword;
        const bool fits =
            FProc && (which == KW::kwSub ? FProc->Kind == TProcKind::pkSub
                      : which == KW::kwFunction
                          ? FProc->Kind == TProcKind::pkFunction
                          : FProc->Kind == TProcKind::pkGet || FProc->Kind == TProcKind::pkLet ||
                                FProc->Kind == TProcKind::pkSet);
        if (!fits) Fail(seInvalidExit, at);
        kind = TStmtKind::skExitProc;
    } else {
        Fail(seInvalidExit);
    }
    return Stmt(kind, at);
}

TStmtPtr TParser::ParseOnError() {
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

namespace {

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
