#include "views/uAmmoList.h"

#include "catalog/Catalog.h"
#include "catalog/Document.h"
#include "catalog/Inheritance.h"
#include "gamecfg/AsciiText.h"
#include "gamecfg/CommaText.h"
#include "views/StandardView.h"
#include "views/uWeaponAddon.h"

#include <QListWidget>
#include <QPushButton>

#include <algorithm>
#include <utility>

namespace kw {

namespace {

constexpr int kClientWidth = 280;
constexpr int kClientHeight = 340;
constexpr int kMargin = 8;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 28;

} // namespace

TfrmAmmoList::TfrmAmmoList(QWidget* owner, TDialogContext context)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), FContext(std::move(context)) {
    setObjectName(QStringLiteral("frmAmmoList"));
    setWindowTitle(QStringLiteral("Патроны"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);
    setFixedSize(kClientWidth, kClientHeight);

    const int buttonTop = kClientHeight - kMargin - kButtonHeight;
    lbAmmo = new QListWidget(this);
    lbAmmo->setObjectName(QStringLiteral("lbAmmo"));
    lbAmmo->setGeometry(kMargin, kMargin, kClientWidth - 2 * kMargin, buttonTop - 2 * kMargin);
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setGeometry(kClientWidth - 2 * (kMargin + kButtonWidth), buttonTop, kButtonWidth, kButtonHeight);
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Отмена"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(kClientWidth - kMargin - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight);
    btnCancel->setAutoDefault(false);
    connect(btnOK, &QPushButton::clicked, this, &TfrmAmmoList::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    Translator1 = new TTranslator(this);
    Translator1->setObjectName(QStringLiteral("Translator1"));
    Translator1->AddClassRule(QStringLiteral("TBitBtn"), QStringLiteral("Caption"));
    Translator1->SetTranslateOwner(true);
    Translator1->AssignLanguages(FContext.Languages);
    Translator1->Translate(FContext.LanguageIndex);

    FillList();
    connect(lbAmmo, &QListWidget::itemChanged, this, &TfrmAmmoList::lbAmmoClickCheck);
    UpdateOkButton();
    if (owner != nullptr) {
        move(owner->geometry().center() - rect().center());
    }
}

bool TfrmAmmoList::Execute(QWidget* owner, TDialogContext context) {
    return (new TfrmAmmoList(owner, std::move(context)))->exec() == QDialog::Accepted;
}

TWeapon* TfrmAmmoList::Weapon() const {
    const QListWidget* list = FContext.Views.ListBox(WeaponsPage);
    const int row = list != nullptr ? list->currentRow() : -1;
    return row >= 0 && row < static_cast<int>(FContext.Catalog.Weapons.size())
               ? FContext.Catalog.Weapons[row].get()
               : nullptr;
}

// The cartridges the weapons page shows for weapon: its own list, or the one a parent section supplies.
std::vector<std::string> TfrmAmmoList::ShownAmmo(const TWeapon& weapon) const {
    const TInheritedValue* inherited = ShownInheritedValue(FContext.Catalog, weapon.ammo_class);
    return ReadCommaText(inherited ? inherited->Value : weapon.ammo_class.Value);
}

bool TfrmAmmoList::IsInherited(const TWeapon& weapon) const {
    return ShownInheritedValue(FContext.Catalog, weapon.ammo_class) != nullptr;
}

// Names in the weapon's list that match no ammunition are not shown, and so are dropped by OK, unless the
// list is a parent's and its ticks stay as they were.
void TfrmAmmoList::FillList() {
    const TWeapon* weapon = Weapon();
    const std::vector<std::string> fired =
        weapon != nullptr ? ShownAmmo(*weapon) : std::vector<std::string>{};
    for (const auto& ammo : FContext.Catalog.Ammo) {
        auto* row = new QListWidgetItem(QString::fromStdString(ammo->Name), lbAmmo);
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        const bool ticked = std::any_of(fired.begin(), fired.end(), [&](const std::string& section) {
            return EqualIgnoringAsciiCase(section, ammo->Section);
        });
        row->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    }
    FShownTicks = Ticks();
}

std::vector<bool> TfrmAmmoList::Ticks() const {
    std::vector<bool> ticks;
    for (int row = 0; row < lbAmmo->count(); ++row) {
        ticks.push_back(lbAmmo->item(row)->checkState() == Qt::Checked);
    }
    return ticks;
}

void TfrmAmmoList::lbAmmoClickCheck(QListWidgetItem*) {
    UpdateOkButton();
}

// A weapon is needed as well: without one there is nothing to write into.
void TfrmAmmoList::UpdateOkButton() {
    bool ticked = false;
    for (int row = 0; row < lbAmmo->count() && !ticked; ++row) {
        ticked = lbAmmo->item(row)->checkState() == Qt::Checked;
    }
    btnOK->setEnabled(ticked && Weapon() != nullptr);
}

void TfrmAmmoList::btnOKClick() {
    TWeapon* weapon = Weapon();
    if (weapon == nullptr || !btnOK->isEnabled()) {
        return;
    }
    std::vector<std::string> sections;
    for (int row = 0; row < lbAmmo->count(); ++row) {
        if (lbAmmo->item(row)->checkState() == Qt::Checked) {
            sections.push_back(FContext.Catalog.Ammo[row]->Section);
        }
    }
    // Leaving the ticks of a parent's list as they were is no edit: the game reads that list already, names
    // the catalog lacks included.
    if (!IsInherited(*weapon) || Ticks() != FShownTicks) {
        StoreText(FContext.Document, weapon->ammo_class, WriteCommaText(sections));
    }
    // The weapons page shows the stored values again, the new cartridges among them.
    FContext.Views.ShowWeapon(FContext.Views.ListBox(WeaponsPage)->currentRow());
    accept();
}

} // namespace kw
