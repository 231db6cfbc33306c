// Reads procedures (Sub, Function, Property) and classes with their fields and members.
#include "script/syntax/parser_impl.h"

namespace rekna {

bool TParser::AtProcedure() const {
    const auto procWord = [&](std::size_t ahead) {
        return IsKwAt(ahead, KW::kwSub) || IsKwAt(ahead, KW::kwFunction) ||
               IsKwAt(ahead, KW::kwProperty);
    };
    if (procWord(0)) return true;
    if (!IsKw(KW::kwPrivate) && !IsKw(KW::kwPublic)) return false;
    return procWord(1) || (IsWordAt(1, "default") && procWord(2));
}

void TParser::ParseProcHeader(TProc& proc) {
    if (!Accept(TK::tkLParen)) return;
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
            if (proc.LocalIndex.count(param.Name) != 0) Fail(seNameRedefined, pn);
            proc.AddLocal(param.Name);
            proc.ByRef.push_back(param.ByRef ? 1 : 0);
            proc.Params.push_back(std::move(param));
            if (!Accept(TK::tkComma)) break;
        }
    }
    Expect(TK::tkRParen, seExpectedRParen);
}

std::unique_ptr<TProc> TParser::ParseProc(TClassDef* owner, bool isPublic, bool isDefault) {
    const TToken& head = Next();
    auto proc = std::make_unique<TProc>();
    KW closer = head.Keyword;
    int closerError = seExpectedSub;
    switch (head.Keyword) {
    case KW::kwFunction:
        proc->Kind = TProcKind::pkFunction;
        closerError = seExpectedFunction;
        break;
    case KW::kwProperty:
        if (IsWord("get")) {
            proc->Kind = TProcKind::pkGet;
        } else if (IsKw(KW::kwLet)) {
            proc->Kind = TProcKind::pkLet;
        } else if (IsKw(KW::kwSet)) {
            proc->Kind = TProcKind::pkSet;
        } else {
            Fail(seExpectedLetSetGet);
        }
        Next();
        closerError = seExpectedProperty;
        break;
    default: proc->Kind = TProcKind::pkSub; break;
    }
    const TToken& name = ExpectName();
    proc->Name = name.Text;
    proc->Spelling = name.Spelling;
    proc->IsPublic = isPublic;
    proc->IsDefault = isDefault;
    proc->Program = &FProgram;
    proc->Class = owner;
    proc->AddLocal(proc->Name);
    if (!owner && !FProcNames.insert(proc->Name).second) Fail(seNameRedefined, name);
    ParseProcHeader(*proc);
    if ((proc->Kind == TProcKind::pkLet || proc->Kind == TProcKind::pkSet) &&
        proc->Params.empty()) {
        Fail(sePropertyPutArgs, name);
    }
    EndStatement();
    FProc = proc.get();
    const int savedFor = FForDepth, savedDo = FDoDepth, savedWith = FWithDepth;
    FForDepth = FDoDepth = FWithDepth = 0;
    ParseBlock(proc->Body);
    FForDepth = savedFor;
    FDoDepth = savedDo;
    FWithDepth = savedWith;
    FProc = nullptr;
    ExpectKw(KW::kwEnd, seExpectedEnd);
    ExpectKw(closer, closerError);
    return proc;
}

