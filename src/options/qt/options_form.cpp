// TFormSet: loading the pages from the program, applying them page by page, the font dialog,
// the initial-calculation row commands and the dialog's place in the settings file.
#include "options/qt/options_form.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <charconv>

#include "editor/qt/umemo.h"
#include "frame/qt/tool_host.h"
#include "frame/qt/vt_frame_calc.h"
#include "frame/qt/window_place.h"
#include "grid/qt/str_vt_grid.h"
#include "platform/cp932.h"

namespace rekna {

namespace {

QString U(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The tables each page holds.
std::vector<TOptionTable> PageTables(TOptionPage page) {
    using T = TOptionTable;
    switch (page) {
    case TOptionPage::opResult: return {T::otRange, T::otGrouping};
    case TOptionPage::opDefinitions: return {T::otDefinitions};
    case TOptionPage::opEditView: return {T::otStdColors, T::otMarks, T::otSyntax, T::otCharSets};
    case TOptionPage::opHotKey: return {T::otHotTargets, T::otHotActions};
    default: return {};
    }
}

// The flag boxes without an action of their own, by page.
TOptionPage FlagPage(bool TCalcOptions::*field) {
    if (field == &TCalcOptions::BoldReserved || field == &TCalcOptions::CharColorOn)
        return TOptionPage::opEditView;
    return TOptionPage::opEditAction;
}

std::optional<int> KeptNumber(const std::map<std::string, std::string, std::less<>>& kept,
                              std::string_view key) {
    const auto it = kept.find(key);
    if (it == kept.end()) return std::nullopt;
    int v = 0;
    const std::string& s = it->second;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || ptr != s.data() + s.size()) return std::nullopt;
    return v;
}

// A spin's value for a setting: the setting itself while the spin still shows it as loaded
// (clamped into the spin's range), so that a value outside the range survives an OK.
int SpinValue(const QSpinBox* spin, int current) {
    return spin->value() == std::clamp(current, spin->minimum(), spin->maximum()) ? current
                                                                                  : spin->value();
}

// The page shown last while the program runs.
TOptionPage gLastPage = TOptionPage::opCalc;

}  // namespace

TFormSet::TFormSet(TToolHost& owner)
    : QDialog(&owner.Window()), FOwner(owner), FFrame(*owner.VtFrameCalc1()) {
    setObjectName(QStringLiteral("FormSet"));
    setWindowTitle(QStringLiteral("Rekna - オプション設定"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    FontDialog = [this](const QFont& initial) -> std::optional<QFont> {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, initial, this);
        if (!ok) return std::nullopt;
        return font;
    };

    auto* v = new QVBoxLayout(this);
    FPages = new QTabWidget;
    using P = TOptionPage;
    FPages->addTab(BuildChecksPage(P::opCalc), U(OptionPageCaption(P::opCalc)));
    FPages->addTab(BuildChecksPage(P::opResult, BuildResultExtras()),
                   U(OptionPageCaption(P::opResult)));
    FPages->addTab(BuildDefinitionsPage(), U(OptionPageCaption(P::opDefinitions)));
    FPages->addTab(BuildChecksPage(P::opScreen), U(OptionPageCaption(P::opScreen)));
    FPages->addTab(BuildChecksPage(P::opEditView, BuildEditViewExtras()),
                   U(OptionPageCaption(P::opEditView)));
    FPages->addTab(BuildChecksPage(P::opEditAction, BuildEditActionExtras()),
                   U(OptionPageCaption(P::opEditAction)));
    FPages->addTab(BuildChecksPage(P::opHotKey, BuildHotKeyExtras()),
                   U(OptionPageCaption(P::opHotKey)));
    v->addWidget(FPages, 1);

    FNotice = new QLabel;
    FNotice->setObjectName(QStringLiteral("Notice"));
    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    QPushButton* page =
        buttons->addButton(QStringLiteral("このページの設定を適用"), QDialogButtonBox::ApplyRole);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    ok->setObjectName(QStringLiteral("ButtonOk"));
    page->setObjectName(QStringLiteral("ButtonApply"));
    cancel->setObjectName(QStringLiteral("ButtonCancel"));
    ok->setToolTip(QStringLiteral("設定を適用して閉じる"));
    page->setToolTip(QStringLiteral("閉じないで、このページの設定を適用する"));
    cancel->setToolTip(QStringLiteral("設定を適用しないで閉じる"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (ApplyAll()) close();
    });
    connect(page, &QPushButton::clicked, this, [this] { ApplyPage(CurrentPage()); });
    connect(cancel, &QPushButton::clicked, this, [this] { close(); });
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(FNotice, 1);
    bottom->addWidget(buttons);
    v->addLayout(bottom);
    connect(FPages, &QTabWidget::currentChanged, this,
            [this](int index) { gLastPage = static_cast<TOptionPage>(index); });

    FEdit = ProgramState();
    LoadControls();
    RestoreGeometry();
}

TFormSet::~TFormSet() = default;

void TFormSet::ShowPage(TOptionPage page) {
    FPages->setCurrentIndex(static_cast<int>(page));
}

TOptionPage TFormSet::CurrentPage() const {
    return static_cast<TOptionPage>(std::clamp(FPages->currentIndex(), 0, kOptionPageCount - 1));
}

QAbstractButton* TFormSet::Check(std::string_view action) const {
    const auto it = FChecks.find(action);
    return it == FChecks.end() ? nullptr : it->second;
}

TStrVtGrid* TFormSet::Table(TOptionTable table) const {
    return FTables[static_cast<std::size_t>(table)];
}

// --- The program's state ---------------------------------------------------------------------

TOptionsState TFormSet::ProgramState() const {
    TOptionsState s;
    s.Options = FFrame.Core().Options();
    s.Numbers = TEngineNumbers::Read(FFrame.VtCalc1());
    s.Styles = FFrame.PaneStyles();
    s.Main = FOwner.Settings();
    for (const TOptionGroup& g : OptionGroups()) {
        for (const TOptionItem& item : g.Items) {
            if (!IsMainWindowAction(item.Action)) continue;
            if (const QAction* a = FOwner.Action(item.Action))
                SetOptionChecked(s, item.Action, a->isChecked());
        }
    }
    s.DefText = FFrame.Core().DefSource();
    return s;
}

// --- Controls --------------------------------------------------------------------------------

void TFormSet::LoadControls() {
    const TCalcOptions& o = FEdit.Options;
    for (const auto& [action, button] : FChecks)
        button->setChecked(OptionChecked(FEdit, action));
    if (QAbstractButton* script = Check("ActionSetVbScript")) {
        const QAction* a = FFrame.Action("ActionSetVbScript");
        script->setEnabled(a && a->isEnabled());
    }
    // The hot key's own hint: why it cannot work on this desktop, or how the key is bound.
    if (QAbstractButton* hot = Check("ActionCalcHotKey")) {
        if (const QAction* a = FOwner.Action("ActionCalcHotKey")) hot->setToolTip(a->toolTip());
    }
    for (const auto& [box, field] : FFlags)
        box->setChecked(o.*field);
    const TLengthControls length = LengthControls(o.PendingAnsLength);
    FDigits->setValue(length.Digits);
    (length.AfterPoint ? FAfterPoint : FSignificant)->setChecked(true);
    FUsrFormat->setText(U(Cp932ToUtf8(FEdit.Numbers.UsrFormat)));
    const char sep = FEdit.Numbers.ColChar;
    FSeparator[sep == ',' ? 1 : sep == ' ' ? 2 : 0]->setChecked(true);
    FWrapWidth->setValue(o.WrapWidth);
    FFontSize->setValue(o.FontSize);
    ShowFontName();
    FTabStops->setValue(o.TabStops);
    FRowPitch->setValue(o.RowPitch);
    FMargin->setValue(o.ScrollMargin);
    (o.IndentChar == 1 ? FIndentTab : FIndentSpace)->setChecked(true);
    for (std::size_t i = 0; i < FTables.size(); ++i) {
        LoadOptionTable(static_cast<TOptionTable>(i), FEdit, FTables[i]->Grid());
        FTables[i]->Refresh();
    }
    FDefEdited = false;
}

void TFormSet::ReadControls(TOptionPage page) {
    for (const TOptionGroup& g : OptionGroups()) {
        if (g.Page != page) continue;
        // Radio groups: the chosen member last, so that it is the one left checked.
        for (const bool pass : {false, true}) {
            for (const TOptionItem& item : g.Items) {
                const bool on = Check(item.Action)->isChecked();
                if (on == pass) SetOptionChecked(FEdit, item.Action, on);
            }
        }
    }
    TCalcOptions& o = FEdit.Options;
    for (const auto& [box, field] : FFlags)
        if (FlagPage(field) == page) o.*field = box->isChecked();
    switch (page) {
    case TOptionPage::opResult:
        if (const TLengthControls shown = LengthControls(o.PendingAnsLength);
            FAfterPoint->isChecked() != shown.AfterPoint ||
            SpinValue(FDigits, shown.Digits) != shown.Digits)
            o.PendingAnsLength = LengthFromControls({FDigits->value(), FAfterPoint->isChecked()});
        FEdit.Numbers.UsrFormat = Utf8ToCp932(FUsrFormat->text().toStdString());
        FEdit.Numbers.ColChar = FSeparator[1]->isChecked()   ? ','
                                : FSeparator[2]->isChecked() ? ' '
                                                             : '\b';
        break;
    case TOptionPage::opEditView:
        o.WrapWidth = SpinValue(FWrapWidth, o.WrapWidth);
        o.FontSize = SpinValue(FFontSize, o.FontSize);
        o.TabStops = SpinValue(FTabStops, o.TabStops);
        o.RowPitch = SpinValue(FRowPitch, o.RowPitch);
        break;
    case TOptionPage::opEditAction:
        o.ScrollMargin = SpinValue(FMargin, o.ScrollMargin);
        o.IndentChar = FIndentTab->isChecked() ? 1 : 0;
        break;
    default: break;
    }
    for (const TOptionTable t : PageTables(page)) {
        TVtGrid& g = Table(t)->Grid();
        if (t == TOptionTable::otDefinitions && FDefEdited) g.SetModified(true);
        StoreOptionTable(t, g, FEdit);
    }
}

// --- Applying --------------------------------------------------------------------------------

bool TFormSet::Busy() const {
    return FFrame.VtCalc1().ScriptRunning() || FFrame.Core().Run().Running();
}

bool TFormSet::ApplyPage(TOptionPage page) {
    if (Busy()) {
        FNotice->setText(QStringLiteral("計算またはスクリプトの実行中は適用できません"));
        return false;
    }
    FNotice->clear();
    ReadControls(page);
    TOptionsState program = ProgramState();
    CopyPage(page, FEdit, program);
    Push(page, program);
    // The controls of this page show what the program made of it (clamped lengths and sizes);
    // the other pages' controls keep what the user set there, for OK applies them later.
    if (page == TOptionPage::opResult || page == TOptionPage::opEditView)
        CopyPage(page, ProgramState(), FEdit);
    const TCalcOptions& o = FEdit.Options;
    if (page == TOptionPage::opResult) {
        const TLengthControls length = LengthControls(o.PendingAnsLength);
        FDigits->setValue(length.Digits);
        (length.AfterPoint ? FAfterPoint : FSignificant)->setChecked(true);
    } else if (page == TOptionPage::opEditView) {
        FWrapWidth->setValue(std::max(FWrapWidth->minimum(), o.WrapWidth));
        FFontSize->setValue(o.FontSize);
        FTabStops->setValue(o.TabStops);
        FRowPitch->setValue(o.RowPitch);
        ShowFontName();
        LoadOptionTable(TOptionTable::otCharSets, FEdit, Table(TOptionTable::otCharSets)->Grid());
        Table(TOptionTable::otCharSets)->Refresh();
    }
    return true;
}

bool TFormSet::ApplyAll() {
    if (Busy()) {
        FNotice->setText(QStringLiteral("計算またはスクリプトの実行中は適用できません"));
        return false;
    }
    // The pages one after another ask for runs; the memo is calculated once, at the end.
    struct THold {
        TFrameCalcCore& Core;
        explicit THold(TFrameCalcCore& core) : Core(core) { Core.HoldRuns(); }
        THold(const THold&) = delete;
        THold& operator=(const THold&) = delete;
        ~THold() { Core.ReleaseRuns(); }
    } hold(FFrame.Core());
    for (const TOptionPage page : kOptionPages)
        ApplyPage(page);
    return true;
}

void TFormSet::Push(TOptionPage page, const TOptionsState& s) {
    using P = TOptionPage;
    if (page != P::opDefinitions && page != P::opHotKey) FFrame.Core().Options() = s.Options;
    switch (page) {
    case P::opCalc:
        PushMainChecks(page, s);
        FFrame.SetCalcMode();
        break;
    case P::opResult:
        s.Numbers.Write(FFrame.VtCalc1());
        FFrame.SetCalcMode();
        break;
    case P::opDefinitions:
        if (s.DefText != FFrame.Core().DefSource()) {
            FFrame.SetDefinitions(s.DefText);
            FFrame.SetCalcMode();
        }
        break;
    case P::opScreen:
        PushMainChecks(page, s);
        FFrame.SetWindow();
        FFrame.SetCalcMode();
        break;
    case P::opEditView:
        // The colours and the editor settings, without touching the engine or the answers.
        FFrame.SetPaneStyles(s.Styles);
        for (TUMemo* m : {FFrame.UMemo1(), FFrame.UMemo2(), FFrame.UMemo3()})
            m->RepaintAll();
        break;
    case P::opEditAction:
        FFrame.SetMemoMode();
        PushMainChecks(page, s);
        break;
    case P::opHotKey: {
        FOwner.Settings().SetHotKeys(s.Main.HotKeyAction, s.Main.HotKeyCalcKeys);
        PushMainChecks(page, s);
        break;
    }
    }
}

void TFormSet::PushMainChecks(TOptionPage page, const TOptionsState& s) {
    bool changed = false;
    for (const TOptionGroup& g : OptionGroups()) {
        if (g.Page != page) continue;
        for (const TOptionItem& item : g.Items) {
            if (!IsMainWindowAction(item.Action)) continue;
            QAction* a = FOwner.Action(item.Action);
            const bool on = OptionChecked(s, item.Action);
            if (!a || a->isChecked() == on) continue;
            changed = true;
            // Turning the hot keys on or off registers or removes them.
            if (item.Action == "ActionCalcHotKey" && a->isEnabled()) {
                a->trigger();
            } else {
                a->setChecked(on);
            }
        }
    }
    // The window reads its checks and lays itself out when one of its checks is triggered:
    // the status-bar check is triggered twice, which leaves it as it is.
    if (QAction* status = FOwner.Action("ActionViewStatus"); changed && status) {
        status->setChecked(!status->isChecked());
        status->trigger();
    }
}

// --- Fonts and rows --------------------------------------------------------------------------

void TFormSet::ShowFontName() {
    FFontName->setText(U(ShownFontName(FEdit.Options.FontName)));
}

void TFormSet::ChooseFont() {
    QFont initial(U(ShownFontName(FEdit.Options.FontName)), FFontSize->value());
    const std::optional<QFont> font = FontDialog(initial);
    if (!font) return;
    FEdit.Options.FontName = Utf8ToCp932(font->family().toStdString());
    if (font->pointSize() > 0) FFontSize->setValue(font->pointSize());
    ShowFontName();
}

void TFormSet::DefinitionRowCommand(int command) {
    TStrVtGrid* grid = Table(TOptionTable::otDefinitions);
    TVtGrid& g = grid->Grid();
    const int row = std::max(g.Row(), g.FixedRows());
    switch (command) {
    case 0:
        g.InsertRow(g.RowCount(), true);
        g.FocusCell(std::max(g.Col(), 1), g.RowCount() - 1, false);
        break;
    case 1: g.InsertRow(row, true); break;
    // The last row left is cleared instead, so that every definition can be deleted.
    case 2: g.DeleteRow(row, true); break;
    case 3:
    case 4: {
        // One definition is one row: the selected rows move whole.
        const TGridRect s = g.Selection();
        g.SetSelection({g.FixedCols(), s.Top, g.ColCount() - 1, s.Bottom}, {g.Col(), g.Row()});
        if (command == 3) {
            g.MoveCellsUp(true);
        } else {
            g.MoveCellsDown(true);
        }
        break;
    }
    default: return;
    }
    FDefEdited = true;
    NumberDefinitionRows(g);
    grid->Refresh();
    grid->setFocus();
}

// --- Place in the settings file --------------------------------------------------------------

void TFormSet::RestoreGeometry() {
    auto& kept = FOwner.KeptSettings();
    const auto top = KeptNumber(kept, "UsrFunc.Top");
    const auto left = KeptNumber(kept, "UsrFunc.Left");
    const auto width = KeptNumber(kept, "UsrFunc.Width");
    const auto height = KeptNumber(kept, "UsrFunc.Height");
    const bool sized =
        width && height && *width >= 200 && *height >= 150 && *width <= 10000 && *height <= 10000;
    RestorePlace(*this, {left, top, sized ? width : std::nullopt, sized ? height : std::nullopt},
                 &FOwner.Window());
    TVtGrid& g = Table(TOptionTable::otDefinitions)->Grid();
    for (int c = 1; c <= 3; ++c) {
        const auto w = KeptNumber(kept, "UsrFunc.ColWidth" + std::to_string(c));
        if (w && *w >= 8 && *w <= 4000) g.SetColWidth(c, *w);
    }
    Table(TOptionTable::otDefinitions)->Refresh();
}

void TFormSet::SaveGeometry() {
    auto& kept = FOwner.KeptSettings();
    const TWindowPlace place = PlaceOf(*this);
    kept["UsrFunc.Top"] = std::to_string(place.Top);
    kept["UsrFunc.Left"] = std::to_string(place.Left);
    kept["UsrFunc.Width"] = std::to_string(place.Width);
    kept["UsrFunc.Height"] = std::to_string(place.Height);
    const TVtGrid& g = Table(TOptionTable::otDefinitions)->Grid();
    for (int c = 1; c <= 3; ++c)
        kept["UsrFunc.ColWidth" + std::to_string(c)] = std::to_string(g.ColWidth(c));
}

void TFormSet::closeEvent(QCloseEvent* event) {
    SaveGeometry();
    event->accept();
}

// --- The main window's dialog ----------------------------------------------------------------

namespace {

std::map<const TToolHost*, QPointer<TFormSet>>& Dialogs() {
    static std::map<const TToolHost*, QPointer<TFormSet>> dialogs;
    return dialogs;
}

}  // namespace

TFormSet* OpenedOptions(const TToolHost& form) {
    // A dialog that was closed is on its way out and is not reused.
    const auto it = Dialogs().find(&form);
    if (it == Dialogs().end() || !it->second || !it->second->isVisible()) return nullptr;
    return it->second.data();
}

TFormSet& OpenOptions(TToolHost& form, std::optional<TOptionPage> page) {
    TFormSet* dialog = OpenedOptions(form);
    if (!dialog) {
        dialog = new TFormSet(form);
        Dialogs()[&form] = dialog;
    }
    dialog->ShowPage(page.value_or(gLastPage));
    dialog->show();
    dialog->setWindowState(dialog->windowState() & ~Qt::WindowMinimized);
    dialog->raise();
    dialog->activateWindow();
    return *dialog;
}

void InstallOptions(TToolHost& form) {
    const auto hook = [&form](const char* name, std::optional<TOptionPage> page) {
        QAction* a = form.Action(name);
        if (!a) return;
        a->setEnabled(true);
        a->setStatusTip(a->toolTip());
        QObject::connect(a, &QAction::triggered, &form.Window(),
                         [&form, page] { OpenOptions(form, page); });
    };
    hook("ActionSetOption", std::nullopt);
    hook("ActionSetFunc", TOptionPage::opDefinitions);
    QObject::connect(&form.Window(), &QObject::destroyed, [&form] { Dialogs().erase(&form); });
}

}  // namespace rekna
