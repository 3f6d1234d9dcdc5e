#include "MainWindowFixture.h"

#include "catalog/Catalog.h"
#include "gamecfg/FileSys.h"
#include "views/CoolCtrls.h"

#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

namespace kwtest {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    return kw::fs::ReadFile(path.string()).value_or("<missing>");
}

std::vector<std::string> CrLfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    EXPECT_EQ(start, text.size()) << "a line without CR LF";
    return lines;
}

const char* const kRequired[] = {"gamedata/config/weapons/weapons.ltx", "gamedata/config/misc/outfit.ltx",
                                 "gamedata/config/misc/artefacts.ltx", "gamedata/config/misc/items.ltx",
                                 "gamedata/config/weathers/weather_default.ltx"};

class GameFilesTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        FGame = CopySampleGame("game");
    }
    void StartOnGame() {
        WriteSettings("GamePath=" + FGame + "\n");
        Start();
    }
    fs::path GameFile(const std::string& relative) const { return fs::path(FGame) / relative; }
    std::string Log() const { return ReadAll(FFolder / "backup.log"); }
    int Questions() const { return static_cast<int>(FPlatform.Questions.size()); }
    std::vector<std::string> BakFiles() const {
        std::vector<std::string> found;
        for (const auto& item : fs::recursive_directory_iterator(FGame)) {
            if (item.path().extension() == ".bak") {
                found.push_back(fs::relative(item.path(), FGame).string());
            }
        }
        std::sort(found.begin(), found.end());
        return found;
    }

    std::string FGame;
};

// The copies hold the files as they were: a save after the backup changes the files, not the copies.
TEST_F(GameFilesTest, BackupCopiesRequiredThenLoadedWeaponFilesAndLogsThem) {
    StartOnGame();
    FPlatform.Answer = QMessageBox::Yes;
    const std::string weaponsBefore = ReadAll(GameFile(kRequired[0]));
    FWindow->btnBackup->click();

    const std::vector<std::string>& weapons = FWindow->Catalog().WeaponFiles();
    ASSERT_EQ(weapons.size(), 12u); // fourteen files, two of them left out by name
    std::vector<std::string> expected{"Kitwright version 1.05"};
    const std::vector<std::string> log = CrLfLines(Log());
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[1].rfind("Лог-файл создан [", 0), 0u) << log[1];
    EXPECT_EQ(log[1].back(), ']');
    EXPECT_EQ(log[2], "Были успешно созданы резервные копии файлов:");
    EXPECT_EQ(log[3], "");
    std::vector<std::string> paths(log.begin() + 4, log.end());
    std::vector<std::string> copied;
    for (const char* file : kRequired) {
        copied.push_back(GameFile(file).string());
    }
    for (const std::string& file : weapons) {
        copied.push_back(kw::fs::Resolve(file));
    }
    EXPECT_EQ(paths, copied);
    for (const std::string& file : copied) {
        EXPECT_EQ(ReadAll(file + ".bak"), ReadAll(file)) << file;
    }
    // The weapon files left out by the loader are not copied.
    EXPECT_FALSE(fs::exists(GameFile("gamedata/config/weapons/w_knife.ltx.bak")));
    ASSERT_FALSE(FPlatform.Messages.empty());
    EXPECT_EQ(FPlatform.Messages.back().Icon, QMessageBox::Information);
    EXPECT_EQ(
        FPlatform.Messages.back().Text,
        "Были успешно созданы резервные копии файлов\r\nСм. \"backup.log\" для дополнительной информации.");

    SetValue(FWindow->Catalog().Scopes.front()->inv_weight, "7.5");
    FWindow->btnSaveSettings->click();
    EXPECT_NE(ReadAll(GameFile(kRequired[0])), weaponsBefore);
    EXPECT_EQ(ReadAll(GameFile(std::string(kRequired[0]) + ".bak")), weaponsBefore);
}

// The replace alone would take over a copy without write permission, even for a privileged user.
TEST_F(GameFilesTest, ReadOnlyCopyOfOneWeaponFileFailsThatFileAlone) {
    StartOnGame();
    FPlatform.Answer = QMessageBox::Yes;
    const fs::path heron = GameFile("gamedata/config/weapons/w_heron.ltx");
    const fs::path heronBak = heron.string() + ".bak";
    std::ofstream(heronBak) << "older";
    fs::permissions(heronBak, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    FWindow->mnuFileBackup->trigger();

    EXPECT_EQ(ReadAll(heronBak), "older");
    EXPECT_EQ(ReadAll(GameFile("gamedata/config/weapons/w_pike.ltx.bak")),
              ReadAll(GameFile("gamedata/config/weapons/w_pike.ltx")));
    EXPECT_EQ(ReadAll(GameFile(std::string(kRequired[4]) + ".bak")), ReadAll(GameFile(kRequired[4])));
    const std::vector<std::string> log = CrLfLines(Log());
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[2], "Произошла ошибка при архививации файлов:");
    EXPECT_EQ(log[4], heron.string());
    const FakePlatform::Message& result = FPlatform.Messages.back();
    EXPECT_EQ(result.Icon, QMessageBox::Critical);
    EXPECT_EQ(result.Caption, "Архивация");
    EXPECT_TRUE(result.Text.startsWith("Произошла ошибка при архививации файлов\r\n" +
                                       QString::fromStdString(heron.string())))
        << result.Text.toStdString();
    EXPECT_TRUE(result.Text.contains("read-only")) << result.Text.toStdString();
    EXPECT_TRUE(result.Text.endsWith("См. \"backup.log\" для дополнительной информации."));
}