void TParser::AddClassProc(TClassDef& def, std::unique_ptr<TProc> proc, const TToken& at) {
    TProc* p = proc.get();
    if (p->Name == "class_initialize" || p->Name == "class_terminate") {
        if (p->Kind != TProcKind::pkSub) Fail(seSyntax, at);
        if (!p->Params.empty()) Fail(seClassEventArgs, at);
        (p->Name == "class_initialize" ? def.Initialize : def.Terminate) = p;
    }
    int index = def.Find(p->Name);
    if (index < 0) {
        index = static_cast<int>(def.Members.size());
        TClassMember m;
        m.Name = p->Name;
        m.Spelling = p->Spelling;
        m.IsPublic = p->IsPublic;
        def.Members.push_back(std::move(m));
        def.MemberIndex.emplace(p->Name, index);
    }
    TClassMember& m = def.Members[static_cast<std::size_t>(index)];
    TProc** slot = nullptr;
    switch (p->Kind) {
    case TProcKind::pkSub:
    case TProcKind::pkFunction: slot = &m.Method; break;
    case TProcKind::pkGet: slot = &m.Get; break;
    case TProcKind::pkLet: slot = &m.Let; break;
    case TProcKind::pkSet: slot = &m.Set; break;
    }
    const bool isProperty = p->Kind != TProcKind::pkSub && p->Kind != TProcKind::pkFunction;
    if (*slot || m.Field >= 0 || (isProperty ? m.Method != nullptr : m.Get || m.Let || m.Set)) {
        Fail(seNameRedefined, at);
    }
    // A property's put takes the arguments of its get and the new value.
    const TProc* get = p->Kind == TProcKind::pkGet ? p : m.Get;
    for (const TProc* put : {p->Kind == TProcKind::pkGet ? nullptr : p, m.Let, m.Set}) {
        if (isProperty && get && put && put != get &&
            put->Params.size() != get->Params.size() + 1) {
            Fail(sePropertyArgs, at);
        }
    }
    *slot = p;
    if (p->IsDefault) {
        if (p->Kind == TProcKind::pkLet || p->Kind == TProcKind::pkSet) Fail(seDefaultNotGet, at);
        if (def.Default >= 0 && def.Default != index) Fail(seMultipleDefault, at);
        def.Default = index;
    }
    def.Procs.push_back(std::move(proc));
}

void TParser::ParseClassBody(TClassDef& def) {
    for (;;) {
        SkipSeparators();
        if (IsKw(KW::kwEnd) && IsKwAt(1, KW::kwClass)) break;
        if (Is(TK::tkEnd) || IsKw(KW::kwEnd)) Fail(seExpectedEnd);
        const TToken& at = Peek();
        bool isPublic = true, access = false, isDefault = false;
        if (IsKw(KW::kwPublic) || IsKw(KW::kwPrivate)) {
            isPublic = Next().Keyword == KW::kwPublic;
            access = true;
        }
        if (IsWord("default")) {
            if (!access || !isPublic) Fail(seDefaultNotPublic);
            Next();
            isDefault = true;
        }
        if (IsKw(KW::kwSub) || IsKw(KW::kwFunction) || IsKw(KW::kwProperty)) {
            AddClassProc(def, ParseProc(&def, isPublic, isDefault), at);
            EndStatement();
            continue;
        }
        if (isDefault) Fail(seDefaultNotHere);
        if (!access && !AcceptKw(KW::kwDim)) Fail(seExpectedStatement);
        for (;;) {
            const TToken& name = Peek();
            TDeclare d = ParseDeclared();
            d.IsPublic = isPublic;
            if (def.Find(d.Name) >= 0) Fail(seNameRedefined, name);
            TClassMember m;
            m.Name = d.Name;
            m.Spelling = d.Spelling;
            m.IsPublic = isPublic;
            m.Field = static_cast<int>(def.Fields.size());
            def.MemberIndex.emplace(d.Name, static_cast<int>(def.Members.size()));
            def.Members.push_back(std::move(m));
            def.Fields.push_back(std::move(d));
            if (!Accept(TK::tkComma)) break;
        }
        EndStatement();
    }
}

void TParser::ParseClass() {
    Next();  // "Class"
    const TToken& name = ExpectName();
    auto def = std::make_unique<TClassDef>();
    def->Name = name.Text;
    def->Spelling = name.Spelling;
    def->Program = &FProgram;
    for (const auto& other : FProgram.Classes) {
        if (other->Name == def->Name) Fail(seNameRedefined, name);
    }
    EndStatement();
    FClass = def.get();
    ParseClassBody(*def);
    FClass = nullptr;
    ExpectKw(KW::kwEnd, seExpectedEnd);
    ExpectKw(KW::kwClass, seExpectedClass);
    FProgram.Classes.push_back(std::move(def));
}

}  // namespace rekna
