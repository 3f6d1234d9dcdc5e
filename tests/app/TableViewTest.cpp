#include "MainWindowFixture.h"

#include "gamecfg/FileSys.h"
#include "interchange/WorkbookWriter.h"
#include "views/CoolCtrls.h"
#include "views/GridCells.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <algorithm>
#include <map>

namespace kwtest {
namespace {

namespace fs = std::filesystem;

constexpr int kWeapons = 0;
constexpr int kAmmo = 1;
constexpr int kOutfits = 2;
constexpr int kItems = 4;
constexpr int kWeather = 5;

// The sample game in the table view of a window that is shown and active, as under a user.
class TableViewTest : public SampleGameWindowTest {
protected:
    std::string MoreOptions() const override { return "ViewType=0\n"; }

    kw::TfrmMain& StartShown() {
        kw::TfrmMain& window = SampleGameWindowTest::StartShown();
        EXPECT_FALSE(window.IsStandardView());
        return window;
    }
    kw::TGridView& Grid(int page) const { return *FWindow->Page(page).sg; }
    QString Cell(int page, int row, int column) const { return CellText(Grid(page), row, column); }
    // One typed cell, committed with Enter, on the page shown.
    void Type(int page, int row, int column, const QString& text) const {
        FWindow->PageControl1->setCurrentIndex(page);
        TypeIntoCell(Grid(page), row, column, text);
    }
    // Opens the cell's editor and types into it as a user does, leaving the editor open.
    QLineEdit* TypeInEditor(int page, int row, int column, const QString& text) const {
        FWindow->PageControl1->setCurrentIndex(page);
        return kwtest::TypeInEditor(Grid(page), row, column, text);
    }
    // Rows of the outfits whose immunities live in section, in grid order.
    std::vector<int> RowsSharing(const std::string& section) const {
        std::vector<int> rows;
        const auto& outfits = FWindow->Catalog().Outfits;
        for (size_t row = 0; row < outfits.size(); ++row) {
            if (outfits[row]->immunities_sect.Value == section) {
                rows.push_back(static_cast<int>(row));
            }
        }
        return rows;
    }
    std::string Path(const std::string& name) const { return (FFolder / name).string(); }
    // The lines that differ between two texts of the same file, blanks dropped: a save may rewrite the
    // blanks between a value and its comment.
    static std::vector<std::string> ChangedLines(const std::string& before, const std::string& after) {
        const auto lines = [](const std::string& text) {
            std::vector<std::string> result;
            std::istringstream in(text);
            for (std::string line; std::getline(in, line);) {
                std::erase_if(line, [](char c) { return c == ' ' || c == '\t' || c == '\r'; });
                result.push_back(line);
            }
            return result;
        };
        const auto old = lines(before);
        const auto now = lines(after);
        std::vector<std::string> changed;
        for (size_t i = 0; i < std::min(old.size(), now.size()); ++i) {
            if (old[i] != now[i]) {
                changed.push_back(now[i]);
            }
        }
        EXPECT_EQ(old.size(), now.size());
        return changed;
    }
    void Export(int page, const std::string& file, const QString& filter = {}) {
        FPlatform.File = QString::fromStdString(file);
        FPlatform.FileFilter = filter;
        FWindow->Page(page).btnExport->click();
    }
    void Import(int page, const std::string& file) {
        FPlatform.File = QString::fromStdString(file);
        FWindow->Page(page).btnImport->click();
    }
    std::vector<QString> MessageTexts() const {
        std::vector<QString> texts;
        for (const auto& message : FPlatform.Messages) {
            texts.push_back(message.Text);
        }
        return texts;
    }
};

const char kAmmoFile[] = "gamedata/config/weapons/weapons.ltx";
const char kItemsFile[] = "gamedata/config/misc/items.ltx";
const char kOutfitFile[] = "gamedata/config/misc/outfit.ltx";

TEST_F(TableViewTest, RefreshShowsTheCatalogAgainAndSaveReachesTheStandardView) {
    kw::TfrmMain& window = StartShown();
    const QString kept = Cell(kAmmo, 0, 2);
    Type(kAmmo, 0, 2, "1.75");
    window.Page(kAmmo).btnTableRefresh->click();
    EXPECT_EQ(Cell(kAmmo, 0, 2), kept);
    EXPECT_TRUE(Grid(kAmmo).Model().MarkedCells().empty());

    Type(kAmmo, 0, 2, "1.75");
    Type(kAmmo, 1, 3, ""); // a cleared cell stores an empty value
    window.Page(kAmmo).btnTableSave->click();
    EXPECT_EQ(window.Catalog().Ammo[0]->k_dist.Value, "1.75");
    EXPECT_EQ(window.Catalog().Ammo[1]->k_impulse.Value, "");
    window.btnView->click();
    window.findChild<QListWidget*>("lbAmmo")->setCurrentRow(0);
    EXPECT_EQ(window.findChild<kw::TCoolEdit*>("txtAmmo_k_dist")->text(), "1.75");
    EXPECT_TRUE(FPlatform.Messages.empty());
}

TEST_F(TableViewTest, EmptyCatalogLeavesOneRowAndThePageButtonsDisabled) {
    kw::TfrmMain& window = StartShown();
    EXPECT_TRUE(window.Page(kOutfits).btnExport->isEnabled());
    window.Catalog().Outfits.clear();
    window.FillTable(kOutfits);
    EXPECT_EQ(Grid(kOutfits).model()->rowCount(), 1);
    const kw::TCatalogPage& page = window.Page(kOutfits);
    for (const QPushButton* button :
         {page.btnTableSave, page.btnTableRefresh, page.btnImport, page.btnExport}) {
        EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
    }
    EXPECT_TRUE(window.Page(kAmmo).btnTableSave->isEnabled());
}

// A value typed into an open cell editor is saved by one click of the main Save or Ctrl+S, whether the
// window is active or another window took the focus.
struct OneClickCase {
    const char* Name;
    bool Active;
    bool Shortcut; // Ctrl+S into the editor, else the main Save button
};

void PrintTo(const OneClickCase& test, std::ostream* out) {
    *out << test.Name;
}

class OneClickSave : public TableViewTest, public testing::WithParamInterface<OneClickCase> {};

TEST_P(OneClickSave, SavesTheValueInTheOpenEditor) {
    const OneClickCase& test = GetParam();
    const std::string before = GameFile(kAmmoFile);
    kw::TfrmMain& window = StartShown();
    const std::string section = window.Catalog().Ammo[0]->Section;
    QLineEdit* editor = TypeInEditor(kAmmo, 0, 8, "77");
    ASSERT_NE(editor, nullptr);
    QWidget other;
    if (!test.Active) {
        other.show();
        QApplication::setActiveWindow(&other);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    }
    if (test.Shortcut && test.Active) {
        QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
    } else if (test.Shortcut) {
        window.mnuFileSave->trigger(); // what the shortcut runs; it reaches no inactive window
    } else {
        window.btnSaveSettings->click();
    }
    EXPECT_TRUE(FPlatform.Messages.empty());
    EXPECT_EQ(window.Catalog().Ammo[0]->box_size.Value, "77") << section;
    EXPECT_EQ(ChangedLines(before, GameFile(kAmmoFile)), std::vector<std::string>{"box_size=77"});
}

INSTANTIATE_TEST_SUITE_P(Cases, OneClickSave,
                         testing::Values(OneClickCase{"CtrlSActive", true, true},
                                         OneClickCase{"MenuInactive", false, true},
                                         OneClickCase{"ButtonActive", true, false},
                                         OneClickCase{"ButtonInactive", false, false}),
                         [](const auto& info) { return std::string(info.param.Name); });

// Whatever takes the grid away from the user first writes the open editor into its cell.
struct LeaveCase {
    const char* Name;
    void (*Leave)(kw::TfrmMain& window);
};

void PrintTo(const LeaveCase& test, std::ostream* out) {
    *out << test.Name;
}

class EditorCommittedOnLeaving : public TableViewTest, public testing::WithParamInterface<LeaveCase> {};

TEST_P(EditorCommittedOnLeaving, KeepsTheTypedText) {
    kw::TfrmMain& window = StartShown();
    TypeInEditor(kAmmo, 2, 6, "1.9");
    EXPECT_EQ(Grid(kAmmo).Model().Text(2, 6), Grid(kAmmo).Model().CatalogText(2, 6));
    // A leave that asks about the typed cell is cancelled, so the cell shows what the editor committed.
    FPlatform.Choice = QString::fromUtf8(kw::kCancelAnswer.Default);
    GetParam().Leave(window);
    EXPECT_EQ(Grid(kAmmo).Model().Text(2, 6), "1.9");
    EXPECT_TRUE(Grid(kAmmo).Model().IsMarked(2, 6));
    EXPECT_EQ(Grid(kAmmo).indexWidget(Grid(kAmmo).currentIndex()), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EditorCommittedOnLeaving,
    testing::Values(
        LeaveCase{"TabClick",
                  [](kw::TfrmMain& window) {
                      QTabBar* bar = window.PageControl1->tabBar();
                      QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(kOutfits).center());
                  }},
        LeaveCase{"PageSetByProgram", [](kw::TfrmMain& window) { window.PageControl1->setCurrentIndex(0); }},
        LeaveCase{"ViewSwitch", [](kw::TfrmMain& window) { window.btnView->click(); }},
        LeaveCase{"Close", [](kw::TfrmMain& window) { window.close(); }},
        LeaveCase{"OtherPageExport", [](kw::TfrmMain& window) { window.Page(kWeapons).btnExport->click(); }}),
    [](const auto& info) { return std::string(info.param.Name); });

// Outfits share one immunity section. An edit in a later row is the one saved, and no unchanged row writes
// the old text back over it; two rows of the section with different texts refuse the store.
class SharedImmunities : public TableViewTest {
protected:
    void SetUp() override {
        TableViewTest::SetUp();
        for (const char* own : {"= fenwarden_immunities", "= reedcloak_immunities"}) {
            ReplaceInGameFile(kOutfitFile, own, "= wanderer_immunities");
        }
        FBefore = GameFile(kOutfitFile);
        StartShown();
        FSharing = RowsSharing("wanderer_immunities");
        ASSERT_GE(FSharing.size(), 2u);
        ASSERT_NE(Cell(kOutfits, FSharing.back(), kBurnImmunity), "0.77");
        TypeInEditor(kOutfits, FSharing.back(), kBurnImmunity, "0.77");
        FWindow->Page(kOutfits).btnTableSave->click();
    }

