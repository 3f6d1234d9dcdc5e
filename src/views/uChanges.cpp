#include "views/uChanges.h"

#include "catalog/KeyLists.h"
#include "gamecfg/CodePage.h"
#include "interchange/WorkingCopy.h"
#include "views/GameText.h"
#include "views/GridModel.h"
#include "views/StandardViewFields.h"
#include "views/StepNames.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>
#include <set>

namespace kw {
namespace {

enum TColumn { ColEntries, ColField, ColKey, ColFile, ColSection, ColOnDisk, ColNew };

template <class T> bool SameParam(const TParamRef<T>& a, const TParamRef<T>& b) {
    return a.Field == b.Field && a.Record == b.Record && a.Kind == b.Kind;
}

// The field of a standard view page that edits key. An immunity field has no label of its own and goes by
// the label of its row, the protection field of the same kind.
template <class T>
const TFieldDef<T>* FieldOfKey(const TKeyList<T>& keys, const std::vector<TFieldDef<T>>& fields,
                               std::string_view key) {
    const auto rule = std::ranges::find_if(keys.Rules, [&](const TKeyRule<T>& r) { return r.Key == key; });
    if (rule == keys.Rules.end()) {
        return nullptr;
    }
    const auto field =
        std::ranges::find_if(fields, [&](const TFieldDef<T>& f) { return SameParam(f.Param, rule->Param); });
    if (field == fields.end()) {
        return nullptr;
    }
    if (field->Label.empty() && field->Caption.empty() && field->Param.Record) {
        const auto row = std::ranges::find_if(fields, [&](const TFieldDef<T>& f) {
            return f.Param.Kind == field->Param.Kind && !f.Label.empty();
        });
        return row == fields.end() ? &*field : &*row;
    }
    return &*field;
}

// Name of the control that shows the field's text, and its built-in text.
struct TLabelRef {
    std::string Control;
    std::string Caption;
};

template <class T>
std::optional<TLabelRef> LabelOf(const TKeyList<T>& keys, const std::vector<TFieldDef<T>>& fields,
                                 std::string_view key) {
    const TFieldDef<T>* field = FieldOfKey(keys, fields, key);
    if (!field || (field->Label.empty() && field->Caption.empty())) {
        return std::nullopt;
    }
    return TLabelRef{field->Label.empty() ? field->Control : field->Label, field->Caption};
}

std::optional<TLabelRef> LabelOf(std::string_view catalog, std::string_view key) {
    if (catalog == "weapons") {
        return LabelOf(WeaponKeys(), WeaponFields(), key);
    }
    if (catalog == "ammo") {
        return LabelOf(AmmoKeys(), AmmoFields(), key);
    }
    if (catalog == "outfits") {
        return LabelOf(OutfitKeys(), OutfitFields(), key);
    }
    if (catalog == "arts") {
        return LabelOf(ArtKeys(), ArtFields(), key);
    }
    if (catalog == "items") {
        return LabelOf(ItemKeys(), ItemFields(), key);
    }
    if (catalog == "weather") {
        return LabelOf(WeatherKeys(), WeatherFields(), key);
    }
    return std::nullopt;
}

// A label's text reads as a heading: no accelerator mark, no colon after it.
QString Plain(QString text) {
    text.remove(QLatin1Char('&'));
    text = text.trimmed();
    while (text.endsWith(QLatin1Char(':'))) {
        text.chop(1);
    }
    return text.trimmed();
}

} // namespace

QString GameRelativeFile(const std::string& file, const std::optional<TLoadSource>& source) {
    std::string path = file;
    if (source && path.starts_with(source->GamePath)) {
        path.erase(0, source->GamePath.size());
    }
    std::ranges::replace(path, '/', '\\');
    // A name the file system gave is UTF-8 here; a folder copied from the game's platform may hold
    // windows-1251 names.
    return IsValidUtf8(path) ? Utf8ToQt(path) : GameTextToQt(path);
}

QString ChangeFieldLabel(const QWidget* labels, std::string_view catalog, std::string_view key) {
    const std::optional<TLabelRef> label = LabelOf(catalog, key);
    if (!label) {
        return GameTextToQt(key);
    }
    const QString name = QString::fromStdString(label->Control);
    if (labels) {
        if (const auto* shown = labels->findChild<QLabel*>(name); shown && !shown->text().isEmpty()) {
            return Plain(shown->text());
        }
        if (const auto* shown = labels->findChild<QAbstractButton*>(name);
            shown && !shown->text().isEmpty()) {
            return Plain(shown->text());
        }
    }
    return label->Caption.empty() ? GameTextToQt(key) : Plain(QString::fromStdString(label->Caption));
}

TfrmChanges::TfrmChanges(TDocument& document, TTextOf textOf, const QWidget* labels, QWidget* parent)
    : QDialog(parent), FDocument(document), FTextOf(std::move(textOf)), FLabels(labels) {
    setObjectName(QStringLiteral("frmChanges"));
    setWindowTitle(FTextOf(kChangesCaption));
    resize(960, 420);

    tblChanges = new QTableWidget(this);
    tblChanges->setObjectName(QStringLiteral("tblChanges"));
    tblChanges->setColumnCount(static_cast<int>(kChangesColumns.size()));
    QStringList headings;
    for (const TextDef& column : kChangesColumns) {
        headings << FTextOf(column);
    }
    tblChanges->setHorizontalHeaderLabels(headings);
    tblChanges->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblChanges->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tblChanges->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblChanges->verticalHeader()->hide();
    tblChanges->horizontalHeader()->setStretchLastSection(true);

    btnRevert = new QPushButton(FTextOf(kChangesRevert), this);
    btnRevert->setObjectName(QStringLiteral("btnRevert"));
    btnCopy = new QPushButton(FTextOf(kChangesCopy), this);
    btnCopy->setObjectName(QStringLiteral("btnCopy"));
    btnClose = new QPushButton(FTextOf(kChangesClose), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnRevert);
    buttons->addWidget(btnCopy);
    buttons->addStretch();
    buttons->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tblChanges);
    layout->addLayout(buttons);

