#include "MainWindowFixture.h"
#include "views/GridCells.h"

#include "gamecfg/FileSys.h"
#include "interchange/TableColumns.h"
#include "interchange/ZipArchive.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QIcon>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyleOptionHeader>
#include <QStyleOptionViewItem>
#include <QTabWidget>
#include <QTextLayout>

namespace kwtest {
namespace {

constexpr int kAmmo = 1;
constexpr int kOutfits = 2;
constexpr int kWeather = 5;

int HeaderRoom(const QHeaderView& header, int column) {
    QStyleOptionHeader option;
    option.initFrom(&header);
    option.rect = QRect(0, 0, header.sectionSize(column), header.height());
    return header.style()->subElementRect(QStyle::SE_HeaderLabel, &option, &header).width();
}

// The header's lines as the toolkit breaks them in that room.
QStringList HeaderLines(const QHeaderView& header, const QString& text, int room) {
    QTextLayout layout(text, header.font());
    QTextOption option(Qt::AlignCenter);
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QStringList lines;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(room);
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines;
}

// No header word is clipped or broken, and no value is elided except in a column at its upper bound.
void ExpectEveryTextShown(const kw::TGridView& grid, const std::string& where) {
    const QHeaderView& header = *grid.horizontalHeader();
    const QFontMetricsF headerFont(header.font());
    const QFontMetricsF cellFont(grid.font());
    int headerLines = 1;
    EXPECT_EQ(grid.columnWidth(0), kw::kNameColumnWidth) << where;
    for (int column = 1; column < grid.model()->columnCount(); ++column) {
        const int width = grid.columnWidth(column);
        const QString title = grid.model()->headerData(column, Qt::Horizontal).toString();
        const std::string at = where + " " + title.toStdString();
        EXPECT_GE(width, kw::kFitMinimumWidth) << at;
        EXPECT_LE(width, kw::kFitMaximumWidth) << at;
        const QStringList words = title.split(' ', Qt::SkipEmptyParts);
        for (const QString& word : words) {
            EXPECT_LE(headerFont.horizontalAdvance(word), HeaderRoom(header, column)) << at;
        }
        const QStringList lines = HeaderLines(header, title, HeaderRoom(header, column));
        headerLines = std::max(headerLines, static_cast<int>(lines.size()));
        for (int row = 0; row < grid.model()->rowCount(); ++row) {
            const QString value = grid.model()->index(row, column).data().toString();
            if (cellFont.horizontalAdvance(value) > TextRoom(grid, row, column)) {
                EXPECT_EQ(width, kw::kFitMaximumWidth) << at << ": " << value.toStdString() << " cut";
            }
        }
    }
    EXPECT_GE(header.height(), headerLines * QFontMetrics(header.font()).lineSpacing()) << where;
    EXPECT_LT(header.height(), (headerLines + 1) * QFontMetrics(header.font()).lineSpacing()) << where;
}

// The sample game in the table view, in the shipped languages; the settings store no column width.
class ColumnWidthTest : public SampleGameWindowTest {
protected:
    void SetUp() override {
        SampleGameWindowTest::SetUp();
        std::filesystem::copy(std::filesystem::path(KW_SOURCE_DIR) / "resources" / "Lang", FFolder / "Lang");
    }
    std::string MoreOptions() const override { return "ViewType=0\nLanguage=" + FLanguage + "\n"; }
    kw::TGridView& Grid(int page) const { return *FWindow->Page(page).sg; }

