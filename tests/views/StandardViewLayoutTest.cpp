#include "ViewsFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

namespace {

class StandardViewLayout : public kwtest::ViewsFixture {
protected:
    StandardViewLayout() {
        FViews->FillAddonStatusCombos(
            {QStringLiteral("Отсутствует"), QStringLiteral("Встроенный"), QStringLiteral("Присоединяемый")});
        FViews->SetWeatherChoices({"thunderbolt_default", "thunderbolt_distant"}, {"amb_wind_strong"});
    }

    static QList<QWidget*> Controls(QWidget* box) {
        return box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    }
};

TEST_F(StandardViewLayout, ControlsStayInsideTheirBoxAndApart) {
    for (QGroupBox* box : FBoxes) {
        const QList<QWidget*> controls = Controls(box);
        for (int i = 0; i < controls.size(); ++i) {
            const QString name = controls[i]->objectName();
            EXPECT_TRUE(box->contentsRect().contains(controls[i]->geometry())) << name.toStdString();
            for (int j = i + 1; j < controls.size(); ++j) {
                EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
                    << name.toStdString() << " / " << controls[j]->objectName().toStdString();
            }
        }
    }
}

// The longest built-in captions are Russian; a caption wider than its control would be cut off.
TEST_F(StandardViewLayout, CaptionsFitTheirControls) {
    for (QGroupBox* box : FBoxes) {
        for (QWidget* control : Controls(box)) {
            const std::string name = control->objectName().toStdString();
            const QFontMetrics metrics(control->font());
            if (auto* label = qobject_cast<QLabel*>(control); label && !label->wordWrap()) {
                EXPECT_LE(metrics.horizontalAdvance(label->text()), label->contentsRect().width()) << name;
            } else if (qobject_cast<QCheckBox*>(control) || qobject_cast<QComboBox*>(control)) {
                EXPECT_LE(control->sizeHint().width(), control->width()) << name;
            } else if (auto* button = qobject_cast<QPushButton*>(control)) {
                EXPECT_LE(metrics.horizontalAdvance(button->text()) + 8, button->width()) << name;
            }
        }
    }
}

TEST_F(StandardViewLayout, PicturesHaveTheirInnerSizes) {
    const std::pair<const char*, QSize> pictures[] = {
        {"imgWeapon", {300, 90}}, {"imgAmmo", {120, 120}}, {"imgOutfit", {138, 180}},
        {"imgArt", {120, 120}},   {"imgItem", {120, 120}},
    };
    for (const auto& [name, size] : pictures) {
        EXPECT_EQ(Find<QLabel>(name)->size(), size) << name;
    }
    EXPECT_TRUE(FBoxes[kw::WeatherPage]->findChildren<QLabel*>(QRegularExpression("^img")).isEmpty());
}

} // namespace
