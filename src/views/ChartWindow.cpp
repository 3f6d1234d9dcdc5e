// The chart window's frame: its boxes and buttons, the choice they make, and its texts.

#include "views/ChartWindow.h"

#include "views/BarChart.h"
#include "views/GameText.h"
#include "views/ScatterChart.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace kw {
namespace {

constexpr QSize kInitialSize{900, 560};

QComboBox* MakeBox(QWidget* parent, const char* name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return box;
}

QLabel* MakeLabel(QWidget* parent, const char* name, QComboBox* buddy) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(buddy);
    return label;
}

// The item whose data is value, or the first.
void SelectData(QComboBox& box, int value) {
    box.setCurrentIndex(std::max(0, box.findData(value)));
}

} // namespace

TChartWindow::TChartWindow(const TGridModel& model, QWidget* parent)
    : QWidget(parent, Qt::Window), FModel(model), FDocument(model.Document()) {
    setObjectName(QStringLiteral("frmChart"));
    FRedraw = new QTimer(this);
    FRedraw->setSingleShot(true);
    FRedraw->setInterval(0);
    connect(FRedraw, &QTimer::timeout, this, &TChartWindow::Redraw);
    CreateControls();
    ConnectControls();
    FListener = FDocument.Listen([this](const TDocumentChange& change) { OnDocumentChange(change); });
    Retranslate();
    resize(kInitialSize);
}

TChartWindow::~TChartWindow() {
    FDocument.StopListening(FListener);
    FBars.reset();
    FScatter.reset();
}

void TChartWindow::CreateControls() {
    FChart = new QChart;
    FChart->legend()->hide();
    FView = new QChartView(FChart, this);
    FView->setObjectName(QStringLiteral("chvChart"));
    FView->setRenderHint(QPainter::Antialiasing);
    FView->viewport()->setMouseTracking(true);
    FView->viewport()->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreateChoiceRow());
    layout->addWidget(FView, 1);
    layout->addWidget(CreateNoteRow());
    MakeChart();
}

QWidget* TChartWindow::CreateChoiceRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    cboKind = MakeBox(row, "cboChartKind");
    cboColumn = MakeBox(row, "cboChartColumn");
    lblColumn = MakeLabel(row, "lblChartColumn", cboColumn);
    cboElement = MakeBox(row, "cboChartElement");
    lblElement = MakeLabel(row, "lblChartElement", cboElement);
    cboColumnUp = MakeBox(row, "cboChartColumnUp");
    lblColumnUp = MakeLabel(row, "lblChartColumnUp", cboColumnUp);
    cboElementUp = MakeBox(row, "cboChartElementUp");
    lblElementUp = MakeLabel(row, "lblChartElementUp", cboElementUp);
    btnSort = new QPushButton(row);
    btnSort->setObjectName(QStringLiteral("btnChartSort"));
    for (QWidget* control :
         {static_cast<QWidget*>(cboKind), static_cast<QWidget*>(lblColumn), static_cast<QWidget*>(cboColumn),
          static_cast<QWidget*>(lblElement), static_cast<QWidget*>(cboElement),
          static_cast<QWidget*>(lblColumnUp), static_cast<QWidget*>(cboColumnUp),
          static_cast<QWidget*>(lblElementUp), static_cast<QWidget*>(cboElementUp)}) {
        layout->addWidget(control);
    }
    layout->addStretch(1);
    layout->addWidget(btnSort);
    return row;
}

QWidget* TChartWindow::CreateNoteRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    lblLeftOut = new QLabel(row);
    lblLeftOut->setObjectName(QStringLiteral("lblChartLeftOut"));
    lblHover = new QLabel(row);
    lblHover->setObjectName(QStringLiteral("lblChartHover"));
    cboImageSize = MakeBox(row, "cboChartImageSize");
    btnSaveImage = new QPushButton(row);
    btnSaveImage->setObjectName(QStringLiteral("btnChartSaveImage"));
    layout->addWidget(lblLeftOut);
    layout->addWidget(lblHover, 1);
    layout->addWidget(cboImageSize);
    layout->addWidget(btnSaveImage);
    return row;
}

void TChartWindow::ConnectControls() {
    for (QComboBox* box : {cboKind, cboColumn, cboElement, cboColumnUp, cboElementUp, cboImageSize}) {
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (!FFilling) {
                TakeChoice();
            }
        });
    }
    connect(btnSort, &QPushButton::clicked, this, [this] { ScheduleRedraw(true); });
    connect(btnSaveImage, &QPushButton::clicked, this, &TChartWindow::saveImageRequested);
    connect(&FModel, &QAbstractItemModel::headerDataChanged, this, [this] {
        FillColumnBoxes();
        ShowTitles();
    });
}

