#include "LanguageFiles.h"

#include "translate/Texts.h"

#include <QWidget>
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

namespace {

using kwtest::FormXml;
using kwtest::LanguageXml;
using kwtest::VariablesXml;

TEST(MainTexts, TableHoldsTheBuiltInTextsInFetchOrder) {
    std::set<std::string> keys;
    for (const kw::TextDef& def : kw::kMainTextDefs) {
        EXPECT_EQ(std::string(def.Key).rfind("rs_", 0), 0u) << def.Key;
        keys.insert(def.Key);
    }
    EXPECT_EQ(keys.size(), kw::kMainTextDefs.size());
    EXPECT_STREQ(kw::kMainTextDefs[0].Key, "rs_FileName");
    EXPECT_STREQ(kw::kMainTextDefs[16].Key, "rs_MsgCannotFindFilesText");
    EXPECT_STREQ(kw::kMainTextDefs[46].Key, "rs_AddonStatus_2");

    const kw::TMainTexts texts;
    EXPECT_EQ(texts.Get("rs_FileName"), "имя файла:  ");
    EXPECT_EQ(texts.Get("rs_MsgCannotFindFilesText"),
              "Возможно, не распакованы ресурсы игры или указан неверный путь.\r\n"
              "Программа не может найти следующие файлы:");
    EXPECT_EQ(texts.At(25), "\r\nСм.");
    EXPECT_EQ(texts.At(44), "Отсутствует");
    EXPECT_STREQ(kw::kReadSettingsText.Default, "Чтение параметров...");
    EXPECT_STREQ(kw::kWriteSettingsText.Key, "rs_WriteSettings");
    EXPECT_THROW(texts.Get("rs_ReadSettings"), std::invalid_argument);
    EXPECT_THROW(texts.At(47), std::out_of_range);
}

TEST(MainTexts, FetchKeepsTheTextInUseForKeysTheLanguageLacks) {
    kwtest::TempFolder folder;
    QWidget form;
    form.setObjectName("frmMain");
    kw::TTranslator translator(&form);
    const auto language = [&](const std::string& name, const std::string& items) {
        folder.Write(name + ".xml", LanguageXml(name, FormXml("frmMain", VariablesXml(items))));
    };
    language("A", "<v id=\"rs_FileName\">file name:  </v><v id=\"rs_MsgBackupText\">Back up?</v>");
    language("B", "<v id=\"rs_FileName\">Dateiname:  </v>");
    translator.LoadLanguages(folder.Path());

    kw::TMainTexts texts;
    texts.Fetch(translator, -1);
    EXPECT_EQ(texts.Get("rs_FileName"), "имя файла:  ");
    texts.Fetch(translator, 0);
    texts.Fetch(translator, 1);
    EXPECT_EQ(texts.Get("rs_FileName"), "Dateiname:  ");
    EXPECT_EQ(texts.Get("rs_MsgBackupText"), "Back up?");

    kw::TMainTexts fresh;
    fresh.Fetch(translator, 1);
    EXPECT_EQ(fresh.Get("rs_MsgBackupText"), "Создать резервные копии редактируемых файлов?");
}

} // namespace
