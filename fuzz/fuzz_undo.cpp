// Fuzz target: arbitrary bytes loaded into the editor, then a sequence of editing commands with
// arbitrary text and selections; the rows must stay consistent, undoing every step must give back
// the loaded bytes exactly, and redoing every step the edited ones.
#include "editor/umemo_editor.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace rekna;

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_undo: %s\n", what);
        std::abort();
    }
}

void CheckRows(const TUMemoStrings& s) {
    const std::string fault = s.CheckRows(false);
    if (!fault.empty()) std::fprintf(stderr, "fuzz_undo: %s\n", fault.c_str());
    Check(fault.empty(), "rows are inconsistent");
}

// Reads the command bytes in order; zeros once they run out.
class TReader {
public:
    explicit TReader(std::string_view data) : FData(data) {}
    [[nodiscard]] bool Done() const noexcept { return FPos >= FData.size(); }
    unsigned Next(unsigned n) {
        if (Done() || n == 0) return 0;
        return static_cast<unsigned char>(FData[FPos++]) % n;
    }
    std::string Text() {
        const std::size_t n = std::min<std::size_t>(Next(9), FData.size() - FPos);
        std::string text(FData.substr(FPos, n));
        FPos += n;
        return text;
    }

private:
    std::string_view FData;
    std::size_t FPos = 0;
};

TSelPoint Point(const TUMemoStrings& s, TReader& in) {
    if (s.GetCount() == 0) return {1, 0};
    const auto row = static_cast<std::int32_t>(in.Next(static_cast<unsigned>(s.GetCount())));
    return {1 + static_cast<std::int32_t>(in.Next(static_cast<unsigned>(s.Get(row).size()) + 2)),
            row};
}

void Select(TUMemoEditor& e, TReader& in) {
    TUMemoStrings& s = e.Strings();
    TUMemoSelection& sel = s.Selection();
    const auto rows = static_cast<unsigned>(std::max(s.GetCount(), 1));
    switch (in.Next(6)) {
    case 0: sel.SetCaret(s, Point(s, in), TSelMode::smNone); break;
    case 1: sel.SelectStream(s, Point(s, in), Point(s, in)); break;
    case 2:
        sel.SelectRows(s, static_cast<std::int32_t>(in.Next(rows)),
                       static_cast<std::int32_t>(in.Next(rows)));
        break;
    case 3: {
        const TSelPoint a{1 + static_cast<std::int32_t>(in.Next(20)),
                          static_cast<std::int32_t>(in.Next(rows))};
        const TSelPoint b{in.Next(2) == 0 ? a.X : 1 + static_cast<std::int32_t>(in.Next(20)),
                          static_cast<std::int32_t>(in.Next(rows))};
        sel.SelectBox(s, a, b);
        break;
    }
    case 4: e.SelectAll(); break;
    default: break;
    }
}

void Command(TUMemoEditor& e, TMemoryClipboard& clipboard, TReader& in) {
    TUMemoStrings& s = e.Strings();
    switch (in.Next(16)) {
    case 0: e.InsertAtCaret(in.Text()); break;
    case 1:
        e.SetInsertMode(false);
        e.InsertAtCaret(in.Text());
        e.SetInsertMode(true);
        break;
    case 2: e.NewLine(in.Next(2) == 0); break;
    case 3: e.BackSpace(in.Next(2) == 0); break;
    case 4: e.DeleteChar(in.Next(2) == 0); break;
    case 5: e.Cut(); break;
    case 6:
        clipboard.SetText(in.Text());
        e.Paste();
        break;
    case 7:
        clipboard.SetText(in.Text());
        e.BoxPaste();
        break;
    case 8:
        clipboard.SetText(in.Text());
        if (in.Next(2) == 0)
            e.QuotedPaste();
        else
            e.CalcPaste();
        break;
    case 9: e.TabKey(in.Next(2) == 0); break;
    case 10: e.InsertClipText(in.Text(), true, in.Next(2) == 0, {}); break;
    case 11: s.SetWrapColumns(static_cast<std::int32_t>(in.Next(30))); break;
    case 12:
        if (in.Next(2) == 0)
            s.JoinLines();
        else
            s.JoinSelected();
        break;
    case 13:
        s.SetAutoKakko(true);
        e.InsertAtCaret("(");
        s.SetAutoKakko(false);
        break;
    case 14:
        e.Copy(in.Next(2) == 0);
        e.Paste();
        break;
    default:
        s.SetDoubleKana(true);
        s.SetDoubleDiv(true);
        s.SetDoubleMul(true);
        e.InsertAtCaret(in.Text());
        s.SetDoubleKana(false);
        s.SetDoubleDiv(false);
        s.SetDoubleMul(false);
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t docLength = std::min<std::size_t>(data[3], size - 4);
    TUMemoEditor e;
    TMemoryClipboard clipboard;
    e.SetClipboard(&clipboard);
    TUMemoStrings& s = e.Strings();
    s.SetTabStops(1 + data[1] % 12);
    s.SetAutoIndent((data[2] & 1) != 0);
    s.SetBanBreak((data[2] & 2) != 0);
    s.SetWrapColumns(data[0] % 40);
    Check(s.LoadBytes(bytes.substr(4, docLength), false), "load failed");
    const std::string original = s.SaveBytes();
    TReader in(bytes.substr(4 + docLength));

    std::size_t steps = 0;
    // Pasting a selection into itself doubles the rows: the edits stop before memory runs out.
    while (!in.Done() && steps < 64 && s.GetCount() < 4000 &&
           e.History().UndoList().Count() < 40000) {
        Select(e, in);
        Command(e, clipboard, in);
        CheckRows(s);
        ++steps;
    }
    const std::string edited = s.SaveBytes();
    while (e.Undo())
        CheckRows(s);
    Check(s.SaveBytes() == original, "undo did not give back the loaded text");
    while (e.Redo())
        CheckRows(s);
    Check(s.SaveBytes() == edited, "redo did not give back the edited text");
    while (e.Undo()) {}
    Check(s.SaveBytes() == original, "a second undo did not give back the loaded text");
    return 0;
}
