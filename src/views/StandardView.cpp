#include "views/StandardView.h"

#include "catalog/Catalog.h"
#include "catalog/Document.h"
#include "catalog/Inheritance.h"
#include "catalog/WeatherChoices.h"
#include "translate/Texts.h"
#include "views/ColourSwatch.h"
#include "views/CoolCtrls.h"
#include "views/GameText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalBlocker>

#include <algorithm>
#include <utility>

namespace kw {
namespace {

template <class T> T* Find(QWidget* box, const char* name) {
    return box->findChild<T*>(QString::fromLatin1(name));
}

QWidget* MakeExtra(const TExtraDef& def, QWidget* box) {
    const QString caption = QString::fromUtf8(def.Caption);
    QWidget* widget = nullptr;
    switch (def.Kind) {
    case TExtraKind::Heading: {
        auto* label = new QLabel(caption, box);
        label->setAlignment(Qt::AlignCenter);
        widget = label;
        break;
    }
    case TExtraKind::Button:
        widget = new QPushButton(caption, box);
        break;
    case TExtraKind::Panel: {
        auto* panel = new QLabel(box);
        panel->setProperty("vclClass", QStringLiteral("TPanel"));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        panel->setWordWrap(true);
        panel->setMargin(1);
        widget = panel;
        break;
    }
    case TExtraKind::Swatch:
        widget = new TColourSwatch(box);
        break;
    }
    widget->setObjectName(QString::fromLatin1(def.Name));
    widget->setToolTip(QString::fromUtf8(def.Hint));
    if (def.AlwaysUsable) {
        widget->setProperty("tag", -1);
    }
    return widget;
}

void RefillKeepingIndex(QComboBox* combo, const QStringList& texts) {
    const QSignalBlocker blocker(combo);
    const int index = combo->currentIndex();
    combo->clear();
    combo->addItems(texts);
    combo->setCurrentIndex(index < combo->count() ? index : -1);
}

// The box keeps showing what it showed, in the same spelling.
void RefillKeepingSpelling(QComboBox* combo, const std::vector<std::string>& values) {
    const QSignalBlocker blocker(combo);
    const bool selected = combo->currentIndex() >= 0;
    const QString text = combo->currentText();
    combo->clear();
    for (const std::string& value : values) {
        combo->addItem(GameTextToQt(value));
    }
    if (selected) {
        SelectOwnSpelling(combo, text);
    }
}

} // namespace

TStandardViews::TStandardViews(const TBoxes& boxes, TDocument& document, QObject* parent)
    : QObject(parent), FDocument(document), FCatalog(document.Catalog()),
      FPrefixes{QStringLiteral("имя файла:  "),
                QStringLiteral("имя секции в ltx-файле:  "),
                QStringLiteral("системное имя:  "),
                QStringLiteral("3D-модель:  "),
                QString::fromUtf8(kValueSectionMissing.Default),
                QString::fromUtf8(kValueSectionUnnamed.Default),
                QString::fromUtf8(kInheritedFromText.Default)} {
    for (int page = 0; page < kPageCount; ++page) {
        FPages[page] = MakePageView(page, boxes[page], FDocument, FPrefixes);
        FPages[page]->OnTyping = [this] { emit typing(); };
    }
    CreateExtras(boxes);
    BindNamedControls(boxes);
    ConnectControls();
    SyncZoomFactor();
}

TStandardViews::~TStandardViews() = default;

void TStandardViews::CreateExtras(const TBoxes& boxes) {
    std::array<std::vector<TPlacedExtra>, kPageCount> extras;
    for (const TExtraDef& def : ExtraDefs()) {
        extras[def.Page].push_back({&def, MakeExtra(def, boxes[def.Page])});
    }
    for (int page = 0; page < kPageCount; ++page) {
        FPages[page]->Arrange(extras[page]);
    }
}

void TStandardViews::BindNamedControls(const TBoxes& boxes) {
    QGroupBox* weapons = boxes[WeaponsPage];
    chkWeapons_zoom_enabled = Find<QCheckBox>(weapons, "chkWeapons_zoom_enabled");
    txtWeapons_scope_zoom_factor = Find<TCoolEdit>(weapons, "txtWeapons_scope_zoom_factor");
    cboWeapons_scope_status = Find<QComboBox>(weapons, "cboWeapons_scope_status");
    cboWeapons_silencer_status = Find<QComboBox>(weapons, "cboWeapons_silencer_status");
    cboWeapons_grenade_launcher_status = Find<QComboBox>(weapons, "cboWeapons_grenade_launcher_status");
    btnWeaponsScope = Find<QPushButton>(weapons, "btnWeaponsScope");
    btnWeaponsSilencer = Find<QPushButton>(weapons, "btnWeaponsSilencer");
    btnWeaponsGrenLnch = Find<QPushButton>(weapons, "btnWeaponsGrenLnch");
    btnWeaponsAmmo = Find<QPushButton>(weapons, "btnWeaponsAmmo");
    pnlWeapons_ammo_class = Find<QLabel>(weapons, "pnlWeapons_ammo_class");
    chkAmmo_tracer = Find<QCheckBox>(boxes[AmmoPage], "chkAmmo_tracer");
    chkAmmo_explosive = Find<QCheckBox>(boxes[AmmoPage], "chkAmmo_explosive");
    QGroupBox* weather = boxes[WeatherPage];
    txtWeather_sky_texture = Find<TCoolEdit>(weather, "txtWeather_sky_texture");
    txtWeather_clouds_texture = Find<TCoolEdit>(weather, "txtWeather_clouds_texture");
    btnWeather_sky_texture = Find<QPushButton>(weather, "btnWeather_sky_texture");
    btnWeather_clouds_texture = Find<QPushButton>(weather, "btnWeather_clouds_texture");
    cboWeather_thunderbolt = Find<QComboBox>(weather, "cboWeather_thunderbolt");
    cboWeather_env_ambient = Find<QComboBox>(weather, "cboWeather_env_ambient");
    // Enabled only once a load has brought a weapon to choose cartridges for.
    btnWeaponsAmmo->setEnabled(false);
}

void TStandardViews::ConnectControls() {
    for (int page = 0; page < kPageCount; ++page) {
        connect(FPages[page]->List, &QListWidget::currentRowChanged, this, [this, page](int row) {
            if (OnCommitEdits) {
                OnCommitEdits();
            } else {
                CollectShownEntries();
            }
            Show(page, row);
        });
        for (QWidget* control : FPages[page]->FieldControls) {
            if (auto* edit = qobject_cast<TCoolEdit*>(control)) {
                connect(edit, &TCoolEdit::refused, this, &TStandardViews::inputRefused);
                connect(edit, &TCoolEdit::numberRefused, this, &TStandardViews::numberRefused);
            }
        }
    }
    connect(chkWeapons_zoom_enabled, &QCheckBox::toggled, this, &TStandardViews::SyncZoomFactor);
}

void TStandardViews::Show(int page, int pos) {
    if (page < 0 || page >= kPageCount) {
        return;
    }
    const QStringList failures = FPages[page]->Show(pos);
    if (page == WeaponsPage) {
        // Also when the ticked state did not change: something else may have enabled the field.
        SyncZoomFactor();
        if (pos >= 0 && ShownPosition(page) == pos) {
            ShowAmmoClass(pos);
        }
    }
    Report(failures);
}

void TStandardViews::Collect(int page, int pos) {
    if (page >= 0 && page < kPageCount) {
        FPages[page]->Collect(pos);
    }
}

void TStandardViews::CollectShownEntries() {
    for (const auto& page : FPages) {
        page->Collect(page->ShownPosition());
    }
}

bool TStandardViews::HasUncollectedEdits() const {
    return std::any_of(FPages.begin(), FPages.end(),
                       [](const auto& page) { return page && page->HasTyping(); });
}

int TStandardViews::ShownPosition(int page) const {
    return page >= 0 && page < kPageCount ? FPages[page]->ShownPosition() : -1;
}

void TStandardViews::ForgetShownEntries() {
    for (const auto& page : FPages) {
        page->Forget();
    }
}

void TStandardViews::SyncDependentControls() {
    SyncZoomFactor();
    btnWeaponsAmmo->setEnabled(ListBox(WeaponsPage)->currentRow() >= 0);
    for (const auto& page : FPages) {
        page->SyncPlaces();
    }
}

void TStandardViews::SyncZoomFactor() {
    txtWeapons_scope_zoom_factor->setEnabled(chkWeapons_zoom_enabled->isChecked());
}

void TStandardViews::ShowAmmoClass(int pos) {
    const TParam& param = FCatalog.Weapons[pos]->ammo_class;
    const TInheritedValue* inherited = ShownInheritedValue(FCatalog, param);
    const QString ammo = GameTextToQt(inherited ? inherited->Value : param.Value);
    // The dialog writes the list without blanks; a break chance after each comma keeps it readable.
    QString shown = ammo;
    shown.replace(QRegularExpression(QStringLiteral(",(?=\\S)")), QStringLiteral(",\u200B"));
    pnlWeapons_ammo_class->setText(shown);
    // A list a parent section supplies is grey, as an inherited field is, and says where it comes from.
    QPalette palette;
    if (inherited) {
        palette.setColor(QPalette::WindowText, palette.color(QPalette::PlaceholderText));
    }
    pnlWeapons_ammo_class->setPalette(palette);
    // A long list does not fit the panel.
    pnlWeapons_ammo_class->setToolTip(
        inherited ? FPrefixes.InheritedFrom.arg(GameTextToQt(inherited->Source->Section),
                                                GameTextToQt(inherited->Source->ConfigFile())) +
                        QStringLiteral("\n") + ammo
                  : ammo);
}

void TStandardViews::Report(const QStringList& failures) {
    if (FPopulating) {
        FHeld += failures;
        return;
    }
    for (const QString& message : failures) {
        emit conversionError(message);
    }
}

QStringList TStandardViews::PopulateLists() {
    FPopulating = true;
    const auto done = qScopeGuard([this] { FPopulating = false; });
    FHeld.clear();
    for (const auto& page : FPages) {
        page->Refill();
    }
    RefillWeatherChoices();
    for (int page = 0; page < kPageCount; ++page) {
        if (FPages[page]->Count() == 0) {
            continue;
        }
        {
            const QSignalBlocker blocker(FPages[page]->List);
            FPages[page]->List->setCurrentRow(0);
        }
        Show(page, 0);
    }
    SyncDependentControls();
    if (OnRefreshViews) {
        OnRefreshViews();
    }
    return std::exchange(FHeld, {});
}

void TStandardViews::SetInfoPrefixes(const QString& file, const QString& section, const QString& invName,
                                     const QString& visual) {
    FPrefixes.File = file;
    FPrefixes.Section = section;
    FPrefixes.InvName = invName;
    FPrefixes.Visual = visual;
}

void TStandardViews::SetPlaceHints(const QString& missingSection, const QString& unnamedSection,
                                   const QString& inheritedFrom) {
    FPrefixes.MissingSection = missingSection;
    FPrefixes.UnnamedSection = unnamedSection;
    FPrefixes.InheritedFrom = inheritedFrom;
}

void TStandardViews::FillAddonStatusCombos(const QStringList& texts) {
    for (QComboBox* combo :
         {cboWeapons_silencer_status, cboWeapons_scope_status, cboWeapons_grenade_launcher_status}) {
        RefillKeepingIndex(combo, texts);
    }
}

void TStandardViews::SetWeatherChoices(std::vector<std::string> thunderbolt,
                                       std::vector<std::string> envAmbient) {
    FThunderboltPresets = std::move(thunderbolt);
    FEnvAmbientPresets = std::move(envAmbient);
    RefillWeatherChoices();
}

// The game's own values first: a game names its thunderstorms and sounds as it likes, and the presets
// cannot know them.
void TStandardViews::RefillWeatherChoices() {
    RefillKeepingSpelling(cboWeather_thunderbolt,
                          WeatherValueChoices(FCatalog, &TWeather::thunderbolt, FThunderboltPresets));
    RefillKeepingSpelling(cboWeather_env_ambient,
                          WeatherValueChoices(FCatalog, &TWeather::env_ambient, FEnvAmbientPresets));
}

QListWidget* TStandardViews::ListBox(int page) const {
    return page >= 0 && page < kPageCount ? FPages[page]->List : nullptr;
}

QList<QWidget*> TStandardViews::ExitHookControls() const {
    QList<QWidget*> controls;
    for (const auto& page : FPages) {
        for (QWidget* control : page->FieldControls) {
            if (qobject_cast<TCoolEdit*>(control) != nullptr) {
                controls << control;
            }
        }
    }
    controls << chkAmmo_tracer << chkAmmo_explosive << chkWeapons_zoom_enabled
             << cboWeapons_grenade_launcher_status << cboWeapons_scope_status << cboWeapons_silencer_status
             << cboWeather_thunderbolt << cboWeather_env_ambient << btnWeather_sky_texture
             << btnWeather_clouds_texture << btnWeaponsSilencer << btnWeaponsScope << btnWeaponsGrenLnch;
    return controls;
}

} // namespace kw
