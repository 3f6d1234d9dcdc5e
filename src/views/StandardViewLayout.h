#pragma once

#include "views/StandardViewFields.h"

#include <vector>

class QWidget;

namespace kw {

// The controls of one page's standard view that its layout places.
struct TPageParts {
    QWidget* ListHeader = nullptr;
    QWidget* List = nullptr;
    QWidget* NamePanel = nullptr;
    QWidget* PictureFrame = nullptr; // nullptr where the page shows no picture
    QWidget* Memo = nullptr;         // nullptr where the page shows no description
    QWidget* InfoBox = nullptr;
};

// A field's controls; a check box carries its own caption, has no label and spans the label's cell too.
struct TFieldRow {
    TFieldPlace Place;
    QWidget* Label;
    QWidget* Field;
    bool OwnCaption;
};

struct TPlacedExtra {
    const TExtraDef* Def;
    QWidget* Widget;
};

// Lays a page's controls out in its box: the list column keeps its width and takes the height, the value
// fields take the width, and the description the height. The tab order goes from the list down each column
// of fields, block by block as the page definition places them, each field followed by what trails it, and
// ends in the description.
void ArrangePage(const TViewPageDef& def, QWidget* box, const TPageParts& parts,
                 const std::vector<TFieldRow>& fields, const std::vector<TPlacedExtra>& extras);

} // namespace kw
