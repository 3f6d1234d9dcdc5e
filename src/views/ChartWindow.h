#pragma once

#include "catalog/Document.h"
#include "interchange/ChartColumn.h"
#include "interchange/ChartNumbers.h"
#include "translate/Texts.h"
#include "views/GridModel.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

QT_BEGIN_NAMESPACE
class QChart;
class QChartView;
QT_END_NAMESPACE

namespace kw {

class TBarChart;
class TScatterChart;

// What a chart window shows; the settings file keeps one per page. Columns are the grid's, 1 and up.
struct TChartChoice {
    bool Scatter = false;
    int Column = 0;   // bars, or across for a scatter; 0: the grid's last column, the price
    int Element = 0;  // of a list, or kAverageElement
    int ColumnUp = 0; // a scatter's; 0: the grid's first value column
    int ElementUp = 0;
    bool FullHdImage = false; // Save image writes 1920 x 1080 rather than the chart's size on screen
    bool operator==(const TChartChoice&) const = default;
};

// The chart of one table-view page's grid, beside the main window: bars of one column, or a scatter of two.
// It shows what the grid shows, the document's working copy, and follows every change the document
// announces. Clicking an entry's bar or point asks its owner to select the entry.
class TChartWindow : public QWidget {
    Q_OBJECT
public:
    using TTextOf = std::function<QString(const TextDef&)>;
    static constexpr QSize kFullHdSize{1920, 1080};

    // A window of its own, owned by parent.
    TChartWindow(const TGridModel& model, QWidget* parent = nullptr);
    ~TChartWindow() override;

    const TGridModel& Model() const { return FModel; }
    TChartChoice Choice() const { return FChoice; }
    void SetChoice(const TChartChoice& choice);
    // The built-in texts until the owner gives its own; texts are applied again at once.
    void SetTextOf(TTextOf textOf);
    void Retranslate();

    // The chart drawn at size, and the size Save image writes at.
    QImage Image(QSize size);
    QSize ImageSize() const;
    // Writes Image(ImageSize()) as PNG; false when the file cannot be written.
    bool SaveImage(const QString& path);

    QChartView* View() const { return FView; }
    // The chart of the kind chosen; the other is null.
    const TBarChart* Bars() const { return FBars.get(); }
    const TScatterChart* Scatter() const { return FScatter.get(); }

    QComboBox* cboKind = nullptr;
    QLabel* lblColumn = nullptr;
    QComboBox* cboColumn = nullptr;
    QLabel* lblElement = nullptr;
    QComboBox* cboElement = nullptr;
    QLabel* lblColumnUp = nullptr;
    QComboBox* cboColumnUp = nullptr;
    QLabel* lblElementUp = nullptr;
    QComboBox* cboElementUp = nullptr;
    QPushButton* btnSort = nullptr;
    QLabel* lblLeftOut = nullptr;
    QLabel* lblHover = nullptr;
    QComboBox* cboImageSize = nullptr;
    QPushButton* btnSaveImage = nullptr;

signals:
    // The user clicked an entry's bar or point: row is its position in the catalog.
    void entryClicked(int row);
    // The Save image button; the owner asks for the file and calls SaveImage.
    void saveImageRequested();
    // The user chose another kind, column, element or image size.
    void choiceChanged();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // ChartWindow.cpp: the controls and the choice.
    void CreateControls();
    QWidget* CreateChoiceRow();
    QWidget* CreateNoteRow();
    void ConnectControls();
    void FillColumnBoxes();
    void FillElementBox(QComboBox& box, int column, int element);
    void TakeChoice();
    void ShowChoice();
    int ShownColumn(int chosen, int fallback) const;
    QString Text(const TextDef& text) const;

    // ChartWindowDraw.cpp: drawing, and following the document.
    void OnDocumentChange(const TDocumentChange& change);
    void ScheduleRedraw(bool rebuild);
    void Redraw();
    void MakeChart();
    void DrawBars(bool rebuild);
    void DrawScatter();
    void ShowTitles();
    QStringList Names() const;
    void ShowLeftOut(int count);
    void ShowBarHover(int row);
    void ShowPointHover(int row);
    int RowAt(const QPointF& viewportPosition) const;
    void ShowHover(const QString& text);

    const TGridModel& FModel;
    // The session's, which outlives the window.
    TDocument& FDocument;
    TTextOf FTextOf;
    TChartChoice FChoice;
    QChart* FChart = nullptr;
    QChartView* FView = nullptr;
    std::unique_ptr<TBarChart> FBars;
    std::unique_ptr<TScatterChart> FScatter;
    // The cells drawn, one per entry: of the column, and of a scatter's column up.
    std::vector<TChartCell> FCells;
    std::vector<TChartCell> FCellsUp;
    QTimer* FRedraw = nullptr;
    bool FRebuild = true;  // the next redraw sorts the bars afresh
    bool FFilling = false; // while the window itself fills its boxes
    std::size_t FListener = 0;
};

} // namespace kw