    static constexpr int kBurnImmunity = 10;
    std::string FBefore;
    std::vector<int> FSharing;
};

TEST_F(SharedImmunities, EditInALaterRowIsSavedOnce) {
    EXPECT_TRUE(FPlatform.Messages.empty());
    FWindow->mnuFileSave->trigger();
    EXPECT_EQ(ChangedLines(FBefore, GameFile(kOutfitFile)), std::vector<std::string>{"burn_immunity=0.77"});

    const int first = FSharing.front();
    const int last = FSharing.back();
    Type(kOutfits, first, kBurnImmunity, "0.1");
    Type(kOutfits, last, kBurnImmunity, "0.2");
    FWindow->Page(kOutfits).btnTableSave->click();
    ASSERT_EQ(FPlatform.Messages.size(), 1u);
    EXPECT_TRUE(FPlatform.Messages[0].Text.contains(Cell(kOutfits, first, 0)));
    EXPECT_TRUE(FPlatform.Messages[0].Text.contains(Cell(kOutfits, last, 0)));
    EXPECT_EQ(FWindow->Catalog().Outfits[static_cast<size_t>(last)]->Immunity.burn.Value, "0.77");
}

// Every row of the section shows the edit once it is stored.
TEST_F(SharedImmunities, EveryOutfitOfTheSectionShowsTheEdit) {
    for (const int row : FSharing) {
        EXPECT_EQ(FWindow->Catalog().Outfits[static_cast<size_t>(row)]->Immunity.burn.Value, "0.77") << row;
        EXPECT_EQ(Cell(kOutfits, row, kBurnImmunity), "0.77") << row;
    }
}

// A refused cell stops the main Save: nothing is written, the grid keeps the marks, the catalog is as it was.
TEST_F(TableViewTest, RefusedGridStopsTheMainSave) {
    const std::string before = GameFile(kAmmoFile);
    kw::TfrmMain& window = StartShown();
    const std::string hit = window.Catalog().Ammo[1]->k_hit.Value;
    Type(kAmmo, 0, 4, "2");
    Type(kAmmo, 1, 4, "2★");
    window.mnuFileSave->trigger();
    ASSERT_EQ(FPlatform.Messages.size(), 1u);
    EXPECT_TRUE(FPlatform.Messages[0].Text.contains(QStringLiteral("★")))
        << FPlatform.Messages[0].Text.toStdString();
    EXPECT_TRUE(FPlatform.Messages[0].Text.contains(Cell(kAmmo, 1, 0)));
    EXPECT_EQ(window.Catalog().Ammo[1]->k_hit.Value, hit);
    EXPECT_EQ(Grid(kAmmo).Model().MarkedCells().size(), 2u);
    EXPECT_EQ(GameFile(kAmmoFile), before);
    EXPECT_EQ(window.PageControl1->currentIndex(), kAmmo);
}

// A paste that runs past the grid's last row and column pastes what fits and says in the status line how
// many cells it left out; one that fits says nothing.
TEST_F(TableViewTest, PastePastTheGridsEdgeSaysHowManyCellsWereLeftOut) {
    kw::TfrmMain& window = StartShown();
    window.btnView->click();
    window.PageControl1->setCurrentIndex(kAmmo);
    kw::TGridView& grid = Grid(kAmmo);
    const int lastRow = grid.model()->rowCount() - 1;
    const int lastColumn = grid.model()->columnCount() - 1;
    const QString status = window.pnlGamePath->text();
    QApplication::clipboard()->setText(QStringLiteral("1\t2\n3\t4\n"));

    grid.setCurrentIndex(grid.model()->index(0, 1));
    QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Cell(kAmmo, 1, 2), "4");
    EXPECT_EQ(window.pnlGamePath->text(), status);

