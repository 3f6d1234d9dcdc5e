#include "MainWindowFixture.h"

#include "views/ColourSwatch.h"
#include "views/CoolCtrls.h"

#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>

namespace kwtest {
namespace {

const char kWeatherFile[] = "gamedata/config/weathers/weather_default.ltx";
// The noon slot's fog, written with TABs between its components, and as the field shows it: the catalog holds
// a value's TABs as blanks.
const char kNoonFog[] = "fog_color                = 0.20,\t0.23,\t0.21";
const char kNoonFogShown[] = "0.20, 0.23, 0.21";
const QColor kPicked(51, 102, 153);

// The sample game in a shown window on its weather page, the noon slot clicked in the time-of-day list.
class WeatherColours : public SampleGameWindowTest {
protected:
    kw::TfrmMain& StartAtNoon() {
        kw::TfrmMain& window = StartShown();
        window.PageControl1->setCurrentIndex(kw::WeatherPage);
        QListWidget* times = window.Views().ListBox(kw::WeatherPage);
        const QList<QListWidgetItem*> noon = times->findItems(QStringLiteral("12:00:00"), Qt::MatchExactly);
        EXPECT_EQ(noon.size(), 1);
        times->scrollToItem(noon.value(0));
        QTest::mouseClick(times->viewport(), Qt::LeftButton, {},
                          times->visualItemRect(noon.value(0)).center());
        EXPECT_EQ(Field("txtWeather_fog_color")->text(), kNoonFogShown);
        return window;
    }
    kw::TCoolEdit* Field(const char* name) const {
        return FWindow->findChild<kw::TCoolEdit*>(QString::fromLatin1(name));
    }
    kw::TColourSwatch* Swatch(const char* name) const {
        return FWindow->findChild<kw::TColourSwatch*>(QString::fromLatin1(name));
    }
    void Press(Qt::Key key) const { QTest::keyClick(QApplication::focusWidget(), key, Qt::ControlModifier); }
};

// Picking a fog colour rewrites the first three components of that one line in the field's notation, as one
// step of its own that Ctrl+Z takes back.
TEST_F(WeatherColours, APickChangesOnlyTheFirstThreeComponentsOfOneLine) {
    kw::TfrmMain& window = StartAtNoon();
    const std::map<std::string, std::string> before = FileBytes(FGame);
    // Typing left in another field is a step before the pick, not part of it.
    Field("txtWeather_sky_color")->setFocus();
    QTest::keyClicks(Field("txtWeather_sky_color"), "5");
    const std::string sky = Field("txtWeather_sky_color")->text().toStdString();

    FPlatform.Color = kPicked;
    QTest::mouseClick(Swatch("shpWeather_fog_color"), Qt::LeftButton);

    ASSERT_EQ(FPlatform.ColourDialogs.size(), 1u);
    EXPECT_EQ(FPlatform.ColourDialogs[0].Initial.rgb(), QColor::fromRgbF(0.20f, 0.23f, 0.21f).rgb());
    EXPECT_EQ(FPlatform.ColourDialogs[0].Title, QString::fromUtf8("Цвет тумана"));
    EXPECT_EQ(Field("txtWeather_fog_color")->text(), "0.200,\t0.400,\t0.600");
    EXPECT_EQ(Swatch("shpWeather_fog_color")->Colour()->rgb(), kPicked.rgb());
    EXPECT_EQ(window.mnuEditUndo->text(), QString::fromUtf8("&Отменить: Цвет тумана (12:00:00)"));
    Press(Qt::Key_S);

    std::string expected = before.at(kWeatherFile);
    const std::size_t noon = expected.find("[default_wth_12]");
    const std::size_t fog = expected.find(kNoonFog, noon);
    ASSERT_NE(fog, std::string::npos);
    expected.replace(fog, std::strlen(kNoonFog), "fog_color                = 0.200,\t0.400,\t0.600");
    const std::size_t skyLine = expected.find("sky_color                = ", noon);
    expected.replace(skyLine, expected.find('\n', skyLine) - skyLine, "sky_color                = " + sky);
    std::map<std::string, std::string> after = FileBytes(FGame);
    EXPECT_EQ(after.at(kWeatherFile), expected);
    after[kWeatherFile] = before.at(kWeatherFile);
    EXPECT_EQ(after, before); // no other file

    Press(Qt::Key_Z);
    EXPECT_EQ(Field("txtWeather_fog_color")->text(), kNoonFogShown);
    EXPECT_EQ(Swatch("shpWeather_fog_color")->Colour()->rgb(), QColor::fromRgbF(0.20f, 0.23f, 0.21f).rgb());
    EXPECT_EQ(Field("txtWeather_sky_color")->text().toStdString(), sky);
    EXPECT_NE(FWindow->Document().NextUndo(), nullptr); // the sky's step is left
    Press(Qt::Key_S);
    // The value taken back is the catalog's, whose TABs are blanks; the game reads it alike.
    EXPECT_NE(GameFile(kWeatherFile).find(std::string("fog_color                = ") + kNoonFogShown, noon),
              std::string::npos);
    EXPECT_EQ(GameFile(kWeatherFile).find("0.200,"), std::string::npos);
}

// Cancelling the dialog, or taking it with the colour it opened with, changes nothing: a value above 1 that
// the swatch shows as full white survives.
TEST_F(WeatherColours, ACancelledOrUnchangedPickLeavesTheValue) {
    StartAtNoon();
    kw::TCoolEdit* sun = Field("txtWeather_sun_color");
    sun->setFocus();
    sun->selectAll();
    QTest::keyClicks(sun, "2.0, 1.5, 1");
    EXPECT_EQ(Swatch("shpWeather_sun_color")->Colour()->rgb(), QColor(Qt::white).rgb()); // follows typing
    QTest::keyClick(sun, Qt::Key_Tab);
    const kw::TEditStep* typed = FWindow->Document().NextUndo();
    ASSERT_NE(typed, nullptr);

    QTest::mouseClick(Swatch("shpWeather_sun_color"), Qt::LeftButton); // cancelled
    FPlatform.Color = Qt::white;
    QTest::mouseClick(Swatch("shpWeather_sun_color"), Qt::LeftButton);

    EXPECT_EQ(FPlatform.ColourDialogs.size(), 2u);
    EXPECT_EQ(sun->text(), "2.0, 1.5, 1");
    EXPECT_EQ(FWindow->Document().NextUndo(), typed);

    // A field that holds no colour has nothing to start the dialog from; the status line says why.
    sun->setFocus();
    sun->selectAll();
    QTest::keyClicks(sun, "bright");
    QTest::mouseClick(Swatch("shpWeather_sun_color"), Qt::LeftButton);
    EXPECT_EQ(FPlatform.ColourDialogs.size(), 2u);
    EXPECT_EQ(FWindow->pnlGamePath->text(), QString::fromUtf8(kw::kNotAColourText.Default));
    EXPECT_EQ(sun->text(), "bright");
}

} // namespace
} // namespace kwtest
