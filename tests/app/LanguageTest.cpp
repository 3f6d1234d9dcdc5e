#include "MainWindowFixture.h"

#include "interchange/TableColumns.h"
#include "translate/Translator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QStyle>
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
    EXPECT_EQ(window.Page(0).sg->model()->headerData(5, Qt::Horizontal).toString(), "rpm");
    EXPECT_EQ(window.Page(0).sg->model()->headerData(6, Qt::Horizontal).toString(), "обойма");
}

TEST_F(MainWindowTest, StoredLanguageIsFoundRegardlessOfCase) {
    Write("Lang/English.xml", kEnglish);
    Write("Lang/German.xml", LanguageXml("Deutsch", {{"btnClose", "Beenden"}}, {}));
    WriteSettings("Language=deutsch\n");
    kw::TfrmMain& window = Start();
    EXPECT_EQ(window.btnClose->text(), "Beenden");
    EXPECT_TRUE(LanguageItems()[window.LanguageIndex()]->isChecked());
    EXPECT_EQ(LanguageItems()[window.LanguageIndex()], LanguageItem("Deutsch"));
}

TEST_F(MainWindowTest, MalformedLanguageFileIsReportedAndStartUpGoesOn) {
    Write("Lang/Broken.xml", "<translation><language><name>Broken</name></language>");
    Write("Lang/English.xml", kEnglish);
    kw::TfrmMain& window = Start();

    // The first start's warning and missing-files messages follow it.
    ASSERT_EQ(FPlatform.Messages.size(), 3u);
    EXPECT_TRUE(FPlatform.Messages[0].Text.contains("Broken.xml"));
    ASSERT_EQ(LanguageItems().size(), 1);
    EXPECT_EQ(LanguageItems()[0], LanguageItem("English"));
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
                                     {"rs_MsgBackupText", "Alpha backup?"},
                                     {"rs_AddonStatus_2", "Alpha attachable"},
                                     {"rs_Weapons_rpm", "Alpha rpm"}}));
    Write("Lang/B.xml", LanguageXml("Beta", {}, {{"rs_AddonStatus_2", "Beta attachable"}}));
    WriteSettings("Language=Alpha\n");
    kw::TfrmMain& window = Start();
    window.cboWeapons_scope_status->setCurrentIndex(2);

    LanguageItems()[1]->trigger();
    EXPECT_EQ(window.btnView->text(), "Alpha table");
    EXPECT_EQ(window.Texts().Get("rs_MsgBackupText"), "Alpha backup?");
    EXPECT_EQ(window.cboWeapons_scope_status->currentIndex(), 2);
    EXPECT_EQ(window.cboWeapons_scope_status->currentText(), "Beta attachable");
    // Column headers fall back to the built-in text, not to the earlier language.
    EXPECT_EQ(window.Page(0).sg->model()->headerData(5, Qt::Horizontal).toString(), "выс./м");

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

// Every text of the window's components that a language can change, each as "name.property=text".
QStringList ShownTexts(const kw::TfrmMain& window) {
    QStringList texts;
    const auto add = [&](const QObject* object, const char* property, const QString& text) {
        texts << object->objectName() + "." + property + "=" + text;
    };
    for (const QObject* object : window.findChildren<QObject*>()) {
        if (const auto* button = qobject_cast<const QAbstractButton*>(object)) {
            add(object, "text", button->text());
            add(object, "hint", button->toolTip());
        } else if (const auto* label = qobject_cast<const QLabel*>(object)) {
            add(object, "text", label->text());
        } else if (const auto* box = qobject_cast<const QGroupBox*>(object)) {
            add(object, "title", box->title());
        } else if (const auto* action = qobject_cast<const QAction*>(object)) {
            add(object, "text", action->text());
        } else if (const auto* menu = qobject_cast<const QMenu*>(object)) {
            add(object, "title", menu->title());
        } else if (const auto* combo = qobject_cast<const QComboBox*>(object)) {
            for (int item = 0; item < combo->count(); ++item) {
                add(object, "item", combo->itemText(item));
            }
        } else if (const auto* grid = qobject_cast<const kw::TGridView*>(object)) {
            for (int column = 0; column < grid->model()->columnCount(); ++column) {
                add(object, "header", grid->model()->headerData(column, Qt::Horizontal).toString());
            }
        }
    }
    for (int page = 0; page < window.PageControl1->count(); ++page) {
        add(window.PageControl1->widget(page), "tab", window.PageControl1->tabText(page));
    }
    return texts;
}

