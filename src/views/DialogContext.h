#pragma once

#include "translate/Translator.h"

namespace kw {

class TCatalog;
class TDocument;
class TStandardViews;

// What the weapon dialogs work on: the document their edits go to, its catalog, the weapons page that names
// the current weapon and shows its statuses, and the language the main window shows.
struct TDialogContext {
    TDocument& Document;
    TCatalog& Catalog;
    TStandardViews& Views;
    LanguageList Languages;
    int LanguageIndex = -1;
    // The tooltip at a numeric field that refused a key or a paste, in that language.
    QString NumberRefusedNote;
};

} // namespace kw
