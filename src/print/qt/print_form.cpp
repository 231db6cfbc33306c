// TFormPrint: the print preview window ("印刷プレビュー"): margins, spacing and answer column,
// the page tabs, the preview, the printer set-up and the page-by-page printing.
#include "print/qt/print_form.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabBar>
#include <QVBoxLayout>

#include <memory>

#include "frame/main_settings.h"
#include "frame/qt/tool_host.h"
#include "frame/qt/vt_frame_calc.h"
#include "frame/qt/window_place.h"
#include "print/qt/print_panel.h"
#include "print/qt/print_setup.h"

namespace rekna {
namespace {

// Each number box: its group caption (over the first box of a group) and its own label.
struct TBoxLabel {
    const char* Group;
    const char* Label;
};
constexpr std::array<TBoxLabel, kPrintBoxCount> kBoxLabels{{
    {"プレビュー", "倍率%(&M)"},
    {"用紙の余白(mm)", "上(&T)"},
    {"", "下(&B)"},
    {"", "左(&L)"},
    {"", "右(&R)"},
    {"行間", "%(&S)"},
    {"計算結果", "位置%(&W)"},
}};

QString Text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

TFormPrint::TFormPrint(TToolHost& form, TPrintSetup& setup, QWidget* parent)
    : QWidget(parent, Qt::Window), FForm(form), FSetup(setup) {
    setObjectName(QStringLiteral("FormPrint"));
    setWindowTitle(QStringLiteral("印刷プレビュー"));
    CreateControls();
    const TPrintSettings s = ReadPrintSettings(FForm.KeptSettings());
    resize(900, 720);
    const bool sized = s.Width && *s.Width > 100 && s.Height && *s.Height > 100;
    RestorePlace(*this,
                 {s.Left, s.Top, sized ? s.Width : std::nullopt, sized ? s.Height : std::nullopt},
                 &FForm.Window());
    for (std::size_t i = 0; i < kPrintBoxCount; ++i)
        FBoxes[i]->setEditText(QString::fromStdString(s.Boxes[i]));
    FCheckName->setChecked(s.FileName);
    FCheckW->setChecked(s.TwoColumn);
    FCheckPage->setChecked(s.PageNo);
    FCheckSel->setChecked(s.SelRow);
    FTop->setEnabled(false);
    FForm.Window().installEventFilter(this);
}

void TFormPrint::CreateControls() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->setSpacing(2);
    FTop = new QWidget(this);
    FTop->setObjectName(QStringLiteral("Panel1"));
    auto* grid = new QGridLayout(FTop);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(1);
    constexpr const char* kNames[] = {"ComboBoxScale", "ComboBoxTop",   "ComboBoxBottom",
                                      "ComboBoxLeft",  "ComboBoxRight", "ComboBoxSpace",
                                      "ComboBoxAns"};
    for (std::size_t i = 0; i < kPrintBoxCount; ++i) {
        const int column = static_cast<int>(i);
        if (*kBoxLabels[i].Group != '\0')
            grid->addWidget(new QLabel(QString::fromUtf8(kBoxLabels[i].Group), FTop), 0, column, 1,
                            i == 1 ? 4 : 1);
        auto* box = new QComboBox(FTop);
        box->setObjectName(QString::fromLatin1(kNames[i]));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->addItems(Text(PrintBoxRow(static_cast<TPrintBox>(i)).Items).split(QLatin1Char(',')));
        box->setMinimumContentsLength(3);
        // The box hands its keys to its line edit directly: both are watched.
        box->installEventFilter(this);
        box->lineEdit()->installEventFilter(this);
        connect(box, &QComboBox::activated, this, [this] { ButtonViewClick(); });
        auto* label = new QLabel(QString::fromUtf8(kBoxLabels[i].Label), FTop);
        label->setBuddy(box);
        grid->addWidget(label, 1, column);
        grid->addWidget(box, 2, column);
        FBoxes[i] = box;
    }
    const auto check = [this](const char* name, const char* caption) {
        auto* c = new QCheckBox(QString::fromUtf8(caption), FTop);
        c->setObjectName(QString::fromLatin1(name));
        return c;
    };
    FCheckName = check("CheckBoxName", "ファイル名を印刷(&F)");
    FCheckPage = check("CheckBoxPage", "ページNoを印刷(&N)");
    FCheckW = check("CheckBoxW", "計算結果を印刷(&A)");
    FCheckSel = check("CheckBoxSel", "選択行のみ");
    grid->addWidget(FCheckName, 0, 8);
    grid->addWidget(FCheckPage, 1, 8);
    grid->addWidget(FCheckW, 0, 9);
    grid->addWidget(FCheckSel, 1, 9);
    for (QCheckBox* c : {FCheckName, FCheckPage, FCheckSel})
        connect(c, &QCheckBox::clicked, this, [this] { ButtonViewClick(); });
    connect(FCheckW, &QCheckBox::clicked, this, [this](bool on) {
        StoreTwoColumn(FForm.KeptSettings(), on);
        ButtonViewClick();
    });
    const auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromUtf8(caption), FTop);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    FButtonSet = button("ButtonSet", "プリンター設定(&U)...");
    FButtonView = button("ButtonView", "表示更新(&V)");
    FButtonPrint = button("ButtonPrint", "印刷(&P)...");
    FButtonClose = button("ButtonClose", "閉じる(&X)");
    FButtonView->setDefault(true);
    grid->addWidget(FButtonSet, 0, 10);
    grid->addWidget(FButtonView, 1, 10);
    grid->addWidget(FButtonPrint, 0, 11);
    grid->addWidget(FButtonClose, 1, 11);
    FLineCount = new QLabel(FTop);
    FLineCount->setObjectName(QStringLiteral("LabelLineCount"));
    grid->addWidget(FLineCount, 2, 8, 1, 2);
    grid->setColumnStretch(12, 1);
    connect(FButtonSet, &QPushButton::clicked, this, [this] { ButtonSetClick(); });
    connect(FButtonView, &QPushButton::clicked, this, [this] { ButtonViewClick(); });
    connect(FButtonPrint, &QPushButton::clicked, this, [this] { ButtonPrintClick(); });
    connect(FButtonClose, &QPushButton::clicked, this, [this] { close(); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { close(); });
    outer->addWidget(FTop);

    FTabs = new QTabBar(this);
    FTabs->setObjectName(QStringLiteral("TabControlPage"));
    FTabs->setExpanding(false);
    FTabs->setUsesScrollButtons(true);
    FTabs->addTab(QStringLiteral("1"));
    connect(FTabs, &QTabBar::currentChanged, this, [this] {
        if (FTabTag == -1) ButtonViewClick();
    });
    // Many pages: the box goes to any of them, also to the last with End.
    FPageBox = new QSpinBox(this);
    FPageBox->setObjectName(QStringLiteral("SpinBoxPage"));
    FPageBox->setPrefix(QStringLiteral("ページ "));
    FPageBox->setRange(1, 1);
    FPageBox->setKeyboardTracking(false);
    connect(FPageBox, &QSpinBox::valueChanged, this, [this](int page) {
        if (FTabTag == -1 && page - 1 != FTabs->currentIndex()) FTabs->setCurrentIndex(page - 1);
    });
    auto* tabRow = new QHBoxLayout;
    tabRow->setContentsMargins(0, 0, 0, 0);
    tabRow->addWidget(FTabs, 1);
    tabRow->addWidget(FPageBox);
    outer->addLayout(tabRow);

    FScrollBox = new QScrollArea(this);
    FScrollBox->setObjectName(QStringLiteral("ScrollBox1"));
    FScrollBox->setBackgroundRole(QPalette::Dark);
    FScrollBox->setAlignment(Qt::AlignCenter);
    FPanel = new TPrevPanel;
    FPanel->SetPrevScaleMin(20);
    FPanel->SetPrevScaleMax(200);
    FPanel->SetPrevScale(75);
    FPanel->SetScrollBox(FScrollBox);
    FScrollBox->setWidget(FPanel);
    // Every activation renders again: a printer that keeps failing is reported once, not after
    // every box that its own report closed.
    FPanel->ReportNoPrinter = [this] {
        if (!FPrinterFailed)
            QMessageBox::critical(this, QStringLiteral("Rekna"),
                                  QStringLiteral("プリンターが設定されていません"));
    };
    FPanel->OnZoomed = [this] {
        Box(TPrintBox::pbScale)->setEditText(QString::number(FPanel->PrevScale()));
    };
    outer->addWidget(FScrollBox, 1);
}

TPrintChoices TFormPrint::Choices() {
    TPrintSettings s;
    for (std::size_t i = 0; i < kPrintBoxCount; ++i)
        s.Boxes[i] = FBoxes[i]->currentText().toStdString();
    s.FileName = FCheckName->isChecked();
    s.PageNo = FCheckPage->isChecked();
    s.TwoColumn = FCheckW->isChecked();
    s.SelRow = FCheckSel->isChecked();
    return StoredChoices(s, FCheckSel->isEnabled());
}

void TFormPrint::ButtonViewClick() {
    if (FRendering) return;
    FRendering = true;
    if (const QAction* paper = FForm.Action("ActionViewWrapPaper"); paper && paper->isChecked())
        FForm.VtFrameCalc1()->ActionViewWrap0Execute();
    std::array<int, kPrintBoxCount> v{};
    for (std::size_t i = 0; i < kPrintBoxCount; ++i) {
        v[i] = ComboValue(FBoxes[i]->currentText().toStdString(), static_cast<TPrintBox>(i));
        const QString corrected = QString::number(v[i]);
        if (FBoxes[i]->currentText() != corrected) FBoxes[i]->setEditText(corrected);
    }
    FPanel->SetPrevScale(v[0]);
    const TPrintChoices choices = Choices();
    if (!FPanel->SetMargins(FSetup.Printer(), choices.Margins)) {
        ShowPrinterFailure();
        FPrinterFailed = true;
        FRendering = false;
        return;
    }
    FPrinterFailed = false;
    const int wanted = std::max(FTabs->currentIndex(), 0);
    TPrintedPage page = LayoutMemoPage(FForm, FSetup.Printer(), choices, wanted + 1);
    // An empty memo shows one blank page, which prints nothing.
    const int pages = std::max(page.Layout.Pages, 1);
    FLineCount->setText(QStringLiteral("1ページ行数=") + QString::number(page.Layout.LinesPerPage));
    FTabTag = wanted;
    while (FTabs->count() > pages)
        FTabs->removeTab(FTabs->count() - 1);
    while (FTabs->count() < pages)
        FTabs->addTab(QString::number(FTabs->count() + 1));
    // A page that no longer exists shows the last one.
    FTabs->setCurrentIndex(std::min(wanted, pages - 1));
    FollowTabs();
    FTabTag = -1;
    FPanel->BeginDoc();
    FPanel->Record(std::move(page));
    FPanel->EndDoc();
    FTop->setEnabled(true);
    FTabs->setEnabled(true);
    FPageBox->setEnabled(true);
    // Every change is kept at once, also when printing hides the window afterwards.
    StoreSettings();
    FRendering = false;
}

void TFormPrint::FollowTabs() {
    FPageBox->setRange(1, std::max(FTabs->count(), 1));
    FPageBox->setValue(std::max(FTabs->currentIndex(), 0) + 1);
}

void TFormPrint::Message(const QString& text, bool error) {
    if (ShowMessage) {
        ShowMessage(text, error);
    } else if (error) {
        QMessageBox::critical(this, QStringLiteral("Rekna"), text);
    } else {
        QMessageBox::information(this, QStringLiteral("Rekna"), text);
    }
}

void TFormPrint::ShowPrinterFailure() {
    FTabTag = 0;
    while (FTabs->count() > 1)
        FTabs->removeTab(FTabs->count() - 1);
    if (FTabs->count() == 0) FTabs->addTab(QStringLiteral("1"));
    FTabs->setCurrentIndex(0);
    FollowTabs();
    FTabTag = -1;
    FTop->setEnabled(false);
    FTabs->setEnabled(false);
    FPageBox->setEnabled(false);
}

void TFormPrint::ButtonSetClick() {
    // The print dialog chooses the printer (or a PDF file) with its paper and orientation; the
    // page set-up dialog refuses the PDF printer on this platform.
    QPrintDialog dialog(&FSetup.Printer(), this);
    dialog.setWindowTitle(QStringLiteral("プリンターの設定"));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, false);
    // The dialog only sets the printer up: its confirmation prints nothing.
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    if (dialog.exec() != QDialog::Accepted) return;
    TPrintSettings s = ReadPrintSettings(FForm.KeptSettings());
    TakePaper(FSetup.Printer(), s);
    WritePrintSettings(FForm.KeptSettings(), s);
    ButtonViewClick();
}

