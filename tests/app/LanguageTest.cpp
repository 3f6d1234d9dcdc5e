#include "MainWindowFixture.h"

#include "translate/Translator.h"
#include "views/TableColumns.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QTableWidget>
#include <QXmlStreamReader>

namespace kwtest {
namespace {

const std::string kEnglish = LanguageXml("English", {{"btnClose", "Exit"}, {"tsAmmo", "Ammo"}},
                                         {{"rs_btnViewCaptionTable", "Table"},
                                          {"rs_StandartView", "Standard view"},
                                          {"rs_TableSaveCaption", "Save"},
                                          {"rs_AddonStatus_0", "None"},
                                          {"rs_Weapons_rpm", "rpm"}});

TEST_F(MainWindowTest, EnglishIsAppliedAtFirstStart) {
    Write("Lang/English.xml", kEnglish);
    kw::TfrmMain& window = Start();

    EXPECT_EQ(window.LanguageIndex(), 0);
    EXPECT_TRUE(LanguageItems()[0]->isChecked());
    EXPECT_EQ(window.btnClose->text(), "Exit");
    EXPECT_EQ(window.PageControl1->tabText(1), "Ammo");
    EXPECT_EQ(window.btnView->text(), "Table");
    EXPECT_EQ(window.Page(4).gbNormal->title(), "Standard view");
    EXPECT_EQ(window.Page(4).gbTable->title(), "Табличный вид"); // the file lacks it
    EXPECT_EQ(window.Page(2).btnTableSave->text(), "Save");
    EXPECT_EQ(window.cboWeapons_grenade_launcher_status->itemText(0), "None");
    EXPECT_EQ(window.Page(0).sg->horizontalHeaderItem(5)->text(), "rpm");
    EXPECT_EQ(window.Page(0).sg->horizontalHeaderItem(6)->text(), "обойма");
}

TEST_F(MainWindowTest, StoredLanguageIsFoundRegardlessOfCase) {
    Write("Lang/English.xml", kEnglish);
    Write("Lang/German.xml", LanguageXml("Deutsch", {{"btnClose", "Beenden"}}, {}));
    WriteSettings("Language=deutsch\n");
    kw::TfrmMain& window = Start();
    EXPECT_EQ(window.btnClose->text(), "Beenden");
    EXPECT_TRUE(LanguageItems()[window.LanguageIndex()]->isChecked());
    EXPECT_EQ(LanguageItems()[window.LanguageIndex()]->text(), "Deutsch");
}

TEST_F(MainWindowTest, MalformedLanguageFileIsReportedAndStartUpGoesOn) {
    Write("Lang/Broken.xml", "<translation><language><name>Broken</name></language>");
    Write("Lang/English.xml", kEnglish);
    kw::TfrmMain& window = Start();

    // The first start's warning and missing-files messages follow it.
    ASSERT_EQ(platform_.Messages.size(), 3u);
    EXPECT_TRUE(platform_.Messages[0].Text.contains("Broken.xml"));
    ASSERT_EQ(LanguageItems().size(), 1);
    EXPECT_EQ(LanguageItems()[0]->text(), "English");
    EXPECT_EQ(window.btnClose->text(), "Exit");
    EXPECT_EQ(window.btnView->text(), "Table");
}

TEST_F(MainWindowTest, ChoosingTheCheckedLanguageDoesNothing) {
    Write("Lang/A.xml", LanguageXml("Alpha", {{"btnClose", "Alpha exit"}}, {}));
    Write("Lang/B.xml", LanguageXml("Beta", {{"btnClose", "Beta exit"}}, {}));
    WriteSettings("Language=Alpha\n");
    kw::TfrmMain& window = Start();
    Write("Lang/A.xml", LanguageXml("Alpha", {{"btnClose", "Alpha quit"}}, {}));

    LanguageItems()[0]->trigger();
    EXPECT_EQ(window.btnClose->text(), "Alpha exit");
    EXPECT_TRUE(LanguageItems()[0]->isChecked());

    LanguageItems()[1]->trigger();
    EXPECT_EQ(window.btnClose->text(), "Beta exit");
    EXPECT_FALSE(LanguageItems()[0]->isChecked());
    LanguageItems()[0]->trigger();
    EXPECT_EQ(window.btnClose->text(), "Alpha quit");
    EXPECT_EQ(window.LanguageIndex(), 0);
}

TEST_F(MainWindowTest, SwitchKeepsEarlierTextsTheNewLanguageLacks) {
    Write("Lang/A.xml", LanguageXml("Alpha", {},
                                    {{"rs_btnViewCaptionTable", "Alpha table"},
                                     {"rs_AddonStatus_2", "Alpha attachable"},
                                     {"rs_Weapons_rpm", "Alpha rpm"}}));
    Write("Lang/B.xml", LanguageXml("Beta", {}, {{"rs_AddonStatus_2", "Beta attachable"}}));
    WriteSettings("Language=Alpha\n");
    kw::TfrmMain& window = Start();
    window.cboWeapons_scope_status->setCurrentIndex(2);

    LanguageItems()[1]->trigger();
    EXPECT_EQ(window.btnView->text(), "Alpha table");
    EXPECT_EQ(window.cboWeapons_scope_status->currentIndex(), 2);
    EXPECT_EQ(window.cboWeapons_scope_status->currentText(), "Beta attachable");
    // Column headers fall back to the built-in text, not to the earlier language.
    EXPECT_EQ(window.Page(0).sg->horizontalHeaderItem(5)->text(), "выс./м");

    window.close();
    EXPECT_EQ(Setting("MainOptions", "Language"), "Beta");
}

TEST_F(MainWindowTest, SwitchInTableViewKeepsTheTableViewButton) {
    Write("Lang/English.xml", LanguageXml("English", {}, {{"rs_btnViewCaptionStandart", "Standard"}}));
    WriteSettings("ViewType=0\nLanguage=none\n");
    kw::TfrmMain& window = Start();
    LanguageItems()[0]->trigger();
    EXPECT_EQ(window.btnView->text(), "Standard");
    EXPECT_FALSE(window.IsStandardView());
}

// Names of the main window's components that the shipped English file translates.
QStringList ComponentNamesOf(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QStringList names;
    QString form;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (xml.name() == QLatin1String("form")) {
            form = xml.attributes().value("name").toString();
        } else if (xml.name() == QLatin1String("component") && form == QLatin1String("frmMain")) {
            names << xml.attributes().value("name").toString();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return names;
}

TEST_F(MainWindowTest, ShippedEnglishFileCoversEveryText) {
    const QString lang = QStringLiteral(KW_SOURCE_DIR "/resources/Lang");
    QObject form;
    form.setObjectName("frmMain");
    kw::TTranslator translator(&form);
    ASSERT_TRUE(translator.LoadLanguages(lang).isEmpty());
    const int english = translator.IndexOfLanguage("English");
    ASSERT_GE(english, 0);

    for (const kw::TextDef& text : kw::kMainTextDefs) {
        EXPECT_FALSE(translator.GetVariable(english, text.Key, "").isEmpty()) << text.Key;
    }
    for (const kw::TGridDef& grid : kw::kGridDefs) {
        for (const kw::TColumnDef& column : grid.Columns) {
            EXPECT_FALSE(translator.GetVariable(english, column.HeaderKey, "").isEmpty()) << column.HeaderKey;
        }
    }
    form.setObjectName("frmProgress");
    EXPECT_EQ(translator.GetVariable(english, "rs_ReadSettings", ""), "Reading settings...");

    kw::TfrmMain& window = Start();
    const QStringList names = ComponentNamesOf(lang + "/English.xml");
    EXPECT_GE(names.size(), 20);
    for (const QString& name : names) {
        EXPECT_NE(window.findChild<QObject*>(name), nullptr) << name.toStdString();
    }
}

} // namespace
} // namespace kwtest