    grid.setCurrentIndex(grid.model()->index(lastRow, lastColumn));
    QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Cell(kAmmo, lastRow, lastColumn), "1");
    EXPECT_EQ(window.pnlGamePath->text(),
              QString::fromUtf8("Не поместились в таблицу и пропущены ячейки: 3"));
}

TEST_F(TableViewTest, LanguageSwitchRenewsHeadersAndKeepsTypedCells) {
    fs::copy(fs::path(KW_SOURCE_DIR) / "resources" / "Lang", FFolder / "Lang");
    Write("Lang/Partial.xml", LanguageXml("Partial", {}, {{"rs_Weather_sky_color", "sky"}}));
    WriteSettings("GamePath=" + FGame + "\nViewType=0\nLanguage=none\n");
    kw::TfrmMain& window = StartShown();
    const QString name = Cell(kWeather, 0, 0);
    TypeInEditor(kWeather, 0, 3, "123");
    const auto language = [&](const char* name) {
        if (QAction* item = LanguageItem(QString::fromUtf8(name))) {
            item->trigger();
        }
    };
    language("English");
    EXPECT_EQ(Grid(kWeather).model()->headerData(4, Qt::Horizontal).toString(), "fog colour");
    EXPECT_EQ(Cell(kWeather, 0, 3), "123");
    EXPECT_TRUE(Grid(kWeather).Model().IsMarked(0, 3));
    EXPECT_EQ(Cell(kWeather, 0, 0), name);
    EXPECT_EQ(window.dlgExportExcel->windowTitle(), "Export data");
    EXPECT_EQ(window.dlgImportExcel->windowTitle(), "Import data");

    language("Partial"); // lacks the fog colour: the built-in text, not English
    EXPECT_EQ(Grid(kWeather).model()->headerData(4, Qt::Horizontal).toString(), "цвет тум.");
    EXPECT_EQ(Grid(kWeather).model()->headerData(1, Qt::Horizontal).toString(), "sky");
    EXPECT_EQ(Cell(kWeather, 0, 3), "123");
}

