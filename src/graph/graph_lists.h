// Growable lists of the graph: values, integers and pixel points, with their binary form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rekna {

enum class TAxisScale : std::uint8_t { asNormal, asLog, asAbsLog };

// The largest capacity of any list.
inline constexpr int kMaxListCapacity = 214748364;

// A failed list operation leaves the list unchanged and reports false; the message of the last
// failure stays readable in LastError ("リストのインデックスが範囲を超えています (5)").
class TDynamicList {
public:
    virtual ~TDynamicList() = default;

    [[nodiscard]] int Count() const noexcept { return FCount; }
    [[nodiscard]] int Capacity() const noexcept { return FCapacity; }
    [[nodiscard]] const std::string& LastError() const noexcept { return FLastError; }

    virtual bool SetCapacity(int capacity) = 0;
    virtual bool SetCount(int count);
    virtual void Clear();
    virtual bool Delete(int index) = 0;

protected:
    TDynamicList() = default;
    TDynamicList(const TDynamicList&) = default;
    TDynamicList& operator=(const TDynamicList&) = default;

    // Grows the capacity by the list's rule before an item is appended.
    bool Grow();
    bool CheckIndex(int index);
    bool CheckCapacity(int capacity);

    int FCount = 0;
    int FCapacity = 0;
    std::string FLastError;
};

// Items held in a vector whose size is the capacity.
template <typename T> class TGraphListOf : public TDynamicList {
public:
    bool SetCapacity(int capacity) override {
        if (!CheckCapacity(capacity)) return false;
        FItems.resize(static_cast<std::size_t>(capacity));
        FItems.shrink_to_fit();
        FCapacity = capacity;
        return true;
    }
    bool SetCount(int count) override {
        if (count < 0 || count > kMaxListCapacity) {
            CheckCapacity(count);
            return false;
        }
        if (count > FCapacity && !SetCapacity(count)) return false;
        for (int i = FCount; i < count; ++i)
            FItems[static_cast<std::size_t>(i)] = T{};
        FCount = count;
        return true;
    }
    void Clear() override {
        FItems.clear();
        FItems.shrink_to_fit();
        FCount = 0;
        FCapacity = 0;
    }
    bool Delete(int index) override {
        if (!CheckIndex(index)) return false;
        auto at = FItems.begin() + index;
        std::move(at + 1, FItems.begin() + FCount, at);
        --FCount;
        return true;
    }
    // Appends an item; the index, or -1 when the list is full.
    int Add(const T& item) {
        if (FCount == FCapacity && !Grow()) return -1;
        FItems[static_cast<std::size_t>(FCount)] = item;
        return FCount++;
    }
    // Reads an item; an index outside the list gives a default item and records the error.
    [[nodiscard]] T Get(int index) {
        if (!CheckIndex(index)) return T{};
        return FItems[static_cast<std::size_t>(index)];
    }
    bool Put(int index, const T& item) {
        if (!CheckIndex(index)) return false;
        FItems[static_cast<std::size_t>(index)] = item;
        return true;
    }
    // Unchecked access for loops over 0..Count-1.
    [[nodiscard]] const T& operator[](int index) const noexcept {
        return FItems[static_cast<std::size_t>(index)];
    }
    [[nodiscard]] T& operator[](int index) noexcept {
        return FItems[static_cast<std::size_t>(index)];
    }
    [[nodiscard]] const T* Data() const noexcept { return FItems.data(); }

protected:
    std::vector<T> FItems;
};

struct TGraphPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    friend bool operator==(const TGraphPoint&, const TGraphPoint&) = default;
};

class TGraphIntegerList : public TGraphListOf<std::int32_t> {};
class TGraphPointList : public TGraphListOf<TGraphPoint> {};

class TGraphValueList : public TGraphListOf<long double> {
public:
    // Smallest and largest item and their indexes, valid after UpdateMinMax; NaN when no item
    // counts. asLog skips negative items, asAbsLog counts absolute values and skips zeros.
    void UpdateMinMax(TAxisScale scale);
    [[nodiscard]] long double Min() const noexcept { return FMin; }
    [[nodiscard]] long double Max() const noexcept { return FMax; }
    [[nodiscard]] int MinIndex() const noexcept { return FMinIndex; }
    [[nodiscard]] int MaxIndex() const noexcept { return FMaxIndex; }
    // Ascending, stable.
    void Sort();

private:
    long double FMin = 0;
    long double FMax = 0;
    int FMinIndex = -1;
    int FMaxIndex = -1;
};

// The binary form: a 32-bit little-endian count, then the items packed (values as 10-byte
// extended, integers as 4 bytes, points as two 4-byte integers).
void WriteList(std::string& out, const TGraphValueList& list);
void WriteList(std::string& out, const TGraphIntegerList& list);
void WriteList(std::string& out, const TGraphPointList& list);

// Reads one list at pos and advances pos. A count that is negative or larger than the bytes
// left can hold is refused: the list stays as it was and the result is false.
bool ReadList(std::string_view data, std::size_t& pos, TGraphValueList& list);
bool ReadList(std::string_view data, std::size_t& pos, TGraphIntegerList& list);
bool ReadList(std::string_view data, std::size_t& pos, TGraphPointList& list);

}  // namespace rekna
