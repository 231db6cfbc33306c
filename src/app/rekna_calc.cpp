// rekna-calc: calculates a memo without a display and prints every line with its answer.
#include <unistd.h>

#include <algorithm>
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

#include "app/batch_run.h"
#include "app/calc_plot.h"
#include "app/line_source.h"
#include "editor/commands/past_string_list.h"
#include "editor/store/umemo_strings.h"
#include "engine/vt_calc.h"
#include "frame/answer_writer.h"
#include "frame/calc_options.h"
#include "frame/document_codec.h"
#include "frame/frame_settings.h"
#include "frame/main_settings.h"
#include "frame/run_procedure.h"
#include "platform/cp932.h"
#include "platform/file_io.h"
#include "shell/program_settings.h"
#include "shell/settings_file.h"
#include "shell/start_paths.h"

namespace {

using namespace rekna;

enum class TEncoding { enAuto, enCp932, enUtf8 };

constexpr const char* kUsage =
    "usage: rekna-calc [--answers] [--log] [--errors] [--control] [--encoding=auto|cp932|utf-8]\n"
    "                  [--settings FILE | --no-settings] [--set KEY=VALUE ...] [FILE | -]\n"
    "       rekna-calc [options] -e LINE [-e LINE ...]\n"
    "       rekna-calc --write | --delete-answers [options] [FILE | -]\n"
    "       rekna-calc --plot OUT.svg [--size WIDTHxHEIGHT] [options] [FILE | -]\n"
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
    "  --log              print every line's calculation log after its answer, as the log\n"
    "                     pane shows it, each log line indented by a Tab\n"
    "  --write            print the memo with every line's answer written in (\" ＝ answer\"),\n"
    "                     as 計算結果を全行記入 writes it, in the memo's own encoding and line "
    "ends\n"
    "  --delete-answers   print the memo with every written answer taken out\n"
    "  --encoding=NAME    auto (default: valid UTF-8, plain ASCII included, is read as UTF-8,\n"
    "                     anything else as CP932; with FileSJisDefault=1 plain ASCII is\n"
    "                     Shift_JIS), cp932 (read and write CP932) or utf-8 (read and write\n"
    "                     UTF-8)\n"
    "  --plot OUT.svg     draw the memo's graph as the graph window shows it after\n"
    "                     #グラフ設定実行 on the last line: the default tables, FILE's .kgd graph\n"
    "                     data when it exists, then the memo's #Graph. lines, calculated under\n"
    "                     the settings and definitions; OUT is written only when it is new or\n"
    "                     a picture that rekna-calc drew\n"
    "  --size WxH         the picture's size with --plot (default 720x480, 100 to 10000 each)\n"
    "  --script-limit S   stop a script line that runs longer than S seconds (default 60,\n"
    "                     0: no limit), as Esc stops it in the window\n"
    "  -e LINE            calculate LINE; several -e lines form one memo\n"
    "  FILE, -            the memo file, or standard input (after --, any name is a file)\n"
    "  --help, --version  print this help, or the version, and exit\n"
    "Options and the file may come in any order.\n";

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
    bool Write = false;            // --write
    bool DeleteAnswers = false;    // --delete-answers
    bool Log = false;              // --log
    std::vector<std::string> Set;  // --set KEY=VALUE, in order
    double ScriptLimit = 60;       // --script-limit seconds; 0 none
    TPlotArgs Plot;                // --plot, --size
};

int Fail(const std::string& message) {
    std::cerr << "rekna-calc: " << message << "\n";
    return 2;
}

