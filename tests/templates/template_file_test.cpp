// The template tree, its file (read, written, kept, snapshotted) and putting templates into the
// memo.
#include "editor/umemo_editor.h"
#include "platform/cp932.h"
#include "support/temp_folder.h"
#include "templates/template_file.h"
#include "templates/template_memo.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include <filesystem>

namespace rekna {
namespace {

using test::ReadBytes;
using test::TTempFolder;
using test::WriteBytes;

std::string J(std::string_view utf8) {
    return Utf8ToCp932(utf8);
}

// UTF-8 lines joined with LF to CP932 with CR LF.
std::string Crlf(std::string_view utf8) {
    std::string out;
    for (const char c : J(utf8)) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// The tree in order, one node a line: level dots, heading, "+" when expanded, "*" selected.
std::string Dump(const TTemplateTree& tree) {
    std::string out;
    for (const TNodeId id : tree.InOrder()) {
        const TTemplateNode& node = *tree.Node(id);
        out += std::string(static_cast<std::size_t>(tree.Level(id)), '.') +
               Cp932ToUtf8(node.Heading) + (node.Expanded ? "+" : "") +
               (id == tree.Selected() ? "*" : "") + ";";
    }
    return out;
}

TTemplateTree Parsed(std::string_view utf8) {
    TTemplateTree tree;
    EXPECT_TRUE(ParseTemplateText(Crlf(utf8), tree));
    return tree;
}

TNodeId Named(const TTemplateTree& tree, std::string_view utf8) {
    for (const TNodeId id : tree.InOrder())
        if (tree.Node(id)->Heading == J(utf8)) return id;
    return kNoNode;
}

TEST(TemplateFileTest, HeadingsNestByTheirLeadingSpaces) {
    struct TCase {
        const char* File;
        const char* Tree;
    };
    const TCase cases[] = {
        {"A\n B\n  C\n D\nE", "A*;.B;..C;.D;E;"},
        {"A\n   B\n  C\n B2", "A*;.B;..C;.B2;"},
        {"A\t\n\tbody\n B\n;comment\n\n \t\nC", "A+*;.B;C;"},
        {"\tlost\n B\t", "B+*;"},
        {"A\n B\n;SelectdNodeIndex=1\n;TopNodeIndex=x", "A;.B*;"},
        {"A\n ;x\n B", "A*;.;x;.B;"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Dump(Parsed(c.File)), c.Tree) << c.File;
    }
}

TEST(TemplateFileTest, WritingAndReadingBackGiveTheSameTree) {
    TTemplateTree tree = Parsed("A\n B\n  C\nD");
    const TNodeId b = Named(tree, "B");
    tree.SetData(b, {.TopRow = 2, .Caret = {3, 1}, .Text = Crlf("\nx = 1\t# 式\n")});
    tree.SetExpanded(b, true);
    tree.Select(Named(tree, "C"));
    tree.SetTopNode(b);
    const std::string text = TemplateText(tree);
    EXPECT_EQ(Cp932ToUtf8(text.substr(text.find(J(";  その他")))),
              ";  その他の文字で始まる行は、親項目の見出し\r\nA\r\n B\t\r\n\t\r\n\tx = 1\t# "
              "式\r\n\t\r\n  C\r\nD\r\n;SelectdNodeIndex=2\r\n;TopNodeIndex=1\r\n");
    TTemplateTree back;
    ASSERT_TRUE(ParseTemplateText(text, back));
    EXPECT_EQ(Dump(back), Dump(tree));
    EXPECT_EQ(back.Node(Named(back, "B"))->Data.Text, tree.Node(b)->Data.Text);
    EXPECT_EQ(back.TopNode(), Named(back, "B"));
    EXPECT_EQ(TemplateText(back), text);
}

TEST(TemplateFileTest, DeletingWithChildrenAndRestoringOnce) {
    TTemplateTree tree = Parsed("A\nB\n B1\n  B11\n B2\nC");
    const TNodeId b = Named(tree, "B");
    tree.SetExpanded(Named(tree, "B1"), true);
    tree.Select(b);
    ASSERT_TRUE(tree.Delete(b));
    EXPECT_EQ(Dump(tree), "A;C*;");
    EXPECT_TRUE(tree.CanRestore());
    const TNodeId restored = tree.Restore();
    EXPECT_EQ(Dump(tree), "A;B*;.B1+;..B11;.B2;C;");
    EXPECT_EQ(restored, tree.Selected());
    EXPECT_FALSE(tree.CanRestore());
    EXPECT_EQ(tree.Restore(), kNoNode);
    // The parent of a deleted child went too: the child comes back at the top level.
    const TNodeId b2 = Named(tree, "B2");
    tree.Delete(b2);
    EXPECT_EQ(tree.Node(b2), nullptr);
    tree.ClearRestore();
    tree.Delete(Named(tree, "B11"));
    tree.Delete(Named(tree, "B1"));
    tree.Restore();
    EXPECT_EQ(Dump(tree), "A;B;.B1+*;C;");
}

TEST(TemplateFileTest, Moves) {
    struct TCase {
        const char* Node;
        bool (TTemplateTree::*Move)(TNodeId);
        bool Moved;
        const char* Tree;
    };
    const TCase cases[] = {
        {"B", &TTemplateTree::MoveUp, true, "B;.B1;A;.A1;C;"},
        {"A", &TTemplateTree::MoveUp, false, "A;.A1;B;.B1;C;"},
        {"B1", &TTemplateTree::MoveUp, true, "A;.A1;.B1;B;C;"},
        {"A1", &TTemplateTree::MoveDown, true, "A;B;.A1;.B1;C;"},
        {"C", &TTemplateTree::MoveDown, false, "A;.A1;B;.B1;C;"},
        {"C", &TTemplateTree::MoveRight, true, "A;.A1;B;.B1;.C;"},
        {"A", &TTemplateTree::MoveRight, false, "A;.A1;B;.B1;C;"},
        {"B1", &TTemplateTree::MoveLeft, true, "A;.A1;B;B1;C;"},
        {"A", &TTemplateTree::MoveLeft, false, "A;.A1;B;.B1;C;"},
    };
    for (const TCase& c : cases) {
        TTemplateTree tree = Parsed("A\n A1\nB\n B1\nC");
        tree.Select(kNoNode);
        EXPECT_EQ((tree.*c.Move)(Named(tree, c.Node)), c.Moved) << c.Node;
        EXPECT_EQ(Dump(tree), c.Tree) << c.Node;
        EXPECT_EQ(tree.Changed(), c.Moved) << c.Node;
    }
}

TEST(TemplateFileTest, NameLinesAndNewNodes) {
    TTemplateTree tree = Parsed("A\nB");
    const TNodeId a = Named(tree, "A");
    tree.SetData(a, {.Text = Crlf("'\t Sum \n=1+2")});
    EXPECT_EQ(tree.Node(a)->Heading, "Sum");
    struct TCase {
        const char* Name;
        bool Renamed;
        const char* Heading;
        const char* Body;
    };
    const TCase cases[] = {
        {"合計", true, "合計", "'\t合計\n=1+2"},
        {"  ;;x\ty", true, "x y", "'\tx y\n=1+2"},
        {" ", false, "x y", "'\tx y\n=1+2"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(tree.Rename(a, J(c.Name)), c.Renamed) << c.Name;
        EXPECT_EQ(Cp932ToUtf8(tree.Node(a)->Heading), c.Heading) << c.Name;
        EXPECT_EQ(tree.Node(a)->Data.Text, Crlf(c.Body)) << c.Name;
    }
    const TNodeId b = Named(tree, "B");
    EXPECT_EQ(WithBodyName(Crlf("x\ny"), "N"), Crlf("'\tN\nx\ny"));
    const TNodeId inserted = tree.InsertNew(b);
    EXPECT_EQ(Dump(tree), "x y;新規*;B;");
    EXPECT_EQ(tree.Node(inserted)->Data.Text, J("'\t新規"));
    tree.AppendNew(b);
    EXPECT_EQ(Dump(tree), "x y;新規;B;新規*;");
    TTemplateTree empty;
    EXPECT_EQ(empty.InsertNew(kNoNode), kNoNode);
    EXPECT_NE(empty.AppendNew(kNoNode), kNoNode);
}

TEST(TemplateFileTest, DepthIsBounded) {
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += std::string(static_cast<std::size_t>(i), ' ') + "h\r\n";
    TTemplateTree tree;
    ASSERT_TRUE(ParseTemplateText(text, tree));
    std::int32_t deepest = 0;
    for (const TNodeId id : tree.InOrder())
        deepest = std::max(deepest, tree.Level(id));
    EXPECT_EQ(deepest, TTemplateTree::kMaxLevel);
    EXPECT_EQ(tree.Count(), 200U);
}

void SetModified(const std::string& path, std::time_t when) {
    const utimbuf times{when, when};
    ASSERT_EQ(::utime(path.c_str(), &times), 0);
}

std::tm Month(int year, int month) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = 15;
    t.tm_hour = 12;
    t.tm_isdst = -1;
    return t;
}

TEST(TemplateFileTest, MonthlySnapshotOnceComparingYearAndMonth) {
    TTempFolder dir;
    const std::string path = dir.File("ReknaTemplate.txt");
    const std::string bytes = Crlf("A\n\tx\n");
    WriteBytes(path, bytes);
    std::tm november = Month(2026, 11);
    SetModified(path, std::mktime(&november));
    TTemplateFile file(path);
    TTemplateTree tree;
    ASSERT_TRUE(file.Read(tree, Month(2026, 12)).Ok());
    const std::string snapshot = dir.File("ReknaTemplate202612.dat");
    EXPECT_EQ(ReadBytes(snapshot), bytes);
    WriteBytes(snapshot, "kept");
    ASSERT_TRUE(file.Read(tree, Month(2026, 12)).Ok());
    EXPECT_EQ(ReadBytes(snapshot), "kept");
    // The same month a year later is another month.
    ASSERT_TRUE(file.Read(tree, Month(2027, 11)).Ok());
    EXPECT_TRUE(std::filesystem::exists(dir.File("ReknaTemplate202711.dat")));
    // Read in the month it was written: no snapshot.
    std::tm now = Month(2026, 12);
    SetModified(path, std::mktime(&now));
    ASSERT_TRUE(file.Read(tree, Month(2026, 12)).Ok());
    EXPECT_EQ(SnapshotPath("/a.b/T.txt", 2026, 1), "/a.b/T202601.dat");
}

TEST(TemplateFileTest, AFailedReadNeverLetsAnEmptyTreeOverwriteTheFile) {
    TTempFolder dir;
    const std::string path = dir.File("ReknaTemplate.txt");
    const std::string big(kMaxTemplateFileBytes + 1, 'x');
    WriteBytes(path, big);
    TTemplateFile file(path);
    TTemplateTree tree;
    EXPECT_FALSE(file.Read(tree, Month(2026, 12)).Ok());
    EXPECT_TRUE(file.ReadFailed());
    EXPECT_TRUE(tree.Empty());
    EXPECT_TRUE(file.Write(tree).Ok());
    EXPECT_EQ(ReadBytes(path).size(), big.size());
    // A change made on purpose is written.
    tree.AppendNew(kNoNode);
    EXPECT_TRUE(file.Write(tree).Ok());
    EXPECT_NE(ReadBytes(path).size(), big.size());
}

TEST(TemplateFileTest, WritingKeepsTheEncodingAndLineEnds) {
    struct TCase {
        std::string Bytes;
        const char* Starts;  // the written file's first bytes, as UTF-8 text when it is
        TDocEncoding Encoding;
    };
    const TCase cases[] = {
        {"\xEF\xBB\xBF"
         "A\r\n\t\xE5\xBC\x8F\r\n",
         "\xEF\xBB\xBF;ReknaTemplate.txt テンプレートファイル\r\n", TDocEncoding::deUtf8},
        {Crlf("A\n\t式\n"), ";ReknaTemplate.txt テンプレートファイル\r\n", TDocEncoding::deCp932},
        {"A\n", ";ReknaTemplate.txt テンプレートファイル\n", TDocEncoding::deUtf8},  // ASCII
    };
    for (const TCase& c : cases) {
        TTempFolder dir;
        const std::string path = dir.File("sub/ReknaTemplate.txt");
        std::filesystem::create_directories(dir.File("sub"));
        WriteBytes(path, c.Bytes);
        TTemplateFile file(path);
        TTemplateTree tree;
        ASSERT_TRUE(file.Read(tree, Month(2026, 12)).Ok());
        ASSERT_TRUE(file.Write(tree).Ok());
        std::string written = ReadBytes(path);
        EXPECT_EQ(file.Encoding(), c.Encoding) << c.Starts;
        if (file.Encoding() == TDocEncoding::deCp932) written = Cp932ToUtf8(written);
        EXPECT_EQ(written.substr(0, std::string_view(c.Starts).size()), c.Starts);
        TTemplateTree back;
        ASSERT_TRUE(file.Read(back, Month(2026, 12)).Ok());
        EXPECT_EQ(Dump(back), Dump(tree));
    }
    // A new file goes into a settings folder that does not exist yet.
    TTempFolder dir;
    TTemplateFile fresh(dir.File("new/rekna/ReknaTemplate.txt"));
    TTemplateTree tree;
    ASSERT_TRUE(fresh.Read(tree, Month(2026, 12)).Ok());
    tree.AppendNew(kNoNode);
    EXPECT_TRUE(fresh.Write(tree).Ok());
    EXPECT_EQ(fresh.Encoding(), TDocEncoding::deUtf8);
    // Where the settings make Shift_JIS the default, a new file is Shift_JIS with CR LF.
    const TDocFormat plain = PlainFileFormat();
    SetPlainFileFormat(DefaultFormat(true));
    TTemplateFile sjis(dir.File("sjis/ReknaTemplate.txt"));
    ASSERT_TRUE(sjis.Read(tree, Month(2026, 12)).Ok());
    tree.AppendNew(kNoNode);
    EXPECT_TRUE(sjis.Write(tree).Ok());
    SetPlainFileFormat(plain);
    const std::string bytes = ReadBytes(dir.File("sjis/ReknaTemplate.txt"));
    EXPECT_EQ(bytes.substr(0, bytes.find('\n') + 1),
              SysText(";ReknaTemplate.txt テンプレートファイル\r\n"));
    EXPECT_EQ(TemplateFilePath("/opt/", false, "/home/u/.config/rekna/"),
              "/home/u/.config/rekna/ReknaTemplate.txt");
}

TEST(TemplateFileTest, LinesGoIntoTheMemo) {
    struct TCase {
        const char* Name;
        TSelPoint Caret;
        bool Append;
        const char* Text;
        const char* Memo;
        TSelPoint CaretAfter;
    };
    const TCase cases[] = {
        {"above the caret line", {2, 1}, false, "t1\nt2\n", "a|t1|t2|bc|d", {2, 3}},
        {"below it when the caret is behind its end", {3, 1}, false, "t", "a|bc|t|d", {3, 1}},
        {"appended", {1, 0}, true, "t1\nt2", "a|bc|d|t1|t2", {1, 4}},
        {"nothing for an empty text", {1, 0}, false, "", "a|bc|d", {1, 0}},
    };
    for (const TCase& c : cases) {
        TUMemoEditor memo;
        ASSERT_TRUE(memo.Strings().LoadBytes(Crlf("a\nbc\nd"), false));
        memo.Strings().Selection().SetCaret(memo.Strings(), c.Caret, TSelMode::smNone);
        if (c.Append)
            AppendTemplateLines(memo, Crlf(c.Text));
        else
            InsertTemplateLines(memo, Crlf(c.Text));
        std::string rows;
        for (std::int32_t r = 0; r < memo.Strings().GetCount(); ++r)
            rows += (r > 0 ? "|" : "") + memo.Strings().Get(r);
        EXPECT_EQ(rows, c.Memo) << c.Name;
        EXPECT_EQ(memo.Strings().Selection().Caret, c.CaretAfter) << c.Name;
        if (std::string_view(c.Text).empty()) continue;
        EXPECT_TRUE(memo.Undo()) << c.Name;
        EXPECT_FALSE(memo.CanUndo()) << c.Name;
    }
}

}  // namespace
}  // namespace rekna
