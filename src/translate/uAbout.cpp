#include "translate/uAbout.h"

#include "Version.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <initializer_list>

namespace kw {
namespace {

constexpr int kLogoSize = 64;

// A sight over a dark plate: the program edits what the game's weapons do.
QPixmap DrawLogo() {
    QPixmap pixmap(kLogoSize, kLogoSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF plate(2, 2, kLogoSize - 4, kLogoSize - 4);
    painter.setPen(QPen(QColor(0x2b, 0x30, 0x25), 2));
    painter.setBrush(QColor(0x4a, 0x55, 0x3a));
    painter.drawRoundedRect(plate, 10, 10);

    const QPointF centre = plate.center();
    const qreal radius = plate.width() * 0.3;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0xe8, 0xc5, 0x47), 3));
    painter.drawEllipse(centre, radius, radius);
    painter.setPen(QPen(QColor(0xe8, 0xc5, 0x47), 2));
    const qreal reach = radius + 8;
    painter.drawLine(centre - QPointF(reach, 0), centre - QPointF(4, 0));
    painter.drawLine(centre + QPointF(4, 0), centre + QPointF(reach, 0));
    painter.drawLine(centre - QPointF(0, reach), centre - QPointF(0, 4));
    painter.drawLine(centre + QPointF(0, 4), centre + QPointF(0, reach));
    painter.setBrush(QColor(0xc8, 0x3a, 0x2a));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(centre, 2.5, 2.5);
    return pixmap;
}

template <class T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

TfrmAbout::TfrmAbout(QWidget* owner, const LanguageList& languages, int languageIndex)
    : QDialog(owner), imgLogo(Named(new QLabel(this), "imgLogo")),
      lblName(Named(new QLabel(QStringLiteral("Kitwright"), this), "lblName")),
      lblVersion(
          Named(new QLabel(QStringLiteral("version ") + QString::fromLatin1(kVersion), this), "lblVersion")),
      lblAuthor(Named(new QLabel(QStringLiteral("© 2026 The Kitwright developers"), this), "lblAuthor")),
      lblMailTo(Named(new TLinkLabel(QString::fromLatin1(kMailAddress), this), "lblMailTo")),
      btnOK(Named(new QPushButton(QStringLiteral("OK"), this), "btnOK")), Translator1(new TTranslator(this)) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("О программе"));
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose);

    imgLogo->setPixmap(DrawLogo());
    QFont nameFont = lblName->font();
    nameFont.setBold(true);
    if (nameFont.pointSizeF() > 0) { // a font sized in pixels keeps its size
        nameFont.setPointSizeF(nameFont.pointSizeF() * 1.5);
    }
    lblName->setFont(nameFont);
    lblMailTo->SetLink(QStringLiteral("mailto:") + QString::fromLatin1(kMailAddress));
    lblMailTo->setToolTip(QStringLiteral("Отправить письмо автору"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    BuildLayout();

    Translator1->AddClassRule(QStringLiteral("TLinkLabel"), QStringLiteral("Hint"));
    Translator1->SetTranslateOwner(true);
    Translator1->AssignLanguages(languages);
    Translator1->Translate(languageIndex);
}

// The window keeps the size its contents ask for; no language changes it.
void TfrmAbout::BuildLayout() {
    auto* texts = new QVBoxLayout;
    for (QWidget* line : std::initializer_list<QWidget*>{lblName, lblVersion, lblAuthor, lblMailTo}) {
        texts->addWidget(line, 0, Qt::AlignLeft);
    }

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(imgLogo, 0, Qt::AlignTop);
    top->addLayout(texts);

    auto* frame = new QVBoxLayout(this);
    frame->setSizeConstraint(QLayout::SetFixedSize);
    frame->setContentsMargins(16, 16, 16, 12);
    frame->setSpacing(14);
    frame->addLayout(top);
    frame->addWidget(btnOK, 0, Qt::AlignHCenter);
}

void TfrmAbout::Execute(QWidget* owner, const LanguageList& languages, int languageIndex) {
    (new TfrmAbout(owner, languages, languageIndex))->exec();
}

} // namespace kw
