#include "numbers/line_answer.h"

#include "numbers/packed_value.h"

#include <cstring>
#include <new>
#include <string>

namespace rekna {

namespace {

// A row keeps at most the first 64 MB of a log; a packed log cut anywhere still unpacks as far as
// it holds together.
constexpr std::size_t kMaxLog = (std::size_t{1} << 26) - 1;

void PutLength(unsigned char*& at, std::size_t n) noexcept {
    for (; n >= 0x80; n >>= 7)
        *at++ = static_cast<unsigned char>(n | 0x80);
    *at++ = static_cast<unsigned char>(n);
}

std::size_t LengthBytes(std::size_t n) noexcept {
    std::size_t bytes = 1;
    for (; n >= 0x80; n >>= 7)
        ++bytes;
    return bytes;
}

std::size_t GetLength(const unsigned char*& at) noexcept {
    std::size_t n = 0;
    for (int shift = 0;; shift += 7) {
        const unsigned char b = *at++;
        n |= static_cast<std::size_t>(b & 0x7F) << shift;
        if (b < 0x80) return n;
    }
}

}  // namespace

TLineAnswerRef TLineAnswer::Build(std::string_view note, std::string_view result,
                                  const unsigned char* value, std::size_t valueBytes,
                                  std::string_view log, std::string_view deps) {
    log = log.substr(0, kMaxLog);
    const std::string_view parts[] = {
        std::string_view(reinterpret_cast<const char*>(value), valueBytes), note, result, log,
        deps};
    std::size_t bytes = sizeof(TLineAnswer);
    for (const std::string_view part : parts)
        bytes += part.size();
    for (const std::string_view part : {note, result, log, deps})
        bytes += LengthBytes(part.size());
    void* raw = ::operator new(bytes);
    auto* block = ::new (raw) TLineAnswer;
    auto* at = reinterpret_cast<unsigned char*>(block + 1);
    for (const std::string_view part : {note, result, log, deps})
        PutLength(at, part.size());
    for (const std::string_view part : parts) {
        if (!part.empty()) std::memcpy(at, part.data(), part.size());
        at += part.size();
    }
    return TLineAnswerRef(block);
}

TLineAnswer::TParts TLineAnswer::Parts() const noexcept {
    const unsigned char* at = Bytes();
    const std::size_t note = GetLength(at);
    const std::size_t result = GetLength(at);
    const std::size_t log = GetLength(at);
    const std::size_t deps = GetLength(at);
    TParts p;
    p.Value = at;
    const auto* text = reinterpret_cast<const char*>(at + PackedValueSize(*at));
    p.Note = {text, note};
    p.Result = {text + note, result};
    p.Log = {text + note + result, log};
    p.Deps = {text + note + result + log, deps};
    return p;
}

std::size_t TLineAnswer::Size() const noexcept {
    const TParts p = Parts();
    return static_cast<std::size_t>(reinterpret_cast<const unsigned char*>(p.Deps.data()) -
                                    reinterpret_cast<const unsigned char*>(this)) +
           p.Deps.size();
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
    UnpackValue(Parts().Value, v);
    return v;
}

void TLineAnswerRef::Release() noexcept {
    if (FBlock && FBlock->FRefs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        FBlock->~TLineAnswer();
        ::operator delete(static_cast<void*>(FBlock));
    }
}

}  // namespace rekna
