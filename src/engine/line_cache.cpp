// The line cache: context generations, validity of a kept result, and dropping old results.
#include "engine/line_cache.h"

#include <algorithm>

#include "engine/vari_list.h"

namespace rekna {

namespace {

bool SameSettings(const TNumberSettings& a, const TNumberSettings& b) noexcept {
    // Every field takes part: a new field must be added here, which this check recalls.
    static_assert(sizeof(TNumberSettings) == 104, "compare the new number setting below");
    return a.Fractional == b.Fractional && a.RoundFuzz == b.RoundFuzz &&
           a.AngleUnit == b.AngleUnit && a.InpEng == b.InpEng && a.InpEngStrict == b.InpEngStrict &&
           a.InpPercent == b.InpPercent && a.InpN10 == b.InpN10 && a.InpN60 == b.InpN60 &&
           a.InpDb == b.InpDb && a.DbUnit == b.DbUnit && a.TimUnit == b.TimUnit &&
           a.AnsFormat == b.AnsFormat && a.AnsFormat60 == b.AnsFormat60 &&
           a.CplxFormat == b.CplxFormat && a.ImagChar == b.ImagChar && a.AnsLength == b.AnsLength &&
           a.AnsHide0 == b.AnsHide0 && a.AnsEng0 == b.AnsEng0 && a.AnsEng1 == b.AnsEng1 &&
           a.AnsExpMin == b.AnsExpMin && a.AnsExpMax == b.AnsExpMax && a.AnsFixMin == b.AnsFixMin &&
           a.AnsFixMax == b.AnsFixMax && a.AnsColChar == b.AnsColChar &&
           a.AnsColNon == b.AnsColNon && a.AnsColExp == b.AnsColExp && a.AnsColFix == b.AnsColFix &&
           a.AnsColN2 == b.AnsColN2 && a.AnsColN16 == b.AnsColN16 && a.UsrFormat == b.UsrFormat &&
           a.AnsN2Exp == b.AnsN2Exp && a.AnsN16Exp == b.AnsN16Exp && a.LogN16 == b.LogN16 &&
           a.LogFrac == b.LogFrac;
}

bool SameProps(const TDisplayProps& a, const TDisplayProps& b) noexcept {
    return a.AnsFormat == b.AnsFormat && a.AnsFormat60 == b.AnsFormat60 &&
           a.CplxFormat == b.CplxFormat && a.ImagChar == b.ImagChar;
}

bool SameSwitches(const TCompileSwitches& a, const TCompileSwitches& b) noexcept {
    return a.FullWidth == b.FullWidth && a.WideMul == b.WideMul && a.WideDiv == b.WideDiv;
}

bool Valid(const TLineResult& r, std::uint64_t context, bool logged, std::uint64_t funcShape,
           const TVariList& vars) {
    if (r.Context != context || r.Logged != logged || r.FuncShape != funcShape) return false;
    // Without creations the names resolve as they did; ids are never reused before a clear,
    // which empties the cache.
    if (r.VarShape != vars.Shape()) {
        for (const TEvalTrace::TLookup& name : r.Names) {
            if (vars.Find(name.Name) != name.Id) return false;
        }
    }
    for (const TEvalTrace::TInput& in : r.Inputs) {
        if (in.Id < 0 || in.Id >= vars.Count()) return false;
        const TVarItem& item = vars.Item(in.Id);
        if (((item.Flags & vfError) != 0) != in.Error || !SameBits(item.Value, in.Value))
            return false;
    }
    return true;
}

// What a result holds on the heap and in place, with the text it is kept by and the map's node
// for it; close enough to keep the cache's size in check.
std::size_t Footprint(std::string_view text, const TLineResult& r) {
    constexpr std::size_t kNode = 64;
    std::size_t bytes = sizeof(TLineResult) + kNode + text.size() + r.Data.capacity() +
                        r.Answer.capacity() + r.Log.capacity() +
                        r.Inputs.capacity() * sizeof(TEvalTrace::TInput) +
                        r.Writes.capacity() * sizeof(std::pair<int, TCplx>) +
                        r.Names.capacity() * sizeof(TEvalTrace::TLookup);
    for (const TEvalTrace::TLookup& name : r.Names) bytes += name.Name.capacity();
    return bytes;
}

}  // namespace

template <class TDrop>
void TLineCache::DropWhere(TDrop drop) {
    for (auto it = FMap.begin(); it != FMap.end();) {
        auto& variants = it->second;
        std::erase_if(variants, [this, &drop](const TLineResult& r) {
            if (!drop(r)) return false;
            FBytes -= r.Bytes;
            return true;
        });
        it = variants.empty() ? FMap.erase(it) : std::next(it);
    }
}

void TLineCache::SetLimit(std::size_t bytes) {
    FLimit = bytes;
    if (FBytes > FLimit) DropWhere([](const TLineResult&) { return true; });
}

std::uint64_t TLineCache::Context(const TNumberSettings& settings, const TCompileSwitches& switches,
                                  const TDisplayProps& props, const TDisplayProps& copies) {
    if (FHaveContext && SameSwitches(switches, FSwitches) && SameProps(props, FProps) &&
        SameProps(copies, FCopies) && SameSettings(settings, FSettings))
        return FContextGeneration;
    FHaveContext = true;
    FSettings = settings;
    FSwitches = switches;
    FProps = props;
    FCopies = copies;
    // A context seen before gets a new generation too: its results may be stale by now.
    return ++FContextGeneration;
}

const TLineResult* TLineCache::Find(std::string_view text, std::uint64_t context, bool logged,
                                    std::uint64_t funcShape, const TVariList& vars) {
    const auto it = FMap.find(text);
    if (it == FMap.end()) return nullptr;
    for (TLineResult& r : it->second) {
        if (!Valid(r, context, logged, funcShape, vars)) continue;
        if (r.Used != FRun) ++FUsedThisRun;
        r.Used = FRun;
        return &r;
    }
    return nullptr;
}

void TLineCache::Store(std::string_view text, TLineResult result) {
    result.Used = FRun;
    result.Bytes = Footprint(text, result);
    if (FBytes + result.Bytes > FLimit) {
        // Once a run at most, so that a memo past the limit does not sweep at every line.
        if (FSweptRun != FRun) {
            FSweptRun = FRun;
            DropWhere([this](const TLineResult& r) { return r.Used != FRun; });
        }
        if (FBytes + result.Bytes > FLimit) return;
    }
    ++FUsedThisRun;
    auto it = FMap.find(text);
    if (it == FMap.end()) it = FMap.emplace(std::string(text), std::vector<TLineResult>()).first;
    std::vector<TLineResult>& variants = it->second;
    FBytes += result.Bytes;
    if (variants.size() < kVariants) {
        variants.push_back(std::move(result));
        return;
    }
    // The variant used longest ago gives way.
    auto oldest = std::min_element(
        variants.begin(), variants.end(),
        [](const TLineResult& a, const TLineResult& b) { return a.Used < b.Used; });
    FBytes -= oldest->Bytes;
    *oldest = std::move(result);
}

void TLineCache::NewRun() {
    FUsedLastRun = FUsedThisRun;
    FUsedThisRun = 0;
    ++FRun;
    if (FMap.size() <= 2 * FUsedLastRun + 1024 && FBytes <= FLimit) return;
    // Past the limit, what the last run did not use goes too.
    const std::uint64_t unused = FBytes > FLimit ? 1 : 2;
    DropWhere([this, unused](const TLineResult& r) { return r.Used + unused < FRun; });
}

void TLineCache::Clear() noexcept {
    FMap.clear();
    FBytes = 0;
    FUsedThisRun = FUsedLastRun = 0;
}

}  // namespace rekna
