// The template tree: nodes by stable id, tree order, the editing moves and the restore buffer.
#include "templates/template_tree.h"

#include "platform/cp932.h"

#include <algorithm>

namespace rekna {

namespace {

const std::vector<TNodeId> kNoChildren;

// "'" + Tab: the start of a body's name line.
constexpr std::string_view kNameMark = "'\t";

[[nodiscard]] std::string NewHeading() {
    return SysText("新規");
}

// The first line of a body and where the rest begins.
[[nodiscard]] std::string_view FirstLine(std::string_view body, std::size_t& rest) {
    const std::size_t end = body.find_first_of("\r\n");
    if (end == std::string_view::npos) {
        rest = body.size();
        return body;
    }
    rest = end;
    return body.substr(0, end);
}

}  // namespace

std::string CleanHeading(std::string_view name, bool topLevel) {
    std::string heading;
    heading.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t n = CharLength(name, i);
        const char c = name[i];
        heading.append(n == 1 && (c == '\t' || c == '\r' || c == '\n') ? std::string_view(" ")
                                                                       : name.substr(i, n));
        i += n;
    }
    std::size_t start = 0;
    while (start < heading.size() && (heading[start] == ' ' || (topLevel && heading[start] == ';')))
        ++start;
    heading.erase(0, start);
    return heading;
}

std::string BodyName(std::string_view body) {
    std::size_t rest = 0;
    std::string_view line = FirstLine(body, rest);
    if (line.substr(0, kNameMark.size()) != kNameMark) return {};
    line.remove_prefix(kNameMark.size());
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    return std::string(line);
}

std::string WithBodyName(std::string_view body, std::string_view name) {
    std::string out(kNameMark);
    out += name;
    std::size_t rest = 0;
    const std::string_view line = FirstLine(body, rest);
    if (line.substr(0, kNameMark.size()) == kNameMark) {
        out += body.substr(rest);
    } else if (!body.empty()) {
        out += "\r\n";
        out += body;
    }
    return out;
}

void TTemplateTree::Clear() {
    if (!FNodes.empty()) FChanged = true;
    FNodes.clear();
    FTop.clear();
    FSelected = kNoNode;
    FTopNode = kNoNode;
    FSaved.clear();
}

const TTemplateNode* TTemplateTree::Node(TNodeId id) const {
    const auto it = FNodes.find(id);
    return it == FNodes.end() ? nullptr : &it->second;
}

TTemplateNode* TTemplateTree::Mutable(TNodeId id) {
    const auto it = FNodes.find(id);
    return it == FNodes.end() ? nullptr : &it->second;
}

const std::vector<TNodeId>& TTemplateTree::Children(TNodeId parent) const {
    if (parent == kNoNode) return FTop;
    const TTemplateNode* node = Node(parent);
    return node == nullptr ? kNoChildren : node->Children;
}

std::vector<TNodeId>& TTemplateTree::SiblingsOf(TNodeId parent) {
    return parent == kNoNode ? FTop : FNodes.at(parent).Children;
}

TNodeId TTemplateTree::Parent(TNodeId id) const {
    const TTemplateNode* node = Node(id);
    return node == nullptr ? kNoNode : node->Parent;
}

std::int32_t TTemplateTree::Level(TNodeId id) const {
    std::int32_t level = 0;
    for (TNodeId p = Parent(id); p != kNoNode; p = Parent(p))
        ++level;
    return level;
}

std::int32_t TTemplateTree::Index(TNodeId id) const {
    const std::vector<TNodeId>& siblings = Children(Parent(id));
    const auto it = std::find(siblings.begin(), siblings.end(), id);
    return it == siblings.end() ? -1 : static_cast<std::int32_t>(it - siblings.begin());
}

std::vector<TNodeId> TTemplateTree::InOrder() const {
    std::vector<TNodeId> order;
    order.reserve(FNodes.size());
    // Iterative, so that no depth of the tree can exhaust the stack.
    std::vector<TNodeId> stack(FTop.rbegin(), FTop.rend());
    while (!stack.empty()) {
        const TNodeId id = stack.back();
        stack.pop_back();
        order.push_back(id);
        const std::vector<TNodeId>& children = Children(id);
        stack.insert(stack.end(), children.rbegin(), children.rend());
    }
    return order;
}

std::int32_t TTemplateTree::AbsoluteIndex(TNodeId id) const {
    if (Node(id) == nullptr) return -1;
    const std::vector<TNodeId> order = InOrder();
    return static_cast<std::int32_t>(std::find(order.begin(), order.end(), id) - order.begin());
}