TEST_F(GameFilesTest, AnsweringNoCopiesNothingAndALogThatCannotBeWrittenIsReported) {
    StartOnGame();
    FWindow->btnBackup->click();
    EXPECT_EQ(Questions(), 1);
    EXPECT_TRUE(BakFiles().empty());
    EXPECT_FALSE(fs::exists(FFolder / "backup.log"));

    fs::create_directory(FFolder / "backup.log");
    FPlatform.Answer = QMessageBox::Yes;
    FPlatform.Messages.clear();
    FWindow->btnBackup->click();
    ASSERT_EQ(FPlatform.Messages.size(), 1u);
    EXPECT_EQ(FPlatform.Messages[0].Icon, QMessageBox::Critical);
    EXPECT_TRUE(FPlatform.Messages[0].Text.contains("backup.log"))
        << FPlatform.Messages[0].Text.toStdString();
    EXPECT_EQ(BakFiles().size(), 5 + FWindow->Catalog().WeaponFiles().size()); // the copies made stay
}

// Only a first start asks, after the check and before the load, so exactly the five files are copied.
TEST_F(GameFilesTest, FirstStartOffersTheBackupOfTheFiveRequiredFiles) {
    FPlatform.Folder = QString::fromStdString(FGame);
    FPlatform.Answer = QMessageBox::Yes;
    Start();
    EXPECT_EQ(Questions(), 1);
    std::vector<std::string> expected;
    for (const char* file : kRequired) {
        expected.push_back(std::string(file) + ".bak");
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(BakFiles(), expected);
    EXPECT_EQ(FWindow->Catalog().Weapons.size(), 11u);

    FWindow->btnSelectGamePath->click();
    EXPECT_EQ(Questions(), 1);
}

TEST_F(GameFilesTest, NotAtALaterStart) {
    StartOnGame();
    EXPECT_EQ(Questions(), 0);
    EXPECT_TRUE(BakFiles().empty());
}

// The sky texture chosen one folder below "sky" of a game whose folders are spelled as on Windows.
TEST_F(GameFilesTest, PickedTextureIsWrittenWithBackslashesBelowTheTexturesFolder) {
    fs::rename(GameFile("gamedata/textures"), GameFile("gamedata/Textures"));
    fs::rename(GameFile("gamedata"), GameFile("GameData"));
    StartOnGame();
    auto* slotList = FWindow->Views().ListBox(kw::WeatherPage);
    slotList->setCurrentRow(3);
    const kw::TWeather& slot = *FWindow->Catalog().Weather[3];
    const std::string before = slot.sky_texture.Value;

    FWindow->Views().btnWeather_sky_texture->click(); // cancelled
    EXPECT_EQ(FWindow->Views().txtWeather_sky_texture->text().toStdString(), before);

    FPlatform.File =
        QString::fromStdString(GameFile("GameData/Textures/sky/night/sky_night_cube.dds").string());
    FWindow->Views().btnWeather_sky_texture->click();

    ASSERT_EQ(FPlatform.FileDialogRuns.size(), 2u);
    const FakePlatform::FileDialogRun& shown = FPlatform.FileDialogRuns[1];
    EXPECT_EQ(shown.Name, "dlgOpenTexture");
    EXPECT_EQ(shown.Title, "Выбор текстуры");
    EXPECT_EQ(shown.Filters, QStringList{"DDS Textures (*.dds)"});
    // A name typed without its extension finds the texture.
    EXPECT_EQ(shown.DefaultSuffix, "dds");
    EXPECT_EQ(shown.Mode, QFileDialog::ExistingFile);
    EXPECT_EQ(shown.Dir.toStdString(), GameFile("GameData/Textures").string());
    EXPECT_EQ(FWindow->Views().txtWeather_sky_texture->text(), "sky\\night\\sky_night_cube");
    FWindow->btnSaveSettings->click();
    const std::string stored =
        kw::ProfileFile(GameFile("GameData/config/weathers/weather_default.ltx").string())
            .ReadString(slot.Section, "sky_texture", "<absent>");
    EXPECT_EQ(stored.substr(0, stored.find_first_of(" \t;")), "sky\\night\\sky_night_cube");
}

// The game file could not hold the name, so the field keeps its value rather than a replaced character.
TEST_F(GameFilesTest, TextureNamedOutsideTheCodePageIsRefused) {
    StartOnGame();
    FWindow->Views().ListBox(kw::WeatherPage)->setCurrentRow(0);
    const QString before = FWindow->Views().txtWeather_clouds_texture->text();
    const fs::path chosen = GameFile("gamedata/textures/sky/\xe6\x97\xa5.dds");
    std::ofstream(chosen) << "DDS ";
    FPlatform.File = QString::fromStdString(chosen.string());

    FWindow->Views().btnWeather_clouds_texture->click();

    EXPECT_EQ(FWindow->Views().txtWeather_clouds_texture->text(), before);
    ASSERT_FALSE(FPlatform.Messages.empty());
    EXPECT_EQ(FPlatform.Messages.back().Icon, QMessageBox::Warning);
    EXPECT_TRUE(FPlatform.Messages.back().Text.contains(QString::fromUtf8("\xe6\x97\xa5")));
}

} // namespace
} // namespace kwtest
