// The script language's value: a variant of Empty, Null, numbers, dates, text, objects and arrays.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rekna {

class TScriptObject;
struct TScriptArray;

// The kinds of value, numbered as VarType reports them (an array reports 8192 + 12).
enum class TVarType : std::uint8_t {
    vtEmpty = 0,
    vtNull = 1,
    vtInteger = 2,
    vtLong = 3,
    vtSingle = 4,
    vtDouble = 5,
    vtDate = 7,
    vtString = 8,
    vtObject = 9,
    vtBoolean = 11,
    vtByte = 17,
    vtArray = 36,
};

// A value as scripts see it. Text is CP932 bytes; strings and arrays are shared and never changed
// in place while shared, so copies behave as values; objects are shared by reference.
class TVariant {
public:
    TVariant() noexcept = default;

    [[nodiscard]] static TVariant Null() noexcept { return Make(TVarType::vtNull); }
    [[nodiscard]] static TVariant Boolean(bool b) noexcept;
    [[nodiscard]] static TVariant Integer(std::int16_t v) noexcept;
    [[nodiscard]] static TVariant Long(std::int32_t v) noexcept;
    [[nodiscard]] static TVariant Byte(std::uint8_t v) noexcept;
    [[nodiscard]] static TVariant Single(float v) noexcept;
    [[nodiscard]] static TVariant Double(double v) noexcept;
    [[nodiscard]] static TVariant Date(double v) noexcept;
    [[nodiscard]] static TVariant String(std::string s);
    [[nodiscard]] static TVariant Object(std::shared_ptr<TScriptObject> obj) noexcept;
    [[nodiscard]] static TVariant Nothing() noexcept { return Make(TVarType::vtObject); }
    [[nodiscard]] static TVariant Array(std::shared_ptr<TScriptArray> arr) noexcept;

    [[nodiscard]] TVarType Type() const noexcept { return FType; }
    [[nodiscard]] bool IsEmpty() const noexcept { return FType == TVarType::vtEmpty; }
    [[nodiscard]] bool IsNull() const noexcept { return FType == TVarType::vtNull; }
    [[nodiscard]] bool IsString() const noexcept { return FType == TVarType::vtString; }
    [[nodiscard]] bool IsObject() const noexcept { return FType == TVarType::vtObject; }
    [[nodiscard]] bool IsArray() const noexcept { return FType == TVarType::vtArray; }
    // Integer, Long, Byte, Single, Double, Boolean, Date or Empty: a value arithmetic reads as is.
    [[nodiscard]] bool IsNumberLike() const noexcept;
    // Integer, Long or Byte.
    [[nodiscard]] bool IsWhole() const noexcept;

    // The raw payloads; each is meaningful only for its own types.
    [[nodiscard]] std::int32_t WholeValue() const noexcept { return FWhole; }
    [[nodiscard]] double RealValue() const noexcept { return FReal; }
    [[nodiscard]] bool BoolValue() const noexcept { return FWhole != 0; }
    [[nodiscard]] const std::string& Str() const noexcept;
    [[nodiscard]] std::shared_ptr<TScriptObject> Obj() const noexcept;
    [[nodiscard]] TScriptObject* ObjPtr() const noexcept;
    [[nodiscard]] const TScriptArray& Arr() const noexcept;
    [[nodiscard]] std::shared_ptr<TScriptArray> SharedArr() const noexcept;
    // The array for writing: a shared array is copied first, so other holders keep theirs.
    [[nodiscard]] TScriptArray& MutableArr();

    // Numbers of every kind as a double (Empty 0, True -1); meaningless for other types.
    [[nodiscard]] double AsDouble() const noexcept;

private:
    [[nodiscard]] static TVariant Make(TVarType t) noexcept {
        TVariant v;
        v.FType = t;
        return v;
    }

    TVarType FType = TVarType::vtEmpty;
    union {
        std::int32_t FWhole = 0;  // Integer, Long, Byte, Boolean (-1 / 0)
        double FReal;             // Single, Double, Date
    };
    std::shared_ptr<void> FRef;  // string, object or array
};

// An array of one or more dimensions, each from 0 to its upper bound, stored in column order of
// the first index (the last index varies slowest). An array declared with its size is fixed.
struct TScriptArray {
    std::vector<std::int32_t> Upper;  // one upper bound per dimension; none for an empty array
    std::vector<TVariant> Items;
    bool Fixed = false;
};

}  // namespace rekna
