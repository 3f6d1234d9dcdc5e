#include "translate/LinkLabel.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMouseEvent>

namespace kw {
namespace {

// A disabled label keeps the style's greyed text.
void SetFontColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, color);
    }
    widget->setPalette(palette);
}

} // namespace

TLinkLabel::TLinkLabel(QWidget* parent) : TLinkLabel(QString(), parent) {}

TLinkLabel::TLinkLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
    setProperty("vclClass", QStringLiteral("TLinkLabel"));
    setTextFormat(Qt::PlainText);
    SetFontColor(this, Qt::blue);
    OpenLink = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    ShowMessage = [this](const QString& text) {
        QMessageBox::information(window(), QGuiApplication::applicationDisplayName(), text);
    };
}

void TLinkLabel::SetLink(const QString& link) {
    if (link.isEmpty()) {
        ShowMessage(QString::fromLatin1(kEmptyLinkMessage));
    } else {
        FLink = link;
    }
}

void TLinkLabel::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    // Entering twice without leaving must not take the hover look for the own one.
    if (FHovered) {
        return;
    }
    FHovered = true;
    FSavedPalette = palette();
    FSavedFont = font();
    FHadOwnCursor = testAttribute(Qt::WA_SetCursor);
    FSavedCursor = cursor();

    SetFontColor(this, FLinkColor);
    if (FUnderline) {
        QFont underlined = font();
        underlined.setUnderline(true);
        setFont(underlined);
    }
    setCursor(Qt::PointingHandCursor);
}

void TLinkLabel::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    if (!FHovered) {
        return;
    }
    FHovered = false;
    setPalette(FSavedPalette);
    setFont(FSavedFont);
    if (FHadOwnCursor) {
        setCursor(FSavedCursor);
    } else {
        unsetCursor();
    }
}

// A click is a left-button release over the label; one dragged off it is not.
void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) {
        return;
    }
    OpenLink(QUrl(FLink, QUrl::TolerantMode));
    emit clicked();
}

} // namespace kw
