#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QString>
#include <QUrl>

#include <functional>

namespace kw {

// A label that opens its link with the desktop's default handler when clicked
// and looks like a link while the mouse is over it. Its translation rules go by
// the class name "TLinkLabel".
class TLinkLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString Link READ Link WRITE SetLink)
    Q_PROPERTY(QColor LinkColor READ LinkColor WRITE SetLinkColor)
    Q_PROPERTY(bool Underline READ Underline WRITE SetUnderline)
public:
    static constexpr char kDefaultLink[] = "https://kitwright.example.org";
    static constexpr char kEmptyLinkMessage[] = "You must specify a link";

    explicit TLinkLabel(QWidget* parent = nullptr);
    explicit TLinkLabel(const QString& caption, QWidget* parent = nullptr);

    QString Link() const { return FLink; }
    // An empty link is refused with a message; the old one stays.
    void SetLink(const QString& link);
    QColor LinkColor() const { return FLinkColor; }
    void SetLinkColor(const QColor& color) { FLinkColor = color; }
    bool Underline() const { return FUnderline; }
    void SetUnderline(bool on) { FUnderline = on; }

    // How the link is opened and how a refusal is told; replaceable so that a
    // click need not start a mail program nor a refusal wait for the user.
    std::function<void(const QUrl&)> OpenLink;
    std::function<void(const QString&)> ShowMessage;

signals:
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString FLink = QString::fromLatin1(kDefaultLink);
    QColor FLinkColor = Qt::blue;
    bool FUnderline = true;

    // The look before the mouse came in, valid while FHovered.
    bool FHovered = false;
    QPalette FSavedPalette;
    QFont FSavedFont;
    bool FHadOwnCursor = false;
    QCursor FSavedCursor;
};

} // namespace kw
