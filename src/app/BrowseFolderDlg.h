#pragma once

#include <QString>

class QWidget;

namespace kw {

// The folder chooser of the game folder choice: real folders only, a folder
// name may be typed, and cancelling gives an empty text.
class TBrowseFolderDlg {
public:
    // Full path of the chosen folder without a trailing separator added, or an
    // empty text when the user cancels. The chooser opens in startFolder, or in
    // the home folder when that is empty.
    static QString Execute(QWidget* owner, const QString& title, const QString& startFolder);
};

} // namespace kw
