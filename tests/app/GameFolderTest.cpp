#include "MainWindowFixture.h"

#include "views/CoolCtrls.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

namespace kwtest {
namespace {

const QColor kMaroon(128, 0, 0);

class GameFolderTest : public MainWindowTest {
protected:
    QColor StatusColour() const { return FWindow->pnlGamePath->palette().color(QPalette::WindowText); }
    QString StatusText() const { return FWindow->pnlGamePath->text(); }

    // The controls that need game data, one of each kind and place.
    // The weather page holds controls of both kinds.
    std::vector<QWidget*> DataControls() const {
        kw::TfrmMain& w = *FWindow;
        return {w.btnSaveSettings,
                w.btnResetSettings,
                w.btnBackup,
                w.btnView,
                w.Page(0).ts,
                w.cboWeapons_scope_status,
                w.Page(1).sg,
                w.Page(5).btnExport,
                w.Page(5).gbTable,
                w.Views().ListBox(kw::WeatherPage),
                w.Views().txtWeather_sky_texture,
                w.cboWeather_thunderbolt};
    }
    std::vector<QWidget*> AlwaysUsable() const {
        kw::TfrmMain& w = *FWindow;
        return {w.PageControl1,
                w.PageControl1->tabBar(),
                w.btnSelectGamePath,
                w.btnAbout,
                w.btnClose,
                w.pnlGamePath,
                w.Views().btnWeather_sky_texture,
                w.Views().btnWeather_clouds_texture};
    }
    std::vector<QAction*> MirroredItems() const {
        return {FWindow->mnuFileSave, FWindow->mnuFileReset, FWindow->mnuFileBackup, FWindow->mnuFileChanges};
    }
    std::vector<QAction*> FreeItems() const {
        return {FWindow->mnuSettingsGamePath, FWindow->mnuFileClose, FWindow->mnuHelpAbout};
    }

