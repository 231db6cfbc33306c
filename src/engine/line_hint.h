// TLineHint: where the line cache found the result of a text last, kept by whoever asks for the
// same text again (a memo row); the cache tells whether it still stands.
#pragma once

#include <cstdint>

namespace rekna {

struct TLineHint {
    const void* Block = nullptr;
    std::uint64_t Epoch = 0;
};

}  // namespace rekna
