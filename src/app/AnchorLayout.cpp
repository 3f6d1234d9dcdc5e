#include "app/AnchorLayout.h"

#include <QEvent>
#include <QWidget>

namespace kw {

namespace {

// One axis: a control anchored at both ends stretches, one anchored at the far end only moves.
void Follow(int& start, int& length, bool nearEnd, bool farEnd, int growth) {
    if (!farEnd) {
        return;
    }
    if (nearEnd) {
        length += growth;
    } else {
        start += growth;
    }
}

} // namespace

TAnchorLayout::TAnchorLayout(QWidget* container, QSize designSize)
    : QObject(container), FContainer(container), FDesignSize(designSize) {
    container->installEventFilter(this);
}

void TAnchorLayout::Add(QWidget* control, Qt::Edges anchors) {
    FItems.push_back({control, control->geometry(), anchors});
}

bool TAnchorLayout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FContainer && event->type() == QEvent::Resize) {
        Apply(FContainer->size());
    }
    return QObject::eventFilter(watched, event);
}

void TAnchorLayout::SetTopBand(QWidget* band, QMargins margins) {
    FBand = band;
    FBandMargins = margins;
}

void TAnchorLayout::Update() {
    Apply(FContainer->size());
}

// Hidden means hidden by the program: the band counts before the window is first shown.
int TAnchorLayout::TopBandRoom(int width) const {
    if (FBand.isNull() || FBand->isHidden()) {
        return 0;
    }
    const int bandWidth = width - FBandMargins.left() - FBandMargins.right();
    const int height =
        FBand->hasHeightForWidth() ? FBand->heightForWidth(bandWidth) : FBand->sizeHint().height();
    return FBandMargins.top() + height;
}

void TAnchorLayout::Apply(QSize size) {
    const int band = TopBandRoom(size.width());
    if (band > 0) {
        FBand->setGeometry(FBandMargins.left(), FBandMargins.top(),
                           size.width() - FBandMargins.left() - FBandMargins.right(),
                           band - FBandMargins.top());
    }
    // Below the design size the controls keep their places; the window does not go there.
    const QSize growth = (size - FDesignSize - QSize(0, band)).expandedTo(QSize(0, 0));
    for (const TItem& item : FItems) {
        if (item.Control.isNull()) {
            continue;
        }
        int x = item.Designed.x();
        int y = item.Designed.y();
        int width = item.Designed.width();
        int height = item.Designed.height();
        Follow(x, width, item.Anchors.testFlag(Qt::LeftEdge), item.Anchors.testFlag(Qt::RightEdge),
               growth.width());
        Follow(y, height, item.Anchors.testFlag(Qt::TopEdge), item.Anchors.testFlag(Qt::BottomEdge),
               growth.height());
        if (item.Control->parentWidget() == FContainer) {
            y += band;
        }
        item.Control->setGeometry(x, y, width, height);
    }
}

} // namespace kw
