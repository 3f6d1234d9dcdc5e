#pragma once

#include "catalog/Document.h"
#include "translate/Texts.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QPushButton;
class QTableWidget;

namespace kw {

// The file below the game folder in the game's notation, for the user to read; a file elsewhere keeps its
// full path.
QString GameRelativeFile(const std::string& file, const std::optional<TLoadSource>& source);
// The field that edits key in catalog (as TChangeEntry names it), as a standard view page labels it in the
// language labels shows now; the key itself when no field edits it.
QString ChangeFieldLabel(const QWidget* labels, std::string_view catalog, std::string_view key);

// What a save would write, one row per file, section and key, plus the grid cells not yet stored (tinted as
// the grids tint them). The user reverts chosen rows here, both kinds, or copies the list as text.
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
    // The selected rows: stored changes and grid cells not yet stored.
    struct TSelection {
        std::vector<TChange> Changes;
        std::vector<TCellRef> Cells;
        std::size_t Count() const { return Changes.size() + Cells.size(); }
    };
    TSelection Selected() const;
    static int CellRowIndex(std::size_t cell);
    void MarkGridCellRow(int row);
    void UpdateRevert();
    void btnRevertClick();
    void btnCopyClick();

    TDocument& FDocument;
    TTextOf FTextOf;
    const QWidget* FLabels;
    std::vector<TChange> FChanges;
    std::vector<TCellRef> FCells;
};

} // namespace kw