// What a grid exports comes back unchanged: no cell is marked, in either format, for every grid.
TEST_F(TableViewTest, ExportThenImportMarksNothing) {
    kw::TfrmMain& window = StartShown();
    for (int page = 0; page < kw::TfrmMain::kPageCount; ++page) {
        for (const char* suffix : {".xlsx", ".csv"}) {
            SCOPED_TRACE(std::to_string(page) + suffix);
            const std::string file = Path("grid" + std::to_string(page) + suffix);
            FPlatform.Messages.clear();
            Export(page, file);
            Import(page, file);
            EXPECT_EQ(MessageTexts(),
                      (std::vector<QString>{QStringLiteral("Данные успешно экспортированы в \"%1\"")
                                                .arg(QString::fromStdString(file)),
                                            QStringLiteral("Данные успешно импортированы из \"%1\"")
                                                .arg(QString::fromStdString(file))}));
            EXPECT_TRUE(Grid(page).Model().MarkedCells().empty());
        }
    }
    ASSERT_FALSE(FPlatform.FileDialogRuns.empty());
    EXPECT_EQ(FPlatform.FileDialogRuns[0].Name, "dlgExportExcel");
    EXPECT_EQ(FPlatform.FileDialogRuns[0].Title, "Экспорт данных");
    EXPECT_EQ(FPlatform.FileDialogRuns[0].Filters, (QStringList{"Excel workbook (*.xlsx)", "CSV (*.csv)"}));
    EXPECT_EQ(FPlatform.FileDialogRuns[1].Name, "dlgImportExcel");
    EXPECT_EQ(FPlatform.FileDialogRuns[1].Title, "Импорт данных");
    EXPECT_EQ(window.dlgExportExcel->selectedNameFilter(), "Excel workbook (*.xlsx)");
}

