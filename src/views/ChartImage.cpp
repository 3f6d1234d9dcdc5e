// The chart window's image: the chart drawn at a size of its own, written as PNG.

#include "views/ChartWindow.h"

#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QPainter>

namespace kw {

QSize TChartWindow::ImageSize() const {
    return FChoice.FullHdImage ? kFullHdSize : FView->viewport()->size();
}

// The chart is laid out again at size, so that its texts keep their size and the bars and points take the
// room, rather than a picture of the window scaled up; then it goes back to the window's size.
QImage TChartWindow::Image(QSize size) {
    const QRectF shown = FChart->geometry();
    FChart->setGeometry(QRectF(QPointF(), size));
    if (FChart->layout()) {
        FChart->layout()->activate();
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        FView->scene()->render(&painter, QRectF(QPointF(), size), QRectF(QPointF(), size));
    }
    FChart->setGeometry(shown);
    if (FChart->layout()) {
        FChart->layout()->activate();
    }
    return image;
}

bool TChartWindow::SaveImage(const QString& path) {
    return Image(ImageSize()).save(path, "PNG");
}

} // namespace kw
