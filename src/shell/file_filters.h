// The filters of the open and save dialogs, and the default extension each filter sets.
#pragma once

#include <string>
#include <string_view>

namespace rekna {

// Text files, graph data, all files; ";;" between the filters, as the dialogs take them (UTF-8).
inline constexpr std::string_view kDocumentFilters =
    "テキストファイル (*.txt);;Reknaグラフデータ (*.kgd);;すべてのファイル (*)";

// The extension a chosen filter gives a name typed without one: "txt", "kgd", or none for a
// filter of all files or one that names no single extension.
[[nodiscard]] std::string DefaultExtensionOf(std::string_view filter);

}  // namespace rekna
