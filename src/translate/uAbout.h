#pragma once

#include "translate/LinkLabel.h"
#include "translate/Translator.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace kw {

// The program's name, version, author and a mail link, in the chosen language.
// Modal, centred on its owner, freed when closed.
class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    static constexpr char kMailAddress[] = "kitwright@example.org";

    // Throws kw::Error when the chosen language file is not well-formed.
    TfrmAbout(QWidget* owner, const LanguageList& languages, int languageIndex);

    static void Execute(QWidget* owner, const LanguageList& languages, int languageIndex);

    QLabel* imgLogo;
    QLabel* lblName;
    QLabel* lblVersion;
    QLabel* lblAuthor;
    TLinkLabel* lblMailTo;
    QPushButton* btnOK;
    TTranslator* Translator1;

private:
    void BuildLayout();
};

} // namespace kw
