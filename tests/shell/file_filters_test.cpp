// Tests of the default extension that a dialog's filter gives.
#include "shell/file_filters.h"

#include <gtest/gtest.h>

namespace rekna {
namespace {

TEST(FileFilters, EachFilterGivesItsExtension) {
    const std::pair<std::string_view, std::string_view> rows[] = {
        {"テキストファイル (*.txt)", "txt"},
        {"Reknaグラフデータ (*.kgd)", "kgd"},
        {"すべてのファイル (*)", ""},
        {"すべてのファイル (*.*)", ""},
        {"Memos (*.txt *.memo)", ""},
        {"", ""},
        {"(*.", ""},
    };
    for (const auto& [filter, ext] : rows)
        EXPECT_EQ(DefaultExtensionOf(filter), ext) << filter;
    // Every filter of the document dialogs is one of them.
    std::string_view all = kDocumentFilters;
    int count = 0;
    for (std::size_t at = 0; at != std::string_view::npos; ++count) {
        const std::size_t next = all.find(";;", at);
        const std::string_view f =
            all.substr(at, next == std::string_view::npos ? next : next - at);
        EXPECT_EQ(DefaultExtensionOf(f), count == 0 ? "txt" : count == 1 ? "kgd" : "") << f;
        at = next == std::string_view::npos ? next : next + 2;
    }
    EXPECT_EQ(count, 3);
}

}  // namespace
}  // namespace rekna
