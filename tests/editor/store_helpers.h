// Helpers of the editor tests: readable row dumps, editing as the control does, and a recorder
// that can take its groups back through the store's replay operations.
#pragma once

#include "editor/store/columns.h"
#include "editor/store/umemo_strings.h"
#include "platform/cp932.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace rekna::test {

// Japanese test text is written in UTF-8 and converted to the store's CP932.
inline std::string J(std::string_view utf8) {
    return Utf8ToCp932(utf8);
}
inline std::string U(std::string_view cp932) {
    return Cp932ToUtf8(cp932);
}

// The rows as UTF-8: "~" after a continued row, "|" after a hard one, nothing after the last.
inline std::string Dump(const TUMemoStrings& s) {
    std::string out;
    for (std::int32_t r = 0; r < s.GetCount(); ++r) {
        if (r > 0) out += s.Continued(r - 1) ? "~" : "|";
        out += U(s.Get(r));
    }
    return out;
}

// Text, flag and hanging-indent length of every row.
using TRowSnapshot = std::vector<std::tuple<std::string, bool, int>>;
inline TRowSnapshot Snapshot(const TUMemoStrings& s) {
    TRowSnapshot rows;
    for (std::int32_t r = 0; r < s.GetCount(); ++r)
        rows.emplace_back(s.Get(r), s.Continued(r), s.HangLength(r));
    return rows;
}

struct TStoreSetup {
    std::int32_t Wrap = 0;
    std::int32_t Tabs = 8;
    bool AutoIndent = true;
    bool BanBreak = true;
};

inline void Configure(TUMemoStrings& s, const TStoreSetup& setup) {
    s.SetTabStops(setup.Tabs);
    s.SetAutoIndent(setup.AutoIndent);
    s.SetBanBreak(setup.BanBreak);
    s.SetWrapColumns(setup.Wrap);
}

// Loads CP932 lines (joined with CR LF) wrapped under the store's settings.
inline void LoadLines(TUMemoStrings& s, std::string_view text) {
    const bool loaded = s.LoadBytes(text, false);
    EXPECT_TRUE(loaded);
}

// Types t at the caret as one user edit, the way the control inserts text.
inline void Type(TUMemoStrings& s, std::string_view t) {
    s.BeginEdit(true);
    TUMemoSelection& sel = s.Selection();
    const TSelPoint caret = sel.Caret;
    std::string text = s.Get(caret.Y);
    text.insert(static_cast<std::size_t>(caret.X - 1), t);
    s.Put(caret.Y, text);
    sel.Caret.X += static_cast<std::int32_t>(t.size());
    sel.Clear();
    s.Reflow(caret.Y);
    s.EndEdit(true);
}

// Backspace as one user edit: the character before the caret, which at the start of a
// continuation row is the previous row's last one.
inline void Backspace(TUMemoStrings& s) {
    s.BeginEdit(true);
    TUMemoSelection& sel = s.Selection();
    TSelPoint caret = sel.Caret;
    if (caret.X <= s.HangLength(caret.Y) + 1 && caret.Y > 0 && s.Continued(caret.Y - 1)) {
        --caret.Y;
        caret.X = static_cast<std::int32_t>(s.Get(caret.Y).size()) + 1;
    }
    std::string text = s.Get(caret.Y);
    if (caret.X > 1) {
        const std::int32_t start = AdjustToCharStart(text, caret.X - 1);
        text.erase(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(caret.X - start));
        s.Put(caret.Y, text);
        sel.Caret = {start, caret.Y};
        sel.Clear();
        s.Reflow(caret.Y);
    }
    s.EndEdit(true);
}

// Puts the caret at byte x of row y.
inline void Caret(TUMemoStrings& s, std::int32_t x, std::int32_t y) {
    s.Selection().Caret = {x, y};
    s.Selection().Clear();
}

struct TRecord {
    TUndoKind Kind;
    int Group;
    std::int32_t Row;
    std::string Text;
    bool Continued;
    std::uint16_t Hang;
    TViewState View;
};

// Records like an undo list: items carry their group; replaying records nothing.
class TTestRecorder : public TEditRecorder {
public:
    std::vector<TRecord> Items;
    int Group = 0;
    bool Enabled = true;
    bool Replay = false;
    int Clears = 0;

    void RecordRow(TUndoKind kind, std::int32_t row, std::string_view oldText, bool oldContinued,
                   std::uint16_t oldHang) override {
        if (Enabled && !Replay)
            Items.push_back({kind, Group, row, std::string(oldText), oldContinued, oldHang, {}});
    }
    void RecordView(const TViewState& view) override {
        if (Enabled && !Replay) Items.push_back({TUndoKind::ukView, Group, 0, {}, false, 0, view});
    }
    void NewGroup() override {
        if (Enabled && !Replay) ++Group;
    }
    [[nodiscard]] bool Replaying() const override { return Replay; }
    void ClearUndo() override {
        Items.clear();
        Group = 0;
        ++Clears;
    }
    void SetUndoEnabled(bool enabled) override {
        Enabled = enabled;
        if (!enabled) ClearUndo();
    }

    // Takes the newest group back, newest item first; false when there is none.
    bool TakeBack(TUMemoStrings& s) {
        if (Items.empty()) return false;
        const int group = Items.back().Group;
        Replay = true;
        s.BeginEdit(false);
        while (!Items.empty() && Items.back().Group == group) {
            const TRecord item = Items.back();
            Items.pop_back();
            switch (item.Kind) {
            case TUndoKind::ukInserted: s.ReplayDelete(item.Row); break;
            case TUndoKind::ukDeleted:
                s.ReplayInsert(item.Row, item.Text, item.Continued, item.Hang);
                break;
            case TUndoKind::ukChanged:
                s.ReplayPut(item.Row, item.Text, item.Continued, item.Hang);
                break;
            case TUndoKind::ukFlag: s.ReplayFlag(item.Row, item.Continued); break;
            case TUndoKind::ukView: s.ReplayView(item.View); break;
            }
        }
        s.Selection().Clear();
        s.EndEdit(false);
        Replay = false;
        return true;
    }
};

// Installs a recorder on the store and returns it (the store owns it).
inline TTestRecorder& InstallRecorder(TUMemoStrings& s) {
    auto recorder = std::make_unique<TTestRecorder>();
    TTestRecorder& ref = *recorder;
    s.SetRecorder(std::move(recorder));
    return ref;
}

}  // namespace rekna::test
