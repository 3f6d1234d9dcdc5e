#pragma once

#include <QFontMetricsF>
#include <QSize>
#include <QString>

class QHeaderView;
class QStyleOptionViewItem;
class QTableView;
class QWidget;

#include <span>

namespace kw {

// The bounds of a column fitted by itself, in pixels: narrower hides even a short number, wider crowds out
// the other columns of a long list value.
inline constexpr int kFitMinimumWidth = 40;
inline constexpr int kFitMaximumWidth = 200;

// What the texts of one column need, in pixels, each with the room the style keeps around it.
struct TColumnNeed {
    int HeaderWord = 0; // the widest word of the header, which wraps between words only
    int Value = 0;      // the widest value
};

// The advance of the widest blank-separated word of text, rounded up; 0 for none.
int WidestWord(const QFontMetricsF& metrics, const QString& text);
// The advance of the widest of texts, rounded up; 0 for none.
int WidestText(const QFontMetricsF& metrics, std::span<const QString> texts);
// As wide as the widest header word and the widest value need, within kFitMinimumWidth and maximum.
int FittedWidth(const TColumnNeed& need, int maximum = kFitMaximumWidth);

// What the view's style takes from a column's width before its cells' text, the grid line included, and the
// room of a decoration of that size drawn before the text (a colour swatch).
int CellPadding(const QTableView& view, QSize decoration = {});
// Whether the style elides the text of a cell drawn with option: what a delegate that draws beside the text
// (a decoration, a swatch) asks with its own option.
bool IsCellTextCut(const QStyleOptionViewItem& option, const QWidget* widget);
// What the header's style takes from a section's width before its text.
int HeaderPadding(const QHeaderView& header);
// How many lines a caption takes in a section of that width, wrapped between words as the header draws it.
int HeaderLineCount(const QHeaderView& header, const QString& text, int width);

} // namespace kw