// The format follows the name's extension in any case, else the chosen filter.
struct FormatCase {
    const char* Name;
    const char* File;
    const char* Filter;
    bool Csv;
};

void PrintTo(const FormatCase& test, std::ostream* out) {
    *out << test.Name;
}

class ExportFormat : public TableViewTest, public testing::WithParamInterface<FormatCase> {};

TEST_P(ExportFormat, FollowsExtensionThenFilter) {
    StartShown();
    const std::string file = Path(GetParam().File);
    Export(kAmmo, file, QString::fromLatin1(GetParam().Filter));
    const std::string written = *kw::fs::ReadFile(file);
    EXPECT_EQ(written.starts_with("PK"), !GetParam().Csv);
    if (GetParam().Csv) {
        EXPECT_TRUE(written.starts_with("\xEF\xBB\xBFназвание,")) << written.substr(0, 40);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ExportFormat,
                         testing::Values(FormatCase{"UpperCaseCsv", "out.CSV", "Excel workbook (*.xlsx)",
                                                    true},
                                         FormatCase{"CsvFilterNoExtension", "out", "CSV (*.csv)", true},
                                         FormatCase{"XlsxOverCsvFilter", "out.XLSX", "CSV (*.csv)", false},
                                         FormatCase{"DefaultFilter", "out.dat", "", false}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TableViewTest, ExportFailureGivesTheReasonOnASecondLine) {
    StartShown();
    const std::string file = Path("no-such-folder/out.xlsx");
    Export(kAmmo, file);
    ASSERT_EQ(FPlatform.Messages.size(), 1u);
    EXPECT_EQ(FPlatform.Messages[0].Icon, QMessageBox::Critical);
    EXPECT_EQ(FPlatform.Messages[0].Caption, "Экспорт данных");
    const QStringList lines = FPlatform.Messages[0].Text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(
        lines[0],
        QStringLiteral("Произошла ошибка при экспорте данных в \"%1\"").arg(QString::fromStdString(file)));
    EXPECT_FALSE(lines[1].isEmpty());
}

// Names are matched regardless of case, so a file that differs only in case would be replaced without the
// dialog's question: the window asks instead.
TEST_F(TableViewTest, ExportAsksBeforeReplacingAFileNamedInAnotherCase) {
    StartShown();
    std::ofstream(Path("prices.csv"), std::ios::binary) << "kept";
    FPlatform.Answer = QMessageBox::No;
    Export(kAmmo, Path("PRICES.csv"));
    EXPECT_TRUE(FPlatform.Messages.empty());
    ASSERT_EQ(FPlatform.Questions.size(), 1u);
    EXPECT_EQ(FPlatform.Questions[0].Text, QStringLiteral("Файл \"%1\" уже существует. Заменить его?")
                                               .arg(QString::fromStdString(Path("prices.csv"))));
    // Enter keeps the file.
    EXPECT_EQ(FPlatform.Questions[0].Answers, QStringList({"Да", "Нет"}));
    EXPECT_EQ(FPlatform.Questions[0].DefaultAnswer, 1);
    EXPECT_EQ(*kw::fs::ReadFile(Path("prices.csv")), "kept");

    FPlatform.Answer = QMessageBox::Yes;
    Export(kAmmo, Path("PRICES.csv"));
    ASSERT_EQ(FPlatform.Questions.size(), 2u);
    ASSERT_EQ(FPlatform.Messages.size(), 1u);
    EXPECT_EQ(FPlatform.Messages[0].Icon, QMessageBox::Information);
    EXPECT_NE(*kw::fs::ReadFile(Path("prices.csv")), "kept");
}

// A workbook over a game file, or anywhere in gamedata, would break the game: the window refuses before it
// asks anything or writes a byte.
TEST_F(TableViewTest, ExportOverAGameFileIsRefused) {
    StartShown();
    const std::string items = "gamedata/config/misc/items.ltx";
    const std::string before = GameFile(items);
    for (const std::string& target : {FGame + items, FGame + "GameData/config/prices.csv"}) {
        FPlatform.Messages.clear();
        Export(kItems, target);
        ASSERT_EQ(FPlatform.Messages.size(), 1u) << target;
        EXPECT_EQ(FPlatform.Messages[0].Icon, QMessageBox::Warning);
        EXPECT_EQ(FPlatform.Messages[0].Caption, "Экспорт данных");
        EXPECT_EQ(
            FPlatform.Messages[0].Text,
            QStringLiteral("Файл \"%1\" относится к игре: экспорт не записывает файлы, прочитанные при "
                           "загрузке, и ничего не записывает в папку gamedata игры. Выберите другое место.")
                .arg(QString::fromStdString(target)));
    }
    EXPECT_TRUE(FPlatform.Questions.empty());
    EXPECT_EQ(GameFile(items), before);
    EXPECT_FALSE(fs::exists(FGame + "gamedata/config/prices.csv"));

    // Beside the game folder is the user's own place.
    FPlatform.Messages.clear();
    Export(kItems, FGame + "prices.csv");
    ASSERT_EQ(FPlatform.Messages.size(), 1u);
    EXPECT_EQ(FPlatform.Messages[0].Icon, QMessageBox::Information);
    EXPECT_TRUE(fs::exists(FGame + "prices.csv"));
}

// A sheet one row short names fewer entries than the grid: the import asks to match its rows by name, and
// then leaves the last entry as it was. Cancel leaves the whole grid as it was.
TEST_F(TableViewTest, ImportOfOneRowFewerAsksToMatchByNameAndKeepsTheLastRow) {
    StartShown();
    const kw::TStringGrid grid = Grid(kAmmo).WorkingCopy();
    kw::TStringGrid shorter(grid.Def());
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row + 1 < grid.RowCount(); ++row) {
        std::vector<std::string>& cells = rows.emplace_back();
        for (int column = 0; column < grid.ColumnCount(); ++column) {
            cells.push_back(grid.Text(row, column));
        }
    }
    shorter.Fill(rows);
    const std::string file = Path("short.xlsx");
    kw::WriteWorkbook(file, "short", shorter, kw::DefaultLayout(shorter));
    const int last = grid.RowCount() - 1;
    const QString lastName = Cell(kAmmo, last, 0);

    Import(kAmmo, file);
    EXPECT_TRUE(FPlatform.Messages.empty());
    ASSERT_EQ(FPlatform.Questions.size(), 1u);
    EXPECT_EQ(FPlatform.Questions[0].Caption, "Импорт данных");
    EXPECT_EQ(FPlatform.Questions[0].Icon, QMessageBox::Question);
    EXPECT_EQ(FPlatform.Questions[0].Text,
              QString::fromUtf8("Строки этого файла стоят в другом порядке, чем строки "
                                "таблицы. Сопоставить их по названиям?"));
    EXPECT_EQ(FPlatform.Questions[0].Answers, (QStringList{"Да", "Отмена"}));
    EXPECT_TRUE(Grid(kAmmo).Model().MarkedCells().empty());

    const QString lastValue = Cell(kAmmo, last, 1);
    FPlatform.Choice = QStringLiteral("Да");
    Import(kAmmo, file);
    ASSERT_EQ(FPlatform.Questions.size(), 2u);
    ASSERT_EQ(FPlatform.Messages.size(), 1u);
    EXPECT_EQ(FPlatform.Messages[0].Icon, QMessageBox::Information);
    EXPECT_EQ(Cell(kAmmo, last, 0), lastName);
    EXPECT_EQ(Cell(kAmmo, last, 1), lastValue);
    EXPECT_EQ(Grid(kAmmo).model()->rowCount(), last + 1);
    EXPECT_TRUE(Grid(kAmmo).Model().MarkedCells().empty());
}

TEST_F(TableViewTest, ImportOfOneColumnMoreIgnoresIt) {
    StartShown();
    const kw::TStringGrid grid = Grid(kWeapons).WorkingCopy();
    std::string csv;
    for (int row = -1; row < grid.RowCount(); ++row) {
        for (int column = 0; column < grid.ColumnCount(); ++column) {
            csv += "\"" + (row < 0 ? grid.Header(column) : grid.Text(row, column)) + "\",";
        }
        csv += row == 0 ? "999\n" : "extra\n";
    }
    const std::string file = Path("wide.csv");
    std::ofstream(file, std::ios::binary) << csv;
    FPlatform.Answer = QMessageBox::Yes;
    Type(kWeapons, 1, 3, "5"); // the import puts the file's text back
    Import(kWeapons, file);
    ASSERT_EQ(FPlatform.Questions.size(), 1u);
    EXPECT_EQ(FPlatform.Questions[0].Caption, "ВНИМАНИЕ");
    // Going on may show values in the wrong cells: a warning, not a plain question.
    EXPECT_EQ(FPlatform.Questions[0].Icon, QMessageBox::Warning);
    ASSERT_EQ(FPlatform.Messages.size(), 1u);
    EXPECT_EQ(FPlatform.Messages[0].Icon, QMessageBox::Information);
    EXPECT_EQ(Grid(kWeapons).model()->columnCount(), grid.ColumnCount());
    EXPECT_TRUE(Grid(kWeapons).Model().MarkedCells().empty());
}

// A file that cannot be read gives the failure message, then the reason, and the grid stays as it was.
TEST_F(TableViewTest, BadFileLeavesTheGridUntouched) {
    StartShown();
    const std::string file = Path("broken.xlsx");
    std::ofstream(file, std::ios::binary) << std::string("PK\x03\x04 not really a workbook");
    Type(kAmmo, 0, 1, "3");
    const QString before = Cell(kAmmo, 1, 1);
    Import(kAmmo, file);
    ASSERT_EQ(FPlatform.Messages.size(), 2u);
    EXPECT_EQ(FPlatform.Messages[0].Caption, "Импорт данных");
    EXPECT_EQ(
        FPlatform.Messages[0].Text,
        QStringLiteral("Произошла ошибка при импорте данных из \"%1\"").arg(QString::fromStdString(file)));
    EXPECT_EQ(FPlatform.Messages[1].Icon, QMessageBox::Critical);
    EXPECT_FALSE(FPlatform.Messages[1].Text.isEmpty());
    EXPECT_EQ(Cell(kAmmo, 0, 1), "3");
    EXPECT_EQ(Cell(kAmmo, 1, 1), before);
    EXPECT_EQ(Grid(kAmmo).Model().MarkedCells().size(), 1u);
    EXPECT_TRUE(Grid(kAmmo).isEnabled());
}

// The round trip a user makes: export, change one value in the workbook, import, store, save.
TEST_F(TableViewTest, WorkbookRoundTripChangesOnlyTheEditedValue) {
    const std::string before = GameFile(kAmmoFile);
    kw::TfrmMain& window = StartShown();
    const std::string file = Path("ammo.xlsx");
    Export(kAmmo, file);
    // The user's spreadsheet: the same grid with one value changed, written again as a workbook.
    const kw::TStringGrid shown = Grid(kAmmo).WorkingCopy();
    kw::TStringGrid edited(shown.Def());
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < shown.RowCount(); ++row) {
        std::vector<std::string>& cells = rows.emplace_back();
        for (int column = 0; column < shown.ColumnCount(); ++column) {
            cells.push_back(shown.Text(row, column));
        }
    }
    rows[2][5] = "0.66";
    edited.Fill(rows);
    kw::WriteWorkbook(file, "Боеприпасы", edited, kw::DefaultLayout(edited));
    Import(kAmmo, file);
    EXPECT_EQ(Grid(kAmmo).Model().MarkedCells(), (std::vector<kw::TCellPos>{{2, 5}}));
    EXPECT_EQ(CellTint(Grid(kAmmo), 2, 5).color(), kw::TGridView::MarkedColor());
    window.Page(kAmmo).btnTableSave->click();
    window.mnuFileSave->trigger();
    EXPECT_EQ(ChangedLines(before, GameFile(kAmmoFile)), std::vector<std::string>{"k_pierce=0.66"});
    EXPECT_EQ(FPlatform.Messages.size(), 2u);
}

