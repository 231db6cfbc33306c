// The packed dependencies of a line: keys, the sorted read list, the writes and their comparison.
#include "engine/line_deps.h"

#include <algorithm>
#include <cstring>

#include "engine/vari_list.h"
#include "numbers/packed_value.h"

namespace rekna {

namespace {

// Unsigned words of seven bits a byte.
void PutWord(std::string& out, std::uint32_t v) {
    for (; v >= 0x80; v >>= 7)
        out.push_back(static_cast<char>(v | 0x80));
    out.push_back(static_cast<char>(v));
}

}  // namespace

TDepKey NameKey(std::string_view lowerName) noexcept {
    std::uint32_t h = 2166136261U;
    for (const char c : lowerName) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619U;
    }
    return h | kNameKeyBit;
}

TDepKey ScriptStateKey() noexcept {
    // No variable or function name holds "#".
    static const TDepKey key = NameKey("#>");
    return key;
}

void TLineDeps::Clear() noexcept {
    Flags = 0;
    Reads.clear();
    Writes.clear();
    Functions.clear();
}

void TLineDeps::TakeWrites(const TVariList& vars) {
    for (const int id : vars.LineChanges()) {
        if (id < 0 || id >= vars.Count()) continue;
        const TVariList::TFlagChange change = vars.LineFlagChange(id);
        Writes.push_back({id, change.And, change.Or, vars.Item(id).Value});
    }
}

std::string TLineDeps::Pack() const {
    std::vector<TDepKey> reads = Reads;
    std::sort(reads.begin(), reads.end());
    reads.erase(std::unique(reads.begin(), reads.end()), reads.end());
    std::vector<const TWrite*> writes;
    writes.reserve(Writes.size());
    for (const TWrite& w : Writes)
        writes.push_back(&w);
    // The last write of an id stands.
    std::stable_sort(writes.begin(), writes.end(),
                     [](const TWrite* a, const TWrite* b) { return a->Id < b->Id; });
    std::vector<const TWrite*> kept;
    for (std::size_t i = 0; i < writes.size(); ++i) {
        if (i + 1 < writes.size() && writes[i + 1]->Id == writes[i]->Id) continue;
        kept.push_back(writes[i]);
    }
    auto functions = Functions;
    std::string out;
    out.push_back(static_cast<char>(Flags));
    PutWord(out, static_cast<std::uint32_t>(reads.size()));
    TDepKey last = 0;
    for (const TDepKey key : reads) {
        PutWord(out, key - last);
        last = key;
    }
    PutWord(out, static_cast<std::uint32_t>(kept.size() + functions.size()));
    for (const TWrite* w : kept) {
        PutWord(out, static_cast<std::uint32_t>(w->Id));
        out.push_back(static_cast<char>(w->And));
        out.push_back(static_cast<char>(w->Or));
        unsigned char packed[kPackedValueMax];
        out.append(reinterpret_cast<const char*>(packed), PackValue(w->Value, packed));
    }
    std::sort(functions.begin(), functions.end(),
              [](const auto& a, const auto& b) { return NameKey(a.first) < NameKey(b.first); });
    for (const auto& [name, hash] : functions) {
        PutWord(out, NameKey(name));
        PutWord(out, static_cast<std::uint32_t>(name.size()));
        out += name;
        char bytes[sizeof hash];
        std::memcpy(bytes, &hash, sizeof hash);
        out.append(bytes, sizeof hash);
    }
    // A line that read and wrote nothing and is nothing special needs no bytes.
    if (out.size() == 3 && Flags == 0) out.clear();
    return out;
}

TDepKey TDepsView::ReadWord(const unsigned char*& p) noexcept {
    std::uint32_t v = 0;
    for (int shift = 0;; shift += 7) {
        const unsigned char b = *p++;
        v |= static_cast<std::uint32_t>(b & 0x7F) << shift;
        if (b < 0x80) break;
    }
    return v;
}

std::size_t TDepsView::WriteSize(TDepKey key, const unsigned char* p) noexcept {
    if (IsNameKey(key)) {
        const unsigned char* q = p;
        const std::uint32_t length = ReadWord(q);
        return static_cast<std::size_t>(q - p) + length + sizeof(std::uint32_t);
    }
    return 2 + PackedValueSize(p[2]);
}

std::size_t TDepsView::FirstWriteSize(std::string_view writes) noexcept {
    const auto* start = reinterpret_cast<const unsigned char*>(writes.data());
    const unsigned char* p = start;
    const TDepKey key = ReadWord(p);
    return static_cast<std::size_t>(p - start) + WriteSize(key, p);
}

