#pragma once

#include <QFrame>
#include <QString>

#include <string>
#include <vector>

class QLabel;
class QPushButton;

namespace kw {

// A warning strip that names the game files another program changed or removed since the program read them,
// and offers to read them again or to let the change be. Hidden while it names none.
class TChangedFilesBar : public QFrame {
    Q_OBJECT
public:
    struct TFile {
        QString Name;
        bool Gone = false;
    };
    // In the interface language. Files: %1 the list; Gone: %1 a file that is no longer there; More: %1 the
    // files named, %2 how many more there are.
    struct TTexts {
        QString Files, Gone, More, Reload, Ignore;
    };
    // A long list names this many and counts the rest.
    static constexpr int kNamedFiles = 4;

    explicit TChangedFilesBar(QWidget* parent = nullptr);

    void SetTexts(const TTexts& texts);
    // Shows the bar naming files, or hides it when there are none.
    void SetFiles(std::vector<TFile> files);

    QLabel* lblChangedFiles = nullptr;
    QPushButton* btnChangedFilesReload = nullptr;
    QPushButton* btnChangedFilesIgnore = nullptr;

private:
    void ShowText();

    TTexts FTexts;
    std::vector<TFile> FFiles;
};

} // namespace kw
