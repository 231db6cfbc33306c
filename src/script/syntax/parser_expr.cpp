// Reads expressions with the language's precedence. A run of operators of one precedence is read
// in a loop into one node, so chains of any length never nest.
#include "script/syntax/parser_impl.h"

namespace rekna {

namespace {

// The precedence levels, loosest first; Not and the unary minus are levels of their own.
enum TLevel : int {
    lvImp,
    lvEqv,
    lvXor,
    lvOr,
    lvAnd,
    lvNot,
    lvCompare,
    lvConcat,
    lvAdd,
    lvMod,
    lvIntDiv,
    lvMul,
    lvUnary,
    lvPow,
};

}  // namespace

TExprPtr TParser::Node(TExprKind kind, const TToken& at) {
    auto e = std::make_unique<TExpr>();
    e->Kind = kind;
    e->Line = at.Line;
    e->Column = at.Column;
    return e;
}

TExprPtr TParser::ParseExpr() {
    TNest nest(*this);
    return ParseLevel(lvImp);
}

bool TParser::CompareOp(TBinaryOp& op) const {
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

TExprPtr TParser::ParseLevel(int level) {
    if (level == lvNot) return ParseNot();
    if (level == lvUnary) return ParseUnary();
    const auto opAt = [&](TBinaryOp& op) {
        switch (level) {
        case lvImp: op = TBinaryOp::boImp; return IsKw(KW::kwImp);
        case lvEqv: op = TBinaryOp::boEqv; return IsKw(KW::kwEqv);
        case lvXor: op = TBinaryOp::boXor; return IsKw(KW::kwXor);
        case lvOr: op = TBinaryOp::boOr; return IsKw(KW::kwOr);
        case lvAnd: op = TBinaryOp::boAnd; return IsKw(KW::kwAnd);
        case lvCompare: return CompareOp(op);
        case lvConcat: op = TBinaryOp::boConcat; return Is(TK::tkAmp);
        case lvAdd:
            op = Is(TK::tkPlus) ? TBinaryOp::boAdd : TBinaryOp::boSub;
            return Is(TK::tkPlus) || Is(TK::tkMinus);
        case lvMod: op = TBinaryOp::boMod; return IsKw(KW::kwMod);
        case lvIntDiv: op = TBinaryOp::boIntDiv; return Is(TK::tkBackslash);
        case lvMul:
            op = Is(TK::tkStar) ? TBinaryOp::boMul : TBinaryOp::boDiv;
            return Is(TK::tkStar) || Is(TK::tkSlash);
        default: op = TBinaryOp::boPow; return Is(TK::tkCaret);
        }
    };
    TExprPtr first = level == lvPow ? ParsePostfix(false) : ParseLevel(level + 1);
    TBinaryOp op{};
    if (!opAt(op)) return first;
    std::vector<TExprPtr> operands;
    std::vector<TBinaryOp> ops;
    const TToken& at = Peek();
    operands.push_back(std::move(first));
    while (opAt(op)) {
        Next();
        ops.push_back(op);
        operands.push_back(level == lvPow ? ParsePowOperand() : ParseLevel(level + 1));
    }
    if (operands.size() == 2) {
        auto e = Node(TExprKind::ekBinary, at);
        e->Op = ops[0];
        e->Left = std::move(operands[0]);
        e->Right = std::move(operands[1]);
        return e;
    }
    auto e = Node(TExprKind::ekChain, at);
    e->Args = std::move(operands);
    e->Ops = std::move(ops);
    return e;
}

TExprPtr TParser::ParseCaseOperand() {
    TNest nest(*this);
    return ParseLevel(lvConcat);
}

TExprPtr TParser::ParseNot() {
    if (!IsKw(KW::kwNot)) return ParseLevel(lvCompare);
    TNest nest(*this);
    const TToken& at = Next();
    auto e = Node(TExprKind::ekNot, at);
    e->Left = ParseNot();
    return e;
}

namespace {

TExprPtr Negated(TExprPtr operand, TExprPtr node) {
    if (operand->Kind == TExprKind::ekLiteral && operand->Value.IsNumberLike() &&
        !operand->Value.IsEmpty() && operand->Value.Type() != TVarType::vtBoolean) {
        operand->Value = Negate(operand->Value);
        operand->Line = node->Line;
        operand->Column = node->Column;
        return operand;
    }
    node->Left = std::move(operand);
    return node;
}

}  // namespace

// Unary minus binds looser than "^": -2^2 is -4.
TExprPtr TParser::ParseUnary() {
    if (Is(TK::tkMinus) || Is(TK::tkPlus)) {
        TNest nest(*this);
        const TToken& at = Next();
        TExprPtr operand = ParseUnary();
        if (at.Kind == TK::tkPlus) return operand;
        return Negated(std::move(operand), Node(TExprKind::ekNegate, at));
    }
    return ParseLevel(lvPow);
}

// The right operand of "^" may carry its own sign: 2^-1.
TExprPtr TParser::ParsePowOperand() {
    if (Is(TK::tkMinus) || Is(TK::tkPlus)) {
        TNest nest(*this);
        const TToken& at = Next();
        TExprPtr operand = ParsePowOperand();
        if (at.Kind == TK::tkPlus) return operand;
        return Negated(std::move(operand), Node(TExprKind::ekNegate, at));
    }
    return ParsePostfix(false);
}

TExprPtr TParser::ParsePrimary() {
    const TToken& t = Peek();
    const auto literal = [&](TVariant v) {
        Next();
        auto e = Node(TExprKind::ekLiteral, t);
        e->Value = std::move(v);
        return e;
    };
    switch (t.Kind) {
    case TK::tkNumber: return literal(t.Value);
    case TK::tkString: return literal(TVariant::String(t.Text));
    case TK::tkLParen: {
        Next();
        TExprPtr e = ParseExpr();
        Expect(TK::tkRParen, seExpectedRParen);
        e->Parenthesized = true;
        return e;
    }
    case TK::tkDot: {
        // ".Name" inside With: a member of the With object.
        if (FWithDepth == 0) Fail(seBadReference);
        Next();
        if (!Is(TK::tkName)) Fail(seExpectedIdent);
        const TToken& name = Next();
        auto e = Node(TExprKind::ekMember, t);
        e->Name = name.Text;
        e->Spelling = name.Spelling;
        return e;
    }
    case TK::tkName: break;
    default: Fail(seExpectedExpression);
    }
    switch (t.Keyword) {
    case KW::kwTrue: return literal(TVariant::Boolean(true));
    case KW::kwFalse: return literal(TVariant::Boolean(false));
    case KW::kwEmpty: return literal(TVariant());
    case KW::kwNull: return literal(TVariant::Null());
    case KW::kwNothing: return literal(TVariant::Nothing());
    case KW::kwMe: {
        if (!FClass) Fail(seInvalidMe);
        Next();
        return Node(TExprKind::ekMe, t);
    }
    case KW::kwNew: {
        Next();
        const TToken& name = ExpectName();
        auto e = Node(TExprKind::ekNew, t);
        e->Name = name.Text;
        e->Spelling = name.Spelling;
        return e;
    }
    case KW::kwNone: break;
    default: Fail(seExpectedExpression);
    }
    Next();
    auto e = Node(TExprKind::ekName, t);
    e->Name = t.Text;
    e->Spelling = t.Spelling;
    return e;
}

// One argument, or the mark of one left out when a "," or the closer follows.
TExprPtr TParser::ParseArgument(TK closer) {
    if (Is(TK::tkComma) || Is(closer) ||
        (closer == TK::tkEnd && (AtStatementEnd() || Is(TK::tkComma)))) {
        return Node(TExprKind::ekMissing, Peek());
    }
    return ParseExpr();
}

void TParser::ParseArgs(TExpr& e) {
    TNest nest(*this);
    Next();  // "("
    e.HasArgs = true;
    if (!Is(TK::tkRParen)) {
        for (;;) {
            e.Args.push_back(ParseArgument(TK::tkRParen));
            if (!Accept(TK::tkComma)) break;
        }
    }
    Expect(TK::tkRParen, seExpectedRParen);
}

// A name with its argument lists and members. In the head of a call statement (head set) a
// bracket after a blank starts the arguments instead: "Show (1), 2".
TExprPtr TParser::ParsePostfix(bool head) {
    TExprPtr e = ParsePrimary();
    if (e->Kind == TExprKind::ekLiteral || e->Kind == TExprKind::ekNew) return e;
    for (;;) {
        if (Is(TK::tkLParen)) {
            if (head && Peek().SpaceBefore) break;
            const bool named = e->Kind == TExprKind::ekName || e->Kind == TExprKind::ekMember;
            if (!named || e->HasArgs) {
                // "a(1)(2)", "Me(1)": apply the brackets to the value before them
                auto index = Node(TExprKind::ekIndex, Peek());
                index->Left = std::move(e);
                e = std::move(index);
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
            m->Left = std::move(e);
            e = std::move(m);
            continue;
        }
        break;
    }
    return e;
}

}  // namespace rekna
