#pragma once

#include "app/Platform.h"
#include "app/Session.h"
#include "app/ToolkitLanguage.h"
#include "catalog/Catalog.h"
#include "catalog/Document.h"
#include "gamecfg/FileSys.h"
#include "interchange/WorkbookWriter.h"
#include "translate/Texts.h"
#include "views/ChartWindow.h"
#include "views/GridView.h"
#include "views/StandardView.h"
#include "views/WeatherColours.h"

#include <QHash>
#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QFileDialog;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QMenuBar;
class QTimer;
class QToolButton;

namespace kw {

class ProfileFile;
class TAnchorLayout;
class TTranslator;
struct TBackupResult;
struct TDialogContext;
struct TGridDef;
class TCoolEdit;
class TChartWindow;
class TChangedFilesBar;
class TDiskWatch;

// The controls of one catalog page; both boxes share one place on the page.
struct TCatalogPage {
    QWidget* ts = nullptr;
    QGroupBox* gbNormal = nullptr;
    QGroupBox* gbTable = nullptr;
    TGridView* sg = nullptr;
    QPushButton* btnTableSave = nullptr;
    QPushButton* btnTableRefresh = nullptr;
    QPushButton* btnImport = nullptr;
    QPushButton* btnExport = nullptr;
    QPushButton* btnChart = nullptr;
};

// The program's one main window. Controls carry the object names that the
// language files use; those with the dynamic property "tag" == -1 stay usable
// without game data.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kPageCount = 6;

    // Shows session, which outlives the window: the settings file, "weather.ini" and "Lang" are looked up in
    // its program folder. Dialogs and messages go through platform (the toolkit's own when nullptr).
    explicit TfrmMain(TSession& session, TPlatform* platform = nullptr);
    ~TfrmMain() override;

    // The start-up sequence. Runs after construction so that a failing step
    // leaves the window open as far as it got.
    void FormCreate();
    // A game folder named on the command line, taken by the start-up instead of the stored one as if the user
    // had chosen it: no first-start warning, no chooser. Settings keep it only when it holds the game files.
    void OpenAtStart(std::string gameFolder);

    const std::string& ExeFolder() const { return FSession.ExeFolder(); }
    const std::string& GamePath() const { return FSession.GamePath(); }
    // The string-table folder of the last full load; empty before one.
    std::string LocalizationPath() const;
    // Index of the applied language in Translator1's list, -1 for the built-in texts.
    int LanguageIndex() const { return FSession.LanguageIndex(); }
    bool IsStandardView() const { return FStandardView; }
    // Empty until start-up has opened the settings file.
    std::string SettingsFilePath() const;
    const TMainTexts& Texts() const { return FTexts; }
    const TCatalogPage& Page(int index) const { return Pages.at(index); }
    // The five category files of GamePath.
    std::vector<std::string> RequiredFiles() const { return FSession.RequiredFiles(); }
    TDocument& Document() { return FDocument; }
    TCatalog& Catalog() { return FDocument.Catalog(); }
    const TPictureLists& Pictures() const { return FDocument.Pictures(); }
    const TStringTables& StringTables() const { return FDocument.Tables(); }

    // True when every file exists. Either way the window takes the matching
    // state: ready (everything usable) or not ready (only tag -1 controls and
    // the menu usable, a blinking warning in the status line).
    bool CheckGameFiles(const std::vector<std::string>& files);
    // The full load: string tables, weapon file list and pictures, then the
    // catalogs behind the progress window. newFolder takes the localization
    // from the game instead of the settings file.
    void LoadGameData(bool newFolder);

    void btnSelectGamePathClick();
    void mnuSettingsGamePathClick();
    void btnSaveSettingsClick();
    void btnResetSettingsClick();
    void mnuFileSaveClick();
    void mnuFileResetClick();
    void Timer1Timer();
    void btnAboutClick();
    void mnuHelpAboutClick();
    void btnViewClick();

    // Commits everything the user typed, ticked or picked and has not yet committed: the fields of the
    // entry each standard view shows go into the catalog. Every command that replaces what is shown or
    // reads the catalog (a row or page change, save, reload, a view or language switch, close) calls it
    // first: a field loses the focus silently when the window is deactivated, so its leave event cannot be
    // relied on. Committing twice is harmless. A table view commits its open cell editor here too.
    void CommitPendingEdits();
    // The title's modified marker follows whether the document holds anything a save would write.
    void UpdateModifiedMarker();
    // Shows text in the status line in place of the game folder for a few seconds (tmrStatusNote), then
    // the line shows again what it showed before; a later note takes the place of one still shown. Whatever
    // sets the line meanwhile (a load, the missing-files warning) stays. Never a message box: for feedback
    // that must not stop the user.
    void ShowStatusNote(const QString& text);
    // Optionally switches every page to the other view, then shows the visible
    // view of every page again from the catalog.
    void RefreshViews(bool toggle);
    // Refills the entry lists from the catalog and shows the first entry of
    // each; the loader calls it once every catalog is filled. Values that could
    // not be shown are reported when the run is over.
    void PopulateLists();
    TStandardViews& Views() { return *FViews; }

