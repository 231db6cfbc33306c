// The line cache: context generations, validity of a kept result, and dropping old results.
#include "engine/line_cache.h"

#include <algorithm>
#include <atomic>
#include <cfenv>
#include <cstring>
#include <limits>
#include <new>

#include "engine/vari_list.h"
#include "numbers/packed_value.h"

namespace rekna {

namespace {

// The packed form: counts, ids and lengths as variable-length words (seven bits a byte, the sign
// folded into the lowest bit), values packed (numbers/packed_value.h), everything byte-aligned.
// What the line left for its row is not in the block but in the answer block its head refers to.
static_assert(std::numeric_limits<long double>::digits == 64, "80-bit extended numbers");
constexpr std::size_t kNumberBytes = 10;

bool SameNumber(long double a, long double b) noexcept {
    return std::memcmp(&a, &b, kNumberBytes) == 0;
}

// Flag bits beside Ran and Ok: Ans's parts are left out.
constexpr std::uint8_t kAnsOfValue = 16, kAnsZero = 32;

class TWriter {
public:
    std::vector<unsigned char> Bytes;
    void Raw(const void* p, std::size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        Bytes.insert(Bytes.end(), b, b + n);
    }
    void Word(std::int32_t v) {
        auto u = (static_cast<std::uint32_t>(v) << 1) ^ static_cast<std::uint32_t>(v >> 31);
        for (; u >= 0x80; u >>= 7)
            Bytes.push_back(static_cast<unsigned char>(u | 0x80));
        Bytes.push_back(static_cast<unsigned char>(u));
    }
    // A fixed four-byte word, to be filled in later (Patch).
    std::size_t Slot() {
        Bytes.resize(Bytes.size() + 4);
        return Bytes.size() - 4;
    }
    void Patch(std::size_t at, std::uint32_t v) { std::memcpy(Bytes.data() + at, &v, sizeof v); }
    void Byte(std::uint8_t v) { Bytes.push_back(v); }
    void Number(long double x) { Raw(&x, kNumberBytes); }
    void Value(const TCplx& v) {
        unsigned char packed[kPackedValueMax];
        Raw(packed, PackValue(v, packed));
    }
    void Text(std::string_view t) {
        Word(static_cast<std::int32_t>(t.size()));
        Raw(t.data(), t.size());
    }
};

class TReader {
public:
    explicit TReader(const unsigned char* p) : FAt(p) {}
    std::int32_t Word() {
        std::uint32_t u = 0;
        for (int shift = 0;; shift += 7) {
            const unsigned char b = *FAt++;
            u |= static_cast<std::uint32_t>(b & 0x7F) << shift;
            if (b < 0x80) break;
        }
        return static_cast<std::int32_t>((u >> 1) ^ (0u - (u & 1)));
    }
    std::uint32_t Fixed() {
        std::uint32_t v;
        std::memcpy(&v, FAt, sizeof v);
        FAt += sizeof v;
        return v;
    }
    std::uint8_t Byte() { return *FAt++; }
    long double Number() {
        long double x = 0;
        std::memcpy(&x, FAt, kNumberBytes);
        FAt += kNumberBytes;
        return x;
    }
    TCplx Value() {
        TCplx v;
        FAt += UnpackValue(FAt, v);
        return v;
    }
    // The value's bytes equal the packed ones (SameBits).
    bool SameValue(const TCplx& v) { return SameBits(Value(), v); }
    void SkipValue() { FAt += PackedValueSize(*FAt); }
    std::string_view Text() {
        const auto n = static_cast<std::size_t>(Word());
        const std::string_view t(reinterpret_cast<const char*>(FAt), n);
        FAt += n;
        return t;
    }
    void Skip(std::size_t n) { FAt += n; }

private:
    const unsigned char* FAt;
};

// The allocator's own share of a packed block.
constexpr std::size_t kBlock = 16;

}  // namespace

TLineCache::TBlock TLineCache::Pack(std::string_view text, TLineResult&& r) {
    TWriter w;
    w.Bytes.resize(sizeof(THead));  // the head, put in place below
    w.Text(text);
    const std::size_t inputsAt = w.Slot();  // where the inputs start, filled in below
    w.Word(static_cast<std::int32_t>(r.Names.size()));
    for (const TEvalTrace::TLookup& name : r.Names) {
        w.Word(name.Id);
        w.Text(name.Name);
    }
    w.Patch(inputsAt, static_cast<std::uint32_t>(w.Bytes.size()));
    w.Word(static_cast<std::int32_t>(r.Inputs.size()));
    for (const TEvalTrace::TInput& in : r.Inputs) {
        w.Word(in.Id);
        w.Byte(in.Error ? 1 : 0);
        w.Value(in.Value);
    }
    // Ans's parts are mostly those of the value, or zero after a failure. Working them out
    // leaves the floating-point flags of the calculation as they were.
    const TCplx value = r.Answer.Value();
    std::fexcept_t flags;
    std::fegetexceptflag(&flags, FE_ALL_EXCEPT);
    const bool ansOfValue =
        SameNumber(r.AnsRe, value.Re.Value()) && SameNumber(r.AnsIm, value.Im.Value());
    std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
    const bool ansZero = SameNumber(r.AnsRe, 0.0L) && SameNumber(r.AnsIm, 0.0L);
    w.Byte(static_cast<std::uint8_t>((r.Ran ? 1 : 0) | (r.Ok ? 8 : 0) |
                                     (ansOfValue ? kAnsOfValue : 0) |
                                     (!ansOfValue && ansZero ? kAnsZero : 0)));
    if (!ansOfValue && !ansZero) {
        w.Number(r.AnsRe);
        w.Number(r.AnsIm);
    }
    w.Word(static_cast<std::int32_t>(r.Err));
    w.Word(r.FpFlags);

    TBlock e(new unsigned char[w.Bytes.size()]);
    std::memcpy(e.get(), w.Bytes.data(), w.Bytes.size());
    THead* head = ::new (e.get()) THead;
    head->Context = r.Context;
    head->FuncShape = r.FuncShape;
    head->VarShape = r.VarShape;
    head->Logged = r.Logged;
    head->Answer = std::move(r.Answer);
    head->Size = static_cast<std::uint32_t>(w.Bytes.size());
    return e;
}

bool TLineCache::Valid(const unsigned char* block, std::uint64_t context, bool logged,
                       std::uint64_t funcShape, const TVariList& vars) {
    const THead& head = *std::launder(reinterpret_cast<const THead*>(block));
    if (head.Context != context || head.Logged != logged || head.FuncShape != funcShape)
        return false;
    TReader r(block + sizeof(THead));
    (void)r.Text();
    const std::uint32_t inputs = r.Fixed();
    // Without creations the names resolve as they did; ids are never reused before a clear,
    // which empties the cache.
    if (head.VarShape != vars.Shape()) {
        for (std::int32_t n = r.Word(); n > 0; --n) {
            const std::int32_t id = r.Word();
            if (vars.Find(r.Text()) != id) return false;
        }
    }
    TReader in(block + inputs);
    for (std::int32_t n = in.Word(); n > 0; --n) {
        const std::int32_t id = in.Word();
        const bool error = in.Byte() != 0;
        if (id < 0 || id >= vars.Count()) return false;
        const TVarItem& item = vars.Item(id);
        if (((item.Flags & vfError) != 0) != error || !in.SameValue(item.Value)) return false;
    }
    return true;
}

void TLineCache::Unpack(const unsigned char* block) {
    // A replay needs what the line did and left, not what it depended on: the names and the
    // inputs are skipped.
    TLineResult& h = FHit;
    const THead& head = *std::launder(reinterpret_cast<const THead*>(block));
    h.Context = head.Context;
    h.Logged = head.Logged;
    h.FuncShape = head.FuncShape;
    h.VarShape = head.VarShape;
    h.Names.clear();
    h.Inputs.clear();
    TReader start(block + sizeof(THead));
    (void)start.Text();
    TReader r(block + start.Fixed());
    for (std::int32_t n = r.Word(); n > 0; --n) {
        (void)r.Word();
        r.Skip(1);
        r.SkipValue();
    }
    const std::uint8_t flags = r.Byte();
    h.Ran = (flags & 1) != 0;
    h.Ok = (flags & 8) != 0;
    h.Answer = head.Answer;
    if (flags & kAnsOfValue) {
        const TCplx value = h.Answer.Value();
        h.AnsRe = value.Re.Value();
        h.AnsIm = value.Im.Value();
    } else if (flags & kAnsZero) {
        h.AnsRe = h.AnsIm = 0.0L;
    } else {
        h.AnsRe = r.Number();
        h.AnsIm = r.Number();
    }
    h.Err = static_cast<TCalcErr>(r.Word());
    h.FpFlags = r.Word();
}

std::string_view TLineCache::KeyOf(const unsigned char* block) noexcept {
    TReader r(block + sizeof(THead));
    return r.Text();
}

std::size_t TLineCache::BytesOf(const THead& head) noexcept {
    constexpr std::size_t slot = sizeof(TBlock) + sizeof(std::uint8_t);
    const std::size_t answer = head.Answer ? head.Answer->Size() + kBlock : 0;
    return 2 * slot + head.Size + kBlock + answer;
}

void TLineCache::Rehash(std::size_t slots) {
    std::vector<TBlock> old(slots);
    old.swap(FSlots);
    FTags.assign(slots, 0);
    const std::size_t mask = slots - 1;
    for (TBlock& e : old) {
        if (!e) continue;
        const std::uint64_t hash = HashOf(KeyOf(e.get()));
        std::size_t i = hash & mask;
        while (FSlots[i])
            i = (i + 1) & mask;
        FSlots[i] = std::move(e);
        FTags[i] = TagOf(hash);
    }
}

template <class TDrop> void TLineCache::DropWhere(TDrop drop) {
    bool dropped = false;
    for (TBlock& e : FSlots) {
        if (!e || !drop(HeadOf(e.get()))) continue;
        FBytes -= BytesOf(HeadOf(e.get()));
        e.reset();
        --FCount;
        dropped = true;
    }
    // Open addressing finds an entry only through an unbroken run: the survivors go in afresh,
    // into a table that shrinks with them.
    if (!dropped) return;
    FEpoch = NewEpoch();
    std::size_t slots = 16;
    while (FCount * 10 > slots * 7)
        slots *= 2;
    if (FCount == 0) {
        std::vector<TBlock>().swap(FSlots);
        std::vector<std::uint8_t>().swap(FTags);
        return;
    }
    Rehash(slots);
}

void TLineCache::SetLimit(std::size_t bytes) {
    FLimit = bytes;
    if (FBytes > FLimit) DropWhere([](const THead&) { return true; });
}

std::uint64_t TLineCache::Context(const TNumberSettings& settings, const TCompileSwitches& switches,
                                  const TDisplayProps& props, const TDisplayProps& copies) {
    if (FHaveContext && switches == FSwitches && props == FProps && copies == FCopies &&
        settings == FSettings)
        return FContextGeneration;
    FHaveContext = true;
    FSettings = settings;
    FSwitches = switches;
    FProps = props;
    FCopies = copies;
    // A context seen before gets a new generation too: its results may be stale by now.
    return ++FContextGeneration;
}

std::uint64_t TLineCache::NewEpoch() noexcept {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

TLineResult* TLineCache::Hit(unsigned char* block, TLineHint* hint) {
    THead& head = *std::launder(reinterpret_cast<THead*>(block));
    if (head.Used != FRun) ++FUsedThisRun;
    head.Used = FRun;
    if (hint) *hint = {block, FEpoch};
    Unpack(block);
    return &FHit;
}

TLineResult* TLineCache::Find(std::string_view text, std::uint64_t context, bool logged,
                              std::uint64_t funcShape, const TVariList& vars, TLineHint* hint) {
    if (hint && hint->Block && hint->Epoch == FEpoch) {
        // The block is alive: no block has been freed since the hint was taken.
        auto* block = static_cast<unsigned char*>(const_cast<void*>(hint->Block));
        if (KeyOf(block) == text && Valid(block, context, logged, funcShape, vars))
            return Hit(block, hint);
    }
    if (FSlots.empty()) return nullptr;
    const std::uint64_t hash = HashOf(text);
    const std::uint8_t tag = TagOf(hash);
    const std::size_t mask = FSlots.size() - 1;
    for (std::size_t i = hash & mask; FSlots[i]; i = (i + 1) & mask) {
        unsigned char* block = FSlots[i].get();
        if (FTags[i] == tag && KeyOf(block) == text &&
            Valid(block, context, logged, funcShape, vars))
            return Hit(block, hint);
    }
    return nullptr;
}

void TLineCache::Store(std::string_view text, TLineResult result) {
    TBlock entry = Pack(text, std::move(result));
    THead& head = HeadOf(entry.get());
    head.Used = FRun;
    const std::size_t bytes = BytesOf(head);
    if (FBytes + bytes > FLimit) {
        // Once a run at most, so that a memo past the limit does not sweep at every line.
        if (FSweptRun != FRun) {
            FSweptRun = FRun;
            DropWhere([this](const THead& h) { return h.Used != FRun; });
        }
        if (FBytes + bytes > FLimit) return;
    }
    ++FUsedThisRun;
    if ((FCount + 1) * 10 > FSlots.size() * 7) Rehash(FSlots.empty() ? 16 : FSlots.size() * 2);
    const std::size_t mask = FSlots.size() - 1;
    std::size_t variants = 0;
    TBlock* oldest = nullptr;
    const std::uint64_t hash = HashOf(text);
    const std::uint8_t tag = TagOf(hash);
    std::size_t i = hash & mask;
    for (; FSlots[i]; i = (i + 1) & mask) {
        TBlock& e = FSlots[i];
        if (FTags[i] != tag || KeyOf(e.get()) != text) continue;
        ++variants;
        if (!oldest || HeadOf(e.get()).Used < HeadOf(oldest->get()).Used) oldest = &e;
    }
    FBytes += bytes;
    if (variants < kVariants) {
        FSlots[i] = std::move(entry);
        FTags[i] = tag;
        ++FCount;
        return;
    }
    // The variant used longest ago gives way.
    FBytes -= BytesOf(HeadOf(oldest->get()));
    *oldest = std::move(entry);
    FEpoch = NewEpoch();
}

void TLineCache::NewRun() {
    FUsedLastRun = FUsedThisRun;
    FUsedThisRun = 0;
    ++FRun;
    if (FCount <= 2 * FUsedLastRun + 1024 && FBytes <= FLimit) return;
    // Past the limit, what the last run did not use goes too.
    const std::uint64_t unused = FBytes > FLimit ? 1 : 2;
    DropWhere([this, unused](const THead& h) { return h.Used + unused < FRun; });
}

void TLineCache::Clear() noexcept {
    std::vector<TBlock>().swap(FSlots);
    std::vector<std::uint8_t>().swap(FTags);
    FCount = 0;
    FEpoch = NewEpoch();
    FBytes = 0;
    FUsedThisRun = FUsedLastRun = 0;
}

}  // namespace rekna
