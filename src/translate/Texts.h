#pragma once

#include "translate/Translator.h"

#include <QString>
#include <QStringList>

#include <array>

namespace kw {

// A free text of the interface: its key in the language files and the built-in
// Russian text (UTF-8; line breaks are real CR LF, trailing blanks count).
struct TextDef {
    const char* Key;
    const char* Default;
};

// The main window's texts, in the order a language switch fetches them.
extern const std::array<TextDef, 47> kMainTextDefs;
// Captions of the progress window for a load and a save run.
extern const TextDef kReadSettingsText;
extern const TextDef kWriteSettingsText;
// The refusal of an export whose target is a file of the loaded game; %1 is the chosen file.
extern const TextDef kExportGameFileText;
// The warning after an edit field refused a character that windows-1251 lacks; %1 is the character.
extern const TextDef kCharacterRefusedText;
// The hint of a standard view field whose value no file has a place for: %1 the section the entry names, %2
// the file; and the one for an entry that names no section, %1 the file.
extern const TextDef kValueSectionMissing;
extern const TextDef kValueSectionUnnamed;
// The note after a numeric field refused a typed character or a paste that would not leave a number.
extern const TextDef kNumberRefusedText;
// The question before an import matches a sorted or filtered sheet's rows by name, and the status note after
// an import: %1 the number of cells it changed.
extern const TextDef kImportMatchByNameText;
extern const TextDef kImportChangedCellsText;
// The Edit menu's items: with nothing to take back or do again, and with a step, %1 what the step did.
extern const TextDef kUndoText;
extern const TextDef kUndoStepText;
extern const TextDef kRedoText;
extern const TextDef kRedoStepText;
// What the Edit menu names a step after, in the table view: the Save of a page's grid and the Refresh that
// drops its marked cells; a paste, a deletion and an import of %1 cells or of the file %1; a revert of %1
// rows in the Changes window.
extern const TextDef kTableSaveStepText;
extern const TextDef kRefreshStepText;
extern const TextDef kPasteStepText;
extern const TextDef kDeleteStepText;
extern const TextDef kImportStepText;
extern const TextDef kRevertStepText;
// The status note after a save that wrote every file: no window tells it any more.
extern const TextDef kSavedText;
// The question before unsaved work would be lost, and its answers.
extern const TextDef kUnsavedCaption;
extern const TextDef kUnsavedCloseText;
extern const TextDef kUnsavedDropText;
extern const TextDef kUnsavedGridText;
extern const TextDef kSaveAnswer;
extern const TextDef kStoreAnswer;
extern const TextDef kDiscardAnswer;
extern const TextDef kCancelAnswer;
// The answers of a yes-or-no question.
extern const TextDef kYesAnswer;
extern const TextDef kNoAnswer;
// The Changes window: its caption, column headings, buttons and the marks of its value columns.
extern const TextDef kChangesCaption;
extern const std::array<TextDef, 7> kChangesColumns;
extern const TextDef kChangesRevert;
extern const TextDef kChangesCopy;
extern const TextDef kChangesClose;
extern const TextDef kChangesNotInFile;
extern const TextDef kChangesGridCell;
// The status note after a paste that ran past the grid's last row or column: %1 the cells left out.
extern const TextDef kPasteLeftOutText;

// The tooltip of the weather page's colour swatches.
extern const TextDef kChooseColourHint;
extern const TextDef kNotAColourText;
// The chart window of a table-view page: the page's Chart button and its hint; the window's caption (%1 the
// page); its kinds, the boxes' labels, the element of a list (%1 its position from 1) or the average; the
// Sort and Save buttons and the image sizes; the note on texts left out (%1 how many); what hovering tells
// (%1 the entry, %2 the value, and for a changed entry %3 the file's value; for a point %2 and %3 its two
// values); the Save dialog's filter and the message when the image cannot be written (%1 the file).
extern const TextDef kChartButtonText;
extern const TextDef kChartButtonHint;
extern const TextDef kChartCaption;
extern const TextDef kChartBarsText;
extern const TextDef kChartScatterText;
extern const TextDef kChartColumnLabel;
extern const TextDef kChartColumnXLabel;
extern const TextDef kChartColumnYLabel;
extern const TextDef kChartElementLabel;
extern const TextDef kChartElementText;
extern const TextDef kChartAverageText;
extern const TextDef kChartSortText;
extern const TextDef kChartSaveText;
extern const TextDef kChartWindowSizeText;
extern const TextDef kChartFullHdText;
extern const TextDef kChartLeftOutText;
extern const TextDef kChartBarHoverText;
extern const TextDef kChartChangedHoverText;
extern const TextDef kChartPointHoverText;
extern const TextDef kChartImageFilter;
extern const TextDef kChartSaveFailedText;
// Every text of the chart window, for the checks of the language files.
extern const std::array<const TextDef*, 21> kChartTexts;

// The lines a load adds to its message for parent sections the game cannot follow, each once per load: a
// loop, %1 the file, %2 the sections in the order their headers name them; a parent that no file defines,
// %1 the file, %2 the section whose header names it, %3 the parent.
extern const TextDef kParentLoopText;
extern const TextDef kParentMissingText;
// The hint of a field or cell that shows what a parent section supplies: %1 the section, %2 its file below
// the config folder.
extern const TextDef kParentMissingMoreText;
extern const TextDef kInheritedFromText;

// The list of values both the user and another program changed: its caption, columns, choices and notes.
extern const TextDef kConflictsCaption;
extern const TextDef kConflictsMine;
extern const TextDef kConflictsTheirs;
extern const TextDef kConflictsAllMine;
extern const TextDef kConflictsAllTheirs;
extern const TextDef kConflictsOk;
extern const TextDef kConflictsCancel;
extern const TextDef kConflictsSaveNote;
extern const TextDef kConflictsReloadNote;
extern const TextDef kConflictsNotSavedNote;
extern const std::array<TextDef, 7> kConflictsColumns;
extern const std::array<const TextDef*, 10> kConflictsTexts;

// The bar that names game files another program changed (%1 the list; a file no longer there: %1 its name; a
// long list: %1 the files named, %2 how many more), its buttons, and the reload that keeps unsaved work: the
// changes it would lose and those it could not put back (%1 one "entry — field" line each).
extern const TextDef kChangedFilesText;
extern const TextDef kChangedFileGoneText;
extern const TextDef kChangedFilesMoreText;
extern const TextDef kChangedFilesReloadText;
extern const TextDef kChangedFilesIgnoreText;
extern const TextDef kReloadCaption;
extern const TextDef kReloadLostText;
extern const TextDef kReloadUnplacedText;

// The main window's texts as currently shown: the built-in defaults until a
// language is fetched.
class TMainTexts {
public:
    TMainTexts();

    // Throws std::invalid_argument for a key not in kMainTextDefs.
    QString Get(const char* key) const;
    // 0-based position in kMainTextDefs; throws std::out_of_range beyond it.
    QString At(int tableIndex) const;

    // Each text takes the language's value, or keeps the one it has when the
    // language lacks it, so texts of a language applied earlier survive a switch
    // to a less complete one. Throws kw::Error when the language file is bad.
    void Fetch(const TTranslator& translator, int languageIndex);

private:
    QStringList FTexts;
};

} // namespace kw