TNodeId TTemplateTree::AtAbsoluteIndex(std::int64_t index) const {
    if (index < 0 || index >= static_cast<std::int64_t>(FNodes.size())) return kNoNode;
    return InOrder()[static_cast<std::size_t>(index)];
}

std::int32_t TTemplateTree::Height(TNodeId id) const {
    std::int32_t height = 0;
    std::vector<std::pair<TNodeId, std::int32_t>> stack{{id, 0}};
    while (!stack.empty()) {
        const auto [node, depth] = stack.back();
        stack.pop_back();
        height = std::max(height, depth);
        for (const TNodeId child : Children(node))
            stack.emplace_back(child, depth + 1);
    }
    return height;
}

void TTemplateTree::Detach(TNodeId id) {
    std::vector<TNodeId>& siblings = SiblingsOf(Parent(id));
    siblings.erase(std::remove(siblings.begin(), siblings.end(), id), siblings.end());
}

void TTemplateTree::Attach(TNodeId id, TNodeId parent, std::size_t index) {
    std::vector<TNodeId>& siblings = SiblingsOf(parent);
    index = std::min(index, siblings.size());
    siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(index), id);
    FNodes.at(id).Parent = parent;
    FChanged = true;
}

TNodeId TTemplateTree::Add(TNodeId parent, std::string_view heading, std::size_t index) {
    if (parent != kNoNode && (Node(parent) == nullptr || Level(parent) >= kMaxLevel))
        return kNoNode;
    const TNodeId id = FNextId++;
    TTemplateNode& node = FNodes[id];
    node.Id = id;
    node.Heading.assign(heading);
    Attach(id, parent, index);
    return id;
}

void TTemplateTree::SetExpanded(TNodeId id, bool expanded) {
    if (TTemplateNode* node = Mutable(id)) node->Expanded = expanded;
}

void TTemplateTree::SetAllExpanded(bool expanded) {
    for (auto& [id, node] : FNodes)
        node.Expanded = expanded;
}

void TTemplateTree::SetBody(TNodeId id, std::string text) {
    if (TTemplateNode* node = Mutable(id)) node->Data.Text = std::move(text);
}

void TTemplateTree::SetData(TNodeId id, const TTemplateData& data) {
    TTemplateNode* node = Mutable(id);
    if (node == nullptr) return;
    if (node->Data.Text != data.Text) FChanged = true;
    node->Data = data;
    const std::string heading = CleanHeading(BodyName(data.Text), node->Parent == kNoNode);
    if (!heading.empty() && heading != node->Heading) {
        node->Heading = heading;
        FChanged = true;
    }
}

bool TTemplateTree::Rename(TNodeId id, std::string_view name) {
    TTemplateNode* node = Mutable(id);
    if (node == nullptr) return false;
    const std::string heading = CleanHeading(name, node->Parent == kNoNode);
    if (heading.empty()) return false;
    node->Heading = heading;
    node->Data.Text = WithBodyName(node->Data.Text, heading);
    FChanged = true;
    return true;
}

TNodeId TTemplateTree::NewNodeAt(TNodeId parent, std::size_t index) {
    const TNodeId id = Add(parent, NewHeading(), index);
    if (id == kNoNode) return id;
    FNodes.at(id).Data.Text = WithBodyName({}, NewHeading());
    FSelected = id;
    if (FTopNode == kNoNode) FTopNode = id;
    return id;
}

TNodeId TTemplateTree::InsertNew(TNodeId before) {
    if (Node(before) == nullptr) return kNoNode;
    return NewNodeAt(Parent(before), static_cast<std::size_t>(Index(before)));
}

TNodeId TTemplateTree::AppendNew(TNodeId sibling) {
    if (Node(sibling) == nullptr) return Empty() ? NewNodeAt(kNoNode, SIZE_MAX) : kNoNode;
    return NewNodeAt(Parent(sibling), SIZE_MAX);
}

