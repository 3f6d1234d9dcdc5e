#include "views/uConflicts.h"

#include "views/GameText.h"
#include "views/uChanges.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace kw {
namespace {

enum TColumn { ColEntries, ColField, ColFile, ColAtLoad, ColOnDisk, ColMine, ColKeep, ColumnCount };
constexpr int kMine = 0;
constexpr int kTheirs = 1;

} // namespace

TfrmConflicts::TfrmConflicts(std::vector<TChangeOnDisk> rows, const std::optional<TLoadSource>& source,
                             TTextOf textOf, const QWidget* labels, const QString& note, QWidget* parent)
    : QDialog(parent), FTextOf(std::move(textOf)), FRows(std::move(rows)) {
    setObjectName(QStringLiteral("frmConflicts"));
    setWindowTitle(FTextOf(kConflictsCaption));
    resize(1000, 380);

    lblNote = new QLabel(note, this);
    lblNote->setObjectName(QStringLiteral("lblNote"));
    lblNote->setWordWrap(true);
    tblConflicts = new QTableWidget(this);
    tblConflicts->setObjectName(QStringLiteral("tblConflicts"));
    tblConflicts->setColumnCount(ColumnCount);
    QStringList headings;
    for (const TextDef& column : kConflictsColumns) {
        headings << FTextOf(column);
    }
    tblConflicts->setHorizontalHeaderLabels(headings);
    tblConflicts->setSelectionMode(QAbstractItemView::NoSelection);
    tblConflicts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblConflicts->verticalHeader()->hide();
    tblConflicts->horizontalHeader()->setStretchLastSection(true);

    btnAllMine = new QPushButton(FTextOf(kConflictsAllMine), this);
    btnAllMine->setObjectName(QStringLiteral("btnAllMine"));
    btnAllTheirs = new QPushButton(FTextOf(kConflictsAllTheirs), this);
    btnAllTheirs->setObjectName(QStringLiteral("btnAllTheirs"));
    btnOk = new QPushButton(FTextOf(kConflictsOk), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancel = new QPushButton(FTextOf(kConflictsCancel), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnAllMine);
    buttons->addWidget(btnAllTheirs);
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblNote);
    layout->addWidget(tblConflicts);
    layout->addLayout(buttons);

    connect(btnAllMine, &QPushButton::clicked, this, [this] { KeepAll(true); });
    connect(btnAllTheirs, &QPushButton::clicked, this, [this] { KeepAll(false); });
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    Fill(source, labels);
}

void TfrmConflicts::Fill(const std::optional<TLoadSource>& source, const QWidget* labels) {
    tblConflicts->setRowCount(static_cast<int>(FRows.size()));
    const QString missing = FTextOf(kChangesNotInFile);
    const auto valueText = [&](bool present, const std::string& value, const std::string& comment) {
        return present ? GameTextToQt(comment.empty() ? value : value + " " + comment) : missing;
    };
    for (std::size_t i = 0; i < FRows.size(); ++i) {
        const TChangeOnDisk& row = FRows[i];
        const TChange& change = row.Change;
        QStringList entries;
        for (const TChangeEntry& entry : change.Entries) {
            entries << GameTextToQt(entry.Name);
        }
        const std::string_view catalog = change.Entries.empty() ? "" : change.Entries.front().Catalog;
        const QStringList cells{entries.join(QStringLiteral(", ")),
                                ChangeFieldLabel(labels, catalog, change.Key),
                                GameRelativeFile(change.File, source) + QStringLiteral(" [") +
                                    GameTextToQt(change.Section) + QStringLiteral("] ") +
                                    GameTextToQt(change.Key),
                                valueText(change.WasPresent, change.StoredValue, change.StoredComment),
                                valueText(row.OnDisk.Present, row.OnDisk.Value, row.OnDisk.Comment),
                                valueText(true, change.NewValue, change.NewComment)};
        for (int column = 0; column < cells.size(); ++column) {
            tblConflicts->setItem(static_cast<int>(i), column, new QTableWidgetItem(cells[column]));
        }
        AddChoice(static_cast<int>(i));
    }
    tblConflicts->resizeColumnsToContents();
    FitChoices();
}

// A column sized to its contents does not count the buttons put in its cells, and long paths and values
// (or a language with longer captions) can make the table wider than the dialog was drawn.
void TfrmConflicts::FitChoices() {
    if (FChoices.empty()) {
        return;
    }
    const int choices = tblConflicts->cellWidget(0, ColKeep)->sizeHint().width();
    tblConflicts->setColumnWidth(ColKeep, std::max(tblConflicts->columnWidth(ColKeep), choices));
    const int table = tblConflicts->horizontalHeader()->length() + 2 * tblConflicts->frameWidth() +
                      tblConflicts->verticalScrollBar()->sizeHint().width();
    const QMargins margins = layout()->contentsMargins();
    int wanted = table + margins.left() + margins.right();
    if (const QScreen* screen = this->screen()) {
        wanted = std::min(wanted, screen->availableGeometry().width());
    }
    resize(std::max(width(), wanted), height());
}

// Two radio buttons per row, in a group of their own, so that each row keeps one side.
void TfrmConflicts::AddChoice(int row) {
    auto* cell = new QWidget(tblConflicts);
    auto* mine = new QRadioButton(FTextOf(kConflictsMine), cell);
    mine->setObjectName(QStringLiteral("rbMine%1").arg(row));
    auto* theirs = new QRadioButton(FTextOf(kConflictsTheirs), cell);
    theirs->setObjectName(QStringLiteral("rbTheirs%1").arg(row));
    auto* layout = new QHBoxLayout(cell);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(mine);
    layout->addWidget(theirs);
    layout->addStretch();
    auto* group = new QButtonGroup(cell);
    group->addButton(mine, kMine);
    group->addButton(theirs, kTheirs);
    (FRows[row].KeepMine ? mine : theirs)->setChecked(true);
    connect(group, &QButtonGroup::idClicked, this,
            [this, row](int id) { FRows[row].KeepMine = id == kMine; });
    tblConflicts->setCellWidget(row, ColKeep, cell);
    FChoices.push_back(group);
}

void TfrmConflicts::KeepAll(bool mine) {
    for (std::size_t row = 0; row < FRows.size(); ++row) {
        FRows[row].KeepMine = mine;
        FChoices[row]->button(mine ? kMine : kTheirs)->setChecked(true);
    }
}

} // namespace kw
