// The main window's language: the language menu and the texts the window sets itself.

#include "app/uMain.h"

#include "interchange/TableColumns.h"
#include "translate/Translator.h"

#include <QActionGroup>
#include <QGroupBox>
#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>
#include <QSet>

namespace kw {

namespace {

// The hourglass for the length of a scope, restored also when it is left by an exception.
class TWaitCursor {
public:
    TWaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

// A language's own name, which no language file translates, with an access key: its first letter or digit
// that no item before it took.
QString WithAccessKey(const QString& name, QSet<QChar>& taken) {
    QString text = QString(name).replace(QLatin1Char('&'), QStringLiteral("&&"));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar key = text[i].toUpper();
        if (text[i].isLetterOrNumber() && !taken.contains(key)) {
            taken.insert(key);
            return text.insert(i, QLatin1Char('&'));
        }
    }
    return text;
}

} // namespace

void TfrmMain::RegisterTranslationRules() {
    Translator1->AddClassRule(QStringLiteral("TBitBtn"), QStringLiteral("Caption,Hint"));
    for (const char* className : {"TLabel", "TGroupBox", "TCheckBox", "TMenuItem", "TPanel", "TTabSheet"}) {
        Translator1->AddClassRule(QString::fromLatin1(className), QStringLiteral("Caption"));
    }
    for (const char* className : {"TOpenDialog", "TSaveDialog"}) {
        Translator1->AddClassRule(QString::fromLatin1(className), QStringLiteral("Title"));
    }
    // Picture buttons keep their glyph-only face; their hints are translated.
    for (const char* name : {"btnSelectGamePath", "btnWeaponsSilencer", "btnWeaponsScope",
                             "btnWeaponsGrenLnch", "btnWeather_sky_texture", "btnWeather_clouds_texture"}) {
        Translator1->AddExclusion(QString::fromLatin1(name), QStringLiteral("Caption"));
    }
    // These show data, not interface texts.
    for (const char* name :
         {"pnlGamePath", "pnlWeapons_ammo_class", "pnlWeaponsName", "pnlAmmoName", "pnlOutfitsName",
          "pnlArtsName", "pnlItemsName", "pnlWeatherTime", "mnuFileSeparator"}) {
        Translator1->AddExclusion(QString::fromLatin1(name), QString());
    }
}

void TfrmMain::BuildLanguageMenu() {
    const QString folder = QString::fromStdString(fs::Resolve(FSession.ExeFolder() + "Lang"));
    for (const QString& message : Translator1->LoadLanguages(folder)) {
        ShowError(message);
    }
    auto* group = new QActionGroup(mnuSettingsLanguage);
    QSet<QChar> taken;
    for (int index = 0; index < Translator1->LanguageCount(); ++index) {
        QAction* item =
            mnuSettingsLanguage->addAction(WithAccessKey(Translator1->LanguageName(index), taken));
        item->setCheckable(true);
        item->setActionGroup(group);
        connect(item, &QAction::triggered, this, [this, item] { ApplyLanguage(item); });
    }
    if (mnuSettingsLanguage->isEmpty()) {
        mnuSettingsLanguage->addAction(QStringLiteral("Пустой список"))->setEnabled(false);
    }
}

void TfrmMain::ApplyLanguage(QAction* item) {
    // A radio item is already checked when its trigger arrives, so the applied
    // language is told by its position.
    const int position = static_cast<int>(mnuSettingsLanguage->actions().indexOf(item));
    if (position == FSession.LanguageIndex()) {
        return;
    }
    TWaitCursor wait;
    CommitPendingEdits();
    item->setChecked(true);
    FSession.SetLanguageIndex(position);
    Translator1->Translate(FSession.LanguageIndex());
    FToolkitLanguage.Apply(Translator1->LanguageLocale(FSession.LanguageIndex()));
    FTexts.Fetch(*Translator1, FSession.LanguageIndex());
    ApplyTableButtonTexts();
    FillAddonStatusCombos();
    FillTableHeaders();
    ApplyGroupBoxCaptions();
    ApplyColourHint();
    // The grids keep what the user typed: their headers are new and their names come from the game.
    if (FStandardView) {
        RefreshViews(false);
    }
    UpdateViewButton(FStandardView);
    UpdateUndoItems();
    ApplyChartTexts();
    ApplyChangedFilesTexts();
}

void TfrmMain::ApplyTableButtonTexts() {
    for (TCatalogPage& page : Pages) {
        page.btnTableSave->setText(FTexts.Get("rs_TableSaveCaption"));
        page.btnTableRefresh->setText(FTexts.Get("rs_TableRefreshCaption"));
        page.btnImport->setText(FTexts.Get("rs_TableImportCaption"));
        page.btnImport->setToolTip(FTexts.Get("rs_TableImportHint"));
        page.btnExport->setText(FTexts.Get("rs_TableExportCaption"));
        page.btnExport->setToolTip(FTexts.Get("rs_TableExportHint"));
        page.btnChart->setText(Variable(kChartButtonText));
        page.btnChart->setToolTip(Variable(kChartButtonHint));
    }
}

void TfrmMain::ApplyGroupBoxCaptions() {
    for (TCatalogPage& page : Pages) {
        page.gbNormal->setTitle(FTexts.Get("rs_StandartView"));
        page.gbTable->setTitle(FTexts.Get("rs_TableView"));
    }
}

// Item index equals the addon status value 0, 1, 2.
void TfrmMain::FillAddonStatusCombos() {
    FViews->FillAddonStatusCombos(
        {FTexts.Get("rs_AddonStatus_0"), FTexts.Get("rs_AddonStatus_1"), FTexts.Get("rs_AddonStatus_2")});
}

// A header whose key the language lacks shows the built-in text, never one of an earlier language.
void TfrmMain::FillTableHeaders() {
    const auto lookup = [this](const char* key, const char* builtIn) {
        return Translator1
            ->GetVariable(FSession.LanguageIndex(), QString::fromLatin1(key), QString::fromUtf8(builtIn))
            .toStdString();
    };
    for (TCatalogPage& page : Pages) {
        page.sg->SetHeaders(GridHeaders(page.sg->Def(), lookup));
        page.sg->SetInheritedHint(Variable(kInheritedFromText));
    }
}

void TfrmMain::UpdateViewButton(bool standard) {
    btnView->setText(FTexts.Get(standard ? "rs_btnViewCaptionTable" : "rs_btnViewCaptionStandart"));
    btnView->setToolTip(FTexts.Get(standard ? "rs_btnViewHintTable" : "rs_btnViewHintStandart"));
}

} // namespace kw
