// The table and text actions on the frame: each runs its command on the memo through a host
// that lends the panes, the clipboard, the options, an input box and the engine.
#include "frame/qt/text_command_actions.h"

#include "editor/qt/umemo.h"
#include "frame/frame_actions.h"
#include "frame/qt/prompt_box.h"
#include "frame/qt/vt_frame_calc.h"
#include "frame/text_actions.h"
#include "platform/cp932.h"
#include "platform/qt/qt_clipboard.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include <span>

namespace rekna {

namespace {

QString U(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

constexpr std::string_view kTableCalcName = "計算結果で置換";

class TQtTextCommandHost final : public QObject, public TTextCommandHost {
public:
    explicit TQtTextCommandHost(TVtFrameCalc& frame) : QObject(&frame), FFrame(frame) {}

    TUMemoEditor& Memo() override { return FFrame.UMemo1()->Editor(); }
    [[nodiscard]] bool MemoFocused() const override { return FFrame.UMemo1()->hasFocus(); }
    TUMemoEditor* FocusedEditor() override {
        for (TUMemo* m : {FFrame.UMemo1(), FFrame.UMemo2(), FFrame.UMemo3()})
            if (m->hasFocus()) return &m->Editor();
        return nullptr;
    }
    TClipboard& Clipboard() override { return FClipboard; }
    TCalcOptions& Options() override { return FFrame.Core().Options(); }
    std::optional<std::string> AskText(std::string_view caption, std::string_view prompt,
                                       std::string_view text) override {
        const std::optional<QString> answer =
            rekna::AskText(&FFrame, U(caption), U(prompt), U(text));
        if (!answer) return std::nullopt;
        return answer->toStdString();
    }
    std::string CalcCell(std::string_view cell) override {
        TVtCalc& calc = FFrame.VtCalc1();
        calc.CalcLine(cell, true, true, false);
        // A cell that Esc stopped keeps its text.
        if (calc.StopRequested() || FFrame.Core().Run().EscPressed) return {};
        return calc.AnswerText();
    }
    bool KeepCalculating(std::size_t done, std::size_t total) override {
        return FFrame.PollLongCommand(kTableCalcName, done, total);
    }
    void ClearAnswers() override {
        FFrame.UMemo2()->Lines().Clear();
        // The next run fills every row of the pane again.
        FFrame.Core().Run().Invalidate();
    }
    [[nodiscard]] std::int32_t FillColumnLimit() const override {
        const TCalcOptions& o = FFrame.Core().Options();
        switch (o.WrapMode) {
        case TWordWrapType::wtCount:
        case TWordWrapType::wtRight: return o.WrapWidth;
        case TWordWrapType::wtPaper: {
            int columns = 0;
            if (FFrame.OnGetPaperColWidth) FFrame.OnGetPaperColWidth(columns);
            return columns > 0 ? columns : 1000;
        }
        default: return 1000;
        }
    }

    void Run(std::string_view name) {
        // A run under way ends first: the command and the run share the engine.
        if (name == "ActionTableCalc") FFrame.FinishRun();
        FFrame.Guarded([&] { RunTextAction(name, *this, FState); });
        FFrame.EndLongCommand(kTableCalcName);
        for (TUMemo* m : {FFrame.UMemo1(), FFrame.UMemo2(), FFrame.UMemo3()})
            if (m->hasFocus()) m->ScrollCaretIntoView();
    }

private:
    TVtFrameCalc& FFrame;
    TQtClipboard FClipboard;
    TTextCommandState FState;
};

// The 変換 menu in groups, so that it stays short: "" separates, a name that is no action's
// opens the submenu of that title, "." closes it.
constexpr std::string_view kConvertMenu[] = {"ActionChangeByteDSnK",
                                             "ActionChangeAlfaS",
                                             "",
                                             "ActionChangeSpaceDS",
                                             "ActionChnageSpaceSD",
                                             "ActionChangeSpaceTS",
                                             "ActionChangeSpaceST",
                                             "",
                                             "ActionChangeTabCR",
                                             "ActionChangeCRTab",
                                             "ActionChangeTabCRTab",
                                             "",
                                             "全角/半角",
                                             "ActionChangeByteDS",
                                             "ActionChangeByteDSE",
                                             "ActionChangeByteDSM",
                                             "ActionChangeByteDSK",
                                             "",
                                             "ActionChangeByteSD",
                                             "ActionChangeByteSDE",
                                             "ActionChangeByteSDM",
                                             "ActionChangeByteSDK",
                                             "",
                                             "ActionEditHankaku",
                                             ".",
                                             "アルファベット",
                                             "ActionChangeAlfaLS",
                                             "ActionChangeAlfaLSS",
                                             "ActionChangeAlfaLSD",
                                             "",
                                             "ActionChangeAlfaSL",
                                             "ActionChangeAlfaSLS",
                                             "ActionChangeAlfaSLD",
                                             ".",
                                             "ActionChangeKanaHK",
                                             "ActionChangeKanaKH",
                                             "",
                                             "ActionSortStrRev",
                                             "ActionSortNumRev"};

void FillMenu(QMenu& top, std::span<const std::string_view> layout,
              std::map<std::string, QAction*, std::less<>>& actions) {
    QMenu* menu = &top;
    for (const std::string_view entry : layout) {
        if (entry.empty()) {
            menu->addSeparator();
        } else if (entry == ".") {
            menu = &top;
        } else if (const auto it = actions.find(entry); it != actions.end()) {
            menu->addAction(it->second);
        } else {
            menu = top.addMenu(U(entry));
        }
    }
}

}  // namespace

void InstallTextCommands(TVtFrameCalc& frame, std::map<std::string, QAction*, std::less<>>& actions,
                         std::map<std::string, QMenu*, std::less<>>& menus) {
    auto* host = new TQtTextCommandHost(frame);
    auto* alignGroup = new QActionGroup(host);
    for (const TTextAction& def : TextActions()) {
        auto* a = new QAction(U(def.Caption), &frame);
        a->setObjectName(U(def.Name));
        const QString hint =
            U(def.Hint.empty() ? StripAccelerator(def.Caption) : std::string(def.Hint));
        a->setStatusTip(hint);
        a->setToolTip(hint);
        if (!def.Shortcut.empty()) {
            a->setShortcut(QKeySequence(U(def.Shortcut)));
            a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        }
        if (def.Radio) {
            a->setCheckable(true);
            a->setChecked(def.Name == "ActionTableAlignLeft");
            alignGroup->addAction(a);
        }
        const std::string name(def.Name);
        QObject::connect(a, &QAction::triggered, host, [host, name] { host->Run(name); });
        frame.addAction(a);
        actions.emplace(name, a);
    }
    QMenu* popup = frame.MemoPopup();
    if (popup) popup->addSeparator();
    for (const std::string_view category : TextActionCategories()) {
        auto* menu = new QMenu(U(TextCategoryCaption(category)), &frame);
        if (category == "変換") {
            FillMenu(*menu, kConvertMenu, actions);
        } else {
            for (const TTextAction& def : TextActions()) {
                if (def.Category != category) continue;
                if (def.Break) menu->addSeparator();
                menu->addAction(actions[std::string(def.Name)]);
            }
        }
        menus.emplace(std::string(category), menu);
        if (popup) popup->addMenu(menu);
    }
    // The row commands need a selection over two rows or more, as the menu opens.
    QObject::connect(menus["入替"], &QMenu::aboutToShow, host, [&frame] {
        TUMemo& memo = *frame.UMemo1();
        const TUMemoStrings& lines = memo.Lines();
        const TUMemoSelection& sel = lines.Selection();
        const bool rows =
            sel.HasSelection(lines) && sel.End().Y > sel.Start().Y && !memo.Editor().ReadOnly();
        for (const TTextAction& def : TextActions())
            if (NeedsRowsSelected(def.Name)) frame.Action(def.Name)->setEnabled(rows);
    });
}

}  // namespace rekna
