#pragma once

#include "views/GridView.h"

#include <QBrush>
#include <QIcon>
#include <QItemSelection>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>

#include <gtest/gtest.h>

// A table view grid's cells as a user reaches them: what a cell shows, and typing into its editor.

namespace kwtest {

inline QModelIndex At(const kw::TGridView& grid, int row, int column) {
    return grid.model()->index(row, column);
}

inline QString CellText(const kw::TGridView& grid, int row, int column) {
    return At(grid, row, column).data().toString();
}

// The room the style gives a cell's text before it elides it, measured on the cell as the grid lays it out,
// beside the swatch of a colour cell.
inline int TextRoom(const kw::TGridView& grid, int row, int column) {
    const QModelIndex index = grid.model()->index(row, column);
    QStyleOptionViewItem option;
    option.initFrom(&grid);
    option.features = QStyleOptionViewItem::HasDisplay;
    if (const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>(); !icon.isNull()) {
        option.features |= QStyleOptionViewItem::HasDecoration;
        option.decorationSize = icon.availableSizes().value(0);
    }
    option.text = QString(1000, '0'); // the style's text rectangle would shrink to a shorter text
    option.rect = grid.visualRect(index);
    const QStyle* style = grid.style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1;
    return style->subElementRect(QStyle::SE_ItemViewItemText, &option, &grid).width() - 2 * margin;
}

inline QBrush CellTint(const kw::TGridView& grid, int row, int column) {
    return At(grid, row, column).data(Qt::BackgroundRole).value<QBrush>();
}

inline void SelectRange(kw::TGridView& grid, int top, int left, int bottom, int right) {
    grid.selectionModel()->select(QItemSelection(At(grid, top, left), At(grid, bottom, right)),
                                  QItemSelectionModel::ClearAndSelect);
}

// Opens the cell's editor as F2 does and types text over the cell's text, leaving the editor open. Key clicks
// carry ASCII; any other character comes in as an input method gives it.
inline QLineEdit* TypeInEditor(kw::TGridView& grid, int row, int column, const QString& text) {
    grid.setCurrentIndex(At(grid, row, column));
    grid.edit(At(grid, row, column));
    auto* editor = qobject_cast<QLineEdit*>(grid.indexWidget(At(grid, row, column)));
    EXPECT_NE(editor, nullptr) << row << "," << column;
    if (!editor) {
        return nullptr;
    }
    editor->selectAll();
    if (text.isEmpty()) {
        QTest::keyClick(editor, Qt::Key_Backspace);
    }
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(editor, c.toLatin1());
        } else {
            editor->insert(c);
        }
    }
    return editor;
}

// The same, then Enter: one typed cell. The delegate commits once the editor has seen the key, on the next
// turn of the event loop.
inline void TypeIntoCell(kw::TGridView& grid, int row, int column, const QString& text) {
    QLineEdit* editor = TypeInEditor(grid, row, column, text);
    if (!editor) {
        return;
    }
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid.indexWidget(At(grid, row, column)) == nullptr; }));
}

} // namespace kwtest