// What a spreadsheet user does to the exported items: sort them by price (with the script other tests use,
// through openpyxl) and change two values of entries found by name.
void SortByPriceAndEdit(const std::string& book) {
    const std::string sort = "/usr/bin/python3 '" KW_SOURCE_DIR
                             "/tests/interchange/as_spreadsheet.py' sort '" +
                             book + "' G '" + book + "'";
    ASSERT_EQ(std::system(sort.c_str()), 0) << sort;
    const std::string edit =
        "/usr/bin/python3 -c \"import openpyxl; b = openpyxl.load_workbook('" + book +
        "'); s = b.worksheets[0]; rows = {r[0].value: r for r in s.iter_rows(min_row=2)}; "
        "rows['Bandage'][6].value = 65; rows['Antirad'][4].value = -0.9; b.save('" +
        book + "')\"";
    ASSERT_EQ(std::system(edit.c_str()), 0) << edit;
}

// A sheet sorted by price is matched by name after the question: every value lands on its own entry, and the
// saved file differs in exactly the edited lines.
TEST_F(TableViewTest, ASheetSortedByPriceIsImportedAfterTheQuestion) {
    const std::string before = GameFile(kItemsFile);
    kw::TfrmMain& window = StartShown();
    const std::string file = Path("items.xlsx");
    Export(kItems, file);
    SortByPriceAndEdit(file);
    FPlatform.Messages.clear();
    FPlatform.Choice = QStringLiteral("Да");
    Import(kItems, file);
    ASSERT_EQ(FPlatform.Questions.size(), 1u);
    EXPECT_TRUE(FPlatform.Questions[0].Text.endsWith(QString::fromUtf8("Сопоставить их по названиям?")));
    ASSERT_EQ(FPlatform.Messages.size(), 1u);
    EXPECT_EQ(FPlatform.Messages[0].Icon, QMessageBox::Information);

    std::map<QString, int> rowOf;
    for (int row = 0; row < Grid(kItems).model()->rowCount(); ++row) {
        rowOf[Cell(kItems, row, 0)] = row;
    }
    EXPECT_EQ(window.pnlGamePath->text(), QString::fromUtf8("Импорт изменил ячеек: 2"));
    EXPECT_EQ(Cell(kItems, rowOf["Bandage"], 6), "65");
    EXPECT_EQ(Cell(kItems, rowOf["Antirad"], 4), "-0.9");
    std::vector<kw::TCellPos> edited{{rowOf["Bandage"], 6}, {rowOf["Antirad"], 4}};
    std::sort(edited.begin(), edited.end(), [](auto a, auto b) { return a.Row < b.Row; });
    EXPECT_EQ(Grid(kItems).Model().MarkedCells(), edited);
    window.Page(kItems).btnTableSave->click();
    window.mnuFileSave->trigger();
    EXPECT_EQ(ChangedLines(before, GameFile(kItemsFile)),
              (std::vector<std::string>{"cost=65", "eat_radiation=-0.9"}));
}

} // namespace
} // namespace kwtest
