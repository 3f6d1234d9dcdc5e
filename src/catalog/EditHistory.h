#pragma once

#include "catalog/Classes.h"
#include "catalog/KeyLists.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace kw {

// Where a step's change shows, so that taking it back can bring it into view: the catalog as the dump names
// it ("weapons", "ammo", ...), the entry's position there, the standard view's field (its control's name),
// and whether the change was made in the table view (whose cells the step's cell changes name).
struct TEditPlace {
    std::string Catalog;
    int Entry = -1; // -1: the step spans entries
    std::string Field;
    bool InTable = false;
};

// A cell of a table view's working copy: the grid's page, the data row (the entry's position) and the column.
struct TCellRef {
    int Grid = 0;
    int Row = 0;
    int Column = 0;
    bool operator==(const TCellRef&) const = default;
    auto operator<=>(const TCellRef&) const = default;
};

// One value an edit sets.
struct TValueEdit {
    TParam* Param = nullptr;
    std::string Value; // windows-1251
    // How a save treats the key: an addon state of "-1" is never written, so it makes nothing to save.
    TKeyUse Use = TKeyUse::Edit;
};

// One cell of a table view's working copy an edit sets: empty when the cell shows the catalog's value again.
struct TCellEdit {
    TCellRef Cell;
    std::optional<std::string> Text; // UTF-8; none: no longer marked
};

// What a step is called apart from any one language, so that a window can name it in the language it shows
// now: an interface text (TextKey, with TextDefault, its built-in text) whose %1 is Argument; or the caption
// of a control (Control, its object name) or of a grid column (Column) with the entry Argument names after
// it.
struct TStepName {
    const char* TextKey = nullptr; // static strings, as the interface texts are
    const char* TextDefault = nullptr;
    std::string Control;
    int Column = -1;
    std::string Argument; // UTF-8
};

// A step's name as the user reads it when it is made (UTF-8), and what lets it be said again.
struct TStepLabel {
    TStepLabel() = default;
    // From plain text alone, a step that keeps the name it was given in every language.
    TStepLabel(const char* text) : Text(text) {}
    TStepLabel(std::string text) : Text(std::move(text)) {}
    TStepLabel(std::string text, TStepName name) : Text(std::move(text)), Name(std::move(name)) {}
    std::string Text;
    TStepName Name;
};

// One thing the user did, as it can be taken back and done again: what each parameter and each working-copy
// cell held before and after.
struct TEditStep {
    struct TParamChange {
        TParam* Param;
        TKeyUse Use;
        TParam::TEditState Before, After;
    };
    struct TCellChange {
        TCellRef Cell;
        std::optional<std::string> Before, After;
    };
    std::string Label; // UTF-8, what the Edit menu names after "Undo" and "Redo", as the step was made
    TStepName Name;
    TEditPlace Place;
    std::vector<TParamChange> Params;
    std::vector<TCellChange> Cells;

    bool Empty() const { return Params.empty() && Cells.empty(); }
};

// The steps that can be taken back, and those taken back that can be done again. Bounded: the oldest step
// goes once there are kMaxSteps.
class TEditHistory {
public:
    static constexpr std::size_t kMaxSteps = 200;

    // A new step; the steps taken back before it can no longer be done again.
    void Push(TEditStep step);
    const TEditStep* NextUndo() const { return FDone > 0 ? &FSteps[FDone - 1] : nullptr; }
    const TEditStep* NextRedo() const { return FDone < FSteps.size() ? &FSteps[FDone] : nullptr; }
    // Moves one step back or forth and returns it; the caller puts its states in place.
    const TEditStep& StepBack();
    const TEditStep& StepForth();
    void Clear();

private:
    std::deque<TEditStep> FSteps;
    std::size_t FDone = 0; // the steps before this one are done
};

} // namespace kw