    void ExpectState(bool ready) const {
        for (QWidget* control : DataControls()) {
            EXPECT_EQ(control->isEnabled(), ready) << control->objectName().toStdString();
        }
        for (QWidget* control : AlwaysUsable()) {
            EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
        }
        for (QAction* item : MirroredItems()) {
            EXPECT_EQ(item->isEnabled(), ready) << item->objectName().toStdString();
        }
        for (QAction* item : FreeItems()) {
            EXPECT_TRUE(item->isEnabled()) << item->objectName().toStdString();
        }
        EXPECT_EQ(FWindow->Timer1->isActive(), !ready);
        EXPECT_EQ(StatusColour(),
                  ready ? QApplication::palette(FWindow->pnlGamePath).color(QPalette::WindowText) : kMaroon);
    }
};

TEST_F(GameFolderTest, MissingFilesDisableDataControlsAndBlinkUntilAValidFolderIsChosen) {
    WriteSettings("GamePath=" + ExeFolder() + "nothing here/\n");
    kw::TfrmMain& window = Start();
    ExpectState(false);
    EXPECT_TRUE(window.Catalog().Weapons.empty());

    const QString warning = "Не распакованы ресурсы игры или указан неверный путь";
    EXPECT_EQ(StatusText(), "");
    for (const QString& expected : {warning, QString(), warning}) {
        window.Timer1Timer();
        EXPECT_EQ(StatusText(), expected);
    }

    const std::string game = CopySampleGame("game");
    FPlatform.Folder = QString::fromStdString(game).chopped(1); // choosers add no separator
    window.btnSelectGamePath->click();
    ExpectState(true);
    EXPECT_EQ(window.GamePath(), game);
    EXPECT_EQ(StatusText(), QString::fromStdString(game));
    EXPECT_EQ(window.Catalog().Weapons.size(), 11u);
    EXPECT_EQ(FPlatform.FolderTitles.back(), "Укажите директорию с игрой");

    // A rejected folder is kept for the settings, but editing stops.
    FPlatform.Folder = QString::fromStdString(ExeFolder() + "empty");
    window.mnuSettingsGamePath->trigger();
    ExpectState(false);
    EXPECT_EQ(window.GamePath(), ExeFolder() + "empty/");
}

// What the window does with these buttons is their own business; the folder check leaves it alone.
TEST_F(GameFolderTest, TextureButtonsKeepTheirOwnStateThroughBothStates) {
    const std::string game = CopySampleGame("game");
    WriteSettings("GamePath=" + game + "\n");
    kw::TfrmMain& window = Start();
    QPushButton* sky = window.Views().btnWeather_sky_texture;
    QPushButton* clouds = window.Views().btnWeather_clouds_texture;
    sky->setEnabled(false);

    FPlatform.Folder = QString::fromStdString(ExeFolder() + "empty");
    window.btnSelectGamePath->click();
    EXPECT_FALSE(window.Views().txtWeather_sky_texture->isEnabled());
    EXPECT_FALSE(sky->isEnabled());
    EXPECT_TRUE(clouds->isEnabled());

    FPlatform.Folder = QString::fromStdString(game);
    window.btnSelectGamePath->click();
    EXPECT_FALSE(sky->isEnabled());
    EXPECT_TRUE(clouds->isEnabled());
}

TEST_F(GameFolderTest, CancelledChoiceChangesNothing) {
    const std::string game = CopySampleGame("game");
    WriteSettings("GamePath=" + game + "\n");
    kw::TfrmMain& window = Start();
    FPlatform.Folder = "   ";
    window.btnSelectGamePath->click();
    EXPECT_EQ(window.GamePath(), game);
    ExpectState(true);
    EXPECT_TRUE(FPlatform.Messages.empty());
}

// The chooser opens where the game is, not in the home folder: at the stored folder, spelled as the disk
// spells it; at the nearest parent still there when the folder is gone; at the chooser's own start when none
// is stored (a first start).
TEST_F(GameFolderTest, ChooserStartsInTheCurrentGameFolder) {
    const std::string game = CopySampleGame("Game");
    struct TCase {
        std::string Stored; // GamePath in the settings; empty: none
        std::string Start;
    };
    const TCase cases[] = {
        {game, game.substr(0, game.size() - 1)},
        {ExeFolder() + "game/", game.substr(0, game.size() - 1)},
        {ExeFolder() + "gone/deeper/", ExeFolder().substr(0, ExeFolder().size() - 1)},
        {"", ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Stored);
        FPlatform.FolderStarts.clear();
        if (c.Stored.empty()) {
            std::filesystem::remove(SettingsPath());
        } else {
            WriteSettings("GamePath=" + c.Stored + "\n");
        }
        kw::TfrmMain& window = Start();
        FPlatform.FolderStarts.clear();
        window.mnuSettingsGamePath->trigger();
        ASSERT_EQ(FPlatform.FolderStarts.size(), 1u);
        EXPECT_EQ(FPlatform.FolderStarts[0].toStdString(), c.Start);
    }
}

TEST_F(GameFolderTest, EachMissingPathStandsOnItsOwnLineQuotedWhereItNeedsIt) {
    const std::string game = ExeFolder() + "dusk \"reach\", copy/";
    Write("dusk \"reach\", copy/gamedata/config/weapons/weapons.ltx", "");
    Write("plain/gamedata/config/misc/outfit.ltx", "");
    WriteSettings("GamePath=" + game + "\n");
    Start();

    ASSERT_EQ(FPlatform.Messages.size(), 1u);
    EXPECT_EQ(FPlatform.Messages[0].Icon, QMessageBox::Critical);
    EXPECT_EQ(FPlatform.Messages[0].Caption, "Файл не найден");
    const QStringList lines = FPlatform.Messages[0].Text.split("\r\n");
    const QString quotedGame = QString::fromStdString("\"" + ExeFolder() + "dusk \"\"reach\"\", copy/");
    const QStringList expected = {
        "Возможно, не распакованы ресурсы игры или указан неверный путь.",
        "Программа не может найти следующие файлы:",
        quotedGame + "gamedata/config/misc/outfit.ltx\"",
        quotedGame + "gamedata/config/misc/artefacts.ltx\"",
        quotedGame + "gamedata/config/misc/items.ltx\"",
        quotedGame + "gamedata/config/weathers/weather_default.ltx\"",
    };
    EXPECT_EQ(lines, expected);

    // Without blanks, commas or quotes a path stands as it is.
    FPlatform.Folder = QString::fromStdString(ExeFolder() + "plain");
    FWindow->btnSelectGamePath->click();
    ASSERT_EQ(FPlatform.Messages.size(), 2u);
    EXPECT_TRUE(FPlatform.Messages[1].Text.contains("\r\n" + QString::fromStdString(ExeFolder()) +
                                                    "plain/gamedata/config/weapons/weapons.ltx\r\n"));
    EXPECT_FALSE(FPlatform.Messages[1].Text.contains("outfit.ltx"));
}

TEST_F(GameFolderTest, FirstStartWarnsAsksForTheFolderAndLoadsIt) {
    CopyPictures();
    FPlatform.Folder = QString::fromStdString(CopySampleGame("game"));
    kw::TfrmMain& window = Start();

    // The warning, then (the folder being good) the backup question, answered No.
    ASSERT_EQ(FPlatform.Messages.size(), 1u);
    EXPECT_EQ(FPlatform.Messages[0].Icon, QMessageBox::Warning);
    EXPECT_EQ(FPlatform.Messages[0].Caption, "ВНИМАНИЕ");
    EXPECT_EQ(FPlatform.Messages[0].Text,
              "Для работы программы необходима распакованная версия игры Duskreach Hollowmere");
    ASSERT_EQ(FPlatform.Questions.size(), 1u);
    EXPECT_EQ(FPlatform.Questions[0].Caption, "Архивация");
    EXPECT_EQ(FPlatform.Questions[0].Answers, QStringList({"Да", "Нет"}));
    EXPECT_EQ(FPlatform.Questions[0].DefaultAnswer, 0);
    ASSERT_EQ(FPlatform.FolderTitles.size(), 1u);
    EXPECT_EQ(window.GamePath(), FPlatform.Folder.toStdString());
    ExpectState(true);
    EXPECT_EQ(window.Catalog().Items.size(), 9u);
    EXPECT_EQ(window.Catalog().Weather.size(), 24u);
    EXPECT_EQ(window.LocalizationPath(), "gamedata\\config\\text\\eng\\");
}

} // namespace
} // namespace kwtest
