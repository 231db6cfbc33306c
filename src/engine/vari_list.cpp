// The variable table: stable ids, a sorted index for lookups and the listing.
#include "engine/vari_list.h"

#include <algorithm>

#include "engine/calc_item.h"
#include "numbers/number_settings.h"

namespace rekna {

namespace {

TCplx AsRead(const TCplx& v) noexcept {
    if (NumberSettings.Fractional) return v;
    return TCplx(v.Re.Value(), v.Im.Value());
}

}  // namespace

TVariList::TVariList() {
    FItems.reserve(100);
    FOrder.reserve(100);
}

int TVariList::Find(std::string_view name) const noexcept {
    const auto it = FIndex.find(name);
    return it == FIndex.end() ? -1 : it->second;
}

void TVariList::SortOrder() const {
    if (FSorted == FItems.size()) return;
    const auto byName = [this](int a, int b) { return FItems[a].Name < FItems[b].Name; };
    const auto middle = static_cast<std::ptrdiff_t>(FOrder.size());
    for (std::size_t id = FSorted; id < FItems.size(); ++id)
        FOrder.push_back(static_cast<int>(id));
    std::sort(FOrder.begin() + middle, FOrder.end(), byName);
    std::inplace_merge(FOrder.begin(), FOrder.begin() + middle, FOrder.end(), byName);
    FSorted = FItems.size();
}

int TVariList::Insert(std::string_view name) {
    const int id = static_cast<int>(FItems.size());
    FItems.push_back(TVarItem{std::string(name), 0, TCplx()});
    FIndex.emplace(std::string(name), id);
    if (name == "ans") FAnsId = id;
    if (name == "f") FFId = id;
    ++FShape;
    FUndoMarks.push_back(FUndoGeneration);
    FUndo.push_back({id, 0, TCplx(), true});
    FLineMarks.push_back(0);
    FLineFlags.emplace_back();
    // A new item's flags are none: a line that creates one changes them as it would an old one.
    Note(id, {});
    return id;
}

void TVariList::Note(int id, TFlagChange change) {
    ++FChanges;
    const auto i = static_cast<std::size_t>(id);
    if (FUndoMarks[i] != FUndoGeneration) {
        FUndoMarks[i] = FUndoGeneration;
        const TVarItem& item = FItems[i];
        FUndo.push_back({id, item.Flags, item.Value, false});
    }
    TFlagChange& line = FLineFlags[i];
    if (FLineMarks[i] != FLineGeneration) {
        FLineMarks[i] = FLineGeneration;
        FLine.push_back(id);
        line = change;
    } else {
        line.And = static_cast<std::uint8_t>(line.And & change.And);
        line.Or = static_cast<std::uint8_t>((line.Or & change.And) | change.Or);
    }
}

TVariList::TFlagChange TVariList::LineFlagChange(int id) const noexcept {
    const auto i = static_cast<std::size_t>(id);
    if (id < 0 || i >= FLineFlags.size() || FLineMarks[i] != FLineGeneration) return {};
    return FLineFlags[i];
}

void TVariList::SetUndoBase() {
    FUndo.clear();
    if (++FUndoGeneration == 0) {
        std::fill(FUndoMarks.begin(), FUndoMarks.end(), 0U);
        FUndoGeneration = 1;
    }
}

void TVariList::UndoToBase() {
    for (auto it = FUndo.rbegin(); it != FUndo.rend(); ++it) {
        if (it->Created) continue;
        TVarItem& item = FItems[static_cast<std::size_t>(it->Id)];
        if (item.Flags != it->Flags || !SameBits(item.Value, it->Value)) {
            ++FChanges;
            item.Flags = it->Flags;
            item.Value = it->Value;
        }
    }
    SetUndoBase();
}

void TVariList::Truncate(int count) {
    if (count < 0 || count >= Count()) return;
    for (std::size_t id = static_cast<std::size_t>(count); id < FItems.size(); ++id)
        FIndex.erase(FItems[id].Name);
    FItems.resize(static_cast<std::size_t>(count));
    FUndoMarks.resize(FItems.size());
    FLineMarks.resize(FItems.size());
    FLineFlags.resize(FItems.size());
    std::erase_if(FOrder, [count](int id) { return id >= count; });
    FSorted = std::min(FSorted, FOrder.size());
    std::erase_if(FUndo, [count](const TUndoItem& u) { return u.Id >= count; });
    std::erase_if(FLine, [count](int id) { return id >= count; });
    if (FAnsId >= count) FAnsId = -1;
    if (FFId >= count) FFId = -1;
    ++FShape;
    ++FChanges;
}

void TVariList::BeginLine() {
    FLine.clear();
    if (++FLineGeneration == 0) {
        std::fill(FLineMarks.begin(), FLineMarks.end(), 0U);
        FLineGeneration = 1;
    }
}

void TVariList::Restore(int id, TFlagChange change, const TCplx& value) noexcept {
    if (id < 0 || id >= Count()) return;
    TVarItem& item = FItems[static_cast<std::size_t>(id)];
    Note(id, change);
    item.Flags = static_cast<std::uint8_t>((item.Flags & change.And) | change.Or);
    item.Value = value;
}

TCplx TVariList::Get(std::string_view name) const noexcept {
    const int id = Find(name);
    return id < 0 ? TCplx() : AsRead(FItems[id].Value);
}

int TVariList::GetWithState(std::string_view name, TFrac& re, TFrac& im) const noexcept {
    const int id = Find(name);
    if (id < 0) return -1;
    const TVarItem& item = FItems[id];
    const TCplx v = AsRead(item.Value);
    re = v.Re;
    im = v.Im;
    if (item.Flags & vfError) return 3;
    return item.Flags & vfAssigned;
}

int TVariList::Set(std::string_view name, const TCplx& value, std::uint8_t flags) {
    int id = Find(name);
    // The flags of a variable made here were none: they are only added to.
    const bool created = id < 0;
    if (created) id = Insert(name);
    TVarItem& item = FItems[id];
    if (item.Flags & vfProtected) return -1;
    Note(id, {created ? std::uint8_t{0xFF} : std::uint8_t{0}, flags});
    item.Value = value;
    item.Flags = flags;
    return id;
}

bool TVariList::SetById(int id, const TCplx& value, bool respectProtection) noexcept {
    if (id < 0 || id >= Count()) return false;
    TVarItem& item = FItems[id];
    if (respectProtection && (item.Flags & vfProtected)) return false;
    Note(id, {});
    item.Value = value;
    return true;
}

bool TVariList::Assign(int id, const TCplx& value) noexcept {
    if (id < 0 || id >= Count()) return false;
    TVarItem& item = FItems[id];
    if (item.Flags & vfProtected) return false;
    Note(id, {static_cast<std::uint8_t>(~vfError), vfAssigned});
    item.Value = value;
    item.Flags = static_cast<std::uint8_t>((item.Flags | vfAssigned) & ~vfError);
    return true;
}

bool TVariList::SetAns(const TCplx& value, bool error) {
    if (FAnsId < 0) Insert("ans");
    TVarItem& item = FItems[FAnsId];
    if (item.Flags & vfProtected) return false;
    Note(FAnsId,
         {static_cast<std::uint8_t>(~vfError), static_cast<std::uint8_t>(error ? vfError : 0)});
    item.Value = value;
    item.Flags =
        static_cast<std::uint8_t>(error ? (item.Flags | vfError) : (item.Flags & ~vfError));
    return true;
}

TCplx TVariList::GetF() const noexcept {
    return FFId < 0 ? TCplx() : AsRead(FItems[FFId].Value);
}

const TVarItem& TVariList::Item(int id) const noexcept {
    static const TVarItem kNone;
    if (id < 0 || id >= Count()) return FItems.empty() ? kNone : FItems[0];
    return FItems[id];
}

int TVariList::IdAt(int position) const {
    SortOrder();
    if (position < 0 || position >= static_cast<int>(FOrder.size()))
        return FOrder.empty() ? -1 : FOrder[0];
    return FOrder[position];
}

TCplx TVariList::ValueOf(int id) const noexcept {
    if (id < 0 || id >= Count()) return TCplx();
    return AsRead(FItems[id].Value);
}

void TVariList::Mark(std::string_view name, std::uint8_t bits) noexcept {
    const int id = Find(name);
    if (id < 0 || (FItems[id].Flags & bits) == bits) return;
    Note(id, {0xFF, bits});
    FItems[id].Flags |= bits;
}

void TVariList::Unmark(std::string_view name, std::uint8_t bits) noexcept {
    const int id = Find(name);
    if (id < 0 || (FItems[id].Flags & bits) == 0) return;
    Note(id, {static_cast<std::uint8_t>(~bits), 0});
    FItems[id].Flags = static_cast<std::uint8_t>(FItems[id].Flags & ~bits);
}

void TVariList::ClearFlagAll(std::uint8_t bits) noexcept {
    for (std::size_t id = 0; id < FItems.size(); ++id) {
        if ((FItems[id].Flags & bits) == 0) continue;
        Note(static_cast<int>(id), {static_cast<std::uint8_t>(~bits), 0});
        FItems[id].Flags = static_cast<std::uint8_t>(FItems[id].Flags & ~bits);
    }
}

void TVariList::Clear() {
    FItems.clear();
    FIndex.clear();
    FOrder.clear();
    FSorted = 0;
    FAnsId = -1;
    FFId = -1;
    ++FShape;
    ++FChanges;
    FUndo.clear();
    FUndoMarks.clear();
    FLine.clear();
    FLineMarks.clear();
    FLineFlags.clear();
}

}  // namespace rekna
