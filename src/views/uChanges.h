#pragma once

#include "catalog/Document.h"
#include "translate/Texts.h"

#include <QDialog>

#include <functional>
#include <vector>

class QPushButton;
class QTableWidget;

namespace kw {

// What a save would write, one row per file, section and key, plus the grid cells not yet stored. The
// user reverts chosen rows here or copies the list as text.
class TfrmChanges : public QDialog {
    Q_OBJECT
public:
    // A language text as the main window currently shows it.
    using TTextOf = std::function<QString(const TextDef&)>;

    // labels: the window whose standard view labels name the fields in the current language.
    TfrmChanges(TDocument& document, TTextOf textOf, const QWidget* labels, QWidget* parent = nullptr);

    // The list as tab-separated lines, the headings first.
    QString ListText() const;

    QTableWidget* tblChanges = nullptr;
    QPushButton* btnRevert = nullptr;
    QPushButton* btnCopy = nullptr;
    QPushButton* btnClose = nullptr;

private:
    void Fill();
    void AddRow(const QStringList& cells, int changeIndex);
    QString FieldLabel(std::string_view catalog, std::string_view key) const;
    // The selected rows that are stored changes; empty when a grid cell is among the selection.
    std::vector<TChange> SelectedChanges() const;
    void UpdateRevert();
    void btnRevertClick();
    void btnCopyClick();

    TDocument& FDocument;
    TTextOf FTextOf;
    const QWidget* FLabels;
    std::vector<TChange> FChanges;
};

} // namespace kw
