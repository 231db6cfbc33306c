// The packed form of a calculation log, as answer rows and the line cache keep it. The steps of a
// log repeat the line before them with a few items changed, so each line is kept as the bytes
// it does not share with the line before it: the length of the shared start, the length of the
// shared end, then the bytes between. Packing is lossless for any bytes.
#pragma once

#include <string>
#include <string_view>

namespace rekna {

// Lines are the pieces that end in the character of code 8 (the last one may lack it).
[[nodiscard]] std::string PackLog(std::string_view stored);
// The stored form back; a damaged packed text gives what could be read of it.
[[nodiscard]] std::string UnpackLog(std::string_view packed);

}  // namespace rekna
