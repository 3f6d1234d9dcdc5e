#include "views/uListedAddon.h"

#include "catalog/Catalog.h"
#include "catalog/Document.h"
#include "views/CoolCtrls.h"
#include "views/StandardView.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

namespace kw {

namespace {

constexpr int kClientHeight = 228;
constexpr int kNameTop = 8;
constexpr int kOwnTop = kNameTop + 26;
constexpr int kSharedTop = kOwnTop + 26;
constexpr int kNameFieldX = 96;

} // namespace

TfrmListedAddon::TfrmListedAddon(QWidget* owner, TDialogContext context, const TListedAddonDef& def)
    : TfrmWeaponAddon(owner, std::move(context), def.FormName, kClientHeight, kSharedTop), FDef(def),
      FEntries(def.Entries(Catalog())) {
    setWindowTitle(QString::fromUtf8(def.Caption));
    gbCoords->setTitle(QString::fromUtf8(def.CoordsCaption));
    btnSet->setToolTip(QString::fromUtf8(def.SetHint));

    lblName = MakeLabel(this, "lblName", "Название", LabelRect(kNameTop));
    lblName->resize(kNameFieldX - LabelRect(0).x(), lblName->height());
    cboName = new QComboBox(this);
    cboName->setObjectName(QStringLiteral("cboName"));
    const QRect field = FieldRect(kNameTop);
    cboName->setGeometry(kNameFieldX, kNameTop, field.right() - kNameFieldX + 1, field.height());
    MakeLabel(this, def.OwnLabelName, def.OwnLabel, LabelRect(kOwnTop));
    txtOwn = MakeNumericField(this, def.OwnFieldName, FieldRect(kOwnTop));
    setTabOrder(cboName, txtOwn);
    setTabOrder(txtOwn, txt_weight);
    cboName->setFocus();

    {
        const QSignalBlocker blocker(cboName);
        for (const TMainItem* entry : FEntries) {
            cboName->addItem(QString::fromStdString(entry->Name));
        }
        cboName->setCurrentIndex(-1);
        if (const TWeapon* weapon = Weapon()) {
            cboName->setCurrentIndex(FindAddonBySection(FEntries, (weapon->*def.Name).Value));
            ShowValue(txt_x, weapon->*def.X);
            ShowValue(txt_y, weapon->*def.Y);
        }
    }
    ShowAddon();
    UpdateSetButton(cboName->currentIndex() >= 0, Weapon() != nullptr);
    BindExitHook({txtOwn, txt_weight, txt_cost}, [this] { StoreAddon(); });
    connect(cboName, &QComboBox::currentIndexChanged, this, &TfrmListedAddon::cboNameChange);
    Translate();
}

TMainItem* TfrmListedAddon::Entry(int pos) const {
    return pos >= 0 && pos < static_cast<int>(FEntries.size()) ? FEntries[pos] : nullptr;
}

void TfrmListedAddon::cboNameChange(int) {
    StoreAddon();
    ShowAddon();
    UpdateSetButton(cboName->currentIndex() >= 0, Weapon() != nullptr);
}

// With no entry chosen the fields keep what they held: empty, since nothing was chosen before.
void TfrmListedAddon::ShowAddon() {
    FShown = cboName->currentIndex();
    if (TMainItem* entry = Entry(FShown)) {
        ShowValue(txtOwn, FDef.OwnValue(*entry));
        ShowValue(txt_weight, entry->inv_weight);
        ShowValue(txt_cost, entry->cost);
    }
}

void TfrmListedAddon::StoreAddon() {
    StoreInto(Entry(FShown));
}

void TfrmListedAddon::StoreInto(TMainItem* entry) {
    if (entry != nullptr) {
        StoreField(FContext.Document, FDef.OwnValue(*entry), txtOwn);
        StoreField(FContext.Document, entry->inv_weight, txt_weight);
        StoreField(FContext.Document, entry->cost, txt_cost);
    }
}

void TfrmListedAddon::Fit() {
    StoreAddon();
    TWeapon& weapon = *Weapon();
    StoreText(FContext.Document, weapon.*FDef.Name, Entry(FShown)->Section);
    StoreField(FContext.Document, weapon.*FDef.X, txt_x);
    StoreField(FContext.Document, weapon.*FDef.Y, txt_y);
    SelectAttachable(FContext.Views.*FDef.StatusBox);
}

} // namespace kw
