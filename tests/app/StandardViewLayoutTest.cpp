#include "MainWindowFixture.h"

#include "views/StandardViewFields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabWidget>

#include <algorithm>
#include <map>

namespace kwtest {
namespace {

// A field of a standard view page where its table puts it.
struct TSpot {
    QString Control;
    QString Label; // empty where the field has no label of its own
    kw::TFieldPlace Place;
};

template <class Entry> std::vector<TSpot> Spots(const std::vector<kw::TFieldDef<Entry>>& defs) {
    std::vector<TSpot> spots;
    for (const kw::TFieldDef<Entry>& def : defs) {
        spots.push_back({QString::fromStdString(def.Control), QString::fromStdString(def.Label), def.Place});
    }
    return spots;
}

std::vector<TSpot> PageSpots(int page) {
    switch (page) {
    case kw::WeaponsPage:
        return Spots(kw::WeaponFields());
    case kw::AmmoPage:
        return Spots(kw::AmmoFields());
    case kw::OutfitsPage:
        return Spots(kw::OutfitFields());
    case kw::ArtsPage:
        return Spots(kw::ArtFields());
    case kw::ItemsPage:
        return Spots(kw::ItemFields());
    default:
        return Spots(kw::WeatherFields());
    }
}

// The width a line edit shows its text in: inside its frame, less the margins it keeps at each side.
int TextRoom(const QLineEdit& edit) {
    constexpr int kHorizontalMargin = 2;
    QStyleOptionFrame option;
    option.initFrom(&edit);
    option.rect = edit.contentsRect();
    option.lineWidth =
        edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit) : 0;
    const QRect contents = edit.style()->subElementRect(QStyle::SE_LineEditContents, &option, &edit);
    return contents.width() - edit.textMargins().left() - edit.textMargins().right() - 2 * kHorizontalMargin;
}

// The sample game in a shown window, which opens at its smallest size: the size the views were drawn for.
class StandardViewSizes : public SampleGameWindowTest {
protected:
    std::string MoreOptions() const override { return "Language=none\n"; }
    void SetUp() override {
        SampleGameWindowTest::SetUp();
        std::filesystem::copy(KW_SOURCE_DIR "/resources/Lang", FFolder / "Lang");
    }

    QGroupBox* Box(int page) const { return FWindow->Page(page).gbNormal; }
    // Brings the page to the front with its layout done, as the user sees it.
    QGroupBox* ShowPage(int page) const {
        FWindow->PageControl1->setCurrentIndex(page);
        Box(page)->layout()->activate();
        return Box(page);
    }
    template <class T> T* In(int page, const QString& name) const {
        T* control = Box(page)->findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name.toStdString();
        return control;
    }
    // The fields of the page's value columns: edit fields and drop-down lists.
    std::map<QString, QWidget*> ValueFields(int page) const {
        std::map<QString, QWidget*> fields;
        for (const TSpot& spot : PageSpots(page)) {
            QWidget* field = In<QWidget>(page, spot.Control);
            if (qobject_cast<QLineEdit*>(field) != nullptr || qobject_cast<QComboBox*>(field) != nullptr) {
                fields[spot.Control] = field;
            }
        }
        return fields;
    }
};

class StandardViewLanguages : public StandardViewSizes, public ::testing::WithParamInterface<const char*> {
protected:
    void ApplyLanguage() const {
        const QString name = QString::fromUtf8(GetParam());
        if (name == QStringLiteral("Русский")) {
            return; // the built-in texts
        }
        if (QAction* item = LanguageItem(name)) {
            item->trigger();
        }
    }

    static bool FirstInLane(const kw::TViewPageDef& def, int column) {
        for (int before = 0; before < column; ++before) {
            if (def.Columns[before].Band == def.Columns[column].Band &&
                def.Columns[before].Lane == def.Columns[column].Lane) {
                return false;
            }
        }
        return true;
    }

    // Rows go down their column in table order with their left edges in line; a column stands right of the
    // columns before it in its band, row level with row where both head their lanes, or below those before it
    // in its lane; a band stands below the bands before it.
    static void ExpectTablePlaces(const kw::TViewPageDef& def, const std::vector<TSpot>& spots,
                                  const std::vector<QRect>& rows) {
        for (size_t a = 0; a < spots.size(); ++a) {
            for (size_t b = 0; b < spots.size(); ++b) {
                const kw::TFieldPlace& pa = spots[a].Place;
                const kw::TFieldPlace& pb = spots[b].Place;
                const kw::TBlockPlace& ca = def.Columns.at(pa.Column);
                const kw::TBlockPlace& cb = def.Columns.at(pb.Column);
                const std::string pair =
                    spots[a].Control.toStdString() + " / " + spots[b].Control.toStdString();
                if (pa.Column == pb.Column) {
                    EXPECT_EQ(rows[a].left(), rows[b].left()) << pair;
                    if (pa.Row < pb.Row) {
                        EXPECT_LT(rows[a].bottom(), rows[b].top()) << pair;
                    }
                } else if (ca.Band == cb.Band && ca.Lane < cb.Lane) {
                    EXPECT_LT(rows[a].right(), rows[b].left()) << pair;
                    if (pa.Row == pb.Row && FirstInLane(def, pa.Column) && FirstInLane(def, pb.Column)) {
                        EXPECT_EQ(rows[a].top(), rows[b].top()) << pair;
                    }
                } else if (ca.Band == cb.Band && ca.Lane == cb.Lane && pa.Column < pb.Column) {
                    EXPECT_LT(rows[a].bottom(), rows[b].top()) << pair;
                } else if (ca.Band < cb.Band) {
                    EXPECT_LT(rows[a].bottom(), rows[b].top()) << pair;
                }
            }
        }
    }

