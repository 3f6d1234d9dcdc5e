#include "views/ColourSwatch.h"

#include "gamecfg/ColourText.h"
#include "views/GameText.h"

#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

#include <algorithm>

namespace kw {
namespace {

constexpr int kSwatchSide = 22;

double Clamped(double component) {
    return std::clamp(component, 0.0, 1.0);
}

} // namespace

std::optional<QColor> ShownColour(std::string_view gameText) {
    const std::optional<TColourRgb> rgb = ReadColourText(gameText);
    if (!rgb) {
        return std::nullopt;
    }
    return QColor::fromRgbF(static_cast<float>(Clamped(rgb->Red)), static_cast<float>(Clamped(rgb->Green)),
                            static_cast<float>(Clamped(rgb->Blue)));
}

void PaintSwatch(QPainter& painter, const QRect& rect, const std::optional<QColor>& colour, bool enabled) {
    painter.save();
    // A mid grey frame shows black and white alike against any background.
    painter.setPen(enabled ? QColor(96, 96, 96) : QColor(160, 160, 160));
    const QRect inner = rect.adjusted(0, 0, -1, -1);
    if (colour) {
        painter.setBrush(*colour);
        painter.drawRect(inner);
    } else {
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(inner);
        painter.drawLine(inner.bottomLeft(), inner.topRight());
    }
    painter.restore();
}

QPixmap SwatchPixmap(std::initializer_list<std::optional<QColor>> colours, QSize each, int gap) {
    const int count = static_cast<int>(colours.size());
    QPixmap pixmap(count * each.width() + std::max(count - 1, 0) * gap, each.height());
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    int left = 0;
    for (const std::optional<QColor>& colour : colours) {
        PaintSwatch(painter, QRect(QPoint(left, 0), each), colour);
        left += each.width() + gap;
    }
    return pixmap;
}

QIcon SwatchIcon(std::initializer_list<std::optional<QColor>> colours, QSize each, int gap) {
    const QPixmap pixmap = SwatchPixmap(colours, each, gap);
    QIcon icon(pixmap);
    // Not tinted with the selection's colour.
    icon.addPixmap(pixmap, QIcon::Selected);
    return icon;
}

TColourSwatch::TColourSwatch(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void TColourSwatch::ShowColourOf(const QString& text) {
    const std::optional<std::string> game = QtToGameText(text);
    std::optional<QColor> colour = game ? ShownColour(*game) : std::nullopt;
    if (colour != FColour) {
        FColour = colour;
        update();
    }
}

QSize TColourSwatch::sizeHint() const {
    return {kSwatchSide, kSwatchSide};
}

void TColourSwatch::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    PaintSwatch(painter, rect().adjusted(2, 2, -2, -2), FColour, isEnabled());
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

} // namespace kw