// Names of the main window's components that a language file translates.
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

class ShippedLanguages : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        std::filesystem::copy(kShipped.toStdString(), FFolder / "Lang");
        WriteSettings("Language=none\n");
    }
    const QString kShipped = QStringLiteral(KW_SOURCE_DIR "/resources/Lang");
};

TEST_F(ShippedLanguages, EachHoldsEveryTextAndNamesOnlyExistingComponents) {
    QObject form;
    form.setObjectName("frmMain");
    kw::TTranslator translator(&form);
    ASSERT_TRUE(translator.LoadLanguages(kShipped).isEmpty());
    ASSERT_EQ(translator.LanguageCount(), 2);
    kw::TfrmMain& window = Start();

    for (int language = 0; language < translator.LanguageCount(); ++language) {
        const std::string name = translator.LanguageName(language).toStdString();
        form.setObjectName("frmMain");
        for (const kw::TextDef& text : kw::kMainTextDefs) {
            EXPECT_FALSE(translator.GetVariable(language, text.Key, "").isEmpty()) << name << " " << text.Key;
        }
        for (const kw::TGridDef& grid : kw::kGridDefs) {
            for (const kw::TColumnDef& column : grid.Columns) {
                EXPECT_FALSE(translator.GetVariable(language, column.HeaderKey, "").isEmpty())
                    << name << " " << column.HeaderKey;
            }
        }
        for (const kw::TextDef& text : {kw::kNumberRefusedText,
                                        kw::kImportMatchByNameText,
                                        kw::kImportChangedCellsText,
                                        kw::kSavedText,
                                        kw::kUndoText,
                                        kw::kUndoStepText,
                                        kw::kRedoText,
                                        kw::kRedoStepText,
                                        kw::kTableSaveStepText,
                                        kw::kRefreshStepText,
                                        kw::kPasteStepText,
                                        kw::kDeleteStepText,
                                        kw::kImportStepText,
                                        kw::kRevertStepText,
                                        kw::kValueSectionMissing,
                                        kw::kValueSectionUnnamed,
                                        kw::kExportGameFileText,
                                        kw::kPasteLeftOutText,
                                        kw::kChooseColourHint,
                                        kw::kNotAColourText,
                                        kw::kParentLoopText,
                                        kw::kParentMissingText,
                                        kw::kParentMissingMoreText,
                                        kw::kInheritedFromText,
                                        kw::kChangedFilesText,
                                        kw::kChangedFileGoneText,
                                        kw::kChangedFilesMoreText,
                                        kw::kChangedFilesReloadText,
                                        kw::kChangedFilesIgnoreText,
                                        kw::kReloadCaption,
                                        kw::kReloadLostText,
                                        kw::kReloadUnplacedText}) {
            EXPECT_FALSE(translator.GetVariable(language, text.Key, "").isEmpty()) << name << " " << text.Key;
        }
        for (const kw::TextDef* text : kw::kConflictsTexts) {
            EXPECT_FALSE(translator.GetVariable(language, text->Key, "").isEmpty())
                << name << " " << text->Key;
        }
        for (const kw::TextDef& text : kw::kConflictsColumns) {
            EXPECT_FALSE(translator.GetVariable(language, text.Key, "").isEmpty()) << name << " " << text.Key;
        }
        for (const kw::TextDef* text : kw::kChartTexts) {
            EXPECT_FALSE(translator.GetVariable(language, text->Key, "").isEmpty())
                << name << " " << text->Key;
        }
        form.setObjectName("frmProgress");
        EXPECT_FALSE(translator.GetVariable(language, "rs_ReadSettings", "").isEmpty()) << name;

        const QStringList names = ComponentNamesOf(translator.Languages()[language].second);
        EXPECT_GE(names.size(), 100) << name;
        for (const QString& component : names) {
            EXPECT_NE(window.findChild<QObject*>(component), nullptr)
                << name << " " << component.toStdString();
        }
    }
}