bool ParseArgs(int argc, char** argv, TArgs& args, std::string& error) {
    bool options = true;  // until "--"
    bool haveSize = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (!options || a == "-" || a.empty() || a.front() != '-') {
            if (args.HaveFile) {
                error = "only one memo file can be given";
                return false;
            }
            args.File = std::string(a);
            args.HaveFile = true;
        } else if (a == "--") {
            options = false;
        } else if (a == "--answers") {
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
        } else if (a == "--plot" || a == "--size") {
            if (i + 1 >= argc) {
                error = std::string(a) + " needs a value";
                return false;
            }
            const std::string_view value = argv[++i];
            if (a == "--size") {
                haveSize = true;
                if (!ParsePlotSize(value, args.Plot.Width, args.Plot.Height)) {
                    error = kPlotSizeError;
                    return false;
                }
            } else if (value.empty() || value == "-") {
                error = "--plot needs the picture's file name";
                return false;
            } else {
                args.Plot.Out = std::string(value);
            }
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
        } else if (a == "--log") {
            args.Log = true;
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
    if (haveSize && args.Plot.Out.empty()) {
        error = "--size goes with --plot";
        return false;
    }
    if (!args.Plot.Out.empty() &&
        (args.HaveLines || args.Write || args.DeleteAnswers || args.AnswersOnly || args.Log)) {
        error = "--plot draws a picture of a memo file; -e, --answers, --log, --write and "
                "--delete-answers do not go with it";
        return false;
    }
    return true;
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
        for (const auto& line : raw)
            utf8 = utf8 && IsValidUtf8(line);
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
    if (n > 0)
        return std::filesystem::path(std::string(buffer, static_cast<std::size_t>(n)))
            .parent_path()
            .string();
    return std::filesystem::path(argv0).parent_path().string();
}

// The settings as rekna would start with them: its settings file (or the one named), then the
// keys set on the command line. The definitions file's text goes to defText. Files are read
// from here on with the window's default for files that do not show their encoding.
bool LoadSettings(const TArgs& args, const char* argv0, TMemorySettings& store,
                  std::string& defText, std::string& error) {
    std::string defBytes;
    bool haveDefs = false;
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
        haveDefs = ReadWholeFile(paths.DefinitionsFile(), defBytes).Ok();
    }
    if (!args.Settings.empty()) {
        TStartPaths paths;
        paths.SettingsFolder = std::filesystem::path(args.Settings).parent_path().string() + "/";
        if (paths.SettingsFolder == "/") paths.SettingsFolder = "./";
        haveDefs = ReadWholeFile(paths.DefinitionsFile(), defBytes).Ok();
    }
    for (const std::string& kv : args.Set) {
        const std::size_t eq = kv.find('=');
        store.Set(Utf8ToCp932(kv.substr(0, eq)), Utf8ToCp932(kv.substr(eq + 1)));
    }
    TMainSettings main;
    ReadMainSettings(store, main);
    SetPlainFileFormat(DefaultFormat(main.FileSJisDefault));
    if (haveDefs) defText = DecodeDocument(std::move(defBytes)).Bytes;
    return true;
}

