// The script language's value: a variant of Empty, Null, numbers, dates, text, objects and arrays,
// with shared, reference-counted strings, arrays and objects.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rekna {

class TScriptMemory;
class TScriptObject;
struct TScriptArray;

// The kinds of value. Strings, arrays and objects, which share a box, come last, so that one
// comparison tells them; VarTypeNumber gives the numbers VarType reports.
enum class TVarType : std::uint8_t {
    vtEmpty,
    vtNull,
    vtBoolean,
    vtByte,
    vtInteger,
    vtLong,
    vtCurrency,
    vtSingle,
    vtDouble,
    vtDate,
    vtError,  // only as the mark of an argument left out
    vtRef,    // inside the interpreter only: a ByRef parameter's link to the caller's variable
    vtString,
    vtObject,
    vtArray,
};

// The number VarType reports for a kind (an array reports 8192 + 12).
[[nodiscard]] constexpr int VarTypeNumber(TVarType t) noexcept {
    constexpr int kNumbers[] = {0, 1, 11, 17, 2, 3, 6, 4, 5, 7, 10, 12, 8, 9, 8204};
    return kNumbers[static_cast<int>(t)];
}

// What strings, arrays and objects share: a count of holders (one thread only, so no atomics)
// and the bytes charged to the memory account that was current when the box was made.
class TBox {
public:
    TBox() noexcept = default;
    TBox(const TBox&) = delete;
    TBox& operator=(const TBox&) = delete;

    void AddRef() noexcept { ++FRefs; }
    void Release() noexcept {
        if (--FRefs == 0) LastRelease();
    }
    [[nodiscard]] std::uint32_t Refs() const noexcept { return FRefs; }

    // Lets go of every value the box holds (a box that can hold others, see TrackCycles).
    virtual void BreakCycles() noexcept {}

protected:
    virtual ~TBox();
    // The last holder let go: the box goes (an object of a script class first runs its
    // Class_Terminate, which takes a holder again until then).
    virtual void LastRelease() noexcept { delete this; }
    // Charges the box's size to the current account, or changes the charge after it grew or
    // shrank. A growth past the budget of a run raises the out-of-memory error (a shrink never
    // does), leaving the charge as it was.
    void Account(std::size_t bytes);
    // Makes the box known to its account as one that may be part of a ring (after Account).
    void TrackCycles();

private:
    std::uint32_t FRefs = 0;
    bool FTracked = false;
    TScriptMemory* FMemory = nullptr;
    std::size_t FCharged = 0;
};

// An owning pointer to a box of type T (a string, array or object).
template <class T> class TRef {
public:
    TRef() noexcept = default;
    TRef(T* p) noexcept : FP(p) {  // NOLINT: a raw pointer becomes owned by a holder
        if (FP) FP->AddRef();
    }
    TRef(const TRef& o) noexcept : TRef(o.FP) {}
    TRef(TRef&& o) noexcept : FP(std::exchange(o.FP, nullptr)) {}
    template <class U> TRef(const TRef<U>& o) noexcept : TRef(o.Get()) {}
    ~TRef() {
        if (FP) FP->Release();
    }
    TRef& operator=(TRef o) noexcept {
        std::swap(FP, o.FP);
        return *this;
    }
    [[nodiscard]] T* Get() const noexcept { return FP; }
    T* operator->() const noexcept { return FP; }
    T& operator*() const noexcept { return *FP; }
    explicit operator bool() const noexcept { return FP != nullptr; }

private:
    T* FP = nullptr;
};

template <class T, class... A> [[nodiscard]] TRef<T> MakeRef(A&&... args) {
    return TRef<T>(new T(std::forward<A>(args)...));
}

