#include "views/StandardViewLayout.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QMargins>
#include <QSize>
#include <QWidget>

#include <algorithm>
#include <map>
#include <tuple>

namespace kw {
namespace {

constexpr int kMargin = 8;
constexpr int kContentTop = 22; // below the box's title
constexpr int kListSpacing = 2;
constexpr int kBlockSpacing = 4;
constexpr int kLaneSpacing = 12;
constexpr int kCellSpacing = 4;
constexpr int kRowSpacing = 1;
constexpr int kTrailingWidth = 24;
constexpr QSize kMinMemoSize(80, 60);

// The cells of a column of fields, left to right; row 0 holds the headings, the field rows follow.
enum TCell { LabelCell, FieldCell, TrailingCell, AsideCell };

int SpanHeight(int rows) {
    return rows * kRowHeight + (rows - 1) * kRowSpacing;
}

void PlaceExtra(QGridLayout* grid, const TPlacedExtra& extra) {
    const TExtraPlace& place = extra.Def->Place;
    QWidget* widget = extra.Widget;
    widget->setFixedHeight(SpanHeight(place.RowSpan));
    switch (place.Slot) {
    case TExtraSlot::FieldHeading:
        grid->addWidget(widget, 0, FieldCell);
        break;
    case TExtraSlot::ColumnHeading:
        grid->addWidget(widget, 0, LabelCell, 1, 2);
        break;
    case TExtraSlot::Trailing:
        widget->setFixedWidth(kTrailingWidth);
        grid->addWidget(widget, place.Row + 1, TrailingCell);
        break;
    case TExtraSlot::Aside:
        // Shares the room with the fields: a list shown there is read whole in a wide window.
        widget->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        grid->addWidget(widget, place.Row + 1, AsideCell, place.RowSpan, 1);
        grid->setColumnStretch(AsideCell, 1);
        break;
    }
}

QGridLayout* ColumnGrid(int column, const std::vector<TFieldRow>& fields,
                        const std::vector<TPlacedExtra>& extras) {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(kCellSpacing);
    grid->setVerticalSpacing(kRowSpacing);
    grid->setColumnStretch(FieldCell, 1);
    int rows = 0;
    for (const TFieldRow& row : fields) {
        if (row.Place.Column != column) {
            continue;
        }
        const int gridRow = row.Place.Row + 1;
        row.Field->setFixedHeight(kRowHeight);
        if (row.OwnCaption) {
            grid->addWidget(row.Field, gridRow, LabelCell, 1, 2);
        } else {
            grid->addWidget(row.Field, gridRow, FieldCell);
        }
        if (row.Label != nullptr) {
            row.Label->setFixedHeight(kRowHeight);
            grid->addWidget(row.Label, gridRow, LabelCell);
        }
        rows = std::max(rows, gridRow + 1);
    }
    for (const TPlacedExtra& extra : extras) {
        if (extra.Def->Place.Column == column) {
            PlaceExtra(grid, extra);
        }
    }
    // Rows stay level with those of the column beside, also where a row of this one is empty.
    for (int row = 1; row < rows; ++row) {
        grid->setRowMinimumHeight(row, kRowHeight);
    }
    return grid;
}

// The lanes of each band, in band and lane order.
struct TLane {
    QVBoxLayout* Blocks = nullptr;
    bool Fields = false;
    bool Picture = false;
    bool Memo = false;
};
using TBands = std::map<int, std::map<int, TLane>>;

TLane& LaneAt(TBands& bands, TBlockPlace place) {
    TLane& lane = bands[place.Band][place.Lane];
    if (lane.Blocks == nullptr) {
        lane.Blocks = new QVBoxLayout;
        lane.Blocks->setSpacing(kBlockSpacing);
    }
    return lane;
}

QVBoxLayout* Body(const TViewPageDef& def, const TPageParts& parts, const std::vector<TFieldRow>& fields,
                  const std::vector<TPlacedExtra>& extras) {
    TBands bands;
    for (int column = 0; column < static_cast<int>(def.Columns.size()); ++column) {
        TLane& lane = LaneAt(bands, def.Columns[column]);
        lane.Blocks->addLayout(ColumnGrid(column, fields, extras));
        lane.Fields = true;
    }
    if (parts.PictureFrame != nullptr) {
        TLane& lane = LaneAt(bands, def.PicturePlace);
        lane.Blocks->addWidget(parts.PictureFrame, 0, Qt::AlignLeft | Qt::AlignTop);
        lane.Picture = true;
    }
    if (parts.Memo != nullptr) {
        // Takes the room its lane and band are given rather than asking for some.
        parts.Memo->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        parts.Memo->setMinimumSize(kMinMemoSize);
        TLane& lane = LaneAt(bands, def.MemoPlace);
        lane.Blocks->addWidget(parts.Memo, 1);
        lane.Memo = true;
    }
    auto* body = new QVBoxLayout;
    body->setSpacing(kBlockSpacing);
    for (auto& [band, lanes] : bands) {
        auto* row = new QHBoxLayout;
        row->setSpacing(kLaneSpacing);
        bool memo = false;
        for (auto& [index, lane] : lanes) {
            if (!lane.Memo) {
                lane.Blocks->addStretch(1);
            }
            // Lanes of fields share the room as their fields need it: no stretch, or the layout would make
            // the lanes alike rather than the fields. A picture keeps its size; a description alone takes the
            // rest.
            row->addLayout(lane.Blocks, lane.Memo && !lane.Fields && !lane.Picture ? 1 : 0);
            memo = memo || lane.Memo;
        }
        body->addLayout(row, memo ? 1 : 0);
    }
    if (parts.Memo == nullptr) {
        body->addStretch(1);
    }
    return body;
}

std::vector<QWidget*> TabOrder(const TViewPageDef& def, const TPageParts& parts,
                               const std::vector<TFieldRow>& fields,
                               const std::vector<TPlacedExtra>& extras) {
    std::vector<int> columns;
    for (int column = 0; column < static_cast<int>(def.Columns.size()); ++column) {
        columns.push_back(column);
    }
    std::stable_sort(columns.begin(), columns.end(), [&def](int a, int b) {
        return std::tie(def.Columns[a].Band, def.Columns[a].Lane) <
               std::tie(def.Columns[b].Band, def.Columns[b].Lane);
    });
    std::vector<QWidget*> order{parts.List};
    const auto add = [&](int column, TExtraSlot slot, int row) {
        for (const TPlacedExtra& extra : extras) {
            const TExtraPlace& place = extra.Def->Place;
            if (place.Slot == slot && place.Column == column && (row < 0 || place.Row == row)) {
                order.push_back(extra.Widget);
            }
        }
    };
    for (const int column : columns) {
        std::vector<const TFieldRow*> rows;
        for (const TFieldRow& row : fields) {
            if (row.Place.Column == column) {
                rows.push_back(&row);
            }
        }
        std::stable_sort(rows.begin(), rows.end(),
                         [](const TFieldRow* a, const TFieldRow* b) { return a->Place.Row < b->Place.Row; });
        for (const TFieldRow* row : rows) {
            order.push_back(row->Field);
            add(column, TExtraSlot::Trailing, row->Place.Row);
        }
        add(column, TExtraSlot::Aside, -1);
    }
    if (parts.Memo != nullptr) {
        order.push_back(parts.Memo);
    }
    std::erase_if(order, [](const QWidget* widget) { return !(widget->focusPolicy() & Qt::TabFocus); });
    return order;
}

} // namespace

void ArrangePage(const TViewPageDef& def, QWidget* box, const TPageParts& parts,
                 const std::vector<TFieldRow>& fields, const std::vector<TPlacedExtra>& extras) {
    auto* listColumn = new QVBoxLayout;
    listColumn->setSpacing(kListSpacing);
    parts.ListHeader->setFixedSize(def.ListWidth, kRowHeight);
    parts.List->setFixedWidth(def.ListWidth);
    listColumn->addWidget(parts.ListHeader);
    listColumn->addWidget(parts.List, 1);

    auto* content = new QVBoxLayout;
    content->setSpacing(kBlockSpacing);
    // A long name is cut off at the view's edge rather than widening it.
    parts.NamePanel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    parts.NamePanel->setFixedHeight(kRowHeight);
    content->addWidget(parts.NamePanel);
    content->addLayout(Body(def, parts, fields, extras), 1);
    content->addWidget(parts.InfoBox);

    auto* page = new QHBoxLayout(box);
    // The margins are the design's from the box's edges; the box's style already keeps some for its frame
    // and title.
    const QMargins frame = box->contentsMargins();
    page->setContentsMargins(std::max(0, kMargin - frame.left()), std::max(0, kContentTop - frame.top()),
                             std::max(0, kMargin - frame.right()), std::max(0, kMargin - frame.bottom()));
    page->setSpacing(kMargin);
    page->addLayout(listColumn);
    page->addLayout(content, 1);

    const std::vector<QWidget*> order = TabOrder(def, parts, fields, extras);
    for (size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

} // namespace kw