// A yes-or-no question answers in the interface language, not in the toolkit's.
TEST_F(ShippedLanguages, YesNoQuestionsAnswerInTheInterfaceLanguage) {
    kw::TfrmMain& window = Start();
    for (const auto& [language, answers] : {std::pair{QStringLiteral("English"), QStringList{"Yes", "No"}},
                                            {QStringLiteral("Русский"), QStringList{"Да", "Нет"}}}) {
        LanguageItem(language)->trigger();
        FPlatform.Questions.clear();
        window.btnBackupClick();
        ASSERT_EQ(FPlatform.Questions.size(), 1u) << language.toStdString();
        EXPECT_EQ(FPlatform.Questions[0].Answers, answers);
    }
}

// Each menu of the bar, and the bar itself, with the texts of its items; separators have none.
std::vector<std::pair<QString, QStringList>> MenuTexts(const kw::TfrmMain& window) {
    std::vector<std::pair<QString, QStringList>> menus;
    QStringList bar;
    for (const QAction* item : window.menuBar()->actions()) {
        bar << item->text();
        const std::function<void(const QMenu&)> add = [&](const QMenu& menu) {
            QStringList texts;
            for (const QAction* entry : menu.actions()) {
                if (!entry->isSeparator()) {
                    texts << entry->text();
                }
                if (entry->menu()) {
                    add(*entry->menu());
                }
            }
            menus.emplace_back(menu.objectName(), texts);
        };
        add(*item->menu());
    }
    menus.emplace_back(QStringLiteral("menu bar"), bar);
    return menus;
}

// The keyboard reaches every menu item in every language: each has an access key, none shared in its menu.
// The Edit menu keeps its keys while its items name a step, whose own "&" stays a character.
TEST_F(ShippedLanguages, EveryMenuItemHasItsOwnAccessKey) {
    WriteSettings("GamePath=" + CopySampleGame("game") + "\nLanguage=none\n");
    kw::TfrmMain& window = Start();
    for (const bool named : {false, true}) {
        if (named) {
            kw::TParam& cost = window.Catalog().Weapons.front()->cost;
            window.Document().Edit(kw::TStepLabel("R&D"), {}, {{&cost, "1"}});
            window.Document().Edit(kw::TStepLabel("R&D"), {}, {{&cost, "2"}});
            window.Document().Undo();
        }
        for (const QString& language : {QString(), QStringLiteral("English"), QStringLiteral("Русский")}) {
            SCOPED_TRACE((language.isEmpty() ? std::string("as started") : language.toStdString()) +
                         (named ? ", named steps" : ""));
            if (!language.isEmpty()) {
                LanguageItem(language)->trigger();
            }
            const auto menus = MenuTexts(window);
            ASSERT_FALSE(menus.empty());
            for (const auto& [menu, texts] : menus) {
                QSet<QKeySequence> keys;
                for (const QString& text : texts) {
                    const QKeySequence key = QKeySequence::mnemonic(text);
                    EXPECT_FALSE(key.isEmpty()) << menu.toStdString() << ": " << text.toStdString();
                    EXPECT_FALSE(keys.contains(key)) << menu.toStdString() << ": " << text.toStdString();
                    keys.insert(key);
                }
            }
            for (const QAction* item : {window.mnuEditUndo, window.mnuEditRedo}) {
                EXPECT_EQ(item->iconText().contains("R&D"), named) << item->text().toStdString();
            }
        }
    }
}

// The toolkit's own dialogs speak the interface language: a file dialog kept by the window asks in it once
// the switch has reached it, and keeps the title the language file gives. Without the toolkit's translations
// installed there is nothing to load.
TEST_F(ShippedLanguages, TheToolkitsDialogsSpeakTheInterfaceLanguage) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFileInfo::exists(folder + "/qtbase_ru.qm")) {
        GTEST_SKIP() << "the toolkit's translations are not installed in " << folder.toStdString();
    }
    kw::TfrmMain& window = Start();
    const auto lookIn = [&] { return window.dlgOpenTexture->findChild<QLabel*>("lookInLabel"); };
    ASSERT_NE(lookIn(), nullptr);
    struct TCase {
        QString Language; // empty: the built-in texts of the start
        QString LookIn;
        QString Title;
    };
    const TCase cases[] = {{{}, "Перейти к:", "Выбор текстуры"},
                           {"English", "Look in:", "Choose a texture"},
                           {"Русский", "Перейти к:", "Выбор текстуры"}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Language.toStdString());
        if (!c.Language.isEmpty()) {
            LanguageItem(c.Language)->trigger();
        }
        EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), c.LookIn);
        EXPECT_TRUE(QTest::qWaitFor([&] { return lookIn()->text() == c.LookIn; }))
            << lookIn()->text().toStdString();
        EXPECT_EQ(window.dlgOpenTexture->windowTitle(), c.Title);
    }
}

