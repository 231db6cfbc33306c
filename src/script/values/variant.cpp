// The script value's constructors and accessors, the boxes of strings and arrays, and the
// memory account they are charged to.
#include "script/values/variant.h"

#include "script/runtime/raise.h"
#include "script/runtime/script_object.h"
#include "script/values/script_memory.h"

namespace rekna {

namespace {

const std::string kNoText;
const TScriptArray kNoArray;

thread_local TScriptMemory* tCurrentMemory = nullptr;

// A string and whether it is known to be all ASCII (-1 not yet known).
class TStringBox final : public TBox {
public:
    explicit TStringBox(std::string text) : Text(std::move(text)) { Charge(); }
    void Charge() { Account(sizeof(TStringBox) + Text.capacity()); }

    std::string Text;
    mutable std::int8_t Ascii = -1;
};

class TArrayBox final : public TBox {
public:
    explicit TArrayBox(TScriptArray a) : Array(std::move(a)) { Account(Size(Array)); }

    [[nodiscard]] static std::size_t Size(const TScriptArray& a) noexcept {
        return sizeof(TArrayBox) + a.Items.capacity() * sizeof(TVariant) +
               a.Upper.capacity() * sizeof(std::int32_t);
    }

    TScriptArray Array;
};

bool AllAscii(std::string_view s) noexcept {
    for (const char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

}  // namespace

TScriptMemory* CurrentScriptMemory() noexcept {
    return tCurrentMemory;
}

void CheckScriptMemory(std::size_t bytes) {
    if (tCurrentMemory && !tCurrentMemory->Fits(bytes)) Raise(seOutOfMemory, {}, true);
}

TScriptMemoryScope::TScriptMemoryScope(TScriptMemory* memory) noexcept : FSaved(tCurrentMemory) {
    tCurrentMemory = memory;
}

TScriptMemoryScope::~TScriptMemoryScope() {
    tCurrentMemory = FSaved;
}

TBox::~TBox() {
    if (FMemory) {
        if (FTracked) FMemory->Untrack(this);
        FMemory->Release(FCharged);
        FMemory->DropRef();
    }
}

void TBox::TrackCycles() {
    if (!FMemory) return;
    FMemory->Track(this);
    FTracked = true;
}

void TScriptMemory::BreakCycles() {
    // Every box is held while the others are emptied, so none goes in the middle.
    std::vector<TBox*> boxes(FTracked.begin(), FTracked.end());
    for (TBox* b : boxes)
        b->AddRef();
    for (TBox* b : boxes)
        b->BreakCycles();
    for (TBox* b : boxes)
        b->Release();
}

void TBox::Account(std::size_t bytes) {
    if (!FMemory) {
        FMemory = tCurrentMemory;
        if (!FMemory) return;
        FMemory->AddRef();
    }
    if (bytes >= FCharged) {
        // The run ends there (fatal: On Error Resume Next would only go on without memory).
        if (!FMemory->Charge(bytes - FCharged)) Raise(seOutOfMemory, {}, true);
    } else {
        FMemory->Release(FCharged - bytes);
    }
    FCharged = bytes;
}

TVariant TVariant::Missing() noexcept {
    TVariant v = Make(TVarType::vtError);
    v.FWhole = static_cast<std::int32_t>(0x80020004u);
    return v;
}

TVariant TVariant::String(std::string s) {
    TVariant v = Make(TVarType::vtString);
    v.FBox = new TStringBox(std::move(s));
    v.FBox->AddRef();
    return v;
}

TVariant TVariant::Object(TScriptObject* obj) noexcept {
    TVariant v = Make(TVarType::vtObject);
    v.FBox = obj;
    if (obj) obj->AddRef();
    return v;
}

TVariant TVariant::Array(TScriptArray arr) {
    TVariant v = Make(TVarType::vtArray);
    v.FBox = new TArrayBox(std::move(arr));
    v.FBox->AddRef();
    return v;
}

const std::string& TVariant::Str() const noexcept {
    if (FType != TVarType::vtString) return kNoText;
    return static_cast<const TStringBox*>(FBox)->Text;
}

bool TVariant::AppendInPlace(std::string_view text) {
    if (FType != TVarType::vtString || FBox->Refs() != 1) return false;
    auto* box = static_cast<TStringBox*>(FBox);
    const std::size_t before = box->Text.capacity();
    box->Text.append(text);
    if (box->Ascii == 1 && !AllAscii(text)) box->Ascii = 0;
    if (box->Text.capacity() != before) box->Charge();
    return true;
}

bool TVariant::IsAsciiText() const noexcept {
    if (FType != TVarType::vtString) return true;
    const auto* box = static_cast<const TStringBox*>(FBox);
    if (box->Ascii < 0) box->Ascii = AllAscii(box->Text) ? 1 : 0;
    return box->Ascii == 1;
}

TScriptObject* TVariant::ObjPtr() const noexcept {
    return FType == TVarType::vtObject ? static_cast<TScriptObject*>(FBox) : nullptr;
}

TRef<TScriptObject> TVariant::Obj() const noexcept {
    return TRef<TScriptObject>(ObjPtr());
}

const TScriptArray& TVariant::Arr() const noexcept {
    if (FType != TVarType::vtArray) return kNoArray;
    return static_cast<const TArrayBox*>(FBox)->Array;
}

TScriptArray& TVariant::MutableArr() {
    auto* box = static_cast<TArrayBox*>(FBox);
    if (box->Refs() > 1) {
        CheckScriptMemory(TArrayBox::Size(box->Array));
        auto* copy = new TArrayBox(box->Array);
        copy->AddRef();
        FBox = copy;
        box->Release();
        box = copy;
    }
    return box->Array;
}

double TVariant::AsDouble() const noexcept {
    switch (FType) {
    case TVarType::vtSingle:
    case TVarType::vtDouble:
    case TVarType::vtDate: return FReal;
    case TVarType::vtInteger:
    case TVarType::vtLong:
    case TVarType::vtByte:
    case TVarType::vtBoolean: return FWhole;
    case TVarType::vtCurrency: return static_cast<double>(FCur) / 10000.0;
    default: return 0;
    }
}

}  // namespace rekna