    connect(btnRevert, &QPushButton::clicked, this, &TfrmChanges::btnRevertClick);
    connect(btnCopy, &QPushButton::clicked, this, &TfrmChanges::btnCopyClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(new QShortcut(QKeySequence::Copy, this), &QShortcut::activated, this, &TfrmChanges::btnCopyClick);
    connect(tblChanges, &QTableWidget::itemSelectionChanged, this, &TfrmChanges::UpdateRevert);

    Fill();
}

void TfrmChanges::Fill() {
    FChanges = FDocument.Changes();
    tblChanges->clearContents();
    tblChanges->setRowCount(0);
    const QString notInFile = FTextOf(kChangesNotInFile);
    for (std::size_t i = 0; i < FChanges.size(); ++i) {
        const TChange& change = FChanges[i];
        QStringList entries;
        for (const TChangeEntry& entry : change.Entries) {
            entries << GameTextToQt(entry.Name);
        }
        const std::string_view catalog = change.Entries.empty() ? "" : change.Entries.front().Catalog;
        AddRow({entries.join(QStringLiteral(", ")), FieldLabel(catalog, change.Key), GameTextToQt(change.Key),
                GameRelativeFile(change.File, FDocument.Source()), GameTextToQt(change.Section),
                change.WasPresent ? GameTextToQt(change.StoredValue) : notInFile,
                GameTextToQt(change.NewValue)},
               static_cast<int>(i));
    }
    FCells.clear();
    for (const auto& [ref, text] : FDocument.Cells()) {
        if (const std::optional<TCellDescription> cell = DescribeCell(FDocument, ref)) {
            AddRow({GameTextToQt(cell->Entry), FieldLabel(cell->Catalog, cell->Key), GameTextToQt(cell->Key),
                    GameTextToQt(cell->File), GameTextToQt(cell->Section),
                    cell->WasPresent ? GameTextToQt(cell->StoredValue) : notInFile, GameTextToQt(cell->Text)},
                   CellRowIndex(FCells.size()));
            MarkGridCellRow(tblChanges->rowCount() - 1);
            FCells.push_back(ref);
        }
    }
    tblChanges->resizeColumnsToContents();
    UpdateRevert();
}

void TfrmChanges::AddRow(const QStringList& cells, int changeIndex) {
    const int row = tblChanges->rowCount();
    tblChanges->insertRow(row);
    for (int column = 0; column < cells.size(); ++column) {
        auto* item = new QTableWidgetItem(cells[column]);
        item->setData(Qt::UserRole, changeIndex);
        tblChanges->setItem(row, column, item);
    }
}

QString TfrmChanges::FieldLabel(std::string_view catalog, std::string_view key) const {
    return ChangeFieldLabel(FLabels, catalog, key);
}

// A grid cell's row keeps its place in FCells as -1 - index, so that the stored changes keep 0 and up.
int TfrmChanges::CellRowIndex(std::size_t cell) {
    return -1 - static_cast<int>(cell);
}

// The grids tint a cell not yet stored; its row here carries the same tint and says so.
void TfrmChanges::MarkGridCellRow(int row) {
    const QString gridCell = FTextOf(kChangesGridCell);
    for (int column = 0; column < tblChanges->columnCount(); ++column) {
        QTableWidgetItem* item = tblChanges->item(row, column);
        item->setBackground(TGridModel::MarkedColor());
        item->setToolTip(gridCell);
    }
}

TfrmChanges::TSelection TfrmChanges::Selected() const {
    std::set<int> rows;
    for (const QModelIndex& index : tblChanges->selectionModel()->selectedRows()) {
        rows.insert(index.row());
    }
    TSelection selected;
    for (const int row : rows) {
        const int index = tblChanges->item(row, 0)->data(Qt::UserRole).toInt();
        if (index >= 0) {
            selected.Changes.push_back(FChanges[static_cast<std::size_t>(index)]);
        } else {
            selected.Cells.push_back(FCells[static_cast<std::size_t>(-1 - index)]);
        }
    }
    return selected;
}

void TfrmChanges::UpdateRevert() {
    btnRevert->setEnabled(Selected().Count() > 0);
}

// Stored changes and grid cells chosen together go back together: one step.
void TfrmChanges::btnRevertClick() {
    const TSelection selected = Selected();
    if (selected.Count() == 0) {
        return;
    }
    FDocument.Revert(
        selected.Changes,
        TextStepLabel(kRevertStepText, FTextOf(kRevertStepText), QString::number(selected.Count())),
        selected.Cells);
    Fill();
}

QString TfrmChanges::ListText() const {
    QStringList lines;
    QStringList cells;
    for (int column = 0; column < tblChanges->columnCount(); ++column) {
        cells << tblChanges->horizontalHeaderItem(column)->text();
    }
    lines << cells.join(QLatin1Char('\t'));
    for (int row = 0; row < tblChanges->rowCount(); ++row) {
        cells.clear();
        for (int column = 0; column < tblChanges->columnCount(); ++column) {
            cells << tblChanges->item(row, column)->text();
        }
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void TfrmChanges::btnCopyClick() {
    QGuiApplication::clipboard()->setText(ListText());
}

} // namespace kw
