// TVariList: the engine's table of named complex variables.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "numbers/cplx.h"

namespace rekna {

enum TVarFlag : std::uint8_t {
    vfAssigned = 1,   // assigned by a calculation
    vfGraph = 2,      // used by the graph window's formulas
    vfProtected = 4,  // write-protected: assignments are refused silently
    vfError = 8,      // holds the error mark of a failed answer
};

struct TVarItem {
    std::string Name;  // lower-case
    std::uint8_t Flags = 0;
    TCplx Value;
};

// Variables keep a stable id for their lifetime, so compiled lines that refer to one stay
// right when other variables are created; the listing order is by byte-wise name. Names are
// found through a hash index, and the listing order is sorted only when it is asked for, so
// a line that creates many variables takes time in proportion to their number.
class TVariList {
public:
    TVariList();

    // Id of the variable, or -1. Names are compared as given (they are stored lower-case).
    [[nodiscard]] int Find(std::string_view name) const noexcept;
    // Its value, 0 when missing; with fraction calculation off as extended values.
    [[nodiscard]] TCplx Get(std::string_view name) const noexcept;
    // -1 when missing, 3 when it holds an error, otherwise the assigned bit (0 or 1).
    [[nodiscard]] int GetWithState(std::string_view name, TFrac& re, TFrac& im) const noexcept;
    // Stores value and flags, creating the variable when missing; -1 when write-protected.
    int Set(std::string_view name, const TCplx& value, std::uint8_t flags);
    // Stores by id; refuses a protected variable when respectProtection is set.
    bool SetById(int id, const TCplx& value, bool respectProtection) noexcept;
    // An assignment of the language: sets the assigned bit, clears the error bit.
    bool Assign(int id, const TCplx& value) noexcept;
    // Writes ans (creating it), setting or clearing the error bit; false when protected.
    bool SetAns(const TCplx& value, bool error);
    [[nodiscard]] TCplx GetF() const noexcept;
    [[nodiscard]] int AnsId() const noexcept { return FAnsId; }
    [[nodiscard]] int FId() const noexcept { return FFId; }

    [[nodiscard]] int Count() const noexcept { return static_cast<int>(FItems.size()); }
    // The item of an id (ids run from 0 to Count() - 1).
    [[nodiscard]] const TVarItem& Item(int id) const noexcept;
    // The id at a position of the listing order.
    [[nodiscard]] int IdAt(int position) const;
    // The value of an id as an evaluation reads it (extended with fraction calculation off).
    [[nodiscard]] TCplx ValueOf(int id) const noexcept;

    void Mark(std::string_view name, std::uint8_t bits) noexcept;
    void Unmark(std::string_view name, std::uint8_t bits) noexcept;
    void ClearFlagAll(std::uint8_t bits) noexcept;

    // Number of creations and deletions so far: compiled lines stay valid while it is unchanged.
    [[nodiscard]] std::uint64_t Shape() const noexcept { return FShape; }

    // --- Notes of changes, for the sheet run: every change of an item (its value or flags, or
    // its creation) is counted, recorded for the undo base and for the current line.
    [[nodiscard]] std::uint64_t Changes() const noexcept { return FChanges; }
    struct TUndoItem {
        int Id = -1;
        std::uint8_t Flags = 0;
        TCplx Value;
        bool Created = false;  // it did not exist at the base
    };
    // From here on the state of each item before its first change is kept.
    void SetUndoBase();
    // Every item changed since the base takes back its state there (a created one stays as it
    // is); the base is set anew.
    void UndoToBase();
    // The items changed since the base, in the order of their first change, as they were.
    [[nodiscard]] const std::vector<TUndoItem>& UndoRecord() const noexcept { return FUndo; }
    // The ids changed since BeginLine, each once, and for each what those changes did to its
    // flags: they kept the bits of And and set those of Or.
    void BeginLine();
    [[nodiscard]] const std::vector<int>& LineChanges() const noexcept { return FLine; }
    struct TFlagChange {
        std::uint8_t And = 0xFF;
        std::uint8_t Or = 0;
    };
    [[nodiscard]] TFlagChange LineFlagChange(int id) const noexcept;
    // Forgets the variables created last, down to count of them.
    void Truncate(int count);
    // Does again what a line did to a variable (a line of the sheet run that is passed over): the
    // flags changed as it changed them, the value it left, without the protection an assignment
    // respects.
    void Restore(int id, TFlagChange change, const TCplx& value) noexcept;
    // Puts back the flags and value an item had.
    void Restore(int id, std::uint8_t flags, const TCplx& value) noexcept {
        Restore(id, TFlagChange{0, flags}, value);
    }

    void Clear();

private:
    // Called before every change of an item, with what the change does to its flags.
    void Note(int id, TFlagChange change);

    struct THash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const noexcept {
            return std::hash<std::string_view>{}(s);
        }
    };

    int Insert(std::string_view name);
    void SortOrder() const;

    std::vector<TVarItem> FItems;  // by id
    std::unordered_map<std::string, int, THash, std::equal_to<>> FIndex;
    mutable std::vector<int> FOrder;  // ids sorted by name, up to the ids created since
    mutable std::size_t FSorted = 0;  // the ids below this one are in FOrder
    int FAnsId = -1;
    int FFId = -1;
    std::uint64_t FShape = 0;

    std::uint64_t FChanges = 0;
    std::vector<TUndoItem> FUndo;
    std::vector<std::uint32_t> FUndoMarks;  // by id: the generation that recorded it
    std::uint32_t FUndoGeneration = 1;
    std::vector<int> FLine;
    std::vector<std::uint32_t> FLineMarks;
    std::vector<TFlagChange> FLineFlags;  // by id, for the ids in FLine
    std::uint32_t FLineGeneration = 1;
};

}  // namespace rekna