// A value as scripts see it. Text is CP932 bytes; strings and arrays are shared and never changed
// in place while shared, so copies behave as values; objects are shared by reference.
class TVariant {
public:
    TVariant() noexcept : FCur(0) {}
    TVariant(const TVariant& o) noexcept : FType(o.FType), FCur(o.FCur) {
        if (HasBox()) FBox->AddRef();
    }
    TVariant(TVariant&& o) noexcept : FType(o.FType), FCur(o.FCur) { o.FType = TVarType::vtEmpty; }
    [[gnu::always_inline]] TVariant& operator=(const TVariant& o) noexcept {
        // o may live inside what this value lets go of: take its content first, and let go
        // last (its going may queue script code).
        const TVarType t = o.FType;
        const std::int64_t payload = o.FCur;
        if (o.HasBox()) o.FBox->AddRef();
        TBox* old = HasBox() ? FBox : nullptr;
        FType = t;
        FCur = payload;
        if (old) old->Release();
        return *this;
    }
    [[gnu::always_inline]] TVariant& operator=(TVariant&& o) noexcept {
        const TVarType t = o.FType;
        const std::int64_t payload = o.FCur;
        o.FType = TVarType::vtEmpty;
        TBox* old = HasBox() ? FBox : nullptr;
        FType = t;
        FCur = payload;
        if (old) old->Release();
        return *this;
    }
    // A new Long in a value that holds no string, array or object.
    void SetLong(std::int32_t v) noexcept {
        FType = TVarType::vtLong;
        FWhole = v;
    }
    // Empty again.
    void Clear() noexcept {
        TBox* old = HasBox() ? FBox : nullptr;
        FType = TVarType::vtEmpty;
        if (old) old->Release();
    }
    ~TVariant() { Drop(); }

    [[nodiscard]] static TVariant Null() noexcept { return Make(TVarType::vtNull); }
    [[nodiscard]] static TVariant Boolean(bool b) noexcept {
        return Whole(TVarType::vtBoolean, b ? -1 : 0);
    }
    [[nodiscard]] static TVariant Integer(std::int16_t v) noexcept {
        return Whole(TVarType::vtInteger, v);
    }
    [[nodiscard]] static TVariant Long(std::int32_t v) noexcept {
        return Whole(TVarType::vtLong, v);
    }
    [[nodiscard]] static TVariant Byte(std::uint8_t v) noexcept {
        return Whole(TVarType::vtByte, v);
    }
    [[nodiscard]] static TVariant Single(float v) noexcept { return Real(TVarType::vtSingle, v); }
    [[nodiscard]] static TVariant Double(double v) noexcept { return Real(TVarType::vtDouble, v); }
    [[nodiscard]] static TVariant Date(double v) noexcept { return Real(TVarType::vtDate, v); }
    // Currency: the amount times 10,000.
    [[nodiscard]] static TVariant Currency(std::int64_t scaled) noexcept {
        TVariant v = Make(TVarType::vtCurrency);
        v.FCur = scaled;
        return v;
    }
    [[nodiscard]] static TVariant String(std::string s);
    [[nodiscard]] static TVariant Object(TScriptObject* obj) noexcept;
    [[nodiscard]] static TVariant Nothing() noexcept { return Make(TVarType::vtObject); }
    [[nodiscard]] static TVariant Array(TScriptArray arr);
    // The mark of an argument left out ("f(1, , 3)").
    [[nodiscard]] static TVariant Missing() noexcept;
    [[nodiscard]] static TVariant Ref(TVariant* target) noexcept {
        TVariant v = Make(TVarType::vtRef);
        v.FTarget = target;
        return v;
    }

