// The main window's dialogs on the weapons and weather pages, the list of changes, and the backup of the game
// files.

#include "app/uMain.h"

#include "app/MainInternal.h"
#include "app/ProgramFiles.h"
#include "catalog/Document.h"
#include "gamecfg/CodePage.h"
#include "gamecfg/TexturePath.h"
#include "interchange/Backup.h"
#include "translate/Texts.h"
#include "translate/Translator.h"
#include "views/CoolCtrls.h"
#include "views/StandardViewPage.h"
#include "views/StepNames.h"
#include "views/uAmmoList.h"
#include "views/uChanges.h"
#include "views/uGrenLnch.h"
#include "views/uScope.h"
#include "views/uSilencer.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>

namespace kw {

namespace {

constexpr char kTexturesFolder[] = "gamedata\\textures\\";

// The log's date and time as the user's locale writes a short date and a long time.
QString LogTimeStamp(const QDateTime& now) {
    const QLocale locale;
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(now.time(), QLocale::LongFormat);
}

} // namespace

void TfrmMain::CreateDialogs() {
    dlgOpenTexture = new QFileDialog(this, QStringLiteral("Выбор текстуры"), QString(),
                                     QStringLiteral("DDS Textures (*.dds)"));
    dlgOpenTexture->setObjectName(QStringLiteral("dlgOpenTexture"));
    dlgOpenTexture->setProperty("vclClass", QStringLiteral("TOpenDialog"));
    dlgOpenTexture->setFileMode(QFileDialog::ExistingFile);
    dlgOpenTexture->setDefaultSuffix(QStringLiteral("dds"));

    connect(FViews->btnWeaponsSilencer, &QPushButton::clicked, this, &TfrmMain::btnWeaponsSilencerClick);
    connect(FViews->btnWeaponsScope, &QPushButton::clicked, this, &TfrmMain::btnWeaponsScopeClick);
    connect(FViews->btnWeaponsGrenLnch, &QPushButton::clicked, this, &TfrmMain::btnWeaponsGrenLnchClick);
    connect(FViews->btnWeaponsAmmo, &QPushButton::clicked, this, &TfrmMain::btnWeaponsAmmoClick);
    connect(FViews->btnWeather_sky_texture, &QPushButton::clicked, this,
            &TfrmMain::btnWeather_sky_textureClick);
    connect(FViews->btnWeather_clouds_texture, &QPushButton::clicked, this,
            &TfrmMain::btnWeather_clouds_textureClick);
    connect(btnBackup, &QPushButton::clicked, this, &TfrmMain::btnBackupClick);
    connect(mnuFileBackup, &QAction::triggered, this, &TfrmMain::mnuFileBackupClick);
}

TDialogContext TfrmMain::DialogContext() {
    return {FDocument,
            FDocument.Catalog(),
            *FViews,
            Translator1->Languages(),
            FSession.LanguageIndex(),
            Variable(kNumberRefusedText)};
}

// Whatever the dialog stores, from its opening to its OK and the weapon's status it sets, is one step.
void TfrmMain::RunWeaponDialog(bool (*execute)(QWidget*, TDialogContext), const QWidget* control,
                               bool collectAfter) {
    CommitPendingEdits();
    const int row = FViews->ListBox(WeaponsPage)->currentRow();
    const QString weapon = row >= 0 ? FViews->ListBox(WeaponsPage)->item(row)->text() : QString();
    const TEditGroup group(FDocument, ControlStepLabel(*control, weapon), {"weapons", row, ""});
    bool done = false;
    try {
        done = execute(this, DialogContext());
    } catch (const std::exception& error) {
        ShowError(QString::fromUtf8(error.what()));
        return;
    }
    if (done && collectAfter) {
        CommitPendingEdits();
    }
}

void TfrmMain::btnWeaponsSilencerClick() {
    RunWeaponDialog(&TfrmSilencer::Execute, FViews->cboWeapons_silencer_status, true);
}

void TfrmMain::btnWeaponsScopeClick() {
    RunWeaponDialog(&TfrmScope::Execute, FViews->cboWeapons_scope_status, true);
}

void TfrmMain::btnWeaponsGrenLnchClick() {
    RunWeaponDialog(&TfrmGrenLnch::Execute, FViews->cboWeapons_grenade_launcher_status, true);
}

// The dialog shows the weapon again itself, from the catalog.
void TfrmMain::btnWeaponsAmmoClick() {
    RunWeaponDialog(&TfrmAmmoList::Execute, FViews->btnWeaponsAmmo, false);
}

void TfrmMain::btnWeather_sky_textureClick() {
    PickTexture(FViews->txtWeather_sky_texture);
}

void TfrmMain::btnWeather_clouds_textureClick() {
    PickTexture(FViews->txtWeather_clouds_texture);
}

// The dialog opens in the game's textures folder when there is one, otherwise where it was last.
void TfrmMain::PickTexture(TCoolEdit* field) {
    const std::string textures = fs::Resolve(FSession.GamePath() + kTexturesFolder);
    if (fs::DirExists(textures)) {
        dlgOpenTexture->setDirectory(PathText(textures));
    }
    const QString chosen = FPlatform.RunFileDialog(*dlgOpenTexture);
    if (chosen.isEmpty()) {
        return;
    }
    dlgOpenTexture->setDirectory(QFileInfo(chosen).absolutePath());
    const std::string reference = RelativeTexturePath(TexturesFolderOf(FSession.GamePath()),
                                                      TextureReferenceBase(chosen.toStdString()));
    if (const std::string bad = FirstUnencodable(reference); !bad.empty()) {
        ShowWarning(Variable(kCharacterRefusedText).arg(QString::fromStdString(bad)));
        return;
    }
    field->setText(QString::fromStdString(reference));
    CommitPendingEdits();
}

void TfrmMain::btnBackupClick() {
    // Enter makes the copy: it changes nothing the user has.
    if (AskYesNo(FTexts.Get("rs_MsgBackupCaption"), FTexts.Get("rs_MsgBackupText"), true)) {
        BackupFiles();
    }
}

void TfrmMain::mnuFileBackupClick() {
    btnBackupClick();
}

void TfrmMain::mnuFileChangesClick() {
    CommitPendingEdits();
    TfrmChanges dialog(
        FDocument, [this](const TextDef& text) { return Variable(text); }, this, this);
    FPlatform.RunDialog(dialog);
    RefreshViews(false);
}

// The catalog's own list, struck of the files without a weapon; it describes this folder only while the
// catalog was read from it (at a first start nothing is read yet).
std::vector<std::string> TfrmMain::BackupFileList() const {
    std::vector<std::string> files = FSession.RequiredFiles();
    if (FDocument.Catalog().GamePath() == FSession.GamePath()) {
        const TCatalog& catalog = FDocument.Catalog();
        files.insert(files.end(), catalog.WeaponFiles().begin(), catalog.WeaponFiles().end());
    }
    return files;
}

void TfrmMain::BackupFiles() {
    WriteBackupLog(kw::BackupFiles(BackupFileList()));
}

// The result names each failed copy and why, so the user need not open the log to learn it.
void TfrmMain::WriteBackupLog(const TBackupResult& result) {
    if (result.Empty()) {
        return;
    }
    const std::string logPath = ProgramFilePath(FSession.ExeFolder(), kBackupLogName);
    const TBackupLogTexts texts{FTexts.Get("rs_LogFileCreated").toStdString(),
                                FTexts.Get("rs_MsgBackupSuccessText").toStdString(),
                                FTexts.Get("rs_MsgBackupErrorText").toStdString()};
    try {
        kw::WriteBackupLog(logPath,
                           BackupLogText(result, texts, LogTimeStamp(FPlatform.Now()).toStdString()));
    } catch (const std::exception& error) {
        ShowError(QString::fromUtf8(error.what()));
        return;
    }
    QString text = FTexts.Get(result.Ok() ? "rs_MsgBackupSuccessText" : "rs_MsgBackupErrorText");
    for (const TBackupFailure& failure : result.Failures) {
        text +=
            QStringLiteral("\r\n") + PathText(failure.File) + QStringLiteral(": ") + PathText(failure.Reason);
    }
    // A log that had to go to the user's folder is named in full, or it would not be found.
    const QString logName = logPath == FSession.ExeFolder() + kBackupLogName
                                ? QString::fromLatin1(kBackupLogName)
                                : PathText(logPath);
    text += FTexts.Get("rs_BackupRefer") + QStringLiteral(" \"") + logName + QStringLiteral("\" ") +
            FTexts.Get("rs_MsgBackupSeeMoreInfoText");
    FPlatform.MessageBox(this, result.Ok() ? QMessageBox::Information : QMessageBox::Critical,
                         FTexts.Get("rs_MsgBackupCaption"), text, QMessageBox::Ok);
}

} // namespace kw
