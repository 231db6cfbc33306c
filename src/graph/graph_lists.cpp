// Growth, checks, min/max, sorting and the binary form of the graph's lists.
#include "graph/graph_lists.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

#include "platform/cp932.h"

namespace rekna {

static_assert(LDBL_MANT_DIG == 64, "values are streamed as the 80-bit extended type");

namespace {

std::string ErrorText(const char* utf8, long long value) {
    return SysText(utf8) + " (" + std::to_string(value) + ")";
}

void PutU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

bool GetU32(std::string_view data, std::size_t pos, std::uint32_t& v) {
    if (data.size() < 4 || pos > data.size() - 4) return false;
    v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[pos + i])) << (8 * i);
    return true;
}

// The count of a list at pos, accepted only when the bytes left hold that many items.
bool ReadCount(std::string_view data, std::size_t& pos, std::size_t itemSize, int& count) {
    std::uint32_t raw = 0;
    if (!GetU32(data, pos, raw)) return false;
    const auto value = static_cast<std::int32_t>(raw);
    if (value < 0 || value > kMaxListCapacity) return false;
    const std::size_t left = data.size() - pos - 4;
    if (static_cast<std::size_t>(value) > left / itemSize) return false;
    pos += 4;
    count = value;
    return true;
}

template <typename List, typename Item, typename Decode>
bool ReadItems(std::string_view data, std::size_t& pos, List& list, std::size_t itemSize,
               Decode decode) {
    std::size_t at = pos;
    int count = 0;
    if (!ReadCount(data, at, itemSize, count)) return false;
    List fresh;
    if (!fresh.SetCount(count)) return false;
    for (int i = 0; i < count; ++i) {
        fresh[i] = decode(data.data() + at);
        at += itemSize;
    }
    list = std::move(fresh);
    pos = at;
    return true;
}

}  // namespace

bool TDynamicList::SetCount(int count) {
    return count >= 0 && count <= FCapacity ? (FCount = count, true) : false;
}

void TDynamicList::Clear() {
    FCount = 0;
}

bool TDynamicList::Grow() {
    if (FCapacity >= kMaxListCapacity) return CheckCapacity(FCapacity + 1);
    const int delta = FCapacity < 65 ? 16 : FCapacity / 4;
    return SetCapacity(std::min(kMaxListCapacity, FCapacity + delta));
}

bool TDynamicList::CheckIndex(int index) {
    if (index >= 0 && index < FCount) return true;
    FLastError = ErrorText("リストのインデックスが範囲を超えています", index);
    return false;
}

bool TDynamicList::CheckCapacity(int capacity) {
    if (capacity >= FCount && capacity <= kMaxListCapacity) return true;
    FLastError = ErrorText("リストの容量が超えました", capacity);
    return false;
}

void TGraphValueList::UpdateMinMax(TAxisScale scale) {
    FMin = FMax = NAN;
    FMinIndex = FMaxIndex = -1;
    for (int i = 0; i < FCount; ++i) {
        long double v = FItems[static_cast<std::size_t>(i)];
        if (std::isnan(v)) continue;
        if (scale == TAxisScale::asLog && v < 0) continue;
        if (scale == TAxisScale::asAbsLog) {
            v = std::fabs(v);
            if (v == 0) continue;
        }
        if (FMinIndex < 0 || v < FMin) {
            FMin = v;
            FMinIndex = i;
        }
        if (FMaxIndex < 0 || v > FMax) {
            FMax = v;
            FMaxIndex = i;
        }
    }
}

void TGraphValueList::Sort() {
    // NaN items order after every number so the comparison stays a strict weak order.
    std::stable_sort(FItems.begin(), FItems.begin() + FCount, [](long double a, long double b) {
        if (std::isnan(a)) return false;
        return std::isnan(b) || a < b;
    });
}

void WriteList(std::string& out, const TGraphValueList& list) {
    PutU32(out, static_cast<std::uint32_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i) {
        char bytes[sizeof(long double)] = {};
        std::memcpy(bytes, &list[i], sizeof(long double));
        out.append(bytes, 10);
    }
}

void WriteList(std::string& out, const TGraphIntegerList& list) {
    PutU32(out, static_cast<std::uint32_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i)
        PutU32(out, static_cast<std::uint32_t>(list[i]));
}

void WriteList(std::string& out, const TGraphPointList& list) {
    PutU32(out, static_cast<std::uint32_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i) {
        PutU32(out, static_cast<std::uint32_t>(list[i].X));
        PutU32(out, static_cast<std::uint32_t>(list[i].Y));
    }
}

bool ReadList(std::string_view data, std::size_t& pos, TGraphValueList& list) {
    const bool ok = ReadItems<TGraphValueList, long double>(data, pos, list, 10, [](const char* p) {
        long double v = 0;
        std::memcpy(&v, p, 10);
        return v;
    });
    if (ok) list.UpdateMinMax(TAxisScale::asNormal);
    return ok;
}

bool ReadList(std::string_view data, std::size_t& pos, TGraphIntegerList& list) {
    return ReadItems<TGraphIntegerList, std::int32_t>(data, pos, list, 4, [](const char* p) {
        std::uint32_t v = 0;
        GetU32(std::string_view(p, 4), 0, v);
        return static_cast<std::int32_t>(v);
    });
}

bool ReadList(std::string_view data, std::size_t& pos, TGraphPointList& list) {
    return ReadItems<TGraphPointList, TGraphPoint>(data, pos, list, 8, [](const char* p) {
        std::uint32_t x = 0;
        std::uint32_t y = 0;
        GetU32(std::string_view(p, 8), 0, x);
        GetU32(std::string_view(p, 8), 4, y);
        return TGraphPoint{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
    });
}

}  // namespace rekna
