#pragma once

#include "views/StandardViewFields.h"
#include "views/StandardViewLayout.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QWidget;

namespace kw {

class TCatalog;
class TDocument;

// The texts before the values of the information lines, the hints of fields whose value no file has a place
// for (see kValueSectionMissing) and of fields that show what a parent section supplies (kInheritedFromText);
// they follow the interface language.
struct TInfoPrefixes {
    QString File;
    QString Section;
    QString InvName;
    QString Visual;
    QString MissingSection; // %1 the section, %2 the file
    QString UnnamedSection; // %1 the file
    QString InheritedFrom;  // %1 the parent section, %2 its file below the config folder
};

// The standard view of one page: the controls inside its box and which entry they show. Edits are written
// only into the entry that was shown, and never while a Show is still filling the controls.
class TPageView {
public:
    TPageView(const TViewPageDef& def, QWidget* box, const TInfoPrefixes& prefixes);
    virtual ~TPageView();
    TPageView(const TPageView&) = delete;
    TPageView& operator=(const TPageView&) = delete;

    virtual int Count() const = 0;
    virtual QString RowText(int pos) const = 0;
    // Returns the messages of values that could not be shown as they stand.
    virtual QStringList Show(int pos) = 0;
    virtual void Collect(int pos) = 0;
    // Disables the fields of the shown entry whose value no file has a place for, with a hint saying why, and
    // enables again the ones it disabled before that now have one; for after something has switched every
    // control as a block.
    virtual void SyncPlaces() = 0;
    // Whether a field holds typing not yet collected that differs from what it showed.
    virtual bool HasTyping() const = 0;
    // Called as the user types, ticks or picks in a field of the page.
    std::function<void()> OnTyping;

    // Position of the shown entry, -1 while none is shown completely.
    int ShownPosition() const { return FShownPos; }
    // Lays the page's controls out in its box, with the extras of the page beside its fields; once, after
    // they were all created.
    void Arrange(const std::vector<TPlacedExtra>& extras);
    // Clears the list box and fills it from the collection; nothing counts as shown afterwards.
    void Refill();
    void Forget() {
        FShownPos = -1;
        FShownEntry = nullptr;
    }

    QListWidget* List = nullptr;
    QLabel* NamePanel = nullptr;
    QPlainTextEdit* Memo = nullptr;
    QLabel* Picture = nullptr;
    std::vector<QLabel*> Info;
    // In field table order.
    std::vector<QWidget*> FieldControls;

protected:
    QWidget* CreateField(const std::string& control, const std::string& label, const std::string& caption,
                         TFieldKind kind, TFieldInput input, TFieldPlace place);
    void SetInfoLine(int line, const QString& value);

    const TViewPageDef& FDef;
    QWidget* FBox;
    TPageParts FParts;
    // In field table order.
    std::vector<TFieldRow> FRows;
    // Connections made for the page end with it, even while its controls live on.
    QObject FContext;
    const TInfoPrefixes& FPrefixes;
    int FShownPos = -1;
    const void* FShownEntry = nullptr;
    int FShowDepth = 0;

private:
    void CreateListColumn();
    void CreateNamePanel();
    void CreateMemo();
    void CreatePicture();
    void CreateInfoBox();
};

// Selects the item spelt exactly as text. Where the box has none, it offers text as an item of its own until
// the next call, beside the item it equals but for letter case: an entry shows its own spelling, and picking
// that item writes it back unchanged.
void SelectOwnSpelling(QComboBox* combo, const QString& text);

// The entry's picture at its natural size from the top left corner, or an empty image control.
void ShowPicture(const TMainItem& entry, QLabel* image);

std::unique_ptr<TPageView> MakePageView(int page, QWidget* box, TDocument& document,
                                        const TInfoPrefixes& prefixes);

} // namespace kw