// A language file that names no locale leaves the toolkit in its own English, not in the language before.
TEST_F(MainWindowTest, ALanguageWithoutALocaleLeavesTheToolkitInEnglish) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFileInfo::exists(folder + "/qtbase_ru.qm")) {
        GTEST_SKIP() << "the toolkit's translations are not installed in " << folder.toStdString();
    }
    Write("Lang/A.xml", LanguageXml("Alpha", {}, {}));
    Start();
    // The built-in texts are Russian, and so is the toolkit until the switch.
    ASSERT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), "Look in:");
    LanguageItem("Alpha")->trigger();
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), "Look in:");
}

TEST_F(ShippedLanguages, RussianBringsBackEveryBuiltInText) {
    kw::TfrmMain& window = Start();
    const QStringList builtIn = ShownTexts(window);
    LanguageItem("English")->trigger();
    ASSERT_NE(ShownTexts(window), builtIn);
    LanguageItem(QStringLiteral("Русский"))->trigger();
    EXPECT_EQ(ShownTexts(window), builtIn);
    for (const kw::TextDef& text : kw::kMainTextDefs) {
        EXPECT_EQ(window.Texts().Get(text.Key), QString::fromUtf8(text.Default)) << text.Key;
    }
}

// The Russian captions were laid out for; the English ones must neither stay Russian nor be cut off.
TEST_F(ShippedLanguages, EnglishLeavesNoRussianTextAndFitsTheControls) {
    kw::TfrmMain& window = Start();
    LanguageItem("English")->trigger();
    static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
    for (const QString& text : ShownTexts(window)) {
        // The language menu offers each language by its own name.
        if (!text.startsWith(".text=")) {
            EXPECT_FALSE(text.contains(cyrillic)) << text.toStdString();
        }
    }
    for (int page = 0; page < kw::TfrmMain::kPageCount; ++page) {
        for (QWidget* control : window.Page(page).gbNormal->findChildren<QWidget*>()) {
            const std::string name = control->objectName().toStdString();
            const QFontMetrics metrics(control->font());
            if (auto* label = qobject_cast<QLabel*>(control); label && !label->wordWrap()) {
                EXPECT_LE(metrics.horizontalAdvance(label->text()), label->contentsRect().width()) << name;
            } else if (qobject_cast<QCheckBox*>(control)) {
                EXPECT_LE(control->sizeHint().width(), control->width()) << name;
            } else if (auto* button = qobject_cast<QPushButton*>(control)) {
                EXPECT_LE(metrics.horizontalAdvance(button->text()) + 8, button->width()) << name;
            }
        }
        // A header wraps at blanks onto its two lines; a word longer than its column is cut off.
        QHeaderView* header = window.Page(page).sg->horizontalHeader();
        const QFontMetrics metrics(header->font());
        const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int column = 0; column < header->count(); ++column) {
            const QString text = window.Page(page).sg->model()->headerData(column, Qt::Horizontal).toString();
            const QRect room(0, 0, header->sectionSize(column) - margins, 1000);
            // Wrapping would also break a word after a hyphen ("-shock"). A pixel to spare on each side, as
            // fonts differ slightly between displays.
            for (const QString& word : text.split(' ')) {
                EXPECT_LE(metrics.horizontalAdvance(word) + 2, room.width()) << text.toStdString();
            }
            const QRect needed = metrics.boundingRect(room, Qt::TextWordWrap | Qt::AlignCenter, text);
            EXPECT_LE(needed.height(), header->height()) << text.toStdString();
        }
    }
}

} // namespace
} // namespace kwtest
