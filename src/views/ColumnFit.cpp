#include "views/ColumnFit.h"

#include <QApplication>
#include <QHeaderView>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QStyleOptionViewItem>
#include <QTableView>

#include <algorithm>
#include <cmath>

namespace kw {

namespace {

// Any width well above a column's: a padding is what the style takes from it.
constexpr int kProbeWidth = 1000;
constexpr int kProbeHeight = 16;

// Text is laid out at fractional advances and elided when the sum exceeds the room; rounding it down would
// leave some texts a fraction of a pixel short.
int Advance(const QFontMetricsF& metrics, const QString& text) {
    return static_cast<int>(std::ceil(metrics.horizontalAdvance(text)));
}

// What the style keeps inside a cell's text rectangle on either side.
int TextMargin(const QWidget* widget) {
    const QStyle* style = widget ? widget->style() : QApplication::style();
    return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
}

// The room the cell's text has before the style elides it. The style's text rectangle shrinks to a short
// text, so it is asked for one too long for any cell.
int TextRoom(QStyleOptionViewItem option, const QWidget* widget) {
    const QStyle* style = widget ? widget->style() : QApplication::style();
    option.text = QString(kProbeWidth, QLatin1Char('0'));
    return style->subElementRect(QStyle::SE_ItemViewItemText, &option, widget).width() -
           2 * TextMargin(widget);
}

QRect HeaderLabelRect(const QHeaderView& header, int width) {
    QStyleOptionHeader option;
    option.initFrom(&header);
    option.rect = QRect(0, 0, width, header.height());
    return header.style()->subElementRect(QStyle::SE_HeaderLabel, &option, &header);
}

} // namespace

int WidestWord(const QFontMetricsF& metrics, const QString& text) {
    static const QRegularExpression kBlanks(QStringLiteral("\\s+"));
    int widest = 0;
    for (const QString& word : text.split(kBlanks, Qt::SkipEmptyParts)) {
        widest = std::max(widest, Advance(metrics, word));
    }
    return widest;
}

int WidestText(const QFontMetricsF& metrics, std::span<const QString> texts) {
    int widest = 0;
    for (const QString& text : texts) {
        widest = std::max(widest, Advance(metrics, text));
    }
    return widest;
}

int FittedWidth(const TColumnNeed& need, int maximum) {
    return std::clamp(std::max(need.HeaderWord, need.Value), kFitMinimumWidth,
                      std::max(maximum, kFitMinimumWidth));
}

int CellPadding(const QTableView& view, QSize decoration) {
    QStyleOptionViewItem option;
    option.initFrom(&view);
    option.font = view.font();
    option.features = QStyleOptionViewItem::HasDisplay;
    if (!decoration.isEmpty()) {
        option.features |= QStyleOptionViewItem::HasDecoration;
        option.decorationSize = decoration;
    }
    option.rect = QRect(0, 0, kProbeWidth, kProbeHeight);
    return kProbeWidth - TextRoom(option, &view) + (view.showGrid() ? 1 : 0);
}

bool IsCellTextCut(const QStyleOptionViewItem& option, const QWidget* widget) {
    return QFontMetricsF(option.font).horizontalAdvance(option.text) > TextRoom(option, widget);
}

int HeaderPadding(const QHeaderView& header) {
    return kProbeWidth - HeaderLabelRect(header, kProbeWidth).width();
}

int HeaderLineCount(const QHeaderView& header, const QString& text, int width) {
    const QFontMetricsF metrics(header.font());
    const QRectF room(0, 0, HeaderLabelRect(header, width).width(), 1e6);
    const qreal height = metrics.boundingRect(room, Qt::AlignCenter | Qt::TextWordWrap, text).height();
    return std::max(1, static_cast<int>(std::lround(height / metrics.lineSpacing())));
}

} // namespace kw
