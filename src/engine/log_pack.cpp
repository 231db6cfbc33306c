// Packing and unpacking calculation logs line by line against the line before.
#include "engine/log_pack.h"

#include <algorithm>
#include <cstddef>

namespace rekna {
namespace {

void PutCount(std::string& out, std::size_t n) {
    while (n >= 0x80) {
        out += static_cast<char>(0x80 | (n & 0x7F));
        n >>= 7;
    }
    out += static_cast<char>(n);
}

// False at the end of the text or on a count that runs past it.
bool GetCount(std::string_view in, std::size_t& pos, std::size_t& n) {
    n = 0;
    for (unsigned shift = 0; pos < in.size() && shift < 64; shift += 7) {
        const auto byte = static_cast<unsigned char>(in[pos++]);
        n |= static_cast<std::size_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) return true;
    }
    return false;
}

}  // namespace

std::string PackLog(std::string_view stored) {
    std::string out;
    out.reserve(stored.size() / 2 + 8);
    std::string_view previous;
    for (std::size_t pos = 0; pos < stored.size();) {
        const std::size_t mark = stored.find('\b', pos);
        const std::size_t end = mark == std::string_view::npos ? stored.size() : mark + 1;
        const std::string_view line = stored.substr(pos, end - pos);
        const std::size_t most = std::min(line.size(), previous.size());
        std::size_t head = 0;
        while (head < most && line[head] == previous[head])
            ++head;
        std::size_t tail = 0;
        while (tail < most - head &&
               line[line.size() - 1 - tail] == previous[previous.size() - 1 - tail])
            ++tail;
        PutCount(out, head);
        PutCount(out, tail);
        PutCount(out, line.size() - head - tail);
        out.append(line.substr(head, line.size() - head - tail));
        previous = line;
        pos = end;
    }
    return out;
}

std::string UnpackLog(std::string_view packed) {
    std::string out;
    out.reserve(packed.size() * 2);
    std::size_t previous = 0;  // where the line before starts in out
    for (std::size_t pos = 0; pos < packed.size();) {
        std::size_t head = 0, tail = 0, middle = 0;
        const std::size_t before = out.size() - previous;
        if (!GetCount(packed, pos, head) || !GetCount(packed, pos, tail) ||
            !GetCount(packed, pos, middle) || head > before || tail > before - head ||
            middle > packed.size() - pos)
            break;
        const std::size_t start = out.size();
        // out grows while it is copied from: the pieces go through indices, not views.
        out.append(out, previous, head);
        out.append(packed.substr(pos, middle));
        out.append(out, start - tail, tail);
        pos += middle;
        previous = start;
    }
    return out;
}

}  // namespace rekna
