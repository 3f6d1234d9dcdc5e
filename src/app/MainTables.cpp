// The main window's side of the table view: filling and storing the grids, their buttons, and the export
// and import of a grid through the window's file dialogs.

#include "app/uMain.h"

#include "app/MainInternal.h"
#include "catalog/ProtectedFiles.h"
#include "gamecfg/Error.h"
#include "interchange/SheetImport.h"
#include "interchange/WorkbookWriter.h"
#include "views/GameText.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QTabWidget>

namespace kw {

namespace {

const QString kXlsxFilter = QStringLiteral("Excel workbook (*.xlsx)");
const QString kCsvFilter = QStringLiteral("CSV (*.csv)");
const QString kWorkbookFilter = QStringLiteral("Workbook or CSV (*.xlsx *.xls *.csv)");
const QString kAllFilesFilter = QStringLiteral("All files (*)");

// Game folders are matched regardless of letter case, and so is an export's target: the dialog's own
// overwrite question misses a file whose name differs only in case.
const TextDef kReplaceFileText = {"rs_MsgExportReplaceText", "Файл \"%1\" уже существует. Заменить его?"};

QString Quoted(const QString& fileName) {
    return QStringLiteral(" \"") + fileName + QLatin1Char('"');
}

// A name's own extension wins, in any letter case; a name without a known one takes the chosen filter's.
TExportFormat ChosenExportFormat(const QString& path, const QString& filter) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("csv") || suffix == QLatin1String("xlsx")) {
        return ExportFormatOf(QtToUtf8(path));
    }
    return filter == kCsvFilter ? TExportFormat::Csv : TExportFormat::Xlsx;
}

// The grid takes no input while a file is written or read from it.
class TGridBusy {
public:
    explicit TGridBusy(QWidget& grid) : FGrid(grid) { FGrid.setEnabled(false); }
    ~TGridBusy() { FGrid.setEnabled(true); }
    TGridBusy(const TGridBusy&) = delete;
    TGridBusy& operator=(const TGridBusy&) = delete;

private:
    QWidget& FGrid;
};

} // namespace

void TfrmMain::CreateFileDialogs() {
    dlgExportExcel = new QFileDialog(this, QStringLiteral("Экспорт данных"));
    dlgExportExcel->setObjectName(QStringLiteral("dlgExportExcel"));
    dlgExportExcel->setProperty("vclClass", QStringLiteral("TSaveDialog"));
    dlgExportExcel->setAcceptMode(QFileDialog::AcceptSave);
    dlgExportExcel->setFileMode(QFileDialog::AnyFile);
    dlgExportExcel->setNameFilters({kXlsxFilter, kCsvFilter});
    dlgExportExcel->selectNameFilter(kXlsxFilter);
    dlgExportExcel->setDefaultSuffix(QStringLiteral("xlsx"));
    // The toolkit adds its default suffix before it asks about overwriting, so the suffix follows the
    // filter: "prices" with the CSV filter is checked as "prices.csv".
    connect(dlgExportExcel, &QFileDialog::filterSelected, dlgExportExcel, [this](const QString& filter) {
        dlgExportExcel->setDefaultSuffix(filter == kCsvFilter ? QStringLiteral("csv")
                                                              : QStringLiteral("xlsx"));
    });

    dlgImportExcel = new QFileDialog(this, QStringLiteral("Импорт данных"));
    dlgImportExcel->setObjectName(QStringLiteral("dlgImportExcel"));
    dlgImportExcel->setProperty("vclClass", QStringLiteral("TOpenDialog"));
    dlgImportExcel->setAcceptMode(QFileDialog::AcceptOpen);
    dlgImportExcel->setFileMode(QFileDialog::ExistingFile);
    dlgImportExcel->setNameFilters({kWorkbookFilter, kAllFilesFilter});
}

