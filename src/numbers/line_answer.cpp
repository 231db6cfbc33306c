#include "numbers/line_answer.h"

#include "numbers/packed_value.h"

#include <cstring>
#include <new>
#include <utility>

namespace rekna {

namespace {

// A log longer than the block's length field keeps its first 64 MB; a packed log cut anywhere
// still unpacks as far as it holds together.
constexpr std::size_t kMaxLog = (std::size_t{1} << 26) - 1;

std::string_view FittingLog(std::string_view log) noexcept {
    return log.substr(0, kMaxLog);
}

bool IsZero(const TCplx& v) noexcept {
    unsigned char packed[kPackedValueMax];
    unsigned char zero[kPackedValueMax];
    const std::size_t n = PackValue(v, packed);
    return n == PackValue(TCplx(), zero) && std::memcmp(packed, zero, n) == 0;
}

}  // namespace

TLineAnswerRef TLineAnswer::Make(std::string_view note, std::string_view result,
                                 const TCplx& value, std::string_view log) {
    if (note.empty() && result.empty() && log.empty()) {
        if (IsZero(value)) return {};
        if (value.IsBlank()) {
            // Most rows that are no calculation share it; it is never freed.
            static const TLineAnswerRef blank = [] {
                TLineAnswerRef b;
                unsigned char packed[kPackedValueMax];
                const std::size_t n = PackValue(TCplx::Blank(), packed);
                void* raw = ::operator new(sizeof(TLineAnswer) + n);
                auto* block = ::new (raw) TLineAnswer;
                block->FValueBytes = static_cast<std::uint32_t>(n);
                std::memcpy(reinterpret_cast<char*>(block + 1), packed, n);
                b.FBlock = block;
                return b;
            }();
            return blank;
        }
    }
    log = FittingLog(log);
    unsigned char packed[kPackedValueMax];
    const std::size_t n = PackValue(value, packed);
    void* raw = ::operator new(sizeof(TLineAnswer) + n + note.size() + result.size() + log.size());
    auto* block = ::new (raw) TLineAnswer;
    block->FValueBytes = static_cast<std::uint32_t>(n);
    block->FNote = static_cast<std::uint32_t>(note.size());
    block->FResult = static_cast<std::uint32_t>(result.size());
    block->FLog = static_cast<std::uint32_t>(log.size());
    char* at = reinterpret_cast<char*>(block + 1);
    std::memcpy(at, packed, n);
    at += n;
    if (!note.empty()) std::memcpy(at, note.data(), note.size());
    at += note.size();
    if (!result.empty()) std::memcpy(at, result.data(), result.size());
    at += result.size();
    if (!log.empty()) std::memcpy(at, log.data(), log.size());
    return TLineAnswerRef(block);
}

TCplx TLineAnswer::Value() const noexcept {
    TCplx v;
    UnpackValue(reinterpret_cast<const unsigned char*>(Bytes()), v);
    return v;
}

void TLineAnswerRef::Release() noexcept {
    if (FBlock && FBlock->FRefs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        FBlock->~TLineAnswer();
        ::operator delete(static_cast<void*>(FBlock));
    }
}

}  // namespace rekna
