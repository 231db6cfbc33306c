// Resolution of names: locals, fields of Me, globals, procedures, objects, Err, built-ins and
// constants, kept at each use so that a name is looked up once.
#include "script/builtins/builtins.h"
#include "script/runtime/runtime.h"

namespace rekna {

TVariant& TRuntime::ExtraSlot(int index) {
    TFrame& f = *FFrame;
    if (!f.Extra) f.Extra = std::make_unique<std::deque<TVariant>>();
    const std::size_t at = static_cast<std::size_t>(index) - f.Count;
    if (at >= f.Extra->size()) f.Extra->resize(at + 1);
    return (*f.Extra)[at];
}

void TRuntime::CacheGlobal(const TExpr& e, int slot) {
    e.Slot = TNameSlot::nsGlobal;
    e.SlotIndex = slot;
    e.SlotPtr = &FGlobals[static_cast<std::size_t>(slot)];
    e.SlotGen = FGlobalsGen;
    e.SlotConst = FGlobalConst[static_cast<std::size_t>(slot)];
}

bool TRuntime::OptionExplicit() const {
    return FFrame && FFrame->Program && FFrame->Program->OptionExplicit;
}

TVariant* TRuntime::FindVariableSlow(const TExpr& e) {
    switch (e.Slot) {
    case TNameSlot::nsLocal: return &LocalSlot(e.SlotIndex);
    case TNameSlot::nsField: return &FFrame->Me->Fields[static_cast<std::size_t>(e.SlotIndex)];
    case TNameSlot::nsGlobal:  // kept from before a reset or a new constant: look again
    case TNameSlot::nsUnknown: e.Slot = TNameSlot::nsUnknown; break;
    default: return nullptr;
    }
    if (FFrame->Proc) {
        const TProc& p = *FFrame->Proc;
        // Inside a function its own name with arguments is a call, without them its result.
        if (!(e.HasArgs && e.Name == p.Name)) {
            const auto it = p.LocalIndex.find(e.Name);
            if (it != p.LocalIndex.end()) {
                e.Slot = TNameSlot::nsLocal;
                e.SlotIndex = it->second;
                e.SlotConst = p.LocalIsConst[static_cast<std::size_t>(it->second)];
                return &LocalSlot(it->second);
            }
        }
    }
    if (FFrame->Me) {
        const int m = FFrame->Me->Def.Find(e.Name);
        if (m >= 0) {
            const TClassMember& member = FFrame->Me->Def.Members[static_cast<std::size_t>(m)];
            if (member.Field < 0) return nullptr;
            e.Slot = TNameSlot::nsField;
            e.SlotIndex = member.Field;
            e.SlotConst = false;
            return &FFrame->Me->Fields[static_cast<std::size_t>(member.Field)];
        }
    }
    const auto it = FGlobalIndex.find(e.Name);
    if (it == FGlobalIndex.end()) return nullptr;
    CacheGlobal(e, it->second);
    return &FGlobals[static_cast<std::size_t>(it->second)];
}

TVariant* TRuntime::FindVariableByName(const std::string& name) {
    if (FFrame->Proc) {
        const auto it = FFrame->Proc->LocalIndex.find(name);
        if (it != FFrame->Proc->LocalIndex.end()) return &LocalSlot(it->second);
    }
    if (FFrame->Me) {
        const int m = FFrame->Me->Def.Find(name);
        if (m >= 0) {
            const int field = FFrame->Me->Def.Members[static_cast<std::size_t>(m)].Field;
            return field >= 0 ? &FFrame->Me->Fields[static_cast<std::size_t>(field)] : nullptr;
        }
    }
    const auto it = FGlobalIndex.find(name);
    return it == FGlobalIndex.end() ? nullptr : &FGlobals[static_cast<std::size_t>(it->second)];
}

TVariant& TRuntime::VariableForWriteByName(const std::string& name, const TExpr* cacheNode) {
    if (TVariant* v = FindVariableByName(name)) return *v;
    if (FProcs.count(name) != 0 || Objects.count(name) != 0 || name == "err" ||
        (FFrame->Me && FFrame->Me->Def.Find(name) >= 0)) {
        Raise(seIllegalAssign, ScriptErrorNaming(seIllegalAssign, name));
    }
    if (OptionExplicit()) Raise(seUndefinedVar, ScriptErrorNaming(seUndefinedVar, name));
    if (FFrame->Proc) {
        const int slot = FFrame->Proc->AddLocal(name);
        if (cacheNode) {
            cacheNode->Slot = TNameSlot::nsLocal;
            cacheNode->SlotIndex = slot;
            cacheNode->SlotConst = false;
        }
        return LocalSlot(slot);
    }
    const int slot = AddGlobal(name);
    if (cacheNode) CacheGlobal(*cacheNode, slot);
    return FGlobals[static_cast<std::size_t>(slot)];
}

bool TRuntime::IsUnknownName(const std::string& name) const {
    return FProcs.count(name) == 0 && Objects.count(name) == 0 && name != "err" &&
           FindBuiltin(name) < 0 && FindScriptConstant(name) < 0 &&
           !(FFrame->Me && FFrame->Me->Def.Find(name) >= 0);
}

void TRuntime::ResolveCallable(const TExpr& e) {
    if (FFrame->Me) {
        const int m = FFrame->Me->Def.Find(e.Name);
        if (m >= 0 && FFrame->Me->Def.Members[static_cast<std::size_t>(m)].Field < 0) {
            e.Slot = TNameSlot::nsMember;
            e.SlotIndex = m;
            return;
        }
    }
    const auto proc = FProcs.find(e.Name);
    if (proc != FProcs.end()) {
        e.Slot = TNameSlot::nsProc;
        e.SlotPtr = proc->second;
        e.SlotGen = FProcsGen;
        return;
    }
    const auto obj = Objects.find(e.Name);
    if (obj != Objects.end()) {
        e.Slot = TNameSlot::nsObject;
        e.SlotPtr = obj->second.Get();
        e.SlotGen = ObjectsGen;
        return;
    }
    if (e.Name == "err") {
        e.Slot = TNameSlot::nsErr;
        return;
    }
    const int b = FindBuiltin(e.Name);
    if (b >= 0) {
        e.Slot = TNameSlot::nsBuiltin;
        e.SlotIndex = b;
        return;
    }
    const int c = FindScriptConstant(e.Name);
    if (c >= 0) {
        e.Slot = TNameSlot::nsConstant;
        e.SlotIndex = c;
    }
}

}  // namespace rekna