void TfrmMain::ConnectTableHandlers() {
    for (int index = 0; index < kPageCount; ++index) {
        const TCatalogPage& page = Pages[index];
        page.sg->SetTextOf([this](const TextDef& text) { return Variable(text); });
        connect(page.sg, &TGridView::cellsLeftOut, this,
                [this](int count) { ShowStatusNote(Variable(kPasteLeftOutText).arg(count)); });
        connect(page.btnTableSave, &QPushButton::clicked, this, [this, index] { TableSaveClick(index); });
        connect(page.btnTableRefresh, &QPushButton::clicked, this,
                [this, index] { TableRefreshClick(index); });
        connect(page.btnExport, &QPushButton::clicked, this, [this, index] { ExportClick(index); });
        connect(page.btnImport, &QPushButton::clicked, this, [this, index] { ImportClick(index); });
        connect(page.btnChart, &QPushButton::clicked, this, [this, index] { ChartClick(index); });
    }
}

void TfrmMain::CommitGridEditors() {
    for (TCatalogPage& page : Pages) {
        page.sg->CommitEditor();
    }
}

void TfrmMain::FillTable(int page) {
    TCatalogPage& controls = Pages.at(page);
    controls.sg->ShowCatalog();
    const bool any = controls.sg->Model().EntryCount() > 0;
    for (QPushButton* button : {controls.btnTableSave, controls.btnTableRefresh, controls.btnImport,
                                controls.btnExport, controls.btnChart}) {
        button->setEnabled(any);
    }
}

void TfrmMain::FillTables() {
    for (int page = 0; page < kPageCount; ++page) {
        FillTable(page);
    }
}

bool TfrmMain::StoreTable(int page) {
    try {
        Pages.at(page).sg->StoreMarkedCells();
        return true;
    } catch (const std::exception& error) {
        ShowError(QString::fromUtf8(error.what()));
        return false;
    }
}

// Marked cells are part of what the main Save saves, in whichever view: an Undo may bring them back while the
// standard view shows. The caller has committed the open editors.
bool TfrmMain::StoreTablesBeforeSave() {
    for (int page = 0; page < kPageCount; ++page) {
        if (HasMarkedCells(page) && !StoreTable(page)) {
            PageControl1->setCurrentIndex(page);
            return false;
        }
    }
    return true;
}

void TfrmMain::TableSaveClick(int page) {
    CommitPendingEdits();
    StoreTable(page);
}

void TfrmMain::TableRefreshClick(int page) {
    CommitPendingEdits();
    if (HasMarkedCells(page) && AskUnsaved(kUnsavedGridText, nullptr) != TUnsavedAnswer::Discard) {
        return;
    }
    Pages.at(page).sg->DropMarks();
    FillTable(page);
}

void TfrmMain::ExportClick(int page) {
    CommitPendingEdits();
    const QString path = FPlatform.RunFileDialog(*dlgExportExcel);
    if (!path.isEmpty() && !IsGameFile(path) && MayReplace(path)) {
        ExportTable(page, path, ChosenExportFormat(path, dlgExportExcel->selectedNameFilter()));
    }
}

// A workbook put over a game file, or into the game's data folder, would break the game at its next start.
bool TfrmMain::IsGameFile(const QString& path) {
    const std::optional<TLoadSource>& source = FDocument.Source();
    if (!source || !IsProtectedGameFile(*source, QtToUtf8(path))) {
        return false;
    }
    FPlatform.MessageBox(this, QMessageBox::Warning, FTexts.Get("rs_MsgExcelExportCaption"),
                         Variable(kExportGameFileText).arg(path), QMessageBox::Ok);
    return true;
}

bool TfrmMain::MayReplace(const QString& path) {
    const QString target = PathText(fs::Resolve(QtToUtf8(path)));
    if (target == path || !QFileInfo::exists(target)) {
        return true;
    }
    return AskYesNo(FTexts.Get("rs_MsgExcelExportCaption"), Variable(kReplaceFileText).arg(target), false);
}