    std::string FLanguage = "English";
};

struct LanguageCase {
    const char* Language;
    const char* Other;
};

class FirstShowWidths : public ColumnWidthTest, public testing::WithParamInterface<LanguageCase> {
protected:
    void SetUp() override {
        FLanguage = GetParam().Language;
        ColumnWidthTest::SetUp();
    }
};

// Every grid as it first shows, then after a switch to the other language.
TEST_P(FirstShowWidths, ShowEveryHeaderWordAndValue) {
    kw::TfrmMain& window = StartShown();
    for (const char* language : {GetParam().Language, GetParam().Other}) {
        LanguageItem(QString::fromUtf8(language))->trigger();
        ASSERT_EQ(Grid(kAmmo).model()->headerData(0, Qt::Horizontal).toString(),
                  std::string(language) == "English" ? "name" : "название");
        for (int page = 0; page < kw::TfrmMain::kPageCount; ++page) {
            window.PageControl1->setCurrentIndex(page);
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&Grid(page)));
            ExpectEveryTextShown(Grid(page),
                                 std::string(language) + " " + Grid(page).objectName().toStdString());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, FirstShowWidths,
                         testing::Values(LanguageCase{"Русский", "English"},
                                         LanguageCase{"English", "Русский"}),
                         [](const auto& info) {
                             return std::string(info.index == 0 ? "Russian" : "English");
                         });

// The old default width, which every earlier close stored, fits; any other stored width stays, through a
// language switch, and only a fitted column is stored as the default again.
TEST_F(ColumnWidthTest, StoredOldDefaultFitsAndOtherStoredWidthsStay) {
    WriteSettings(
        "GamePath=" + FGame + "\nViewType=0\nLanguage=English\n",
        "sgAmmo0=130\nsgAmmo1=34\nsgAmmo2=77\nsgAmmo9=40\nsgAmmo10=34\nsgOutfits3=34\nsgOutfits4=51\n");
    struct Case {
        int Page;
        int Column;
        int Stored; // 0: fitted
    };
    // 40 is also what the empty grid fits a short header to before the load: the width is the user's all the
    // same.
    const Case cases[] = {{kAmmo, 1, 0},  {kAmmo, 2, 77},   {kAmmo, 9, 40},
                          {kAmmo, 10, 0}, {kOutfits, 3, 0}, {kOutfits, 4, 51}};
    StartShown();
    for (const char* language : {"English", "Русский"}) {
        LanguageItem(QString::fromUtf8(language))->trigger();
        for (const Case& c : cases) {
            const std::string at = std::string(language) + " " + Grid(c.Page).objectName().toStdString() +
                                   std::to_string(c.Column);
            EXPECT_EQ(Grid(c.Page).IsFitted(c.Column), c.Stored == 0) << at;
            if (c.Stored != 0) {
                EXPECT_EQ(Grid(c.Page).columnWidth(c.Column), c.Stored) << at;
            } else {
                EXPECT_GE(Grid(c.Page).columnWidth(c.Column), kw::kFitMinimumWidth) << at;
            }
        }
    }
    // Dragging a divider gives the column its width for good.
    Grid(kAmmo).horizontalHeader()->resizeSection(10, 66);
    ASSERT_TRUE(FWindow->close());
    EXPECT_EQ(Setting("TableColumns", "sgAmmo0"), "130");
    EXPECT_EQ(Setting("TableColumns", "sgAmmo1"), "34");
    EXPECT_EQ(Setting("TableColumns", "sgAmmo2"), "77");
    EXPECT_EQ(Setting("TableColumns", "sgAmmo9"), "40");
    EXPECT_EQ(Setting("TableColumns", "sgAmmo10"), "66");
    EXPECT_EQ(Setting("TableColumns", "sgOutfits3"), "34");
    EXPECT_EQ(Setting("TableColumns", "sgOutfits4"), "51");
    EXPECT_EQ(Setting("TableColumns", "sgWeather7"), "40");
}

// The header row of the workbook is as high as the grid's, in points: the weather's wraps to two lines.
TEST_F(ColumnWidthTest, ExportWritesTheHeaderRowsRealHeight) {
    StartShown();
    FWindow->PageControl1->setCurrentIndex(kWeather);
    for (const char* language : {"English", "Русский"}) {
        LanguageItem(QString::fromUtf8(language))->trigger();
        const std::string file = (FFolder / "weather.xlsx").string();
        FPlatform.File = QString::fromStdString(file);
        FWindow->Page(kWeather).btnExport->click();
        ASSERT_EQ(FPlatform.Messages.back().Icon, QMessageBox::Information)
            << FPlatform.Messages.back().Text.toStdString();

        const std::string bytes = kw::fs::ReadFile(file).value_or("");
        const kw::sheetread::TZipArchive archive(bytes, 1 << 24);
        const QString sheet = QString::fromStdString(archive.Read("xl/worksheets/sheet1.xml"));
        const QRegularExpressionMatch row =
            QRegularExpression(R"re(<row r="1"[^>]* ht="([0-9.]+)")re").match(sheet);
        ASSERT_TRUE(row.hasMatch()) << language;
        const int header = Grid(kWeather).horizontalHeader()->height();
        EXPECT_GT(header, 2 * QFontMetrics(Grid(kWeather).horizontalHeader()->font()).lineSpacing())
            << language;
        EXPECT_NEAR(row.captured(1).toDouble(), header / 1.33, 0.01) << language;
        const kw::TGridLayout layout = Grid(kWeather).Layout(Grid(kWeather).WorkingCopy());
        for (int column = 0; column < Grid(kWeather).model()->columnCount(); ++column) {
            EXPECT_EQ(layout.ColumnWidths.at(static_cast<size_t>(column)),
                      Grid(kWeather).columnWidth(column));
        }
    }
}

} // namespace
} // namespace kwtest