    // Every caption of the box shows whole: labels, panels, headings, check boxes, buttons and the items of
    // the status lists. The weather's lists offer the game's names, which a narrow field may cut off.
    static void ExpectNothingCutOff(QGroupBox* box) {
        for (QWidget* control : box->findChildren<QWidget*>()) {
            const std::string name = control->objectName().toStdString();
            if (auto* label = qobject_cast<QLabel*>(control)) {
                if (!label->wordWrap() && !label->text().isEmpty()) {
                    EXPECT_LE(label->sizeHint().width(), label->width()) << name;
                    EXPECT_LE(label->sizeHint().height(), label->height()) << name;
                }
            } else if (qobject_cast<QCheckBox*>(control) != nullptr ||
                       (qobject_cast<QComboBox*>(control) != nullptr && !name.starts_with("cboWeather"))) {
                EXPECT_LE(control->sizeHint().width(), control->width()) << name;
            } else if (auto* button = qobject_cast<QPushButton*>(control)) {
                EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 8, button->width())
                    << name;
            }
        }
    }

    // From the list down each column, columns in the order of their blocks, a field followed by what trails
    // it and a column by what stands aside of it, then the description; what takes no focus now is passed
    // over.
    std::vector<QWidget*> ExpectedTabOrder(int page) const {
        const kw::TViewPageDef& def = kw::ViewPageDefs()[page];
        std::vector<int> columns(def.Columns.size());
        for (int column = 0; column < static_cast<int>(columns.size()); ++column) {
            columns[column] = column;
        }
        std::stable_sort(columns.begin(), columns.end(), [&def](int a, int b) {
            return std::pair(def.Columns[a].Band, def.Columns[a].Lane) <
                   std::pair(def.Columns[b].Band, def.Columns[b].Lane);
        });
        std::vector<QWidget*> order{FWindow->Views().ListBox(page)};
        const auto extras = [&](kw::TExtraSlot slot, int column, int row) {
            for (const kw::TExtraDef& extra : kw::ExtraDefs()) {
                if (extra.Page == page && extra.Place.Slot == slot && extra.Place.Column == column &&
                    (row < 0 || extra.Place.Row == row)) {
                    order.push_back(In<QWidget>(page, QString::fromLatin1(extra.Name)));
                }
            }
        };
        for (const int column : columns) {
            std::vector<TSpot> spots = PageSpots(page);
            std::erase_if(spots, [column](const TSpot& spot) { return spot.Place.Column != column; });
            std::stable_sort(spots.begin(), spots.end(),
                             [](const TSpot& a, const TSpot& b) { return a.Place.Row < b.Place.Row; });
            for (const TSpot& spot : spots) {
                order.push_back(In<QWidget>(page, spot.Control));
                extras(kw::TExtraSlot::Trailing, column, spot.Place.Row);
            }
            extras(kw::TExtraSlot::Aside, column, -1);
        }
        if (auto* memo = Box(page)->findChild<QPlainTextEdit*>()) {
            order.push_back(memo);
        }
        std::erase_if(order, [](const QWidget* widget) {
            return !widget->isEnabled() || !(widget->focusPolicy() & Qt::TabFocus);
        });
        return order;
    }

    // Where the Tab key takes the focus, from the list on, as long as it stays in the box.
    std::vector<QWidget*> TabbedOrder(int page) const {
        QWidget* list = FWindow->Views().ListBox(page);
        list->setFocus(Qt::TabFocusReason);
        std::vector<QWidget*> order{FWindow->focusWidget()};
        while (order.size() < 64) {
            QTest::keyClick(FWindow->focusWidget(), Qt::Key_Tab);
            QWidget* focus = FWindow->focusWidget();
            if (focus == nullptr || !Box(page)->isAncestorOf(focus)) {
                break;
            }
            order.push_back(focus);
        }
        return order;
    }
};