void TfrmMain::ExportTable(int page, const QString& path, TExportFormat format) {
    TGridView& sg = *Pages.at(page).sg;
    const TGridBusy busy(sg);
    QString failure;
    try {
        const TStringGrid shown = sg.WorkingCopy();
        if (format == TExportFormat::Csv) {
            WriteCsv(QtToUtf8(path), shown);
        } else {
            WriteWorkbook(QtToUtf8(path), QtToUtf8(FTexts.Get(sg.Def().ExportTitleKey)), shown,
                          sg.Layout(shown));
        }
    } catch (const std::exception& error) {
        failure = QString::fromUtf8(error.what());
    }
    const QString caption = FTexts.Get("rs_MsgExcelExportCaption");
    if (failure.isEmpty()) {
        FPlatform.MessageBox(this, QMessageBox::Information, caption,
                             FTexts.Get("rs_MsgExcelExportSuccessText") + Quoted(path), QMessageBox::Ok);
    } else {
        FPlatform.MessageBox(this, QMessageBox::Critical, caption,
                             FTexts.Get("rs_MsgExcelExportErrorText") + Quoted(path) +
                                 QStringLiteral("\r\n") + failure,
                             QMessageBox::Ok);
    }
}

void TfrmMain::ImportClick(int page) {
    CommitPendingEdits();
    const QString path = FPlatform.RunFileDialog(*dlgImportExcel);
    if (!path.isEmpty()) {
        ImportTable(page, path);
    }
}

std::optional<std::vector<int>> TfrmMain::ChooseImportRows(const TStringGrid& grid, const TSheet& sheet,
                                                           const QString& path) {
    const std::string file = QtToUtf8(path);
    if (const std::string problem = SheetShapeProblem(grid, sheet); !problem.empty()) {
        throw Error(file + ": " + problem + " Nothing was imported.");
    }
    const TRowPlan plan = PlanRows(grid, sheet);
    if (plan.Kind == TRowPlan::TKind::Unmatched) {
        throw Error(file + ": " + plan.Problem + " Nothing was imported.");
    }
    const bool byName = plan.Kind == TRowPlan::TKind::Reordered;
    if (byName && FPlatform.Ask(this, QMessageBox::Question, FTexts.Get("rs_MsgExcelImportCaption"),
                                Variable(kImportMatchByNameText),
                                {Variable(kYesAnswer), Variable(kCancelAnswer)}, 0) != 0) {
        return std::nullopt;
    }
    if (!(byName ? SheetColumnsMatch(grid, sheet) : SheetSizeMatches(grid, sheet))) {
        const QString warning =
            PathText(SizeWarningText(QtToUtf8(FTexts.Get("rs_MsgExcelImportWarning_1")), file,
                                     QtToUtf8(FTexts.Get("rs_MsgExcelImportWarning_2"))));
        if (!AskYesNo(FTexts.Get("rs_MsgExclamationCaption"), warning, false, QMessageBox::Warning)) {
            return std::nullopt;
        }
    }
    return plan.SheetRows;
}

void TfrmMain::ImportTable(int page, const QString& path) {
    TGridView& sg = *Pages.at(page).sg;
    const TGridBusy busy(sg);
    const QString caption = FTexts.Get("rs_MsgExcelImportCaption");
    int changed = 0;
    try {
        sg.CommitEditor();
        const TStringGrid shown = sg.WorkingCopy();
        TSheet sheet;
        const TSheetOrigin origin = ReadSheetForGrid(QtToUtf8(path), shown, sheet);
        const std::optional<std::vector<int>> rows = ChooseImportRows(shown, sheet, path);
        if (!rows) {
            return;
        }
        changed = sg.Import(sheet, origin, *rows, QFileInfo(path).fileName());
    } catch (const std::exception& error) {
        FPlatform.MessageBox(this, QMessageBox::Critical, caption,
                             FTexts.Get("rs_MsgExcelImportErrorText") + Quoted(path), QMessageBox::Ok);
        ShowError(QString::fromUtf8(error.what()));
        return;
    }
    ShowStatusNote(Variable(kImportChangedCellsText).arg(changed));
    FPlatform.MessageBox(this, QMessageBox::Information, caption,
                         FTexts.Get("rs_MsgExcelImportSuccessText") + Quoted(path), QMessageBox::Ok);
}

} // namespace kw
