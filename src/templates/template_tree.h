// TTemplateTree: the template window's tree of headings and bodies, with stable node ids, the
// editing moves and the one-step restore of a deletion.
#pragma once

#include "editor/selection/umemo_selection.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace rekna {

// A node's id stays the same for the node's life and is never handed out again, so a stale id
// finds nothing instead of another node.
using TNodeId = std::uint32_t;
inline constexpr TNodeId kNoNode = 0;

// A body with the body editor's view of it.
struct TTemplateData {
    std::int32_t TopRow = 0;
    TSelPoint Caret{1, 0};
    std::string Text;  // CP932, lines joined with CR LF

    friend bool operator==(const TTemplateData&, const TTemplateData&) = default;
};

struct TTemplateNode {
    TNodeId Id = kNoNode;
    TNodeId Parent = kNoNode;  // kNoNode at the top level
    std::string Heading;       // CP932
    bool Expanded = false;
    TTemplateData Data;
    std::vector<TNodeId> Children;
};

// The heading a node gets for name: Tab and line breaks become spaces, leading spaces go, and
// at the top level leading ";" too, since the file would read such a line otherwise. Empty when
// nothing is left.
[[nodiscard]] std::string CleanHeading(std::string_view name, bool topLevel);
// The name a body's first line gives: the trimmed rest of a line that begins with an apostrophe
// and a Tab; empty otherwise.
[[nodiscard]] std::string BodyName(std::string_view body);
// The body with its first line made the name line "'" + Tab + name (replacing a name line,
// inserted in front of any other line).
[[nodiscard]] std::string WithBodyName(std::string_view body, std::string_view name);

class TTemplateTree {
public:
    // Deeper nodes are not made: reading puts them beside the deepest, moves refuse.
    static constexpr std::int32_t kMaxLevel = 63;

    // Removes every node, the selection, the first visible node and the restore buffer.
    void Clear();
    [[nodiscard]] bool Empty() const noexcept { return FTop.empty(); }
    [[nodiscard]] std::size_t Count() const noexcept { return FNodes.size(); }
    // Null for an unknown id.
    [[nodiscard]] const TTemplateNode* Node(TNodeId id) const;
    // The top-level nodes for kNoNode; an unknown id has none.
    [[nodiscard]] const std::vector<TNodeId>& Children(TNodeId parent) const;
    [[nodiscard]] TNodeId Parent(TNodeId id) const;
    // 0 at the top level.
    [[nodiscard]] std::int32_t Level(TNodeId id) const;
    // Position among its siblings.
    [[nodiscard]] std::int32_t Index(TNodeId id) const;
    // Every node in tree order: a node, then its subtree, then its next sibling.
    [[nodiscard]] std::vector<TNodeId> InOrder() const;
    // Position in tree order, -1 for an unknown id; and the node at a position (kNoNode).
    [[nodiscard]] std::int32_t AbsoluteIndex(TNodeId id) const;
    [[nodiscard]] TNodeId AtAbsoluteIndex(std::int64_t index) const;

    // A node as the index-th child of parent (appended when index is past the end); the heading
    // is taken as given. kNoNode for an unknown parent or one at the deepest level.
    TNodeId Add(TNodeId parent, std::string_view heading, std::size_t index = SIZE_MAX);
    void SetExpanded(TNodeId id, bool expanded);
    void SetAllExpanded(bool expanded);
    // Takes a body as it is, without looking for a name line (reading the file).
    void SetBody(TNodeId id, std::string text);
    // Stores a body; a name line in it renames the node.
    void SetData(TNodeId id, const TTemplateData& data);
    // The heading becomes the cleaned name and the body's name line follows; false (nothing
    // changed) when no heading is left of the name.
    bool Rename(TNodeId id, std::string_view name);

    // --- The window's editing commands. Each sets Changed() when it changes something.
    // "新規" with its name line in front of before, selected.
    TNodeId InsertNew(TNodeId before);
    // "新規" as the last node of sibling's group (the first node of an empty tree), selected.
    TNodeId AppendNew(TNodeId sibling);
    // The node and its subtree go into the restore buffer (replacing what it held) and out of the
    // tree; the next sibling, else the previous one, else the parent is selected.
    bool Delete(TNodeId id);
    [[nodiscard]] bool CanRestore() const noexcept { return !FSaved.empty(); }
    // The deleted subtree back in its parent at its old position (as far as the parent still
    // has siblings there; at the top level when the parent is gone), selected; the buffer empties.
    TNodeId Restore();
    void ClearRestore() noexcept { FSaved.clear(); }
    // Before the previous sibling, else as the last child of the parent's previous sibling.
    bool MoveUp(TNodeId id);
    // After the next sibling, else as the first child of the parent's next sibling.
    bool MoveDown(TNodeId id);
    // As the last child of the previous sibling.
    bool MoveRight(TNodeId id);
    // Directly after its parent, at the parent's level.
    bool MoveLeft(TNodeId id);

    // The selected node and the first visible one (kNoNode when none).
    [[nodiscard]] TNodeId Selected() const noexcept { return FSelected; }
    void Select(TNodeId id) { FSelected = Node(id) != nullptr ? id : kNoNode; }
    [[nodiscard]] TNodeId TopNode() const noexcept { return FTopNode; }
    void SetTopNode(TNodeId id) { FTopNode = Node(id) != nullptr ? id : kNoNode; }

    // Something was added, removed, moved, renamed or rewritten since ClearChanged().
    [[nodiscard]] bool Changed() const noexcept { return FChanged; }
    void ClearChanged() noexcept { FChanged = false; }

private:
    // One node of a deletion: the deleted node first, then its subtree in tree order.
    struct TSavedNode {
        TTemplateData Data;
        bool Expanded = false;
        TNodeId Parent = kNoNode;
        std::int32_t Index = 0;
        std::int32_t Level = 0;
        std::string Text;
    };

    [[nodiscard]] TTemplateNode* Mutable(TNodeId id);
    [[nodiscard]] std::vector<TNodeId>& SiblingsOf(TNodeId parent);
    // Takes the node out of its sibling list (the subtree stays attached to it).
    void Detach(TNodeId id);
    void Attach(TNodeId id, TNodeId parent, std::size_t index);
    // Levels below the node: 0 for a leaf.
    [[nodiscard]] std::int32_t Height(TNodeId id) const;
    TNodeId NewNodeAt(TNodeId parent, std::size_t index);

    std::unordered_map<TNodeId, TTemplateNode> FNodes;
    std::vector<TNodeId> FTop;
    TNodeId FNextId = 1;
    TNodeId FSelected = kNoNode;
    TNodeId FTopNode = kNoNode;
    std::vector<TSavedNode> FSaved;
    bool FChanged = false;
};

}  // namespace rekna
