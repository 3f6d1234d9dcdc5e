#pragma once

#include "views/DialogContext.h"

#include <QDialog>
#include <QHash>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace kw {

class TDocument;

class TCoolEdit;
class TMainItem;
class TParam;
class TWeapon;

// The base of the three addon dialogs: the addon entry's weight and cost, the icon coordinates of the
// addon on the weapon, and the buttons. Weight, cost and an addon's own value belong to the addon entry and
// so to every weapon that uses it; they are stored as soon as the focus leaves their field. The rest
// belongs to the weapon and is written only by btnSet, which also selects "attachable" in the weapon's
// status box. Modal, centred on its owner, freed when closed; closing through btnSet answers Accepted.
class TfrmWeaponAddon : public QDialog {
    Q_OBJECT
public:
    ~TfrmWeaponAddon() override;

    // Position of the first entry whose Section equals section exactly, letter case included, or -1.
    template <class Collection>
    static int FindAddonBySection(const Collection& collection, const std::string& section) {
        for (std::size_t i = 0; i < collection.size(); ++i) {
            if (collection[i]->Section == section) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    QLabel* lbl_weight;
    TCoolEdit* txt_weight;
    QLabel* lbl_cost;
    TCoolEdit* txt_cost;
    QGroupBox* gbCoords;
    QLabel* lbl_x;
    TCoolEdit* txt_x;
    QLabel* lbl_y;
    TCoolEdit* txt_y;
    QPushButton* btnSet;
    QPushButton* btnClose;
    TTranslator* Translator1;

protected:
    // The layout places the shared rows from sharedTop down; the coordinate box and the buttons follow.
    TfrmWeaponAddon(QWidget* owner, TDialogContext context, const char* name, int clientHeight,
                    int sharedTop);

    // The weapon at the selected row of lbWeapons, or nullptr.
    TWeapon* Weapon() const;
    int WeaponPos() const;
    TCatalog& Catalog() const { return FContext.Catalog; }

    // Rows of a label and its field, on the dialog and inside a group box as wide as the dialog allows.
    static constexpr int kRowStep = 26;
    static constexpr int kBoxRowStep = 24;
    static QRect LabelRect(int top);
    static QRect FieldRect(int top);
    static QRect BoxRect(int top, int rows);
    static QRect BoxLabelRect(int top);
    static QRect BoxFieldRect(int top);

    QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption, const QRect& rect);
    TCoolEdit* MakeNumericField(QWidget* parent, const char* name, const QRect& rect);
    // The field's text stored into param when the focus leaves it.
    void BindExitHook(const std::vector<TCoolEdit*>& fields, std::function<void()> store);

    void UpdateSetButton(bool addonChosen, bool weaponChosen);
    // Registers the rules and applies the language; after the subclass has built its controls.
    void Translate();
    // Selects "attachable" (2) in the weapon's status box of this addon.
    static void SelectAttachable(QComboBox* statusBox);

    // Writes what belongs to the weapon and the addon; called by btnSet before the dialog closes.
    virtual void Fit() = 0;

    TDialogContext FContext;

private:
    void btnSetClick();
    void FitTitle(QGroupBox* box);
    bool eventFilter(QObject* watched, QEvent* event) override;

    QHash<QObject*, std::function<void()>> FExitHooks;
};

// The field's game text; nullopt when it holds a character the code page lacks (the field refuses those,
// so this is a guard rather than a path).
std::optional<std::string> FieldValue(const TCoolEdit* field);
void ShowValue(TCoolEdit* field, const TParam& param);
// Records an edit in the document only where the text differs from the value: a pass through a field is no
// edit.
void StoreField(TDocument& document, TParam& param, const TCoolEdit* field);
void StoreText(TDocument& document, TParam& param, const std::string& value);

} // namespace kw
