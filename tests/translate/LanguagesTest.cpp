#include "LanguageFiles.h"

#include "gamecfg/Error.h"
#include "translate/Translator.h"

#include <QWidget>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

using kwtest::FormXml;
using kwtest::LanguageXml;
using kwtest::VariablesXml;

class Languages : public testing::Test {
protected:
    Languages() { FForm.setObjectName("frmMain"); }

    QString Variable(const std::string& items, const QString& key) {
        const QString path =
            FFolder.Write("vars.xml", LanguageXml("English", FormXml("frmMain", VariablesXml(items))));
        FTranslator->AssignLanguages({{"English", path}});
        return FTranslator->GetVariable(0, key, "default");
    }

    QWidget FForm;
    kw::TTranslator* FTranslator = new kw::TTranslator(&FForm);
    kwtest::TempFolder FFolder;
};

// "Русский" in windows-1251.
const std::string kRussianCp1251 = "\xD0\xF3\xF1\xF1\xEA\xE8\xE9";

TEST_F(Languages, FolderListIsSortedDeduplicatedAndSkipsUnnamedOrBrokenFiles) {
    const QString english = FFolder.Write("a.xml", LanguageXml("English", ""));
    FFolder.Write("B.XML", LanguageXml("english", ""));
    FFolder.Write("c.xml", "<translation><forms/></translation>");
    FFolder.Write("d.xml", LanguageXml("", ""));
    FFolder.Write("e.xml", "<translation><language><name>Broken</name></translation>");
    FFolder.Write("f.txt", LanguageXml("Text", ""));
    const QString russian =
        FFolder.Write("G.Xml", "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<t><language><name>" +
                                   kRussianCp1251 + "</name></language></t>");
    std::filesystem::create_directory(FFolder.Path().toStdString() + "/h.xml");

    testing::internal::CaptureStderr();
    const QStringList problems = FTranslator->LoadLanguages(FFolder.Path());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    const kw::LanguageList expected = {{"English", english}, {"Русский", russian}};
    EXPECT_EQ(FTranslator->Languages(), expected);
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains("e.xml")) << problems[0].toStdString();

    EXPECT_EQ(FTranslator->IndexOfLanguage("рУССКИЙ"), 1);
    EXPECT_EQ(FTranslator->IndexOfLanguage("ENGLISH"), 0);
    EXPECT_EQ(FTranslator->IndexOfLanguage("Deutsch"), -1);
    EXPECT_EQ(FTranslator->LanguageName(2), "");

    EXPECT_TRUE(FTranslator->LoadLanguages("  ").isEmpty());
    EXPECT_EQ(FTranslator->Languages(), expected);
    FTranslator->LoadLanguages(FFolder.Path() + "/missing");
    EXPECT_EQ(FTranslator->LanguageCount(), 0);
}

TEST_F(Languages, MaskChoosesTheFilesAndBlankSettingsAreIgnored) {
    FFolder.Write("en.xml", LanguageXml("English", ""));
    const QString german = FFolder.Write("de.lng", LanguageXml("Deutsch", ""));
    EXPECT_EQ(FTranslator->objectName(), "Translator1");
    EXPECT_EQ(FTranslator->LanguageFileExt(), "*.xml");
    EXPECT_EQ(FTranslator->OwnerPropName(), "Caption");
    EXPECT_FALSE(FTranslator->TranslateOwner());

    FTranslator->SetLanguageFileExt("*.lng");
    FTranslator->SetLanguageFileExt("   ");
    FTranslator->SetOwnerPropName("");
    EXPECT_EQ(FTranslator->OwnerPropName(), "Caption");
    FTranslator->LoadLanguages(FFolder.Path() + "/");
    EXPECT_EQ(FTranslator->Languages(), kw::LanguageList({{"Deutsch", german}}));
}

TEST_F(Languages, SingleFilesAndCopiedLists) {
    FTranslator->AddLanguageFile(FFolder.Path() + "/absent.xml");
    FTranslator->AddLanguageFile(FFolder.Path());
    EXPECT_EQ(FTranslator->LanguageCount(), 0);

    const QString bad = FFolder.Write("bad.xml", "<?xml version=\"1.0\"?>\n<t>\n<language></t>");
    try {
        FTranslator->AddLanguageFile(bad);
        ADD_FAILURE() << "a broken file must raise";
    } catch (const kw::Error& error) {
        EXPECT_NE(std::string(error.what()).find("bad.xml"), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("line 3"), std::string::npos) << error.what();
    }

    FTranslator->AddLanguageFile(FFolder.Write("en.xml", LanguageXml("English", "")));
    kw::TTranslator copy(nullptr);
    copy.AssignLanguages(FTranslator->Languages());
    FTranslator->LoadLanguages(FFolder.Path() + "/missing");
    EXPECT_EQ(copy.LanguageName(0), "English");
}

TEST_F(Languages, VariablesFallBackToTheDefault) {
    EXPECT_EQ(FTranslator->GetVariable(-1, "rs_A", "default"), "default");
    const std::string items = "        <v>no id</v>\n"
                              "        <v id=\"rs_Empty\"></v>\n"
                              "        <v id=\"rs_Nested\"><b>x</b></v>\n"
                              "        <v id=\"rs_Text\">file name:  </v>\n"
                              "        <v id=\"rs_Text\">second</v>\n"
                              "        <v id=\"rs_Cdata\"><![CDATA[a < b]]></v>\n";
    EXPECT_EQ(Variable(items, "rs_Text"), "file name:  ");
    EXPECT_EQ(Variable(items, "rs_Cdata"), "a < b");
    EXPECT_EQ(Variable(items, "rs_Missing"), "default");
    EXPECT_EQ(Variable(items, "rs_Empty"), "default");
    EXPECT_EQ(Variable(items, "rs_Nested"), "default");
    EXPECT_EQ(FTranslator->GetVariable(1, "rs_Text", "default"), "default");
}

TEST_F(Languages, VariablesComeFromTheOwnersFormOnly) {
    const std::string forms = "    <form><variables><v id=\"rs_A\">nameless</v></variables></form>\n" +
                              FormXml("frmAbout", VariablesXml("<v id=\"rs_A\">about</v>")) +
                              FormXml("frmMain", VariablesXml("<v id=\"rs_A\">main</v>"));
    FTranslator->AddLanguageFile(FFolder.Write("en.xml", LanguageXml("English", forms)));
    EXPECT_EQ(FTranslator->GetVariable(0, "rs_A", "default"), "main");

    FForm.setObjectName("frmProgress");
    EXPECT_EQ(FTranslator->GetVariable(0, "rs_A", "default"), "default");
}

TEST_F(Languages, EditedFileTakesEffectAtTheNextCall) {
    const auto write = [&](const std::string& text) {
        return FFolder.Write(
            "en.xml",
            LanguageXml("English", FormXml("frmMain", VariablesXml("<v id=\"k\">" + text + "</v>"))));
    };
    FTranslator->AddLanguageFile(write("one"));
    EXPECT_EQ(FTranslator->GetVariable(0, "k", ""), "one");
    write("two");
    EXPECT_EQ(FTranslator->GetVariable(0, "k", ""), "two");
    FFolder.Write("en.xml", "<broken");
    EXPECT_THROW(FTranslator->GetVariable(0, "k", ""), kw::Error);
    std::filesystem::remove(FFolder.Path().toStdString() + "/en.xml");
    EXPECT_THROW(FTranslator->GetVariable(0, "k", ""), kw::Error);
}

} // namespace
