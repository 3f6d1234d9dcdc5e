#include "LanguageFiles.h"

#include "gamecfg/Error.h"
#include "translate/Translator.h"

#include <QCheckBox>
#include <QCommandLinkButton>
#include <QDialog>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {

using kwtest::FormXml;
using kwtest::LanguageXml;

class TranslateForm : public testing::Test {
protected:
    TranslateForm() {
        FForm.setObjectName("frmMain");
        FForm.setCentralWidget(new QWidget(&FForm));
    }

    template <class T> T* Add(const QString& name, const QString& text = "Исходный") {
        auto* widget = new T(FForm.centralWidget());
        widget->setObjectName(name);
        if constexpr (requires { widget->setText(text); }) {
            widget->setText(text);
        }
        return widget;
    }

    // Writes a language for frmMain whose components element holds the given items.
    void UseComponents(const std::string& items, const std::string& language = "English") {
        const std::string body = "      <components>\n" + items + "      </components>\n";
        const QString path =
            FFolder.Write(language + ".xml", LanguageXml(language, FormXml("frmMain", body)));
        FTranslator->AddLanguageFile(path);
    }

    QMainWindow FForm;
    kw::TTranslator* FTranslator = new kw::TTranslator(&FForm);
    kwtest::TempFolder FFolder;
};

std::string Component(const std::string& name, const std::string& props) {
    return "        <c name=\"" + name + "\">" + props + "</c>\n";
}

std::string Prop(const std::string& id, const std::string& text) {
    return "<p id=\"" + id + "\">" + text + "</p>";
}

TEST_F(TranslateForm, ClassRuleSetsEachListedPropertyUnlessExcluded) {
    auto* open = Add<QPushButton>("btnOpen");
    auto* choose = Add<QPushButton>("btnSelectGamePath", "...");
    auto* panel = Add<QLabel>("pnlGamePath", "/games/dh/");
    panel->setProperty("vclClass", "TPanel");
    FTranslator->AddClassRule("TBitBtn", "Caption,Hint");
    FTranslator->AddClassRule("TPanel", "Caption");
    FTranslator->AddExclusion("btnSelectGamePath", "Caption");
    FTranslator->AddExclusion("pnlGamePath", "");
    UseComponents(Component("btnOpen", Prop("Caption", "Open") + Prop("Hint", "Open a file")) +
                  Component("btnSelectGamePath", Prop("Caption", "Folder") + Prop("Hint", "Choose")) +
                  Component("pnlGamePath", Prop("Caption", "Panel")));

    FTranslator->Translate(0);

    EXPECT_EQ(open->text(), "Open");
    EXPECT_EQ(open->toolTip(), "Open a file");
    EXPECT_EQ(choose->text(), "...");
    EXPECT_EQ(choose->toolTip(), "Choose");
    EXPECT_EQ(panel->text(), "/games/dh/");
}

TEST_F(TranslateForm, RulesMatchTheRuleClassNameExactly) {
    auto* button = Add<QPushButton>("btnA");
    auto* check = Add<QCheckBox>("chkB");
    auto* link = Add<QCommandLinkButton>("btnC");
    auto* edit = Add<QLineEdit>("txtD");
    edit->setProperty("vclClass", "TCoolEdit");
    FTranslator->AddClassRule("tbitbtn", "Caption");
    FTranslator->AddClassRule("QPushButton", "Caption");
    FTranslator->AddClassRule("TCoolEdit", "Hint");
    UseComponents(Component("btnA", Prop("Caption", "A")) + Component("chkB", Prop("Caption", "B")) +
                  Component("btnC", Prop("Caption", "C")) + Component("txtD", Prop("Hint", "D")));

    FTranslator->Translate(0);
    EXPECT_EQ(button->text(), "Исходный");
    EXPECT_EQ(edit->toolTip(), "D");

    FTranslator->AddClassRule("TBitBtn", "Caption");
    FTranslator->Translate(0);
    EXPECT_EQ(button->text(), "A");
    EXPECT_EQ(check->text(), "Исходный");
    EXPECT_EQ(link->text(), "Исходный") << "a subclass with its own class name needs its own rule";

    FTranslator->AddClassRule("TCheckBox", "Caption");
    FTranslator->AddClassRule("TBitBtn", "Hint"); // replaces the earlier property list
    button->setText("kept");
    FTranslator->Translate(0);
    EXPECT_EQ(check->text(), "B");
    EXPECT_EQ(button->text(), "kept");
}

