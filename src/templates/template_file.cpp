// Reading and writing the template file, its text form, and the monthly snapshot.
#include "templates/template_file.h"

#include "editor/commands/past_string_list.h"
#include "platform/cp932.h"
#include "platform/file_io.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>

namespace rekna {

namespace {

constexpr std::string_view kSelectedKey = ";SelectdNodeIndex=";
constexpr std::string_view kTopKey = ";TopNodeIndex=";
constexpr std::string_view kCrLf = "\r\n";

constexpr std::string_view kCommentLines[] = {
    ";ReknaTemplate.txt テンプレートファイル",
    ";  ;で始まる行はコメント",
    ";  Tab記号で始まる行は、テンプレートの内部テキスト",
    ";  半角スペースで始まる行は、子項目の見出し（スペース数で深さ）",
    ";  その他の文字で始まる行は、親項目の見出し",
};

// A state line's number; anything unreadable counts as 0.
[[nodiscard]] std::int64_t StateNumber(std::string_view text) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0) return 0;
    return value;
}

[[nodiscard]] bool OnlyBlanks(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// The heading as a line of the file can hold it; "新規" when nothing of it is left.
[[nodiscard]] std::string StoredHeading(std::string_view heading, bool topLevel) {
    std::string stored = CleanHeading(heading, topLevel);
    return stored.empty() ? SysText("新規") : stored;
}

}  // namespace

std::string TemplateFilePath(const std::string& programFolder, bool programFolderWritable,
                             const std::string& settingsFolder) {
    return (programFolderWritable ? programFolder : settingsFolder) +
           std::string(kTemplateFileName);
}

std::string SnapshotPath(const std::string& path, int year, int month) {
    const std::size_t slash = path.rfind('/');
    std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = path.size();
    return path.substr(0, dot) + std::to_string(year * 100 + month) + ".dat";
}

bool ParseTemplateText(std::string_view text, TTemplateTree& tree) {
    tree.Clear();
    TNodeId current = kNoNode;
    std::int32_t level = 0;
    std::string body;
    bool hasBody = false;
    std::int64_t selected = 0;
    std::int64_t top = 0;
    const auto storeBody = [&] {
        if (hasBody) tree.SetBody(current, std::move(body));
        body.clear();
        hasBody = false;
    };
    std::size_t pos = 0;
    std::string_view line;
    while (NextTextLine(text, pos, line)) {
        if (line.empty()) continue;
        if (line.front() == ';') {
            if (line.substr(0, kSelectedKey.size()) == kSelectedKey)
                selected = StateNumber(line.substr(kSelectedKey.size()));
            else if (line.substr(0, kTopKey.size()) == kTopKey)
                top = StateNumber(line.substr(kTopKey.size()));
            continue;
        }
        if (line.front() == '\t') {
            // Body lines before the first heading belong to no node.
            if (current == kNoNode) continue;
            if (hasBody) body += kCrLf;
            body.append(line.substr(1));
            hasBody = true;
            continue;
        }
        // A line of blanks is no heading: saving would not give it back as one.
        if (OnlyBlanks(line)) continue;
        if (tree.Count() >= kMaxTemplateNodes) {
            tree.Clear();
            tree.ClearChanged();
            return false;
        }
        storeBody();
        const std::size_t depth = line.find_first_not_of(' ');
        std::string_view heading = line.substr(depth);
        const bool expanded = heading.back() == '\t';
        if (expanded) heading.remove_suffix(1);
        TNodeId parent = kNoNode;
        if (current != kNoNode) {
            if (depth > static_cast<std::size_t>(level) && level < TTemplateTree::kMaxLevel) {
                parent = current;
            } else {
                // Up to the ancestor at the heading's depth, whose next sibling it becomes.
                TNodeId sibling = current;
                for (std::int32_t l = level; static_cast<std::size_t>(l) > depth; --l)
                    sibling = tree.Parent(sibling);
                parent = tree.Parent(sibling);
            }
        }
        current = tree.Add(parent, StoredHeading(heading, parent == kNoNode));
        tree.SetExpanded(current, expanded);
        level = tree.Level(current);
    }
    storeBody();
    tree.Select(tree.AtAbsoluteIndex(selected));
    tree.SetTopNode(tree.AtAbsoluteIndex(top));
    tree.ClearRestore();
    tree.ClearChanged();
    return true;
}