std::string_view TDepsView::FunctionName(std::string_view write) noexcept {
    const auto* p = reinterpret_cast<const unsigned char*>(write.data());
    if (!IsNameKey(ReadWord(p))) return {};
    const std::uint32_t length = ReadWord(p);
    return {reinterpret_cast<const char*>(p), length};
}

TDepsView::TDepsView(std::string_view packed) noexcept {
    if (packed.empty()) return;
    const auto* p = reinterpret_cast<const unsigned char*>(packed.data());
    FFlags = *p++;
    FReadCount = ReadWord(p);
    FReads = p;
    for (std::uint32_t n = FReadCount; n > 0; --n)
        (void)ReadWord(p);
    FWriteCount = ReadWord(p);
    FWrites = p;
}

bool TDepsView::ReadsAny(const std::vector<TDepKey>& keys) const noexcept {
    if (keys.empty() || FReadCount == 0) return false;
    const unsigned char* p = FReads;
    TDepKey key = 0;
    auto it = keys.begin();
    for (std::uint32_t n = FReadCount; n > 0; --n) {
        key += ReadWord(p);
        while (it != keys.end() && *it < key)
            ++it;
        if (it == keys.end()) return false;
        if (*it == key) return true;
    }
    return false;
}

TDepKey TDepsView::KeyOf(std::string_view write) noexcept {
    const auto* p = reinterpret_cast<const unsigned char*>(write.data());
    return ReadWord(p);
}

void TDepsView::Apply(std::string_view write, TVariList& vars) noexcept {
    const auto* p = reinterpret_cast<const unsigned char*>(write.data());
    const TDepKey key = ReadWord(p);
    if (IsNameKey(key)) return;
    const TVariList::TFlagChange change{p[0], p[1]};
    TCplx value;
    UnpackValue(p + 2, value);
    vars.Restore(static_cast<int>(key), change, value);
}

bool TDepKeySet::Contains(TDepKey key) const noexcept {
    return std::binary_search(FKeys.begin(), FKeys.end(), key);
}

void TDepKeySet::Insert(TDepKey key) {
    const auto it = std::lower_bound(FKeys.begin(), FKeys.end(), key);
    if (it == FKeys.end() || *it != key) FKeys.insert(it, key);
}

void TDepKeySet::Erase(TDepKey key) noexcept {
    const auto it = std::lower_bound(FKeys.begin(), FKeys.end(), key);
    if (it != FKeys.end() && *it == key) FKeys.erase(it);
}

void TDepKeySet::InsertAll(const TDepKeySet& other) {
    std::vector<TDepKey> merged;
    merged.reserve(FKeys.size() + other.FKeys.size());
    std::set_union(FKeys.begin(), FKeys.end(), other.FKeys.begin(), other.FKeys.end(),
                   std::back_inserter(merged));
    FKeys.swap(merged);
}

bool TDepKeySet::MeetsSorted(const std::vector<TDepKey>& sorted) const noexcept {
    if (FKeys.empty() || sorted.empty()) return false;
    if (FKeys.size() * 8 < sorted.size()) {
        for (const TDepKey key : FKeys) {
            if (std::binary_search(sorted.begin(), sorted.end(), key)) return true;
        }
        return false;
    }
    auto a = FKeys.begin();
    auto b = sorted.begin();
    while (a != FKeys.end() && b != sorted.end()) {
        if (*a < *b) {
            ++a;
        } else if (*b < *a) {
            ++b;
        } else {
            return true;
        }
    }
    return false;
}

void CompareWrites(const TDepsView& before, const TDepsView& after, TDepKeySet& changed,
                   const TVariList& vars) {
    const auto change = [&changed, &vars](std::string_view write) {
        changed.Insert(TDepsView::KeyOf(write));
        const std::string_view function = TDepsView::FunctionName(write);
        if (function.empty()) return;
        if (const int id = vars.Find(function); id >= 0) changed.Insert(static_cast<TDepKey>(id));
    };
    std::vector<std::string_view> old;
    old.reserve(before.WriteCount());
    before.ForEachWrite([&old](TDepKey, std::string_view bytes) { old.push_back(bytes); });
    std::size_t i = 0;
    after.ForEachWrite([&](TDepKey key, std::string_view bytes) {
        while (i < old.size() && TDepsView::KeyOf(old[i]) < key)
            change(old[i++]);
        if (i < old.size() && TDepsView::KeyOf(old[i]) == key) {
            if (old[i] == bytes) {
                changed.Erase(key);
            } else {
                change(bytes);
            }
            ++i;
        } else {
            change(bytes);
        }
    });
    for (; i < old.size(); ++i)
        change(old[i]);
}

}  // namespace rekna
