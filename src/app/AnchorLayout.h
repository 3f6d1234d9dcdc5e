#pragma once

#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

#include <vector>

class QWidget;

namespace kw {

// Keeps controls placed by pixel where the layout put them while the window grows beyond the size it was
// drawn for: a control keeps its distance to each edge it is anchored to, so one anchored to both opposite
// edges grows with the window and one anchored to the right or bottom only moves with it. Every control
// follows the growth of one container, whatever widget holds it, since the pages and boxes between grow
// with it by the same amount.
class TAnchorLayout : public QObject {
    Q_OBJECT
public:
    // designSize: the container's size the controls' present geometries were drawn for.
    TAnchorLayout(QWidget* container, QSize designSize);

    // Takes the control's present geometry as drawn for the design size.
    void Add(QWidget* control, Qt::Edges anchors);
    // A strip across the top of the container, above the controls (a notice): while it is shown, the
    // container's own controls move down by the room it takes and the room they grow into shrinks by as much.
    // margins: its distance to the container's left, top and right edges.
    void SetTopBand(QWidget* band, QMargins margins);
    // The band was shown, hidden or given another text: places everything again.
    void Update();
    // What the band takes of the container's height at the given width; 0 while it is hidden.
    int TopBandRoom(int width) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TItem {
        QPointer<QWidget> Control;
        QRect Designed;
        Qt::Edges Anchors;
    };
    void Apply(QSize size);

    QWidget* FContainer;
    QSize FDesignSize;
    std::vector<TItem> FItems;
    QPointer<QWidget> FBand;
    QMargins FBandMargins;
};

} // namespace kw