void TFormPrint::ButtonPrintClick() {
    ButtonViewClick();
    if (FPanel->isVisibleTo(this) && FPanel->Page().Layout.Pages == 0) {
        Message(QStringLiteral("印刷する行がありません"), false);
        return;
    }
    QPrinter& printer = FSetup.Printer();
    std::unique_ptr<TPdfTarget> pdf;
    QString pdfName;
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        // Without a printer the pages go into a PDF file, named after the memo at first.
        QString start = FLastPdf;
        if (start.isEmpty()) {
            const std::string& doc = FForm.Settings().FileName;
            start = doc.empty() ? QStringLiteral("rekna.pdf")
                                : QFileInfo(QString::fromStdString(doc)).path() + QLatin1Char('/') +
                                      QFileInfo(QString::fromStdString(doc)).completeBaseName() +
                                      QStringLiteral(".pdf");
        }
        pdfName = AskPdfName
                      ? AskPdfName()
                      : QFileDialog::getSaveFileName(this, QStringLiteral("PDFファイルに印刷"),
                                                     start, QStringLiteral("PDF (*.pdf)"));
        if (pdfName.isEmpty()) return;
        pdfName = QFileInfo(pdfName).absoluteFilePath();
        FLastPdf = pdfName;
        pdf = std::make_unique<TPdfTarget>(printer, pdfName);
    }
    QPainter painter;
    bool started = false;
    bool failed = false;
    int printed = 0;
    std::string error;
    for (int p = std::max(FTabs->currentIndex(), 0) + 1; p <= FTabs->count(); ++p) {
        if (FTabs->currentIndex() != p - 1) {
            FTabTag = p - 1;
            FTabs->setCurrentIndex(p - 1);
            FTabTag = -1;
        }
        ButtonViewClick();
        if (!FPanel->isVisibleTo(this) || FPanel->State() != TPrevState::psRecorded) break;
        const bool landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
        const QString name = pdf ? pdfName : printer.printerName();
        const QString text =
            QStringLiteral("このページを印刷しますか?\n\nページNo  = %1\nプリンター = %2\n"
                           "紙の向き  = %3\n解像度  = %4 ドット/mm\n")
                .arg(p)
                .arg(name, landscape ? QStringLiteral("横") : QStringLiteral("縦"))
                .arg(QString::number(FPanel->Resolution() / 25.4, 'f', 2));
        const QMessageBox::StandardButton answer =
            AskPrintPage
                ? AskPrintPage(text)
                : QMessageBox::question(this, QStringLiteral("Rekna"), text,
                                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Cancel) break;
        if (answer != QMessageBox::Yes) continue;
        // Every confirmed page goes into the one job.
        if (!started) {
            started = pdf ? pdf->Begin(painter, error) : painter.begin(&printer);
            if (!started) {
                failed = true;
                break;
            }
        } else if (!printer.newPage()) {
            failed = true;
            break;
        }
        FPanel->Print(painter);
        ++printed;
    }
    if (started) {
        if (pdf) {
            failed = !pdf->Finish(painter, error) || failed;
        } else {
            painter.end();
        }
    }
    if (failed) {
        QString text = QStringLiteral("Rekna プリンターエラー");
        if (!error.empty()) text += QLatin1Char('\n') + QString::fromStdString(error);
        Message(text, true);
        return;
    }
    if (printed > 0 && pdf)
        FForm.Window().statusBar()->showMessage(
            QStringLiteral("PDFファイルに印刷しました (%1ページ): %2").arg(printed).arg(pdfName));
    if (FTabs->currentIndex() == FTabs->count() - 1) hide();
}

