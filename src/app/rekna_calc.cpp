// rekna-calc: calculates a memo without a display and prints every line with its answer.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/calc_plot.h"
#include "editor/line_files.h"
#include "editor/past_string_list.h"
#include "editor/umemo_strings.h"
#include "engine/vt_calc.h"
#include "frame/answer_writer.h"
#include "frame/calc_options.h"
#include "frame/document_codec.h"
#include "frame/frame_settings.h"
#include "frame/run_procedure.h"
#include "platform/cp932.h"
#include "shell/program_settings.h"
#include "shell/settings_file.h"
#include "shell/start_paths.h"
#include "script/script_site.h"

namespace {

using namespace rekna;

enum class TEncoding { enAuto, enCp932, enUtf8 };

constexpr const char* kUsage =
    "usage: rekna-calc [--answers] [--errors] [--control] [--encoding=auto|cp932|utf-8]\n"
    "                  [--settings FILE | --no-settings] [--set KEY=VALUE ...] [FILE | -]\n"
    "       rekna-calc [options] -e LINE [-e LINE ...]\n"
    "       rekna-calc --write | --delete-answers [options] [FILE | -]\n"
    "       rekna-calc --plot OUT.svg [--size WIDTHxHEIGHT] [FILE | -]\n"
    "\n"
    "Calculates a memo line by line, as the desktop program's run over all lines does, and\n"
    "prints every line followed by a Tab and its answer as the answer pane shows it.\n"
    "It answers as the window does: it reads the settings file and the definitions file\n"
    "(ReknaDef.txt) that rekna would use, when they exist.\n"
    "\n"
    "  --answers          print only the answer column, one output line per memo line\n"
    "  --errors           show errors as answers (エラーを表示)\n"
    "  --control          show the echoes of control lines (制御コードを表示)\n"
    "  --settings FILE    read this settings file (and the definitions file beside it)\n"
    "  --no-settings      a fresh installation's settings, no definitions file\n"
    "  --set KEY=VALUE    set one key of the settings file, e.g. --set Hide0=0 --set Radian=01\n"
    "  --write            print the memo with every line's answer written in (\" ＝ answer\"),\n"
    "                     as 計算結果を全行記入 writes it, in the memo's own encoding and line ends\n"
    "  --delete-answers   print the memo with every written answer taken out\n"
    "  --encoding=NAME    auto (default: valid UTF-8 is read as UTF-8, anything else as CP932),\n"
    "                     cp932 (read and write CP932) or utf-8 (read and write UTF-8)\n"
    "  --script-limit S   stop a script line that runs longer than S seconds (default 60,\n"
    "                     0: no limit), as Esc stops it in the window\n"
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
    std::string Settings;  // --settings
    bool NoSettings = false;
    bool Write = false;          // --write
    bool DeleteAnswers = false;  // --delete-answers
    std::vector<std::string> Set;  // --set KEY=VALUE, in order
    double ScriptLimit = 60;       // --script-limit seconds; 0 none
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
        } else if (a == "--script-limit") {
            char* end = nullptr;
            const double v = i + 1 < argc ? std::strtod(argv[i + 1], &end) : -1;
            if (i + 1 >= argc || end == argv[i + 1] || *end != '\0' || !(v >= 0) || v > 1e6) {
                error = "--script-limit needs a number of seconds (0 for none)";
                return false;
            }
            args.ScriptLimit = v;
            ++i;
        } else if (a == "--settings" || a == "--set") {
            if (i + 1 >= argc) {
                error = std::string(a) + " needs a value";
                return false;
            }
            const std::string value = argv[++i];
            if (a == "--settings") {
                args.Settings = value;
            } else if (value.find('=') == std::string::npos || value.front() == '=') {
                error = "--set needs KEY=VALUE, not '" + value + "'";
                return false;
            } else {
                args.Set.push_back(value);
            }
        } else if (a == "--no-settings") {
            args.NoSettings = true;
        } else if (a == "--write") {
            args.Write = true;
        } else if (a == "--delete-answers") {
            args.DeleteAnswers = true;
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
    if (args.Write && args.DeleteAnswers) {
        error = "give either --write or --delete-answers, not both";
        return false;
    }
    if (args.NoSettings && !args.Settings.empty()) {
        error = "give either --settings or --no-settings, not both";
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

// The folder this program was started from, where rekna lives beside it.
std::string ProgramFolder(const char* argv0) {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n > 0) return std::filesystem::path(std::string(buffer, static_cast<std::size_t>(n)))
                   .parent_path()
                   .string();
    return std::filesystem::path(argv0).parent_path().string();
}

// The settings as rekna would start with them: its settings file (or the one named), then the
// keys set on the command line. The definitions file's text goes to defText.
bool LoadSettings(const TArgs& args, const char* argv0, TMemorySettings& store,
                  std::string& defText, std::string& error) {
    if (args.NoSettings) {
        // Only the keys of the command line.
    } else if (!args.Settings.empty()) {
        const TFileResult read = ReadSettingsFile(args.Settings, store);
        if (!read.Ok()) {
            error = "cannot read settings file " + args.Settings + ": " + read.Message();
            return false;
        }
        if (!HoldsProgramSettings(store)) {
            error = args.Settings + " is not a settings file of rekna";
            return false;
        }
    } else {
        TStartEnv env;
        env.ProgramPath = ProgramFolder(argv0) + "/rekna";
        if (args.HaveFile && args.File != "-") env.Argument = args.File;
        std::error_code ec;
        env.CurrentDir = std::filesystem::current_path(ec).string();
        env.ConfigHome = ConfigHomeFolder();
        const TStartPaths paths = FindStartPaths(env);
        (void)ReadProgramSettings(paths.SettingsFile, paths.ProgramName, store);
        std::string bytes;
        if (ReadWholeFile(paths.DefinitionsFile(), bytes).Ok())
            defText = DecodeDocument(std::move(bytes)).Bytes;
    }
    if (!args.Settings.empty()) {
        std::string bytes;
        TStartPaths paths;
        paths.SettingsFolder = std::filesystem::path(args.Settings).parent_path().string() + "/";
        if (paths.SettingsFolder == "/") paths.SettingsFolder = "./";
        if (ReadWholeFile(paths.DefinitionsFile(), bytes).Ok())
            defText = DecodeDocument(std::move(bytes)).Bytes;
    }
    for (const std::string& kv : args.Set) {
        const std::size_t eq = kv.find('=');
        store.Set(Utf8ToCp932(kv.substr(0, eq)), Utf8ToCp932(kv.substr(eq + 1)));
    }
    return true;
}

// The engine and the run procedure as the window starts them, over a memo pane.
struct TBatchRun {
    TBatchRun(const TArgs& args, const TMemorySettings& store, std::string defText)
        : Run(Memo, Answers, Calc, Options) {
        Memo.SetCplxEnable(true);
        Options = FreshInstallOptions();
        ApplyFrameDesign(Calc);
        TPaneStyles styles;
        ReadFrameSettings(store, Options, Calc, styles);
        if (args.Errors) Options.ShowErrors = true;
        if (args.Control) Options.ShowControl = true;
        Options.ApplyToEngine(Calc);
        InstallScriptHost(Calc, ScriptDesk(args));
        Calc.SetScriptEnabled(Options.VbScript);
        if (!defText.empty()) {
            std::vector<TUserFuncMenuItem> menu;
            Run.RerunDefinitions(defText, menu);
        }
    }
    // Script lines reach the memo's answers, a clipboard of the process's own and the memo's
    // name; a script that runs past the limit is stopped as Esc stops it in the window.
    TScriptDesk ScriptDesk(const TArgs& args) {
        TScriptDesk desk;
        std::error_code ec;
        const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        desk.ExePath = ec ? std::string("./") : Utf8ToCp932(exe.parent_path().string() + "/");
        const std::string file = args.HaveFile && args.File != "-" ? args.File : std::string();
        desk.FileName = [file] { return Utf8ToCp932(file); };
        desk.GetAnswer = [this](int line) { return Run.ScriptAnswer(line); };
        desk.SetAnswer = [this](int line, const std::string& text) { Run.SetScriptAnswer(line, text); };
        desk.BeginRun = [this] {
            ScriptStart = std::chrono::steady_clock::now();
            ScriptStopped = false;
        };
        const double limit = args.ScriptLimit;
        desk.EscDown = [this, limit] {
            if (limit <= 0) return false;
            const std::chrono::duration<double> ran = std::chrono::steady_clock::now() - ScriptStart;
            if (ran.count() <= limit) return false;
            if (!ScriptStopped)
                std::cerr << "rekna-calc: a script line ran longer than " << limit
                          << " s and was stopped\n";
            ScriptStopped = true;
            return true;
        };
        return desk;
    }
    TUMemoStrings Memo, Answers;
    TVtCalc Calc;
    TCalcOptions Options;
    TRunProcedure Run;
    // When the running script line began.
    std::chrono::steady_clock::time_point ScriptStart{};
    bool ScriptStopped = false;
};

// --write and --delete-answers: the memo comes back in its own encoding and line ends, byte for
// byte apart from the written answers.
int Rewrite(const TArgs& args, std::string bytes, const TMemorySettings& store,
            std::string defText) {
    TDecodedDocument doc;
    if (args.Encoding == TEncoding::enCp932) {
        doc.Bytes = std::move(bytes);
    } else if (args.Encoding == TEncoding::enUtf8) {
        doc.Bytes = Utf8ToCp932(bytes);
        doc.Encoding = TDocEncoding::deUtf8;
    } else {
        doc = DecodeDocument(std::move(bytes));
        // Plain ASCII holds no hint of its encoding; the editors this filter serves on Linux
        // take UTF-8, so the written answers are UTF-8 too.
        if (std::none_of(doc.Bytes.begin(), doc.Bytes.end(),
                         [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
            doc.Encoding = TDocEncoding::deUtf8;
    }
    // Lines with their own line ends.
    std::vector<std::string_view> lines, ends;
    const std::string_view text = doc.Bytes;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        const std::size_t next =
            end == text.size() ? end : end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        lines.push_back(text.substr(pos, end - pos));
        ends.push_back(text.substr(end, next - end));
        pos = next;
    }
    TBatchRun batch(args, store, std::move(defText));
    if (args.Write) {
        std::string memoText;
        for (const std::string_view line : lines) (memoText += line) += "\r\n";
        batch.Memo.LoadBytes(memoText, false);
        batch.Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    }
    std::string out;
    out.reserve(text.size() + lines.size() * 8);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto row = static_cast<std::int32_t>(i);
        const bool calculated = args.Write && row < batch.Memo.GetCount();
        out += WriteAnswer(lines[i], calculated ? batch.Memo.Note(row) : std::string(),
                           calculated ? batch.Memo.Result(row) : std::string(),
                           batch.Options.ShowErrors, batch.Options.ShowControl);
        out += ends[i];
    }
    out = EncodeDocument(out, doc.Encoding, doc.Bom, TLineEnd::leCrLf);
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) return Fail("cannot write the memo");
    return 0;
}

int Calculate(const TArgs& args, const char* argv0) {
    TMemorySettings store;
    std::string defText, error;
    if (!LoadSettings(args, argv0, store, defText, error)) return Fail(error);

    std::vector<std::string> raw;
    TEncoding encoding = args.Encoding;
    if (args.HaveLines && (args.Write || args.DeleteAnswers)) {
        std::string bytes;
        for (const std::string& line : args.Lines) (bytes += line) += '\n';
        // Lines of the command line are UTF-8 text.
        TArgs utf8 = args;
        if (utf8.Encoding == TEncoding::enAuto) utf8.Encoding = TEncoding::enUtf8;
        return Rewrite(utf8, std::move(bytes), store, std::move(defText));
    }
    if (args.HaveLines) {
        raw = args.Lines;
    } else {
        std::string bytes;
        if (!args.HaveFile || args.File == "-") {
            if (!ReadAll(std::cin, bytes)) return Fail("cannot read standard input");
        } else {
            std::error_code ec;
            if (std::filesystem::is_directory(args.File, ec))
                return Fail(args.File + " is a folder, not a memo file");
            std::ifstream file(args.File, std::ios::binary);
            if (!file) return Fail("cannot open " + args.File + ": " + std::strerror(errno));
            if (!ReadAll(file, bytes)) return Fail("cannot read " + args.File);
        }
        if (args.Write || args.DeleteAnswers)
            return Rewrite(args, std::move(bytes), store, std::move(defText));
        // As the window reads a memo file: a byte-order mark or UTF-8 beyond ASCII is UTF-8,
        // anything else CP932.
        if (args.Encoding == TEncoding::enAuto) {
            const TDecodedDocument doc = DecodeDocument(std::move(bytes));
            if (doc.Encoding == TDocEncoding::deUtf8) {
                bytes = Cp932ToUtf8(doc.Bytes);
                encoding = TEncoding::enUtf8;
            } else {
                bytes = doc.Bytes;
                encoding = TEncoding::enCp932;
            }
        }
        std::size_t pos = 0;
        std::string_view line;
        while (NextTextLine(bytes, pos, line)) raw.emplace_back(line);
    }

    const bool outputUtf8 = args.Encoding != TEncoding::enCp932;
    const TMemo memo = Decode(raw, encoding, outputUtf8);

    // The memo and answer panes without a display: no wrapping, so rows are lines.
    TBatchRun batch(args, store, std::move(defText));
    std::string memoText;
    for (const auto& line : memo.Cp932) {
        memoText += line;
        memoText += "\r\n";
    }
    batch.Memo.LoadBytes(memoText, false);
    TUMemoStrings& answerPane = batch.Answers;
    TRunProcedure& run = batch.Run;
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

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string_view(argv[1]) == "--plot") return rekna::PlotMain(argc, argv);
    TArgs args;
    std::string error;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "-e" || a == "--settings" || a == "--set") ++i;  // their values are no options
        else if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        }
    }
    if (!ParseArgs(argc, argv, args, error)) {
        std::cerr << "rekna-calc: " << error << "\n" << kUsage;
        return 2;
    }

    try {
        return Calculate(args, argv[0]);
    } catch (const std::bad_alloc&) {
        return Fail("not enough memory for this memo");
    }
}
