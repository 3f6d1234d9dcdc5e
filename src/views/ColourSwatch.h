#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QSize>

#include <initializer_list>
#include <optional>
#include <string_view>

class QPainter;

namespace kw {

// What a colour value looks like: its first three components clamped to 0..1, for the game takes brighter
// values than a screen shows. Nothing for text that is not a colour (gamecfg/ColourText.h).
std::optional<QColor> ShownColour(std::string_view gameText);

// A framed square of the colour in rect; an empty frame crossed out for no colour.
void PaintSwatch(QPainter& painter, const QRect& rect, const std::optional<QColor>& colour,
                 bool enabled = true);

// Swatches side by side, gap pixels apart, for an item of a list or a grid cell.
QPixmap SwatchPixmap(std::initializer_list<std::optional<QColor>> colours, QSize each, int gap = 2);
// The same as an item's decoration, in its true colours also where the item is selected.
QIcon SwatchIcon(std::initializer_list<std::optional<QColor>> colours, QSize each, int gap = 2);

// A button that shows a colour; clicking it is the owner's business (choosing another one).
class TColourSwatch : public QAbstractButton {
    Q_OBJECT
public:
    explicit TColourSwatch(QWidget* parent = nullptr);

    // The colour of a value as a field holds it.
    void ShowColourOf(const QString& text);
    const std::optional<QColor>& Colour() const { return FColour; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<QColor> FColour;
};

} // namespace kw
