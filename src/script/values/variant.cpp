// The script value's constructors and accessors.
#include "script/values/variant.h"

#include "script/runtime/script_object.h"

namespace rekna {

namespace {
const std::string kNoText;
}  // namespace

TVariant TVariant::Boolean(bool b) noexcept {
    TVariant v = Make(TVarType::vtBoolean);
    v.FWhole = b ? -1 : 0;
    return v;
}

TVariant TVariant::Integer(std::int16_t i) noexcept {
    TVariant v = Make(TVarType::vtInteger);
    v.FWhole = i;
    return v;
}

TVariant TVariant::Long(std::int32_t i) noexcept {
    TVariant v = Make(TVarType::vtLong);
    v.FWhole = i;
    return v;
}

TVariant TVariant::Byte(std::uint8_t i) noexcept {
    TVariant v = Make(TVarType::vtByte);
    v.FWhole = i;
    return v;
}

TVariant TVariant::Single(float f) noexcept {
    TVariant v = Make(TVarType::vtSingle);
    v.FReal = f;
    return v;
}

TVariant TVariant::Double(double d) noexcept {
    TVariant v = Make(TVarType::vtDouble);
    v.FReal = d;
    return v;
}

TVariant TVariant::Date(double d) noexcept {
    TVariant v = Make(TVarType::vtDate);
    v.FReal = d;
    return v;
}

TVariant TVariant::String(std::string s) {
    TVariant v = Make(TVarType::vtString);
    v.FRef = std::make_shared<std::string>(std::move(s));
    return v;
}

TVariant TVariant::Object(std::shared_ptr<TScriptObject> obj) noexcept {
    TVariant v = Make(TVarType::vtObject);
    v.FRef = std::move(obj);
    return v;
}

TVariant TVariant::Array(std::shared_ptr<TScriptArray> arr) noexcept {
    TVariant v = Make(TVarType::vtArray);
    v.FRef = std::move(arr);
    return v;
}

bool TVariant::IsNumberLike() const noexcept {
    switch (FType) {
    case TVarType::vtEmpty:
    case TVarType::vtInteger:
    case TVarType::vtLong:
    case TVarType::vtSingle:
    case TVarType::vtDouble:
    case TVarType::vtDate:
    case TVarType::vtBoolean:
    case TVarType::vtByte: return true;
    default: return false;
    }
}

bool TVariant::IsWhole() const noexcept {
    return FType == TVarType::vtInteger || FType == TVarType::vtLong || FType == TVarType::vtByte;
}

const std::string& TVariant::Str() const noexcept {
    if (FType != TVarType::vtString || !FRef) return kNoText;
    return *static_cast<const std::string*>(FRef.get());
}

std::shared_ptr<TScriptObject> TVariant::Obj() const noexcept {
    if (FType != TVarType::vtObject) return nullptr;
    return std::static_pointer_cast<TScriptObject>(FRef);
}

TScriptObject* TVariant::ObjPtr() const noexcept {
    return FType == TVarType::vtObject ? static_cast<TScriptObject*>(FRef.get()) : nullptr;
}

const TScriptArray& TVariant::Arr() const noexcept {
    return *static_cast<const TScriptArray*>(FRef.get());
}

std::shared_ptr<TScriptArray> TVariant::SharedArr() const noexcept {
    return std::static_pointer_cast<TScriptArray>(FRef);
}

TScriptArray& TVariant::MutableArr() {
    if (FRef.use_count() > 1) {
        auto copy = std::make_shared<TScriptArray>(Arr());
        FRef = std::move(copy);
    }
    return *static_cast<TScriptArray*>(FRef.get());
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
    default: return 0;
    }
}

}  // namespace rekna
