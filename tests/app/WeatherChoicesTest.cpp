#include "MainWindowFixture.h"

#include "views/StandardView.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gmock/gmock.h>

namespace kwtest {
namespace {

using ::testing::ElementsAre;

const std::string kWeatherFile = "gamedata/config/weathers/weather_default.ltx";

// The sample game, whose slots use values the bundled weather.ini does not list, with that weather.ini.
class WeatherChoicesWindow : public SampleGameWindowTest {
protected:
    void SetUp() override {
        SampleGameWindowTest::SetUp();
        Write(
            "weather.ini",
            kw::fs::ReadFile(std::string(KW_SOURCE_DIR) + "/resources/weather.ini").value_or(std::string()));
    }

    QComboBox* Thunderbolt() const { return FWindow->Views().cboWeather_thunderbolt; }
    QComboBox* Ambient() const { return FWindow->Views().cboWeather_env_ambient; }

    static QStringList Items(const QComboBox* combo) {
        QStringList items;
        for (int index = 0; index < combo->count(); ++index) {
            items << combo->itemText(index);
        }
        return items;
    }

    // Clicks the slot's row in the list of the weather page.
    void ShowSlot(int row) const {
        FWindow->PageControl1->setCurrentIndex(kw::WeatherPage);
        QListWidget* list = FWindow->Views().ListBox(kw::WeatherPage);
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
        ASSERT_EQ(list->currentRow(), row);
    }

    // Moves through the box with the arrow keys to the item spelt so, as a user picks it.
    static void Pick(QComboBox* combo, const QString& text) {
        combo->setFocus();
        const int target = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        ASSERT_GE(target, 0) << text.toStdString();
        while (combo->currentIndex() != target) {
            QTest::keyClick(combo, combo->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
        }
    }

    void Save() const { QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier); }

    std::string Replaced(std::string text, const std::string& from, const std::string& to) const {
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        EXPECT_EQ(text.find(from, at + 1), std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    }
};

TEST_F(WeatherChoicesWindow, SlotsShowTheirOwnValuesPicksWriteTheirLineAndAReloadRefillsTheLists) {
    StartShown();
    std::string expected = GameFile(kWeatherFile);

    // The slot's own spelling, though the 14:00 slot spelt it first in other letter case.
    ShowSlot(16);
    EXPECT_EQ(Thunderbolt()->currentText(), "Thunderbolt_Mire");
    EXPECT_THAT(Items(Thunderbolt()),
                ElementsAre("", "thunderbolt_mire", "Thunderbolt_Mire", "thunderbolt_reedbed_far",
                            "thunderbolt_default", "thunderbolt_distant", "thunderbolt_light",
                            "thunderbolt_heavy", "thunderbolt_storm", "thunderbolt_night"));
    EXPECT_THAT(Items(Ambient()).mid(0, 6),
                ElementsAre("", "amb_marsh_night", "amb_marsh_day", "amb_marsh_rain", "amb_reedbed_storm",
                            "amb_wind_calm"));
    ShowSlot(14);
    EXPECT_EQ(Thunderbolt()->currentText(), "thunderbolt_mire");
    EXPECT_FALSE(Items(Thunderbolt()).contains("Thunderbolt_Mire"));
    ShowSlot(15);
    EXPECT_EQ(Thunderbolt()->currentText(), "thunderbolt_reedbed_far");
    EXPECT_EQ(Ambient()->currentText(), "amb_reedbed_storm");

    // A pick writes the picked item's text on that slot's line alone.
    ShowSlot(16);
    Pick(Thunderbolt(), "thunderbolt_reedbed_far");
    Save();
    expected = Replaced(expected, "thunderbolt              = Thunderbolt_Mire",
                        "thunderbolt              = thunderbolt_reedbed_far");
    EXPECT_EQ(GameFile(kWeatherFile), expected);

    // The midnight slot lacks the key: choosing the empty value leaves it lacking, and is no step either.
    ShowSlot(0);
    EXPECT_EQ(Thunderbolt()->currentIndex(), 0);
    Pick(Thunderbolt(), "thunderbolt_mire");
    Pick(Thunderbolt(), "");
    ShowSlot(1);
    EXPECT_FALSE(FWindow->isWindowModified());
    EXPECT_FALSE(FWindow->mnuEditUndo->text().contains("00:00:00"))
        << FWindow->mnuEditUndo->text().toStdString();
    // Where the slot has the key, the empty value is written.
    ShowSlot(14);
    Pick(Thunderbolt(), "");
    Save();
    expected =
        Replaced(expected, "thunderbolt              = thunderbolt_mire\n", "thunderbolt              = \n");
    EXPECT_EQ(GameFile(kWeatherFile), expected);

    // Another program changed the file: the lists follow it.
    ReplaceInGameFile(kWeatherFile, "env_ambient              = amb_reedbed_storm",
                      "env_ambient              = AMB_MARSH_RAIN");
    ReplaceInGameFile(kWeatherFile,
                      "sun_dir                  = -34, 280\nenv_ambient              = amb_marsh_day",
                      "sun_dir                  = -34, 280\nenv_ambient              = amb_heron_calls");
    FWindow->btnResetSettings->click();
    ShowSlot(15);
    EXPECT_EQ(Ambient()->currentText(), "AMB_MARSH_RAIN");
    EXPECT_THAT(Items(Ambient()).mid(0, 7),
                ElementsAre("", "amb_marsh_night", "amb_marsh_day", "amb_marsh_rain", "AMB_MARSH_RAIN",
                            "amb_heron_calls", "amb_wind_calm"));
    EXPECT_FALSE(Items(Ambient()).contains("amb_reedbed_storm"));
}

} // namespace
} // namespace kwtest
