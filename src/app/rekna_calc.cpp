// rekna-calc: calculates a memo without a display and prints every line with its answer.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "editor/past_string_list.h"
#include "editor/umemo_strings.h"
#include "engine/vt_calc.h"
#include "frame/calc_options.h"
#include "frame/run_procedure.h"
#include "platform/cp932.h"

namespace {

using namespace rekna;

enum class TEncoding { enAuto, enCp932, enUtf8 };

constexpr const char* kUsage =
    "usage: rekna-calc [--answers] [--errors] [--control] [--encoding=auto|cp932|utf-8] [FILE | -]\n"
    "       rekna-calc [options] -e LINE [-e LINE ...]\n"
    "\n"
    "Calculates a memo line by line, as the desktop program's run over all lines does, and\n"
    "prints every line followed by a Tab and its answer as the answer pane shows it.\n"
    "\n"
    "  --answers          print only the answer column, one output line per memo line\n"
    "  --errors           show errors as answers (エラーを表示)\n"
    "  --control          show the echoes of control lines (制御コードを表示)\n"
    "  --encoding=NAME    auto (default: valid UTF-8 is read as UTF-8, anything else as CP932),\n"
    "                     cp932 (read and write CP932) or utf-8 (read and write UTF-8)\n"
    "  -e LINE            calculate LINE; several -e lines form one memo\n"
    "  FILE, -            the memo file, or standard input\n";

struct TArgs {
    bool AnswersOnly = false;
    bool Errors = false;
    bool Control = false;
    TEncoding Encoding = TEncoding::enAuto;
    std::vector<std::string> Lines;  // from -e
    bool HaveLines = false;
    std::string File;
    bool HaveFile = false;
};

int Fail(const std::string& message) {
    std::cerr << "rekna-calc: " << message << "\n";
    return 2;
}

bool ParseArgs(int argc, char** argv, TArgs& args, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--answers") {
            args.AnswersOnly = true;
        } else if (a == "--errors") {
            args.Errors = true;
        } else if (a == "--control") {
            args.Control = true;
        } else if (a.substr(0, 11) == "--encoding=") {
            const std::string_view e = a.substr(11);
            if (e == "auto") {
                args.Encoding = TEncoding::enAuto;
            } else if (e == "cp932" || e == "CP932" || e == "shift_jis" || e == "sjis") {
                args.Encoding = TEncoding::enCp932;
            } else if (e == "utf-8" || e == "utf8" || e == "UTF-8") {
                args.Encoding = TEncoding::enUtf8;
            } else {
                error = "unknown encoding '" + std::string(e) + "'";
                return false;
            }
        } else if (a == "-e") {
            if (i + 1 >= argc) {
                error = "-e needs a line";
                return false;
            }
            args.Lines.emplace_back(argv[++i]);
            args.HaveLines = true;
        } else if (a == "-" || a.empty() || a.front() != '-') {
            if (args.HaveFile) {
                error = "only one memo file can be given";
                return false;
            }
            args.File = std::string(a);
            args.HaveFile = true;
        } else {
            error = "unknown option '" + std::string(a) + "'";
            return false;
        }
    }
    if (args.HaveFile && args.HaveLines) {
        error = "give either a memo file or -e lines, not both";
        return false;
    }
    return true;
}

bool ReadAll(std::istream& in, std::string& out) {
    std::ostringstream buffer;
    buffer << in.rdbuf();
    out = buffer.str();
    return !in.bad();
}

// The memo's lines in CP932 for the engine and as they are to be printed.
struct TMemo {
    std::vector<std::string> Cp932;
    std::vector<std::string> Printed;
};

TMemo Decode(const std::vector<std::string>& raw, TEncoding input, bool outputUtf8) {
    bool utf8 = input == TEncoding::enUtf8;
    if (input == TEncoding::enAuto) {
        utf8 = true;
        for (const auto& line : raw) utf8 = utf8 && IsValidUtf8(line);
    }
    TMemo memo;
    for (const auto& line : raw) {
        if (utf8) {
            memo.Cp932.push_back(Utf8ToCp932(line));
            memo.Printed.push_back(outputUtf8 ? line : memo.Cp932.back());
        } else {
            memo.Cp932.push_back(line);
            memo.Printed.push_back(outputUtf8 ? Cp932ToUtf8(line) : line);
        }
    }
    return memo;
}

}  // namespace

int main(int argc, char** argv) {
    TArgs args;
    std::string error;
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::cout << kUsage;
        return 0;
    }
    if (!ParseArgs(argc, argv, args, error)) {
        std::cerr << "rekna-calc: " << error << "\n" << kUsage;
        return 2;
    }

    std::vector<std::string> raw;
    if (args.HaveLines) {
        raw = args.Lines;
    } else {
        std::string bytes;
        if (!args.HaveFile || args.File == "-") {
            if (!ReadAll(std::cin, bytes)) return Fail("cannot read standard input");
        } else {
            std::ifstream file(args.File, std::ios::binary);
            if (!file) return Fail("cannot open " + args.File + ": " + std::strerror(errno));
            if (!ReadAll(file, bytes)) return Fail("cannot read " + args.File);
        }
        std::size_t pos = 0;
        std::string_view line;
        while (NextTextLine(bytes, pos, line)) raw.emplace_back(line);
    }

    const bool outputUtf8 = args.Encoding != TEncoding::enCp932;
    const TMemo memo = Decode(raw, args.Encoding, outputUtf8);

    // The memo and answer panes without a display: no wrapping, so rows are lines.
    TUMemoStrings memoPane, answerPane;
    memoPane.SetCplxEnable(true);
    std::string memoText;
    for (const auto& line : memo.Cp932) {
        memoText += line;
        memoText += "\r\n";
    }
    memoPane.LoadBytes(memoText, false);

    TVtCalc calc;
    TCalcOptions options;
    options.ShowErrors = args.Errors;
    options.ShowControl = args.Control;
    ApplyFrameDesign(calc);
    options.ApplyToEngine(calc);
    TRunProcedure run(memoPane, answerPane, calc, options);
    run.CalcRows(true, false, TCalcRangeKind::rkAll);

    std::string out;
    for (std::size_t i = 0; i < memo.Printed.size(); ++i) {
        const auto row = static_cast<std::int32_t>(i);
        const std::string& shown = row < answerPane.GetCount() ? answerPane.Get(row) : std::string();
        if (!args.AnswersOnly) {
            out += memo.Printed[i];
            out += '\t';
        }
        out += outputUtf8 ? Cp932ToUtf8(shown) : shown;
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) return Fail("cannot write the answers");
    return 0;
}
