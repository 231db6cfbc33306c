// TLineCache: the results of sheet lines kept by their text, replayed while nothing they read
// has changed.
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/compiler.h"
#include "engine/directives.h"
#include "engine/evaluator.h"
#include "engine/line_hint.h"
#include "numbers/calc_error.h"
#include "numbers/line_answer.h"
#include "numbers/number_settings.h"

namespace rekna {

class TVariList;

// What a line calculation did and left, with what it depended on. The cache keeps it packed
// into one block of bytes and gives it back in this form.
struct TLineResult {
    // Valid while these hold.
    std::uint64_t Context = 0;    // generation of the settings, switches and display values
    bool Logged = false;          // calculated with the log on
    std::uint64_t FuncShape = 0;  // the user functions' shape
    std::uint64_t VarShape = 0;   // the variables' shape; when it differs the names are checked
    std::vector<TEvalTrace::TLookup> Names;  // every name of the line, with the id it had
    std::vector<TEvalTrace::TInput> Inputs;  // every variable the line touched, as it was

    bool Ran = false;  // it compiled and was evaluated

    // What it left: the rendered formula (Note), the answer text (Result), the value, the
    // packed log (log_pack.h; empty without a log) and what it wrote into the variables, Ans
    // among them (line_deps.h), shared with the rows that show it.
    TLineAnswerRef Answer;
    long double AnsRe = 0, AnsIm = 0;
    TCalcErr Err = TCalcErr::ceNone;
    bool Ok = false;
    int FpFlags = 0;
};

class TLineCache {
public:
    // At most this many results are kept for one text (the same line with different inputs).
    static constexpr std::size_t kVariants = 8;

    // The generation of the given context: it changes whenever the context differs from the one
    // seen last.
    std::uint64_t Context(const TNumberSettings& settings, const TCompileSwitches& switches,
                          const TDisplayProps& props, const TDisplayProps& copies);

    // A result of the text that is valid now, or null: without the names and inputs it
    // depended on, valid until the next call, and the caller's to take its texts from. A hint
    // kept by the caller for the place the text comes from (a memo row) is tried first and
    // left pointing at the result found.
    [[nodiscard]] TLineResult* Find(std::string_view text, std::uint64_t context, bool logged,
                                    std::uint64_t funcShape, const TVariList& vars,
                                    TLineHint* hint = nullptr);
    void Store(std::string_view text, TLineResult result);

    // A sheet run starts: results that no run used for two runs are dropped once the cache
    // holds many more than a run uses, or more bytes than its limit.
    void NewRun();
    void Clear() noexcept;

    // The cache never holds more than this many bytes (results, their texts and lists, and the
    // texts they are kept by): past it, results the current run has not used are dropped, and
    // when that is not enough a new result is not kept (its line is calculated every time).
    static constexpr std::size_t kDefaultLimit = std::size_t{48} << 20;
    void SetLimit(std::size_t bytes);
    [[nodiscard]] std::size_t Limit() const noexcept { return FLimit; }
    [[nodiscard]] std::size_t Bytes() const noexcept { return FBytes; }
    // The results kept (one text may have several).
    [[nodiscard]] std::size_t Size() const noexcept { return FCount; }

private:
    // A kept result, all of it packed into one block: a head with what decides at once whether
    // it may hold, then the text, names, inputs, values and texts, so that a lookup touches the
    // table and the block and nothing else. The table is open-addressed: a slot is the block and,
    // apart, a byte of the text's hash, so that most slots of other texts are passed without
    // touching their blocks. The variants of one text lie in the same probe run.
    struct THead {
        std::uint64_t Context = 0;
        std::uint64_t FuncShape = 0;
        std::uint64_t VarShape = 0;
        std::uint64_t Used = 0;  // the run that used it last
        std::uint32_t Size = 0;  // bytes of the block
        bool Logged = false;
        TLineAnswerRef Answer;
    };
    // Frees a block and drops its head's answer reference.
    struct TBlockDeleter {
        void operator()(unsigned char* block) const noexcept {
            std::launder(reinterpret_cast<THead*>(block))->~THead();
            delete[] block;
        }
    };
    using TBlock = std::unique_ptr<unsigned char[], TBlockDeleter>;
    [[nodiscard]] static THead& HeadOf(unsigned char* block) noexcept {
        return *std::launder(reinterpret_cast<THead*>(block));
    }
    [[nodiscard]] static std::uint64_t HashOf(std::string_view text) noexcept {
        return std::hash<std::string_view>{}(text);
    }
    [[nodiscard]] static std::uint8_t TagOf(std::uint64_t hash) noexcept {
        return static_cast<std::uint8_t>(hash >> 56);
    }
    // What a kept result holds, with its share of the table (kept under 70% full) and the
    // answer block (also when rows share it: the rows may let go of it first).
    [[nodiscard]] static std::size_t BytesOf(const THead& head) noexcept;

    [[nodiscard]] static TBlock Pack(std::string_view text, TLineResult&& result);
    [[nodiscard]] static std::string_view KeyOf(const unsigned char* block) noexcept;
    [[nodiscard]] static bool Valid(const unsigned char* block, std::uint64_t context, bool logged,
                                    std::uint64_t funcShape, const TVariList& vars);
    void Unpack(const unsigned char* block);
    // Marks the block used by this run and unpacks it into FHit.
    TLineResult* Hit(unsigned char* block, TLineHint* hint);
    // A table of the given number of slots (a power of two) holding the same entries.
    void Rehash(std::size_t slots);

    // Drops the results for which drop holds.
    template <class TDrop> void DropWhere(TDrop drop);

    std::vector<TBlock> FSlots;       // null: an empty slot
    std::vector<std::uint8_t> FTags;  // by slot: TagOf the hash of its block's text
    std::size_t FCount = 0;           // occupied slots
    // Changes whenever a block may have been freed; no two caches ever share a value.
    std::uint64_t FEpoch = NewEpoch();
    [[nodiscard]] static std::uint64_t NewEpoch() noexcept;
    TLineResult FHit;  // the result Find gave last, unpacked
    std::size_t FLimit = kDefaultLimit;
    std::size_t FBytes = 0;
    std::uint64_t FSweptRun = 0;  // the run in which results were last dropped for room
    std::uint64_t FRun = 1;
    std::size_t FUsedThisRun = 0;
    std::size_t FUsedLastRun = 0;

    bool FHaveContext = false;
    std::uint64_t FContextGeneration = 0;
    TNumberSettings FSettings;
    TCompileSwitches FSwitches;
    TDisplayProps FProps;
    TDisplayProps FCopies;
};

}  // namespace rekna
