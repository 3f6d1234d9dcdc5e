#include "ViewsFixture.h"

#include "interchange/TableColumns.h"
#include "views/ColourSwatch.h"
#include "views/CoolCtrls.h"
#include "views/GridModel.h"
#include "views/WeatherColours.h"

#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QPixmap>
#include <QTest>

#include <cstring>

namespace kwtest {
namespace {

const QColor kSky(51, 102, 153);      // "0.2, 0.4, 0.6"
const QColor kBrightFog(255, 128, 0); // "2, 0.5, 0": above 1 shows as full

bool Holds(const QImage& image, const QRect& area, const QColor& colour) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixelColor(x, y).rgb() == colour.rgb()) {
                return true;
            }
        }
    }
    return false;
}

// Two weather slots on the standard view, with the weather page's colours shown.
class ColourSwatches : public ViewsFixture {
protected:
    void SetUp() override {
        kw::TWeather& first = Add(FCatalog.Weather, "06:00:00");
        first.sky_color.Value = "0.2, 0.4, 0.6";
        first.fog_color.Value = "2, 0.5, 0, 0.8";
        kw::TWeather& second = Add(FCatalog.Weather, "07:00:00");
        second.sky_color.Value = "sky";
        second.fog_color.Value = "1, 1, 1";
        FColours = std::make_unique<kw::TWeatherColours>(FBoxes[kw::WeatherPage],
                                                         FViews->ListBox(kw::WeatherPage), FDocument);
        FViews->PopulateLists();
        FWindow.show();
    }
    int ColumnOf(const char* key) const {
        const auto& columns = kw::GridDef(kw::TGridId::Weather).Columns;
        for (std::size_t column = 1; column < columns.size(); ++column) {
            if (std::strcmp(columns[column].GameKey, key) == 0) {
                return static_cast<int>(column);
            }
        }
        return -1;
    }

    std::unique_ptr<kw::TWeatherColours> FColours;
};

// Each colour field has its swatch beside it, on no other control, showing what the field holds as the user
// types; text that is no colour shows none.
TEST_F(ColourSwatches, FollowTheirFieldsText) {
    for (const char* name : {"txtWeather_sky_color", "txtWeather_clouds_color", "txtWeather_fog_color",
                             "txtWeather_rain_color", "txtWeather_ambient", "txtWeather_sun_color"}) {
        kw::TColourSwatch* swatch = FColours->SwatchOf(QString::fromLatin1(name));
        ASSERT_NE(swatch, nullptr) << name;
        const QRect field = Find<kw::TCoolEdit>(name)->geometry();
        EXPECT_GT(swatch->x(), field.right()) << name;
        EXPECT_TRUE(swatch->geometry().intersects(QRect(0, field.top(), 2000, field.height()))) << name;
        for (QWidget* other : FBoxes[kw::WeatherPage]->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            EXPECT_TRUE(other == swatch || !other->isVisible() ||
                        !other->geometry().intersects(swatch->geometry()))
                << name << " on " << other->objectName().toStdString();
        }
    }
    EXPECT_EQ(FColours->SwatchOf("txtWeather_sky_texture"), nullptr);

    kw::TColourSwatch* fog = FColours->SwatchOf("txtWeather_fog_color");
    EXPECT_EQ(fog->Colour()->rgb(), kBrightFog.rgb());
    auto* field = Find<kw::TCoolEdit>("txtWeather_fog_color");
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, "0.2, 0.4, 0.6");
    EXPECT_EQ(fog->Colour()->rgb(), kSky.rgb());
    QTest::keyClicks(field, ",");
    EXPECT_FALSE(fog->Colour().has_value());

    FViews->Show(kw::WeatherPage, 1);
    EXPECT_FALSE(FColours->SwatchOf("txtWeather_sky_color")->Colour().has_value());
    EXPECT_EQ(fog->Colour()->rgb(), QColor(Qt::white).rgb());
}

// The time-of-day list shows each slot's sky and fog, and shows a fog changed through the document.
TEST_F(ColourSwatches, ShowSkyAndFogInTheTimeOfDayList) {
    QListWidget* list = FViews->ListBox(kw::WeatherPage);
    const QRect row = list->visualItemRect(list->item(0));
    QImage image = list->viewport()->grab().toImage();
    EXPECT_TRUE(Holds(image, row, kSky));
    EXPECT_TRUE(Holds(image, row, kBrightFog));
    EXPECT_FALSE(Holds(image, list->visualItemRect(list->item(1)), kSky));

    FDocument.Edit("", {}, {{&FCatalog.Weather[0]->fog_color, "0, 0, 1"}});
    image = list->viewport()->grab().toImage();
    EXPECT_TRUE(Holds(image, row, Qt::blue));
    EXPECT_FALSE(Holds(image, row, kBrightFog));
}

// A colour column's cell carries the swatch of the text it shows, a typed one included; other columns none.
TEST_F(ColourSwatches, DecorateTheColourColumnsOfTheGrid) {
    kw::TGridModel model(kw::GridDef(kw::TGridId::Weather), FDocument);
    const auto swatch = [&](int row, const char* key) {
        return model.data(model.index(row, ColumnOf(key)), Qt::DecorationRole);
    };
    const auto centre = [](const QVariant& decoration) {
        const QImage image = decoration.value<QIcon>().pixmap(kw::TGridModel::kCellSwatchSize).toImage();
        return image.pixelColor(image.width() / 2, image.height() / 2);
    };
    EXPECT_EQ(centre(swatch(0, "sky_color")).rgb(), kSky.rgb());
    EXPECT_EQ(centre(swatch(0, "fog_color")).rgb(), kBrightFog.rgb());
    EXPECT_EQ(centre(swatch(1, "sky_color")).alpha(), 0); // not a colour: an empty frame
    EXPECT_FALSE(swatch(0, "fog_distance").isValid());
    EXPECT_FALSE(model.data(model.index(0, 0), Qt::DecorationRole).isValid());

    model.setData(model.index(1, ColumnOf("sky_color")), "1, 0, 0");
    EXPECT_EQ(centre(swatch(1, "sky_color")).rgb(), QColor(Qt::red).rgb());
}

} // namespace
} // namespace kwtest
