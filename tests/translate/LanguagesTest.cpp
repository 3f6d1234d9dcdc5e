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
    Languages() { form_.setObjectName("frmMain"); }

    QString Variable(const std::string& items, const QString& key) {
        const QString path =
            folder_.Write("vars.xml", LanguageXml("English", FormXml("frmMain", VariablesXml(items))));
        translator_->AssignLanguages({{"English", path}});
        return translator_->GetVariable(0, key, "default");
    }

    QWidget form_;
    kw::TTranslator* translator_ = new kw::TTranslator(&form_);
    kwtest::TempFolder folder_;
};

// "Русский" in windows-1251.
const std::string kRussianCp1251 = "\xD0\xF3\xF1\xF1\xEA\xE8\xE9";

TEST_F(Languages, FolderListIsSortedDeduplicatedAndSkipsUnnamedOrBrokenFiles) {
    const QString english = folder_.Write("a.xml", LanguageXml("English", ""));
    folder_.Write("B.XML", LanguageXml("english", ""));
    folder_.Write("c.xml", "<translation><forms/></translation>");
    folder_.Write("d.xml", LanguageXml("", ""));
    folder_.Write("e.xml", "<translation><language><name>Broken</name></translation>");
    folder_.Write("f.txt", LanguageXml("Text", ""));
    const QString russian =
        folder_.Write("G.Xml", "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<t><language><name>" +
                                   kRussianCp1251 + "</name></language></t>");
    std::filesystem::create_directory(folder_.Path().toStdString() + "/h.xml");

    testing::internal::CaptureStderr();
    const QStringList problems = translator_->LoadLanguages(folder_.Path());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    const kw::LanguageList expected = {{"English", english}, {"Русский", russian}};
    EXPECT_EQ(translator_->Languages(), expected);
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains("e.xml")) << problems[0].toStdString();

    EXPECT_EQ(translator_->IndexOfLanguage("рУССКИЙ"), 1);
    EXPECT_EQ(translator_->IndexOfLanguage("ENGLISH"), 0);
    EXPECT_EQ(translator_->IndexOfLanguage("Deutsch"), -1);
    EXPECT_EQ(translator_->LanguageName(2), "");

    EXPECT_TRUE(translator_->LoadLanguages("  ").isEmpty());
    EXPECT_EQ(translator_->Languages(), expected);
    translator_->LoadLanguages(folder_.Path() + "/missing");
    EXPECT_EQ(translator_->LanguageCount(), 0);
}

TEST_F(Languages, MaskChoosesTheFilesAndBlankSettingsAreIgnored) {
    folder_.Write("en.xml", LanguageXml("English", ""));
    const QString german = folder_.Write("de.lng", LanguageXml("Deutsch", ""));
    EXPECT_EQ(translator_->objectName(), "Translator1");
    EXPECT_EQ(translator_->LanguageFileExt(), "*.xml");
    EXPECT_EQ(translator_->OwnerPropName(), "Caption");
    EXPECT_FALSE(translator_->TranslateOwner());

    translator_->SetLanguageFileExt("*.lng");
    translator_->SetLanguageFileExt("   ");
    translator_->SetOwnerPropName("");
    EXPECT_EQ(translator_->OwnerPropName(), "Caption");
    translator_->LoadLanguages(folder_.Path() + "/");
    EXPECT_EQ(translator_->Languages(), kw::LanguageList({{"Deutsch", german}}));
}

TEST_F(Languages, SingleFilesAndCopiedLists) {
    translator_->AddLanguageFile(folder_.Path() + "/absent.xml");
    translator_->AddLanguageFile(folder_.Path());
    EXPECT_EQ(translator_->LanguageCount(), 0);

    const QString bad = folder_.Write("bad.xml", "<?xml version=\"1.0\"?>\n<t>\n<language></t>");
    try {
        translator_->AddLanguageFile(bad);
        ADD_FAILURE() << "a broken file must raise";
    } catch (const kw::Error& error) {
        EXPECT_NE(std::string(error.what()).find("bad.xml"), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("line 3"), std::string::npos) << error.what();
    }

    translator_->AddLanguageFile(folder_.Write("en.xml", LanguageXml("English", "")));
    kw::TTranslator copy(nullptr);
    copy.AssignLanguages(translator_->Languages());
    translator_->LoadLanguages(folder_.Path() + "/missing");
    EXPECT_EQ(copy.LanguageName(0), "English");
}

TEST_F(Languages, VariablesFallBackToTheDefault) {
    EXPECT_EQ(translator_->GetVariable(-1, "rs_A", "default"), "default");
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
    EXPECT_EQ(translator_->GetVariable(1, "rs_Text", "default"), "default");
}

TEST_F(Languages, VariablesComeFromTheOwnersFormOnly) {
    const std::string forms = "    <form><variables><v id=\"rs_A\">nameless</v></variables></form>\n" +
                              FormXml("frmAbout", VariablesXml("<v id=\"rs_A\">about</v>")) +
                              FormXml("frmMain", VariablesXml("<v id=\"rs_A\">main</v>"));
    translator_->AddLanguageFile(folder_.Write("en.xml", LanguageXml("English", forms)));
    EXPECT_EQ(translator_->GetVariable(0, "rs_A", "default"), "main");

    form_.setObjectName("frmProgress");
    EXPECT_EQ(translator_->GetVariable(0, "rs_A", "default"), "default");
}

TEST_F(Languages, EditedFileTakesEffectAtTheNextCall) {
    const auto write = [&](const std::string& text) {
        return folder_.Write(
            "en.xml",
            LanguageXml("English", FormXml("frmMain", VariablesXml("<v id=\"k\">" + text + "</v>"))));
    };
    translator_->AddLanguageFile(write("one"));
    EXPECT_EQ(translator_->GetVariable(0, "k", ""), "one");
    write("two");
    EXPECT_EQ(translator_->GetVariable(0, "k", ""), "two");
    folder_.Write("en.xml", "<broken");
    EXPECT_THROW(translator_->GetVariable(0, "k", ""), kw::Error);
    std::filesystem::remove(folder_.Path().toStdString() + "/en.xml");
    EXPECT_THROW(translator_->GetVariable(0, "k", ""), kw::Error);
}

} // namespace