TBatchSetup SetupOf(const TArgs& args) {
    TBatchSetup setup;
    setup.Errors = args.Errors;
    setup.Control = args.Control;
    setup.ScriptLimit = args.ScriptLimit;
    if (args.HaveFile && args.File != "-") setup.File = args.File;
    return setup;
}

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
    TBatchRun batch(SetupOf(args), store, std::move(defText));
    if (args.Write) {
        std::string memoText;
        for (const std::string_view line : lines)
            (memoText += line) += "\r\n";
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

// The printed form of answers and logs: UTF-8 unless CP932 was asked for.
struct TPrinter {
    explicit TPrinter(const TArgs& args)
        : AnswersOnly(args.AnswersOnly), Utf8(args.Encoding != TEncoding::enCp932) {
        Out.reserve(kFlushAt + 4096);
    }
    void Put(std::string_view cp932) {
        if (Utf8 && HasHighBytes(cp932)) {
            Out += Cp932ToUtf8(cp932);
        } else {
            Out += cp932;
        }
    }
    // One memo line (already in its printed form) with its answer, then its log lines.
    void Line(std::string_view printed, std::string_view answer, std::string_view log) {
        if (!AnswersOnly) {
            Out += printed;
            Out += '\t';
        }
        Put(answer);
        Out += '\n';
        // Each log line follows, indented by a Tab.
        std::size_t pos = 0;
        std::string_view logLine;
        while (NextTextLine(log, pos, logLine)) {
            Out += '\t';
            Put(logLine);
            Out += '\n';
        }
        if (Out.size() >= kFlushAt) Flush();
    }
    bool Flush() {
        const bool ok = Out.empty() || std::fwrite(Out.data(), 1, Out.size(), stdout) == Out.size();
        Out.clear();
        Failed = Failed || !ok;
        return ok;
    }
    bool Finish() { return Flush() && std::fflush(stdout) == 0 && !std::ferror(stdout) && !Failed; }

    static constexpr std::size_t kFlushAt = 1 << 16;
    bool AnswersOnly;
    bool Utf8;
    bool Failed = false;
    std::string Out;
};

// A memo with script lines while scripts are on: the whole memo is loaded and run as the window
// runs it, since a script reads and writes the answers of other lines.
int CalculateWhole(const TArgs& args, TBatchRun& batch, const TMemo& memo, bool log) {
    std::vector<std::string> logs;
    if (log) {
        batch.Options.LogPolicy = TLogPolicy::lpHold;
        logs.resize(memo.Cp932.size());
        batch.Run.OnRowLog = [&logs](int row, const std::string& text) {
            if (row >= 0 && static_cast<std::size_t>(row) < logs.size()) logs[row] = text;
        };
    }
    std::string memoText;
    for (const auto& line : memo.Cp932) {
        memoText += line;
        memoText += "\r\n";
    }
    batch.Memo.LoadBytes(memoText, false);
    batch.Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    // With the caret inside a "#>" block, the log pane shows the log of the block's last line.
    const auto blockLine = [&memo](std::size_t i) { return memo.Cp932[i].rfind("#>", 0) == 0; };
    for (std::size_t i = logs.size(); i-- > 1;) {
        if (blockLine(i - 1) && blockLine(i)) logs[i - 1] = logs[i];
    }
    TPrinter printer(args);
    for (std::size_t i = 0; i < memo.Printed.size(); ++i) {
        const auto row = static_cast<std::int32_t>(i);
        const std::string& shown =
            row < batch.Answers.GetCount() ? batch.Answers.Get(row) : std::string();
        printer.Line(memo.Printed[i], shown, log ? std::string_view(logs[i]) : std::string_view());
    }
    return printer.Finish() ? 0 : Fail("cannot write the answers");
}

// Lines given on the command line.
int CalculateLines(const TArgs& args, TBatchRun& batch) {
    const bool outputUtf8 = args.Encoding != TEncoding::enCp932;
    const TMemo memo = Decode(args.Lines, args.Encoding, outputUtf8);
    const bool scripts =
        batch.Calc.ScriptEnabled() &&
        std::any_of(memo.Cp932.begin(), memo.Cp932.end(), [](const std::string& l) {
            return l.rfind("#>", 0) == 0 || l.rfind("#?", 0) == 0;
        });
    if (scripts) return CalculateWhole(args, batch, memo, args.Log);
    TPrinter printer(args);
    std::string log;
    batch.Run.BeginStream();
    for (std::size_t i = 0; i < memo.Cp932.size(); ++i) {
        const std::string_view answer =
            batch.Run.StreamLine(memo.Cp932[i], args.Log ? &log : nullptr);
        printer.Line(memo.Printed[i], answer, log);
    }
    return printer.Finish() ? 0 : Fail("cannot write the answers");
}

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// What a first reading of a memo finds.
struct TScan {
    bool Bom = false;
    bool HighBytes = false;
    bool ValidUtf8 = true;
    bool ScriptLines = false;
};

TScan ScanMemo(TLineSource& source) {
    TScan scan;
    std::string_view line;
    bool first = true;
    while (source.Next(line)) {
        if (first) {
            scan.Bom = line.substr(0, kBom.size()) == kBom;
            // A script line after a byte-order mark, in either reading of it.
            if (scan.Bom) {
                const std::string_view rest = line.substr(kBom.size());
                scan.ScriptLines = rest.rfind("#>", 0) == 0 || rest.rfind("#?", 0) == 0;
                line.remove_prefix(kBom.size());
            }
            first = false;
        }
        if (line.size() >= 2 && line[0] == '#' && (line[1] == '>' || line[1] == '?'))
            scan.ScriptLines = true;
        if (HasHighBytes(line)) {
            scan.HighBytes = true;
            scan.ValidUtf8 = scan.ValidUtf8 && IsValidUtf8(line);
        }
    }
    return scan;
}

// How the lines of a memo file reach the engine and the output.
enum class TLineForm { lfAscii, lfUtf8, lfCp932 };

// As the window reads a memo file (FormatOf decides); CP932 with its user-defined codes reserved.
TLineForm ReadingOf(TLineSource& source, const TScan& scan, bool& failed) {
    if (!scan.HighBytes && !scan.Bom) return TLineForm::lfAscii;
    TFileEvidence evidence;
    evidence.Bom = scan.Bom;
    evidence.HighBytes = scan.HighBytes;
    evidence.Utf8 = scan.ValidUtf8;
    if (evidence.Utf8) {
        bool lossless = true;
        source.Rewind();
        std::string_view line;
        bool first = true;
        while (lossless && source.Next(line)) {
            if (first && scan.Bom) line.remove_prefix(kBom.size());
            first = false;
            if (!HasHighBytes(line)) continue;
            const std::string cp932 = Utf8ToCp932(line, &lossless);
            lossless = lossless && Cp932ToUtf8(cp932) == line;
        }
        failed = source.Failed();
        evidence.Utf8 = lossless;
    }
    if (FormatOf(evidence, PlainFileFormat()).Encoding == TDocEncoding::deUtf8)
        return TLineForm::lfUtf8;
    source.Rewind();
    std::string_view line;
    while (source.Next(line))
        ReserveUserAreaCodes(line);
    failed = source.Failed();
    return TLineForm::lfCp932;
}

int Calculate(const TArgs& args, const char* argv0) {
    TMemorySettings store;
    std::string defText, error;
    if (!LoadSettings(args, argv0, store, defText, error)) return Fail(error);
    if (!args.Plot.Out.empty())
        return PlotMemo(args.Plot, args.HaveFile ? args.File : std::string("-"), store,
                        std::move(defText), SetupOf(args));

    if (args.HaveLines && (args.Write || args.DeleteAnswers)) {
        std::string bytes;
        for (const std::string& line : args.Lines)
            (bytes += line) += '\n';
        // Lines of the command line are UTF-8 text.
        TArgs utf8 = args;
        if (utf8.Encoding == TEncoding::enAuto) utf8.Encoding = TEncoding::enUtf8;
        return Rewrite(utf8, std::move(bytes), store, std::move(defText));
    }
    if (args.HaveLines) {
        TBatchRun batch(SetupOf(args), store, std::move(defText));
        return CalculateLines(args, batch);
    }

    TLineSource source;
    if (!source.Open(args.HaveFile ? args.File : std::string("-"), error)) return Fail(error);
    const std::string name =
        !args.HaveFile || args.File == "-" ? std::string("standard input") : args.File;
    if (args.Write || args.DeleteAnswers) {
        std::string bytes;
        if (!source.ReadAll(bytes)) return Fail("cannot read " + name);
        return Rewrite(args, std::move(bytes), store, std::move(defText));
    }

    TBatchRun batch(SetupOf(args), store, std::move(defText));
    const TScan scan = ScanMemo(source);
    bool failed = source.Failed();
    TLineForm form = TLineForm::lfCp932;
    if (args.Encoding == TEncoding::enUtf8) {
        form = TLineForm::lfUtf8;
    } else if (args.Encoding == TEncoding::enAuto && !failed) {
        form = ReadingOf(source, scan, failed);
    }
    if (failed) return Fail("cannot read " + name);

    if (scan.ScriptLines && batch.Calc.ScriptEnabled()) {
        std::string bytes;
        if (!source.ReadAll(bytes)) return Fail("cannot read " + name);
        if (args.Encoding == TEncoding::enAuto) {
            const TDecodedDocument doc = DecodeDocument(std::move(bytes));
            bytes = doc.Encoding == TDocEncoding::deUtf8 ? Cp932ToUtf8(doc.Bytes) : doc.Bytes;
        }
        std::vector<std::string> raw;
        std::size_t pos = 0;
        std::string_view line;
        while (NextTextLine(bytes, pos, line))
            raw.emplace_back(line);
        const TEncoding encoding =
            form == TLineForm::lfUtf8 ? TEncoding::enUtf8 : TEncoding::enCp932;
        return CalculateWhole(args, batch,
                              Decode(raw, encoding, args.Encoding != TEncoding::enCp932), args.Log);
    }

    // Line by line: nothing of a line is kept once it is printed.
    if (!source.Rewind()) return Fail("cannot read " + name);
    TPrinter printer(args);
    std::string log, cp932, printed;
    std::string* const wantLog = args.Log ? &log : nullptr;
    batch.Run.BeginStream();
    std::string_view line;
    bool first = true;
    while (source.Next(line)) {
        if (first && form == TLineForm::lfUtf8 && args.Encoding == TEncoding::enAuto && scan.Bom)
            line.remove_prefix(kBom.size());
        first = false;
        std::string_view engineLine = line;
        std::string_view printedLine = line;
        if (form != TLineForm::lfAscii && HasHighBytes(line)) {
            if (form == TLineForm::lfUtf8) {
                cp932 = Utf8ToCp932(line);
                engineLine = cp932;
            } else if (printer.Utf8) {
                printed = Cp932ToUtf8(line);
                printedLine = printed;
            }
        }
        const std::string_view answer = batch.Run.StreamLine(engineLine, wantLog);
        printer.Line(printedLine, answer, log);
    }
    if (source.Failed()) return Fail("cannot read " + name);
    return printer.Finish() ? 0 : Fail("cannot write the answers");
}

}  // namespace

int main(int argc, char** argv) {
    TArgs args;
    std::string error;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--") break;
        if (a == "-e" || a == "--settings" || a == "--set" || a == "--plot" || a == "--size" ||
            a == "--script-limit")
            ++i;  // their values are no options
        else if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (a == "--version") {
            std::cout << "rekna-calc " << REKNA_VERSION << "\n";
            return 0;
        }
    }
    if (!ParseArgs(argc, argv, args, error)) {
        // The error alone stays in sight; the options are a --help away.
        std::cerr << "rekna-calc: " << error << "\n(rekna-calc --help lists the options)\n";
        return 2;
    }

    try {
        return Calculate(args, argv[0]);
    } catch (const std::bad_alloc&) {
        return Fail("not enough memory for this memo");
    }
}