bool TTemplateTree::Delete(TNodeId id) {
    if (Node(id) == nullptr) return false;
    FSaved.clear();
    const TNodeId parent = Parent(id);
    const std::int32_t index = Index(id);
    // The subtree in tree order, each with its level.
    std::vector<std::pair<TNodeId, std::int32_t>> stack{{id, Level(id)}};
    std::vector<TNodeId> removed;
    while (!stack.empty()) {
        const auto [node, level] = stack.back();
        stack.pop_back();
        const TTemplateNode& n = FNodes.at(node);
        FSaved.push_back({n.Data, n.Expanded, n.Parent, Index(node), level, n.Heading});
        removed.push_back(node);
        for (auto it = n.Children.rbegin(); it != n.Children.rend(); ++it)
            stack.emplace_back(*it, level + 1);
    }
    const std::vector<TNodeId>& siblings = Children(parent);
    TNodeId next = kNoNode;
    if (index + 1 < static_cast<std::int32_t>(siblings.size()))
        next = siblings[static_cast<std::size_t>(index) + 1];
    else if (index > 0)
        next = siblings[static_cast<std::size_t>(index) - 1];
    else
        next = parent;
    Detach(id);
    for (const TNodeId node : removed)
        FNodes.erase(node);
    FChanged = true;
    if (Node(FSelected) == nullptr) FSelected = next;
    if (Node(FTopNode) == nullptr) FTopNode = FTop.empty() ? kNoNode : FTop.front();
    return true;
}

TNodeId TTemplateTree::Restore() {
    if (FSaved.empty()) return kNoNode;
    const TSavedNode& first = FSaved.front();
    const TNodeId parent = Node(first.Parent) != nullptr ? first.Parent : kNoNode;
    // The restored node, then each saved node below the nearest one a level above it.
    std::vector<TNodeId> path;
    TNodeId restored = kNoNode;
    for (const TSavedNode& saved : FSaved) {
        const std::int32_t depth = saved.Level - first.Level;
        TNodeId id = kNoNode;
        if (depth <= 0 || path.empty()) {
            id = Add(parent, saved.Text, static_cast<std::size_t>(std::max(first.Index, 0)));
            restored = id;
            path.assign(1, id);
        } else {
            path.resize(std::min(path.size(), static_cast<std::size_t>(depth)));
            id = Add(path.back(), saved.Text);
            if (id == kNoNode) continue;
            path.push_back(id);
        }
        if (id == kNoNode) break;
        TTemplateNode& node = FNodes.at(id);
        node.Expanded = saved.Expanded;
        node.Data = saved.Data;
    }
    FSaved.clear();
    if (restored != kNoNode) FSelected = restored;
    if (FTopNode == kNoNode) FTopNode = restored;
    return restored;
}

bool TTemplateTree::MoveUp(TNodeId id) {
    if (Node(id) == nullptr) return false;
    const TNodeId parent = Parent(id);
    const std::int32_t index = Index(id);
    if (index > 0) {
        Detach(id);
        Attach(id, parent, static_cast<std::size_t>(index) - 1);
        return true;
    }
    if (parent == kNoNode) return false;
    const std::int32_t parentIndex = Index(parent);
    if (parentIndex <= 0) return false;
    const TNodeId target = Children(Parent(parent))[static_cast<std::size_t>(parentIndex) - 1];
    Detach(id);
    Attach(id, target, SIZE_MAX);
    return true;
}

bool TTemplateTree::MoveDown(TNodeId id) {
    if (Node(id) == nullptr) return false;
    const TNodeId parent = Parent(id);
    const auto index = static_cast<std::size_t>(Index(id));
    if (index + 1 < Children(parent).size()) {
        Detach(id);
        Attach(id, parent, index + 1);
        return true;
    }
    if (parent == kNoNode) return false;
    const auto parentIndex = static_cast<std::size_t>(Index(parent));
    const std::vector<TNodeId>& uncles = Children(Parent(parent));
    if (parentIndex + 1 >= uncles.size()) return false;
    const TNodeId target = uncles[parentIndex + 1];
    Detach(id);
    Attach(id, target, 0);
    return true;
}

bool TTemplateTree::MoveRight(TNodeId id) {
    if (Node(id) == nullptr) return false;
    const std::int32_t index = Index(id);
    if (index <= 0 || Level(id) + 1 + Height(id) > kMaxLevel) return false;
    const TNodeId target = Children(Parent(id))[static_cast<std::size_t>(index) - 1];
    Detach(id);
    Attach(id, target, SIZE_MAX);
    return true;
}

bool TTemplateTree::MoveLeft(TNodeId id) {
    const TNodeId parent = Parent(id);
    if (Node(id) == nullptr || parent == kNoNode) return false;
    const TNodeId grand = Parent(parent);
    const auto parentIndex = static_cast<std::size_t>(Index(parent));
    Detach(id);
    Attach(id, grand, parentIndex + 1);
    return true;
}

}  // namespace rekna