std::string TemplateText(const TTemplateTree& tree) {
    std::string out;
    for (const std::string_view comment : kCommentLines) {
        out += SysText(comment);
        out += kCrLf;
    }
    const std::vector<TNodeId> order = tree.InOrder();
    for (const TNodeId id : order) {
        const TTemplateNode& node = *tree.Node(id);
        const std::int32_t level = tree.Level(id);
        out.append(static_cast<std::size_t>(level), ' ');
        out += StoredHeading(node.Heading, level == 0);
        if (node.Expanded) out += '\t';
        out += kCrLf;
        // Every line of the body, an empty last one after a final line break included.
        const std::string_view body = node.Data.Text;
        std::size_t begin = 0;
        for (std::size_t i = 0; !body.empty() && i <= body.size(); ++i) {
            if (i < body.size() && body[i] != '\r' && body[i] != '\n') continue;
            out += '\t';
            out += body.substr(begin, i - begin);
            out += kCrLf;
            if (i + 1 < body.size() && body[i] == '\r' && body[i + 1] == '\n') ++i;
            begin = i + 1;
        }
    }
    const auto indexText = [&](TNodeId id) {
        return std::to_string(std::max(tree.AbsoluteIndex(id), 0));
    };
    out += std::string(kSelectedKey) + indexText(tree.Selected()) + std::string(kCrLf);
    out += std::string(kTopKey) + indexText(tree.TopNode()) + std::string(kCrLf);
    return out;
}

TFileResult TTemplateFile::Read(TTemplateTree& tree, const std::tm& now) {
    tree.Clear();
    tree.ClearChanged();
    FReadFailed = false;
    struct stat info {};
    if (::stat(FPath.c_str(), &info) != 0) {
        if (errno == ENOENT) {
            // A new file, written as new files are.
            const TDocFormat format = PlainFileFormat();
            FEncoding = format.Encoding;
            FBom = format.Bom;
            FLineEnd = format.LineEnd;
            return {};
        }
        FReadFailed = true;
        return {TFileStatus::fsReadError, errno};
    }
    if (S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_size) > kMaxTemplateFileBytes) {
        FReadFailed = true;
        return {TFileStatus::fsReadError, EFBIG};
    }
    std::string bytes;
    const TFileResult read = ReadWholeFile(FPath, bytes);
    if (!read.Ok()) {
        FReadFailed = true;
        return read;
    }
    if (bytes.size() > kMaxTemplateFileBytes) {
        FReadFailed = true;
        return {TFileStatus::fsReadError, EFBIG};
    }
    // The month's snapshot: year and month both, so that a file a year old counts as well.
    std::tm changed{};
    const std::time_t mtime = info.st_mtime;
    if (::localtime_r(&mtime, &changed) != nullptr &&
        (changed.tm_year != now.tm_year || changed.tm_mon != now.tm_mon)) {
        const std::string snapshot = SnapshotPath(FPath, now.tm_year + 1900, now.tm_mon + 1);
        struct stat existing {};
        if (::stat(snapshot.c_str(), &existing) != 0 && errno == ENOENT) {
            const TFileResult ignored =
                WriteFileReplacing(snapshot, [&](const auto& sink) { sink(bytes); });
            static_cast<void>(ignored);
        }
    }
    TDecodedDocument decoded = DecodeDocument(std::move(bytes));
    if (!ParseTemplateText(decoded.Bytes, tree)) {
        FReadFailed = true;
        return {TFileStatus::fsReadError, EFBIG};
    }
    FEncoding = decoded.Encoding;
    FBom = decoded.Bom;
    FLineEnd = decoded.LineEnd;
    return {};
}

TFileResult TTemplateFile::Write(TTemplateTree& tree) {
    if (FReadFailed && !tree.Changed()) return {};
    const std::string text = TemplateText(tree);
    if (!CanEncode(text, FEncoding)) FEncoding = TDocEncoding::deUtf8;
    const std::string bytes = EncodeKeepingAll(text, {FEncoding, FBom, FLineEnd});
    // The settings folder may not exist yet on a first start.
    if (!MakeParentFolders(FPath)) return {TFileStatus::fsWriteError, errno};
    const TFileResult result = WriteFileReplacing(FPath, [&](const auto& sink) { sink(bytes); });
    if (result.Ok()) {
        tree.ClearRestore();
        tree.ClearChanged();
        FReadFailed = false;
    }
    return result;
}

}  // namespace rekna
