#pragma once

#include <QString>

class QWidget;

namespace kw {

// The folder chooser of the game folder choice: real folders only, a folder
// name may be typed, and cancelling gives an empty text.
class TBrowseFolderDlg {
public:
    // Full path of the chosen folder without a trailing separator added, or an
    // empty text when the user cancels.
    static QString Execute(QWidget* owner, const QString& title);
};

} // namespace kw
