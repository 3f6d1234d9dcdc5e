#pragma once

#include "views/StandardViewFields.h"
#include "views/StandardViewPage.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QWidget;

namespace kw {

class TCatalog;
class TCoolEdit;
class TDocument;

// The standard views of the six catalog pages: one entry at a time in labelled fields beside the list of all
// entries. Positions are rows of a page's list box and indexes into its collection.
class TStandardViews : public QObject {
    Q_OBJECT
public:
    using TBoxes = std::array<QGroupBox*, kPageCount>;

    // boxes: the pages' standard view boxes in page order, each kViewBoxSize; the controls are created in
    // them and belong to them.
    // Edits go to the document as steps; the views read the catalog it holds.
    TStandardViews(const TBoxes& boxes, TDocument& document, QObject* parent = nullptr);
    ~TStandardViews() override;

    // A negative position or one past the collection does nothing.
    void Show(int page, int pos);
    // Writes the controls into the entry at pos, only if that is the entry the page shows completely.
    void Collect(int page, int pos);
    void ShowWeapon(int pos) { Show(WeaponsPage, pos); }
    void ShowAmmo(int pos) { Show(AmmoPage, pos); }
    void ShowOutfit(int pos) { Show(OutfitsPage, pos); }
    void ShowArt(int pos) { Show(ArtsPage, pos); }
    void ShowItem(int pos) { Show(ItemsPage, pos); }
    void ShowWeather(int pos) { Show(WeatherPage, pos); }
    void CollectWeapon(int pos) { Collect(WeaponsPage, pos); }
    void CollectAmmo(int pos) { Collect(AmmoPage, pos); }
    void CollectOutfit(int pos) { Collect(OutfitsPage, pos); }
    void CollectArt(int pos) { Collect(ArtsPage, pos); }
    void CollectItem(int pos) { Collect(ItemsPage, pos); }
    void CollectWeather(int pos) { Collect(WeatherPage, pos); }
    // Stores what the user changed on every page into the entry that page shows. Collecting twice is
    // harmless: a stored field counts as unchanged until the user changes it again.
    void CollectShownEntries();
    // Runs before a row change replaces the entry a page shows: the window's commit of everything pending,
    // which collects the shown entries among other things. Unset, the views collect their own.
    std::function<void()> OnCommitEdits;
    // Whether a field of any page holds typing not yet collected that differs from what it showed: work that
    // a save would lose, though the document does not hold it yet.
    bool HasUncollectedEdits() const;
    // -1 while the page shows no entry, or one only partly.
    int ShownPosition(int page) const;
    // Collect does nothing until the next Show: for when the entries were changed another way (the table
    // view) and the controls hold older texts.
    void ForgetShownEntries();
    // Controls whose enabled state follows other controls (the FOV field its check box, btnWeaponsAmmo the
    // weapon selection) or the shown entry (a field whose value no file has a place for); for after something
    // has switched every control as a block.
    void SyncDependentControls();

    // Refills the six list boxes from the catalog, selects and shows the first entry of each non-empty
    // collection, enables btnWeaponsAmmo when there is a weapon, and ends with OnRefreshViews. Values that
    // could not be shown are returned rather than signalled, so that a load run is not interrupted;
    // redisplaying the same entries afterwards does not report them again.
    QStringList PopulateLists();
    // The window's redisplay of whichever view is visible.
    std::function<void()> OnRefreshViews;

    // Taken at each Show, so new prefixes appear at the next one.
    void SetInfoPrefixes(const QString& file, const QString& section, const QString& invName,
                         const QString& visual);
    // The hints of fields whose value no file has a place for (kValueSectionMissing, kValueSectionUnnamed)
    // and of fields showing what a parent section supplies (kInheritedFromText); taken at each Show too.
    void SetPlaceHints(const QString& missingSection, const QString& unnamedSection,
                       const QString& inheritedFrom);
    // The three status texts in value order 0, 1, 2; each box keeps its selected index.
    void FillAddonStatusCombos(const QStringList& texts);
    // The presets of the weather choices, windows-1251 as the game's values. The boxes offer them after the
    // values of the loaded game, and are refilled at each PopulateLists; a selected text stays selected.
    void SetWeatherChoices(std::vector<std::string> thunderbolt, std::vector<std::string> envAmbient);

    QListWidget* ListBox(int page) const;
    // The controls whose loss of focus stores the shown entry: every edit field, the check boxes and combo
    // boxes of the fields, the texture buttons and the addon buttons.
    QList<QWidget*> ExitHookControls() const;

    QCheckBox* chkWeapons_zoom_enabled = nullptr;
    TCoolEdit* txtWeapons_scope_zoom_factor = nullptr;
    QComboBox* cboWeapons_scope_status = nullptr;
    QComboBox* cboWeapons_silencer_status = nullptr;
    QComboBox* cboWeapons_grenade_launcher_status = nullptr;
    QPushButton* btnWeaponsScope = nullptr;
    QPushButton* btnWeaponsSilencer = nullptr;
    QPushButton* btnWeaponsGrenLnch = nullptr;
    QPushButton* btnWeaponsAmmo = nullptr;
    QLabel* pnlWeapons_ammo_class = nullptr;
    QCheckBox* chkAmmo_tracer = nullptr;
    QCheckBox* chkAmmo_explosive = nullptr;
    TCoolEdit* txtWeather_sky_texture = nullptr;
    TCoolEdit* txtWeather_clouds_texture = nullptr;
    QPushButton* btnWeather_sky_texture = nullptr;
    QPushButton* btnWeather_clouds_texture = nullptr;
    QComboBox* cboWeather_thunderbolt = nullptr;
    QComboBox* cboWeather_env_ambient = nullptr;

signals:
    // A stored value that its control cannot show; the message is for the user.
    void conversionError(const QString& message);
    // An edit field refused a character the game files cannot store, once per refused edit.
    void inputRefused(const QString& character);
    // A numeric field refused a typed character or a paste that would not leave a number; it has beeped.
    void numberRefused();
    // The user typed, ticked or picked in a field: whether there is uncollected work may have changed.
    void typing();

private:
    // Creates the controls that belong to no field, then lays each page out with them.
    void CreateExtras(const TBoxes& boxes);
    void BindNamedControls(const TBoxes& boxes);
    void ConnectControls();
    void SyncZoomFactor();
    void ShowAmmoClass(int pos);
    void RefillWeatherChoices();
    void Report(const QStringList& failures);

    TDocument& FDocument;
    TCatalog& FCatalog;
    TInfoPrefixes FPrefixes;
    std::array<std::unique_ptr<TPageView>, kPageCount> FPages;
    bool FPopulating = false;
    QStringList FHeld;
    std::vector<std::string> FThunderboltPresets;
    std::vector<std::string> FEnvAmbientPresets;
};

} // namespace kw
