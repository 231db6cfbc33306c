#include "numbers/line_answer.h"

#include "numbers/packed_value.h"

#include <cstring>
#include <new>
#include <string>

namespace rekna {

namespace {

// A log longer than the block's length field keeps its first 64 MB; a packed log cut anywhere
// still unpacks as far as it holds together.
constexpr std::size_t kMaxLog = (std::size_t{1} << 26) - 1;

}  // namespace

TLineAnswerRef TLineAnswer::Build(std::string_view note, std::string_view result,
                                  const unsigned char* value, std::size_t valueBytes,
                                  std::string_view log, std::string_view deps) {
    log = log.substr(0, kMaxLog);
    void* raw = ::operator new(sizeof(TLineAnswer) + valueBytes + note.size() + result.size() +
                               log.size() + deps.size());
    auto* block = ::new (raw) TLineAnswer;
    block->FValueBytes = static_cast<std::uint32_t>(valueBytes);
    block->FNote = static_cast<std::uint32_t>(note.size());
    block->FResult = static_cast<std::uint32_t>(result.size());
    block->FLog = static_cast<std::uint32_t>(log.size());
    block->FDeps = static_cast<std::uint32_t>(deps.size());
    char* at = reinterpret_cast<char*>(block + 1);
    for (const std::string_view part :
         {std::string_view(reinterpret_cast<const char*>(value), valueBytes), note, result, log,
          deps}) {
        if (!part.empty()) std::memcpy(at, part.data(), part.size());
        at += part.size();
    }
    return TLineAnswerRef(block);
}

TLineAnswerRef TLineAnswer::Make(std::string_view note, std::string_view result, const TCplx& value,
                                 std::string_view log, std::string_view deps) {
    unsigned char packed[kPackedValueMax];
    const std::size_t n = PackValue(value, packed);
    if (note.empty() && result.empty() && log.empty() && deps.empty()) {
        static const std::string zero = [] {
            unsigned char z[kPackedValueMax];
            return std::string(reinterpret_cast<const char*>(z), PackValue(TCplx(), z));
        }();
        if (std::string_view(reinterpret_cast<const char*>(packed), n) == zero) return {};
        if (value.IsBlank()) {
            // Most rows that are no calculation share it; it is never freed.
            static const TLineAnswerRef blank = Build({}, {}, packed, n, {}, {});
            return blank;
        }
    }
    return Build(note, result, packed, n, log, deps);
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