    // MainDialogs.cpp: the weapon dialogs, the texture choice and the backup.
    void btnWeaponsSilencerClick();
    void btnWeaponsScopeClick();
    void btnWeaponsGrenLnchClick();
    void btnWeaponsAmmoClick();
    void btnWeather_sky_textureClick();
    void btnWeather_clouds_textureClick();
    // Asks, then copies every file the editor writes to a ".bak" beside it and logs the copy.
    void btnBackupClick();
    void mnuFileBackupClick();
    // Collects the active page, then lists what a save would write and lets the user revert rows of it.
    void mnuFileChangesClick();

    // Click handler of every language menu item.
    void ApplyLanguage(QAction* item);
    void FillAddonStatusCombos();
    void FillTableHeaders();
    void UpdateViewButton(bool standard);

    // The table view. A grid shows its page's catalog with the document's marked cells over it: FillTable
    // shows it again (and enables the page's four buttons exactly when there are entries), StoreTable stores
    // its marked cells, reporting a refusal; both take a page index.
    void FillTable(int page);
    bool StoreTable(int page);
    // The buttons of each page's table view box.
    void TableSaveClick(int page);
    void TableRefreshClick(int page);
    void ExportClick(int page);
    void ImportClick(int page);
    // The page's chart window, opened by its Chart button and View > Chart; null until first opened.
    void ChartClick(int page);
    TChartWindow* Chart(int page) const;

    QTabWidget* PageControl1 = nullptr;
    std::array<TCatalogPage, kPageCount> Pages;
    // Controls of the standard views that the window itself fills.
    QComboBox* cboWeapons_silencer_status = nullptr;
    QComboBox* cboWeapons_scope_status = nullptr;
    QComboBox* cboWeapons_grenade_launcher_status = nullptr;
    QComboBox* cboWeather_thunderbolt = nullptr;
    QComboBox* cboWeather_env_ambient = nullptr;
    QLabel* lblGameDir = nullptr;
    QLabel* pnlGamePath = nullptr;
    QToolButton* btnSelectGamePath = nullptr;
    QPushButton* btnSaveSettings = nullptr;
    QPushButton* btnResetSettings = nullptr;
    QPushButton* btnBackup = nullptr;
    QPushButton* btnAbout = nullptr;
    QPushButton* btnClose = nullptr;
    QPushButton* btnView = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFileReset = nullptr;
    QAction* mnuFileBackup = nullptr;
    QAction* mnuFileChanges = nullptr;
    QAction* mnuFileSeparator = nullptr;
    QAction* mnuFileClose = nullptr;
    QMenu* mnuEdit = nullptr;
    QAction* mnuEditUndo = nullptr;
    QAction* mnuEditRedo = nullptr;
    QMenu* mnuView = nullptr;
    QAction* mnuViewChart = nullptr;
    QMenu* mnuSettings = nullptr;
    QAction* mnuSettingsGamePath = nullptr;
    QMenu* mnuSettingsLanguage = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpAbout = nullptr;

    QTimer* Timer1 = nullptr;
    TTranslator* Translator1 = nullptr;
    // Kept for the window's life so that a language translates their titles.
    QFileDialog* dlgExportExcel = nullptr;
    QFileDialog* dlgImportExcel = nullptr;
    // Holds the texture choice's title (translated with the window), filter and last folder.
    QFileDialog* dlgOpenTexture = nullptr;
    QFileDialog* dlgSaveChartImage = nullptr;

    // Game files changed by another program: the bar above the pages that names them.
    TChangedFilesBar* pnlChangedFiles = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    // The exit hook: an edit is stored when the focus leaves its control.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // uMain.cpp: the frame.
    void CreatePages();
    void CreateCatalogPage(int index);
    void CreateStatusLine(QWidget* client);
    void CreateButtons(QWidget* client);
    void CreateMenu();
    void CreateNonVisual();
    void MarkAlwaysUsable();
    void ConnectRunHandlers();
    void ShowError(const QString& text);
    void ShowWarning(const QString& text);
    // A question answered yes or no in the interface language; Enter gives the answer that loses nothing.
    bool AskYesNo(const QString& caption, const QString& text, bool yesByDefault,
                  QMessageBox::Icon icon = QMessageBox::Question);