void TFormPrint::FollowSelection() {
    FCheckSel->setEnabled(MemoHasSelection(FForm));
}

void TFormPrint::StoreSettings() {
    // The paper stays as the printer set-up stored it.
    TPrintSettings s = ReadPrintSettings(FForm.KeptSettings());
    const TWindowPlace place = PlaceOf(*this);
    s.Top = place.Top;
    s.Left = place.Left;
    s.Width = place.Width;
    s.Height = place.Height;
    for (std::size_t i = 0; i < kPrintBoxCount; ++i)
        s.Boxes[i] = FBoxes[i]->currentText().toStdString();
    s.FileName = FCheckName->isChecked();
    s.TwoColumn = FCheckW->isChecked();
    s.PageNo = FCheckPage->isChecked();
    s.SelRow = FCheckSel->isChecked();
    WritePrintSettings(FForm.KeptSettings(), s);
}

void TFormPrint::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FollowSelection();
    FTabTag = 0;
    FTabs->setCurrentIndex(0);
    FTabTag = -1;
    ButtonViewClick();
}

void TFormPrint::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !FRendering) {
        FollowSelection();
        ButtonViewClick();
    }
}

void TFormPrint::closeEvent(QCloseEvent* event) {
    StoreSettings();
    QWidget::closeEvent(event);
}

bool TFormPrint::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &FForm.Window()) {
        // The main window writes its settings when it closes: this window's go with them.
        if (event->type() == QEvent::Close) StoreSettings();
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            ButtonViewClick();
            return true;
        }
        // Digits and Backspace pass; other characters are swallowed.
        const QString text = key->text();
        const QChar c = text.isEmpty() ? QChar() : text.front();
        if (!text.isEmpty() && c >= QLatin1Char(' ') &&
            !(c >= QLatin1Char('0') && c <= QLatin1Char('9')) &&
            !(key->modifiers() & Qt::ControlModifier))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace rekna
