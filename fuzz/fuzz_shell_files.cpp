// Fuzz target: arbitrary bytes as a graph data file (first byte even) or a template file (odd).
// Reading never fails badly, and what is written from what was read reads back to the same text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "graph_window/graph_tables.h"
#include "templates/template_file.h"
#include "templates/template_tree.h"

using namespace rekna;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    if ((data[0] & 1) == 0) {
        TGraphTables tables;
        tables.ReadFileText(text);
        const std::string once = tables.FileText();
        TGraphTables again;
        if (!again.ReadFileText(once)) std::abort();
        if (again.FileText() != once) std::abort();
    } else {
        TTemplateTree tree;
        if (!ParseTemplateText(text, tree)) return 0;
        const std::string once = TemplateText(tree);
        TTemplateTree again;
        if (!ParseTemplateText(once, again)) std::abort();
        if (TemplateText(again) != once) std::abort();
    }
    return 0;
}
