// TLineAnswer: what a calculated line leaves for its row, in one immutable block that the memo's
// row and the line cache share: the rendered formula, the answer text, the value, the packed log
// and what the line read and wrote (engine/line_deps.h keeps that part's form). A line met again
// with the same inputs gets the block the cache already holds, so a memo of many alike lines keeps
// each distinct answer once.
#pragma once

#include "numbers/cplx.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace rekna {

class TLineAnswerRef;

class TLineAnswer {
public:
    // A block holding the five parts. Empty texts with a zero value give no block (null); empty
    // texts with the blank value give one shared block.
    [[nodiscard]] static TLineAnswerRef Make(std::string_view note, std::string_view result,
                                             const TCplx& value, std::string_view log,
                                             std::string_view deps = {});

    [[nodiscard]] std::string_view Note() const noexcept { return Parts().Note; }
    [[nodiscard]] std::string_view Result() const noexcept { return Parts().Result; }
    [[nodiscard]] std::string_view Log() const noexcept { return Parts().Log; }
    [[nodiscard]] std::string_view Deps() const noexcept { return Parts().Deps; }
    [[nodiscard]] TCplx Value() const noexcept;
    // The bytes the block takes.
    [[nodiscard]] std::size_t Size() const noexcept;

    TLineAnswer(const TLineAnswer&) = delete;
    TLineAnswer& operator=(const TLineAnswer&) = delete;

private:
    friend class TLineAnswerRef;
    TLineAnswer() = default;
    // A new block of the parts, the value already packed.
    [[nodiscard]] static TLineAnswerRef Build(std::string_view note, std::string_view result,
                                              const unsigned char* value, std::size_t valueBytes,
                                              std::string_view log, std::string_view deps);
    [[nodiscard]] const unsigned char* Bytes() const noexcept {
        return reinterpret_cast<const unsigned char*>(this + 1);
    }
    struct TParts {
        const unsigned char* Value;
        std::string_view Note, Result, Log, Deps;
    };
    [[nodiscard]] TParts Parts() const noexcept;

    mutable std::atomic<std::uint32_t> FRefs{1};
    // The lengths of the note, the result, the log and the dependencies, in words of seven bits a
    // byte (most take one byte each), then the packed value and the four parts.
};

// A counted reference to a block; null is an empty formula and answer with a zero value.
class TLineAnswerRef {
public:
    TLineAnswerRef() noexcept = default;
    TLineAnswerRef(const TLineAnswerRef& other) noexcept : FBlock(other.FBlock) { AddRef(); }
    TLineAnswerRef(TLineAnswerRef&& other) noexcept : FBlock(other.FBlock) {
        other.FBlock = nullptr;
    }
    TLineAnswerRef& operator=(const TLineAnswerRef& other) noexcept {
        TLineAnswerRef copy(other);
        Swap(copy);
        return *this;
    }
    TLineAnswerRef& operator=(TLineAnswerRef&& other) noexcept {
        TLineAnswerRef moved(std::move(other));
        Swap(moved);
        return *this;
    }
    ~TLineAnswerRef() { Release(); }

    [[nodiscard]] const TLineAnswer* Get() const noexcept { return FBlock; }
    const TLineAnswer* operator->() const noexcept { return FBlock; }
    explicit operator bool() const noexcept { return FBlock != nullptr; }
    void Reset() noexcept {
        Release();
        FBlock = nullptr;
    }
    void Swap(TLineAnswerRef& other) noexcept { std::swap(FBlock, other.FBlock); }

    // The parts, empty (and zero) without a block.
    [[nodiscard]] std::string_view Note() const noexcept { return FBlock ? FBlock->Note() : ""; }
    [[nodiscard]] std::string_view Result() const noexcept {
        return FBlock ? FBlock->Result() : "";
    }
    [[nodiscard]] std::string_view Log() const noexcept { return FBlock ? FBlock->Log() : ""; }
    [[nodiscard]] std::string_view Deps() const noexcept { return FBlock ? FBlock->Deps() : ""; }
    [[nodiscard]] TCplx Value() const noexcept { return FBlock ? FBlock->Value() : TCplx(); }

private:
    friend class TLineAnswer;
    explicit TLineAnswerRef(TLineAnswer* block) noexcept : FBlock(block) {}
    void AddRef() const noexcept {
        if (FBlock) FBlock->FRefs.fetch_add(1, std::memory_order_relaxed);
    }
    void Release() noexcept;

    TLineAnswer* FBlock = nullptr;
};

}  // namespace rekna
