// Writes one of the benchmarks' generated memos to a file, for measuring the real window and
// rekna-calc on the same text: memo_file engineering|independent|variables|calculating LINES OUT
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "engineering_memo.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: memo_file engineering|independent|variables|calculating "
                             "LINES OUT\n");
        return 2;
    }
    const std::string_view kind = argv[1];
    const int lines = std::atoi(argv[2]);
    std::string text;
    if (kind == "engineering") {
        text = rekna::bench::EngineeringMemoText(lines);
    } else if (kind == "independent") {
        text = rekna::bench::IndependentMemoText(lines);
    } else if (kind == "variables") {
        text = rekna::bench::VariableMemoText(lines);
    } else if (kind == "calculating") {
        text = rekna::bench::CalculatingMemoText(lines);
    } else {
        std::fprintf(stderr, "memo_file: unknown kind\n");
        return 2;
    }
    std::ofstream out(argv[3], std::ios::binary);
    out << text;
    return out ? 0 : 1;
}