TEST_F(TranslateForm, TabPagesGroupBoxesAndMenusTakeTheirCaptions) {
    auto* tabs = Add<QTabWidget>("pcMain");
    auto* page = new QWidget;
    page->setObjectName("tsWeapons");
    tabs->addTab(page, "Оружие");
    auto* group = Add<QGroupBox>("gbWeaponsNormal");
    group->setTitle("Стандартный вид");
    QMenu* menu = FForm.menuBar()->addMenu("Файл");
    menu->setObjectName("mnuFile");
    QAction* exit = menu->addAction("Выход");
    exit->setObjectName("mnuFileExit");
    FTranslator->AddClassRule("TTabSheet", "Caption");
    FTranslator->AddClassRule("TGroupBox", "Caption");
    FTranslator->AddClassRule("TMenuItem", "Caption,Hint");
    UseComponents(Component("tsWeapons", Prop("Caption", "Weapons")) +
                  Component("gbWeaponsNormal", Prop("Caption", "Standard view")) +
                  Component("mnuFile", Prop("Caption", "File")) +
                  Component("mnuFileExit", Prop("Caption", "Exit") + Prop("Hint", "Quit")));

    FTranslator->Translate(0);

    EXPECT_EQ(tabs->tabText(0), "Weapons");
    EXPECT_EQ(group->title(), "Standard view");
    EXPECT_EQ(menu->title(), "File");
    EXPECT_EQ(exit->text(), "Exit");
    EXPECT_EQ(exit->toolTip(), "Quit");
}

TEST_F(TranslateForm, DialogsAreComponentsButTheirContentsAreNot) {
    auto* open = new QFileDialog(&FForm);
    open->setObjectName("dlgOpen");
    open->setProperty("vclClass", "TOpenDialog");
    auto* save = new QObject(&FForm);
    save->setObjectName("dlgSave");
    save->setProperty("vclClass", "TSaveDialog");
    save->setProperty("Title", "Сохранить");
    auto* other = new QDialog(&FForm);
    other->setObjectName("frmAbout");
    auto* inside = new QLabel("Инфо", other);
    inside->setObjectName("lblInside");
    FTranslator->AddClassRule("TLabel", "Caption");
    FTranslator->AddClassRule("TOpenDialog", "Title");
    FTranslator->AddClassRule("TSaveDialog", "Title");
    UseComponents(Component("dlgOpen", Prop("Title", "Open workbook")) +
                  Component("dlgSave", Prop("Title", "Save workbook")) +
                  Component("lblInside", Prop("Caption", "Info")));

    FTranslator->Translate(0);

    EXPECT_EQ(open->windowTitle(), "Open workbook");
    EXPECT_EQ(save->property("Title").toString(), "Save workbook");
    EXPECT_EQ(inside->text(), "Инфо");
}

TEST_F(TranslateForm, EmptyOrStructuredTextsKeepTheCurrentValue) {
    auto* empty = Add<QLabel>("lblEmpty");
    auto* nested = Add<QLabel>("lblNested");
    auto* blank = Add<QLabel>("lblBlank");
    auto* absent = Add<QLabel>("lblAbsent");
    auto* spaced = Add<QLabel>("lblSpaced");
    FTranslator->AddClassRule("TLabel", "Caption");
    UseComponents(
        Component("lblEmpty", Prop("Caption", "")) + Component("lblNested", Prop("Caption", "<b>bold</b>")) +
        Component("lblBlank", Prop("Caption", "   ")) +
        Component("lblSpaced", "<p>no id</p>" + Prop("Caption", " name:  ") + Prop("Caption", "2nd")));

    FTranslator->Translate(0);

    EXPECT_EQ(empty->text(), "Исходный");
    EXPECT_EQ(nested->text(), "Исходный");
    EXPECT_EQ(blank->text(), "Исходный");
    EXPECT_EQ(absent->text(), "Исходный");
    EXPECT_EQ(spaced->text(), " name:  ");
}

TEST_F(TranslateForm, OwnerCaptionOnlyWhenAskedAndPresent) {
    FForm.setWindowTitle("Редактор");
    const std::string withCaption = FormXml("frmMain", "      <caption>Editor</caption>\n");
    FTranslator->AddLanguageFile(FFolder.Write("a.xml", LanguageXml("With", withCaption)));
    FTranslator->AddLanguageFile(FFolder.Write("b.xml", LanguageXml("Without", FormXml("frmMain", ""))));

    FTranslator->Translate(0);
    EXPECT_EQ(FForm.windowTitle(), "Редактор");

    FTranslator->SetTranslateOwner(true);
    FTranslator->Translate(1);
    EXPECT_EQ(FForm.windowTitle(), "Редактор");
    FTranslator->Translate(0);
    EXPECT_EQ(FForm.windowTitle(), "Editor");

    FTranslator->SetOwnerPropName("Hint");
    FTranslator->Translate(0);
    EXPECT_EQ(FForm.toolTip(), "Editor") << "the caption element serves whatever property is named";
}

TEST_F(TranslateForm, OutOfRangeIsIgnoredAndBrokenFileIsReported) {
    auto* label = Add<QLabel>("lblA");
    FTranslator->AddClassRule("TLabel", "Caption");
    UseComponents(Component("lblA", Prop("Caption", "A")));
    EXPECT_NO_THROW(FTranslator->Translate(-1));
    EXPECT_NO_THROW(FTranslator->Translate(1));
    EXPECT_EQ(label->text(), "Исходный");

    FFolder.Write("English.xml", "<translation><forms></translation>");
    EXPECT_THROW(FTranslator->Translate(0), kw::Error);
    EXPECT_EQ(label->text(), "Исходный");
}

} // namespace
