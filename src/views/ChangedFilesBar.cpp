#include "views/ChangedFilesBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <utility>

namespace kw {

namespace {

// A warning's tint over the window's own background, so that the text keeps its contrast in any theme.
QColor WarningTint(const QColor& background) {
    const QColor warning(246, 180, 60);
    const auto mix = [](int a, int b) { return (a * 2 + b) / 3; };
    return QColor(mix(background.red(), warning.red()), mix(background.green(), warning.green()),
                  mix(background.blue(), warning.blue()));
}

} // namespace

TChangedFilesBar::TChangedFilesBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("pnlChangedFiles"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
    setAutoFillBackground(true);
    QPalette tinted = palette();
    tinted.setColor(QPalette::Window, WarningTint(tinted.color(QPalette::Window)));
    setPalette(tinted);

    lblChangedFiles = new QLabel(this);
    lblChangedFiles->setObjectName(QStringLiteral("lblChangedFiles"));
    lblChangedFiles->setWordWrap(true);
    lblChangedFiles->setTextFormat(Qt::PlainText);
    btnChangedFilesReload = new QPushButton(this);
    btnChangedFilesReload->setObjectName(QStringLiteral("btnChangedFilesReload"));
    btnChangedFilesIgnore = new QPushButton(this);
    btnChangedFilesIgnore->setObjectName(QStringLiteral("btnChangedFilesIgnore"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 4, 4);
    layout->addWidget(lblChangedFiles, 1);
    layout->addWidget(btnChangedFilesReload);
    layout->addWidget(btnChangedFilesIgnore);
    hide();
}

void TChangedFilesBar::SetTexts(const TTexts& texts) {
    FTexts = texts;
    btnChangedFilesReload->setText(FTexts.Reload);
    btnChangedFilesIgnore->setText(FTexts.Ignore);
    ShowText();
}

void TChangedFilesBar::SetFiles(std::vector<TFile> files) {
    FFiles = std::move(files);
    ShowText();
    setVisible(!FFiles.empty());
}

void TChangedFilesBar::ShowText() {
    QStringList names;
    const std::size_t named = std::min<std::size_t>(FFiles.size(), kNamedFiles);
    for (std::size_t i = 0; i < named; ++i) {
        names << (FFiles[i].Gone ? QString(FTexts.Gone).arg(FFiles[i].Name) : FFiles[i].Name);
    }
    QString list = names.join(QStringLiteral(", "));
    if (FFiles.size() > named) {
        list = QString(FTexts.More).arg(list, QString::number(FFiles.size() - named));
    }
    lblChangedFiles->setText(FFiles.empty() ? QString() : QString(FTexts.Files).arg(list));
}

} // namespace kw
