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
        form_.setObjectName("frmMain");
        form_.setCentralWidget(new QWidget(&form_));
    }

    template <class T> T* Add(const QString& name, const QString& text = "Исходный") {
        auto* widget = new T(form_.centralWidget());
        widget->setObjectName(name);
        if constexpr (requires { widget->setText(text); })
            widget->setText(text);
        return widget;
    }

    // Writes a language for frmMain whose components element holds the given items.
    void UseComponents(const std::string& items, const std::string& language = "English") {
        const std::string body = "      <components>\n" + items + "      </components>\n";
        const QString path =
            folder_.Write(language + ".xml", LanguageXml(language, FormXml("frmMain", body)));
        translator_->AddLanguageFile(path);
    }

    QMainWindow form_;
    kw::TTranslator* translator_ = new kw::TTranslator(&form_);
    kwtest::TempFolder folder_;
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
    translator_->AddClassRule("TBitBtn", "Caption,Hint");
    translator_->AddClassRule("TPanel", "Caption");
    translator_->AddExclusion("btnSelectGamePath", "Caption");
    translator_->AddExclusion("pnlGamePath", "");
    UseComponents(Component("btnOpen", Prop("Caption", "Open") + Prop("Hint", "Open a file")) +
                  Component("btnSelectGamePath", Prop("Caption", "Folder") + Prop("Hint", "Choose")) +
                  Component("pnlGamePath", Prop("Caption", "Panel")));

    translator_->Translate(0);

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
    translator_->AddClassRule("tbitbtn", "Caption");
    translator_->AddClassRule("QPushButton", "Caption");
    translator_->AddClassRule("TCoolEdit", "Hint");
    UseComponents(Component("btnA", Prop("Caption", "A")) + Component("chkB", Prop("Caption", "B")) +
                  Component("btnC", Prop("Caption", "C")) + Component("txtD", Prop("Hint", "D")));

    translator_->Translate(0);
    EXPECT_EQ(button->text(), "Исходный");
    EXPECT_EQ(edit->toolTip(), "D");

    translator_->AddClassRule("TBitBtn", "Caption");
    translator_->Translate(0);
    EXPECT_EQ(button->text(), "A");
    EXPECT_EQ(check->text(), "Исходный");
    EXPECT_EQ(link->text(), "Исходный") << "a subclass with its own class name needs its own rule";

    translator_->AddClassRule("TCheckBox", "Caption");
    translator_->AddClassRule("TBitBtn", "Hint"); // replaces the earlier property list
    button->setText("kept");
    translator_->Translate(0);
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
    QMenu* menu = form_.menuBar()->addMenu("Файл");
    menu->setObjectName("mnuFile");
    QAction* exit = menu->addAction("Выход");
    exit->setObjectName("mnuFileExit");
    translator_->AddClassRule("TTabSheet", "Caption");
    translator_->AddClassRule("TGroupBox", "Caption");
    translator_->AddClassRule("TMenuItem", "Caption,Hint");
    UseComponents(Component("tsWeapons", Prop("Caption", "Weapons")) +
                  Component("gbWeaponsNormal", Prop("Caption", "Standard view")) +
                  Component("mnuFile", Prop("Caption", "File")) +
                  Component("mnuFileExit", Prop("Caption", "Exit") + Prop("Hint", "Quit")));

    translator_->Translate(0);

    EXPECT_EQ(tabs->tabText(0), "Weapons");
    EXPECT_EQ(group->title(), "Standard view");
    EXPECT_EQ(menu->title(), "File");
    EXPECT_EQ(exit->text(), "Exit");
    EXPECT_EQ(exit->toolTip(), "Quit");
}

TEST_F(TranslateForm, DialogsAreComponentsButTheirContentsAreNot) {
    auto* open = new QFileDialog(&form_);
    open->setObjectName("dlgOpen");
    open->setProperty("vclClass", "TOpenDialog");
    auto* save = new QObject(&form_);
    save->setObjectName("dlgSave");
    save->setProperty("vclClass", "TSaveDialog");
    save->setProperty("Title", "Сохранить");
    auto* other = new QDialog(&form_);
    other->setObjectName("frmAbout");
    auto* inside = new QLabel("Инфо", other);
    inside->setObjectName("lblInside");
    translator_->AddClassRule("TLabel", "Caption");
    translator_->AddClassRule("TOpenDialog", "Title");
    translator_->AddClassRule("TSaveDialog", "Title");
    UseComponents(Component("dlgOpen", Prop("Title", "Open workbook")) +
                  Component("dlgSave", Prop("Title", "Save workbook")) +
                  Component("lblInside", Prop("Caption", "Info")));

    translator_->Translate(0);

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
    translator_->AddClassRule("TLabel", "Caption");
    UseComponents(
        Component("lblEmpty", Prop("Caption", "")) + Component("lblNested", Prop("Caption", "<b>bold</b>")) +
        Component("lblBlank", Prop("Caption", "   ")) +
        Component("lblSpaced", "<p>no id</p>" + Prop("Caption", " name:  ") + Prop("Caption", "2nd")));

    translator_->Translate(0);

    EXPECT_EQ(empty->text(), "Исходный");
    EXPECT_EQ(nested->text(), "Исходный");
    EXPECT_EQ(blank->text(), "Исходный");
    EXPECT_EQ(absent->text(), "Исходный");
    EXPECT_EQ(spaced->text(), " name:  ");
}

TEST_F(TranslateForm, OwnerCaptionOnlyWhenAskedAndPresent) {
    form_.setWindowTitle("Редактор");
    const std::string withCaption = FormXml("frmMain", "      <caption>Editor</caption>\n");
    translator_->AddLanguageFile(folder_.Write("a.xml", LanguageXml("With", withCaption)));
    translator_->AddLanguageFile(folder_.Write("b.xml", LanguageXml("Without", FormXml("frmMain", ""))));

    translator_->Translate(0);
    EXPECT_EQ(form_.windowTitle(), "Редактор");

    translator_->SetTranslateOwner(true);
    translator_->Translate(1);
    EXPECT_EQ(form_.windowTitle(), "Редактор");
    translator_->Translate(0);
    EXPECT_EQ(form_.windowTitle(), "Editor");

    translator_->SetOwnerPropName("Hint");
    translator_->Translate(0);
    EXPECT_EQ(form_.toolTip(), "Editor") << "the caption element serves whatever property is named";
}

TEST_F(TranslateForm, OutOfRangeIsIgnoredAndBrokenFileIsReported) {
    auto* label = Add<QLabel>("lblA");
    translator_->AddClassRule("TLabel", "Caption");
    UseComponents(Component("lblA", Prop("Caption", "A")));
    EXPECT_NO_THROW(translator_->Translate(-1));
    EXPECT_NO_THROW(translator_->Translate(1));
    EXPECT_EQ(label->text(), "Исходный");

    folder_.Write("English.xml", "<translation><forms></translation>");
    EXPECT_THROW(translator_->Translate(0), kw::Error);
    EXPECT_EQ(label->text(), "Исходный");
}

} // namespace
