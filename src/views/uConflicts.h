#pragma once

#include "catalog/Document.h"
#include "translate/Texts.h"

#include <QDialog>

#include <functional>
#include <vector>

class QButtonGroup;
class QLabel;
class QPushButton;
class QTableWidget;

namespace kw {

// Values that both the user and another program changed: one row each, with what the file held when it was
// read, what it holds now and the user's value. The user keeps either side per row; OK takes the choices,
// Cancel leaves everything as it was.
class TfrmConflicts : public QDialog {
    Q_OBJECT
public:
    using TTextOf = std::function<QString(const TextDef&)>;

    // labels: the window whose standard view labels name the fields in the current language. note: what
    // the choice is for (a reload, a save), above the list.
    TfrmConflicts(std::vector<TChangeOnDisk> rows, const std::optional<TLoadSource>& source, TTextOf textOf,
                  const QWidget* labels, const QString& note, QWidget* parent = nullptr);

    // The rows with the user's choices.
    const std::vector<TChangeOnDisk>& Rows() const { return FRows; }
    // Chooses for every row at once.
    void KeepAll(bool mine);

    QLabel* lblNote = nullptr;
    QTableWidget* tblConflicts = nullptr;
    QPushButton* btnAllMine = nullptr;
    QPushButton* btnAllTheirs = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    void Fill(const std::optional<TLoadSource>& source, const QWidget* labels);
    void AddChoice(int row);
    void FitChoices();

    TTextOf FTextOf;
    std::vector<TChangeOnDisk> FRows;
    std::vector<QButtonGroup*> FChoices;
};

} // namespace kw