void TChartWindow::SetChoice(const TChartChoice& choice) {
    FChoice = choice;
    ShowChoice();
    if (FChoice.Scatter != (FScatter != nullptr)) {
        MakeChart();
    }
    ScheduleRedraw(true);
}

// A choice from the boxes: a new kind or column sorts the bars afresh and offers its column's elements.
void TChartWindow::TakeChoice() {
    const TChartChoice before = FChoice;
    FChoice.Scatter = cboKind->currentIndex() == 1;
    FChoice.Column = cboColumn->currentData().toInt();
    FChoice.Element = cboElement->currentData().toInt();
    FChoice.ColumnUp = cboColumnUp->currentData().toInt();
    FChoice.ElementUp = cboElementUp->currentData().toInt();
    FChoice.FullHdImage = cboImageSize->currentIndex() == 1;
    if (FChoice == before) {
        return;
    }
    ShowChoice();
    if (before.Scatter != FChoice.Scatter) {
        MakeChart();
    }
    ScheduleRedraw(true);
    emit choiceChanged();
}

void TChartWindow::ShowChoice() {
    FFilling = true;
    cboKind->setCurrentIndex(FChoice.Scatter ? 1 : 0);
    SelectData(*cboColumn, ShownColumn(FChoice.Column, FModel.Def().ColumnCount() - 1));
    SelectData(*cboColumnUp, ShownColumn(FChoice.ColumnUp, 1));
    FillElementBox(*cboElement, cboColumn->currentData().toInt(), FChoice.Element);
    FillElementBox(*cboElementUp, cboColumnUp->currentData().toInt(), FChoice.ElementUp);
    cboImageSize->setCurrentIndex(FChoice.FullHdImage ? 1 : 0);
    FFilling = false;
    for (QWidget* control : {static_cast<QWidget*>(lblColumnUp), static_cast<QWidget*>(cboColumnUp)}) {
        control->setVisible(FChoice.Scatter);
    }
    lblElement->setVisible(cboElement->count() > 1);
    cboElement->setVisible(cboElement->count() > 1);
    lblElementUp->setVisible(FChoice.Scatter && cboElementUp->count() > 1);
    cboElementUp->setVisible(FChoice.Scatter && cboElementUp->count() > 1);
    btnSort->setVisible(!FChoice.Scatter);
    lblColumn->setText(Text(FChoice.Scatter ? kChartColumnXLabel : kChartColumnLabel));
    ShowTitles();
}

int TChartWindow::ShownColumn(int chosen, int fallback) const {
    return chosen >= 1 && chosen < FModel.Def().ColumnCount() ? chosen : fallback;
}

// Every column but the name, by the grid's headers in the interface language.
void TChartWindow::FillColumnBoxes() {
    FFilling = true;
    for (QComboBox* box : {cboColumn, cboColumnUp}) {
        const int chosen = box->currentData().toInt();
        box->clear();
        for (int column = 1; column < FModel.Def().ColumnCount(); ++column) {
            box->addItem(Utf8ToQt(FModel.Headers()[static_cast<std::size_t>(column)]), column);
        }
        SelectData(*box, chosen);
    }
    FFilling = false;
    ShowChoice();
}

// A list column offers each of its elements and their average; a column of plain numbers offers nothing.
void TChartWindow::FillElementBox(QComboBox& box, int column, int element) {
    box.clear();
    const int length = ChartListLength(FModel.Def(), FDocument, column);
    if (length <= 1) {
        box.addItem(QString(), 0);
        return;
    }
    for (int index = 0; index < length; ++index) {
        box.addItem(Text(kChartElementText).arg(index + 1), index);
    }
    box.addItem(Text(kChartAverageText), kAverageElement);
    SelectData(box, element);
}

void TChartWindow::SetTextOf(TTextOf textOf) {
    FTextOf = std::move(textOf);
    Retranslate();
}

QString TChartWindow::Text(const TextDef& text) const {
    return FTextOf ? FTextOf(text) : QString::fromUtf8(text.Default);
}

void TChartWindow::Retranslate() {
    FFilling = true;
    cboKind->clear();
    cboKind->addItems({Text(kChartBarsText), Text(kChartScatterText)});
    cboImageSize->clear();
    cboImageSize->addItems({Text(kChartWindowSizeText), Text(kChartFullHdText)});
    FFilling = false;
    lblColumnUp->setText(Text(kChartColumnYLabel));
    lblElement->setText(Text(kChartElementLabel));
    lblElementUp->setText(Text(kChartElementLabel));
    btnSort->setText(Text(kChartSortText));
    btnSaveImage->setText(Text(kChartSaveText));
    FillColumnBoxes();
    ShowLeftOut(lblLeftOut->property("count").toInt());
    ShowTitles();
}

} // namespace kw