    // MainStartup.cpp: start-up, closing and the settings file.
    void FillWeatherChoices();
    void OpenSettingsFile();
    QPoint CentredOnPrimaryScreen() const;
    void RestoreSize();
    void RestorePosition();
    void RestoreMaximized();
    void RestoreViewType();
    void RestoreActivePage();
    void RestoreColumnWidths();
    void ApplyStoredLanguage();
    void ReadGamePath();
    std::string StoredLocalization() const;
    void FormClose();
    void WriteSettings();
    void WriteGeometry(ProfileFile& settings) const;
    void FormDestroy();
    void btnCloseClick();
    void mnuFileCloseClick();

    // MainUndo.cpp: the Edit menu, and bringing what a step changed into view.
    void CreateEditMenu(QMenuBar* bar);
    void mnuEditUndoClick();
    void mnuEditRedoClick();
    void OnDocumentChanged(const TDocumentChange& change);
    void UpdateUndoItems();
    void ShowStep(const TEditStep& step);
    void ShowStepCells(const TEditStep& step, int page);
    QString StepName(const TEditStep& step) const;
    // The page of a catalog as the dump names it; -1 for none.
    static int PageOf(const std::string& catalog);

    // MainStatusNote.cpp: the status line's transient note.
    void CreateStatusNoteTimer();
    bool IsStatusNoteShown() const;
    void EndStatusNote();

    // MainGameFolder.cpp: the game folder.
    bool AskGamePathOnFirstStart();
    bool ChooseGamePath();
    QString ChooserStartFolder() const;
    // firstStart: the folder was asked for because none was stored; only then comes the backup question.
    // True when the folder holds the game files.
    bool CheckAndLoadGameFolder(bool newFolder, bool firstStart = false);
    void ReportMissingFiles(const std::vector<std::string>& missing);
    void ApplyGameFilesState(bool ready);

    // MainUnsaved.cpp: the questions before unsaved work would be lost. Each collects the views first.
    // Save stands for the first answer offered, when there is one: save, or store the grids' cells.
    enum class TUnsavedAnswer { Save, Discard, Cancel };
    TUnsavedAnswer AskUnsaved(const TextDef& text, const TextDef* firstAnswer);
    // Whether the window may close: nothing unsaved, or saved in full, or the user discards it.
    bool MayClose();
    // Whether unsaved work may be dropped; when the user discards it, every value is back at its baseline.
    bool MayDropEdits();
    // Whether the table view may be left: no marked cells, or they are stored or dropped as the user chose.
    bool MayLeaveTables();
    bool HasMarkedCells(int page) const;
    // Drops the marked cells of every grid as one step.
    void DropMarkedCells();

    // MainRuns.cpp: load, reload and save runs.
    // The main save; true only when every value was written.
    bool SaveDocument();
    // A read run over the files of the last full load; fresh pictures, when
    // given, replace the held ones just before the catalogs are rebuilt. keep: unsaved work the reload puts
    // back (TDocument::ReadCatalogs).
    void RunLoad(TPictureLists* freshPictures, TReloadPlan* keep = nullptr);
    // Runs behind the progress window; the text of what the run threw, or empty.
    QString RunBehindProgress(int mode, const std::function<void()>& run);
    void ReportSaveFailures(const TSaveReport& report);
    // Keys another program changed under the user's edits: the user keeps either side; false on Cancel.
    bool SettleSaveConflicts(const TSaveReport& report);
    QString Variable(const TextDef& text) const;
    void ReportLoadProblems(const QString& runError);
    QString ParentProblemLine(const TParentProblem& problem) const;
    QStringList ParentProblemLines(const std::vector<TParentProblem>& problems) const;

    // MainLanguage.cpp: the language.
    void RegisterTranslationRules();
    void BuildLanguageMenu();
    void ApplyTableButtonTexts();
    void ApplyGroupBoxCaptions();

    // MainDialogs.cpp: the weapon dialogs, the texture choice and the backup.
    void CreateDialogs();
    TDialogContext DialogContext();
    // The weapons page is collected before the dialog opens, so that the dialog and what it shows again
    // start from the catalog, and after a fitted addon, so that the status it selected is stored.
    // control: the one the dialog belongs to, whose caption names the step.
    void RunWeaponDialog(bool (*execute)(QWidget*, TDialogContext), const QWidget* control,
                         bool collectAfter);
    void PickTexture(TCoolEdit* field);
    // The five required files, then the weapon files the last full load kept, if it read this folder.
    std::vector<std::string> BackupFileList() const;
    void BackupFiles();
    void WriteBackupLog(const TBackupResult& result);