// At the smallest window, in either language, the fields keep the columns and order of the tables, every
// label shows whole, and Tab goes down the first column, then down the second.
TEST_P(StandardViewLanguages, DesignSizeKeepsColumnsOrderAndWholeLabels) {
    kw::TfrmMain& window = StartShown();
    ApplyLanguage();
    ASSERT_EQ(window.size(), window.minimumSize());
    for (int page = 0; page < kw::kPageCount; ++page) {
        const kw::TViewPageDef& def = kw::ViewPageDefs()[page];
        SCOPED_TRACE(def.Key);
        QGroupBox* box = ShowPage(page);
        const std::vector<TSpot> spots = PageSpots(page);
        std::vector<QRect> rows;
        for (const TSpot& spot : spots) {
            auto* field = In<QWidget>(page, spot.Control);
            ASSERT_NE(field, nullptr);
            QRect row = field->geometry();
            if (!spot.Label.isEmpty()) {
                auto* label = In<QLabel>(page, spot.Label);
                ASSERT_NE(label, nullptr);
                EXPECT_LT(label->geometry().right(), field->x()) << spot.Control.toStdString();
                EXPECT_EQ(label->geometry().center().y(), field->geometry().center().y())
                    << spot.Control.toStdString();
                row = row.united(label->geometry());
            }
            EXPECT_TRUE(box->contentsRect().contains(row)) << spot.Control.toStdString();
            rows.push_back(row);
        }
        ExpectTablePlaces(def, spots, rows);
        ExpectNothingCutOff(box);
        EXPECT_EQ(TabbedOrder(page), ExpectedTabOrder(page));
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, StandardViewLanguages, ::testing::Values("Русский", "English"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.index == 0 ? "Russian" : "English");
                         });

// A large window gives the room to the values: every value field grows wider, Damage, the weather colours and
// the cartridge list show whole, and the description grows taller while the picture keeps its size.
TEST_F(StandardViewSizes, LargeWindowShowsListValuesWhole) {
    kw::TfrmMain& window = StartShown();
    std::map<QString, int> designWidths;
    std::map<int, QSize> designMemos;
    for (int page = 0; page < kw::kPageCount; ++page) {
        ShowPage(page);
        for (const auto& [name, field] : ValueFields(page)) {
            designWidths[name] = field->width();
        }
        if (auto* memo = Box(page)->findChild<QPlainTextEdit*>()) {
            designMemos[page] = memo->size();
        }
    }

    // The smallest window cuts some of them off.
    auto* damage = In<QLineEdit>(kw::WeaponsPage, "txtWeapons_hit_power");
    QListWidget* weapons = window.Views().ListBox(kw::WeaponsPage);
    ShowPage(kw::WeaponsPage);
    int cut = 0;
    for (int row = 0; row < weapons->count(); ++row) {
        weapons->setCurrentRow(row);
        cut += damage->fontMetrics().horizontalAdvance(damage->text()) > TextRoom(*damage) ? 1 : 0;
    }
    EXPECT_GT(cut, 0);

    window.resize(1600, 1000);
    ASSERT_EQ(window.size(), QSize(1600, 1000));
    for (int page = 0; page < kw::kPageCount; ++page) {
        ShowPage(page);
        for (const auto& [name, field] : ValueFields(page)) {
            EXPECT_GT(field->width(), designWidths.at(name)) << name.toStdString();
        }
        if (auto* memo = Box(page)->findChild<QPlainTextEdit*>()) {
            EXPECT_GT(memo->height(), designMemos.at(page).height()) << page;
        }
    }
    EXPECT_EQ(In<QLabel>(kw::WeaponsPage, "imgWeapon")->size(), QSize(300, 90));

    ShowPage(kw::WeaponsPage);
    auto* ammo = In<QLabel>(kw::WeaponsPage, "pnlWeapons_ammo_class");
    ASSERT_GT(weapons->count(), 5);
    for (int row = 0; row < weapons->count(); ++row) {
        weapons->setCurrentRow(row);
        const std::string weapon = weapons->item(row)->text().toStdString();
        EXPECT_LE(damage->fontMetrics().horizontalAdvance(damage->text()), TextRoom(*damage)) << weapon;
        // On one line: the panel breaks the list only where it must.
        EXPECT_LE(ammo->fontMetrics().horizontalAdvance(ammo->toolTip()),
                  ammo->contentsRect().width() - 2 * ammo->margin())
            << weapon;
    }

    ShowPage(kw::WeatherPage);
    QListWidget* times = window.Views().ListBox(kw::WeatherPage);
    for (int row = 0; row < times->count(); ++row) {
        times->setCurrentRow(row);
        for (const char* colour : {"txtWeather_sky_color", "txtWeather_clouds_color", "txtWeather_fog_color",
                                   "txtWeather_rain_color", "txtWeather_ambient", "txtWeather_sun_color"}) {
            auto* field = In<QLineEdit>(kw::WeatherPage, QString::fromLatin1(colour));
            EXPECT_LE(field->fontMetrics().horizontalAdvance(field->text()), TextRoom(*field))
                << colour << " " << times->item(row)->text().toStdString();
        }
    }
}

} // namespace
} // namespace kwtest