    [[nodiscard]] TVarType Type() const noexcept { return FType; }
    [[nodiscard]] bool IsEmpty() const noexcept { return FType == TVarType::vtEmpty; }
    [[nodiscard]] bool IsNull() const noexcept { return FType == TVarType::vtNull; }
    [[nodiscard]] bool IsString() const noexcept { return FType == TVarType::vtString; }
    [[nodiscard]] bool IsObject() const noexcept { return FType == TVarType::vtObject; }
    [[nodiscard]] bool IsArray() const noexcept { return FType == TVarType::vtArray; }
    [[nodiscard]] bool IsMissing() const noexcept { return FType == TVarType::vtError; }
    [[nodiscard]] bool IsRef() const noexcept { return FType == TVarType::vtRef; }
    // Integer, Long, Byte, Single, Double, Currency, Boolean, Date or Empty: a value arithmetic
    // reads as is.
    [[nodiscard]] bool IsNumberLike() const noexcept {
        return FType <= TVarType::vtDate && FType != TVarType::vtNull;
    }
    // Integer, Long or Byte.
    [[nodiscard]] bool IsWhole() const noexcept {
        return FType >= TVarType::vtByte && FType <= TVarType::vtLong;
    }

    // The raw payloads; each is meaningful only for its own types.
    [[nodiscard]] std::int32_t WholeValue() const noexcept { return FWhole; }
    [[nodiscard]] double RealValue() const noexcept { return FReal; }
    [[nodiscard]] std::int64_t CurrencyValue() const noexcept { return FCur; }
    [[nodiscard]] bool BoolValue() const noexcept { return FWhole != 0; }
    [[nodiscard]] const std::string& Str() const noexcept;
    [[nodiscard]] TScriptObject* ObjPtr() const noexcept;
    [[nodiscard]] TRef<TScriptObject> Obj() const noexcept;
    [[nodiscard]] const TScriptArray& Arr() const noexcept;
    // The array for writing: a shared array is copied first, so other holders keep theirs.
    [[nodiscard]] TScriptArray& MutableArr();
    [[nodiscard]] TVariant* RefTarget() const noexcept { return FTarget; }
    // The holders of a string, array or object (0 for other values).
    [[nodiscard]] std::uint32_t BoxRefs() const noexcept { return HasBox() ? FBox->Refs() : 0; }
    // The same string, array or object as another value holds.
    [[nodiscard]] bool SameBox(const TVariant& o) const noexcept {
        return HasBox() && o.HasBox() && FBox == o.FBox;
    }
    // Appends to a string held by no one else, in place; false (nothing done) otherwise.
    bool AppendInPlace(std::string_view text);
    // True when the text is known to hold only bytes below 0x80 (every character one unit).
    [[nodiscard]] bool IsAsciiText() const noexcept;

    // Numbers of every kind as a double (Empty 0, True -1); meaningless for other types.
    [[nodiscard]] double AsDouble() const noexcept;

private:
    [[nodiscard]] static TVariant Make(TVarType t) noexcept {
        TVariant v;
        v.FType = t;
        return v;
    }
    [[nodiscard]] static TVariant Whole(TVarType t, std::int32_t i) noexcept {
        TVariant v;
        v.FType = t;
        v.FWhole = i;
        return v;
    }
    [[nodiscard]] static TVariant Real(TVarType t, double d) noexcept {
        TVariant v;
        v.FType = t;
        v.FReal = d;
        return v;
    }
    [[nodiscard]] bool HasBox() const noexcept {
        return FType >= TVarType::vtString && FBox != nullptr;
    }
    void Drop() noexcept {
        if (HasBox()) FBox->Release();
    }

    TVarType FType = TVarType::vtEmpty;
    union {
        std::int64_t FCur;    // Currency; also clears the whole payload
        std::int32_t FWhole;  // Integer, Long, Byte, Boolean (-1 / 0), Error
        double FReal;         // Single, Double, Date
        TBox* FBox;           // String, Object (null for Nothing), Array
        TVariant* FTarget;    // Ref
    };
};

// An array of one or more dimensions, each from 0 to its upper bound, stored in column order of
// the first index (the last index varies slowest). An array declared with its size is fixed.
struct TScriptArray {
    std::vector<std::int32_t> Upper;  // one upper bound per dimension; none for an empty array
    std::vector<TVariant> Items;
    bool Fixed = false;
};

}  // namespace rekna