    // MainTables.cpp: the table view's grids, export and import.
    // Writes every grid's open cell editor into its cell; part of CommitPendingEdits.
    void CommitGridEditors();
    void CreateFileDialogs();
    void ConnectTableHandlers();
    // False when a grid refused its cells: the save must not go on without them.
    bool StoreTablesBeforeSave();
    // True, after saying so, when an export to path would write over a file of the loaded game.
    bool IsGameFile(const QString& path);
    // Asks before an export replaces a file the dialog took for another one.
    bool MayReplace(const QString& path);
    void ExportTable(int page, const QString& path, TExportFormat format);
    void ImportTable(int page, const QString& path);
    // The sheet rows an import of path reads into the grid, after asking what the sheet leaves open; nothing
    // when the user cancels. Throws kw::Error for a sheet that cannot be imported.
    std::optional<std::vector<int>> ChooseImportRows(const TStringGrid& grid, const TSheet& sheet,
                                                     const QString& path);

    // MainCharts.cpp: the chart windows.
    void CreateViewMenu(QMenuBar* bar);
    void CreateChartDialog();
    void ShowChartEntry(int page, int row);
    void SaveChartImage(int page);
    void ApplyChartTexts();
    void CloseCharts();
    void RestoreChartChoices();
    void WriteChartChoices(ProfileFile& settings) const;

    // MainViews.cpp: the views.
    void CreateStandardViews();
    void BindExitHook();
    void CollectPage(int page);
    void ShowSelectedEntries();
    void ApplyInfoPrefixes();
    void FillTables();
    void ToggleView();
    void ShowStandardBoxes(bool visible);
    void ShowTableBoxes(bool visible);

    // MainColours.cpp: the weather colours' swatches.
    void CreateWeatherColours();
    void ApplyColourHint();

    // MainDiskWatch.cpp: game files changed by another program, and the reload that keeps unsaved work.
    void CreateDiskWatch(QWidget* client);
    void ShowChangedFiles();
    void ApplyChangedFilesTexts();
    // Room for the bar while it is shown: the window grows when it has none to spare.
    void FitChangedFilesBar();
    void ChangedFilesReloadClick();
    void ChangedFilesIgnoreClick();
    // Whether the reload may go on although it loses these changes.
    bool MayLoseOnReload(const std::vector<TChangeOnDisk>& lost);
    // Whether the user chose mine or theirs for each conflict (KeepMine), rather than cancelling.
    bool ChooseOnReload(std::vector<TChangeOnDisk>& conflicts);
    void ReloadKeeping(TReloadPlan* plan);
    // One "entry — field" line for each change.
    QString ChangeLines(const std::vector<TChangeOnDisk>& changes) const;

    TSession& FSession;
    // The session's document, which the window shows and edits.
    TDocument& FDocument;
    // The folder of OpenAtStart, empty for none.
    std::string FStartFolder;
    // A folder from the command line failed the check: close leaves the stored folder as it was.
    bool FKeepStoredGamePath = false;
    // The one record of which view the pages show; widgets only follow it.
    bool FStandardView = true;
    TMainTexts FTexts;
    std::unique_ptr<ProfileFile> FWeatherChoices;
    TPlatform& FPlatform;
    // Places the controls as the window grows beyond the size the layout was drawn for.
    TAnchorLayout* FAnchors = nullptr;
    // A run behind the progress window is going on; the window does not close meanwhile.
    bool FRunning = false;

    // It shows the catalog's entries, which the session outlives.
    std::unique_ptr<TStandardViews> FViews;
    std::unique_ptr<TWeatherColours> FWeatherColours;
    // Each control of the exit hook with the page whose entry it edits.
    QHash<QObject*, int> FExitHookPages;
    std::size_t FDocumentListener = 0;
    // Values a load could not show, reported once its run is over.
    QStringList FConversionErrors;
    // Ends the status line's note; the note shown, and what the line showed before it.
    QTimer* FStatusNoteTimer = nullptr;
    QString FStatusNote;
    QString FStatusLineBeforeNote;
    // Each page's chart window, owned by this window, and the choice it shows or will show.
    std::array<TChartWindow*, kPageCount> FCharts{};
    std::array<TChartChoice, kPageCount> FChartChoices{};
    // The toolkit's own dialogs speak the interface language.
    TToolkitLanguage FToolkitLanguage;

    // Game files changed by another program: what heard of them.
    TDiskWatch* FDiskWatch = nullptr;
    // The height the bar added to the window, which it gives back when it goes.
    int FBarGrowth = 0;
};

} // namespace kw
