#include "MainWindowFixture.h"

#include "app/uProgress.h"
#include "translate/Texts.h"
#include "views/ChangedFilesBar.h"
#include "views/CoolCtrls.h"
#include "views/uConflicts.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

#include <algorithm>
#include <cstdio>

namespace kwtest {
namespace {

namespace fs = std::filesystem;

const std::string kItems = "gamedata/config/misc/items.ltx";

QString Text(const kw::TextDef& text) {
    return QString::fromUtf8(text.Default);
}

// The sample game in a window that watches its files through the fake watcher; "another program" is the
// test writing the game's files.
class ChangedOnDiskTest : public SampleGameWindowTest {
protected:
    // The path the watcher reports for a file below the game folder (relative in the platform's form).
    QString Watched(const std::string& relative) const {
        return QFile::decodeName(kw::fs::Resolve(FGame + relative).c_str());
    }
    QString WatchedFolder(const std::string& relative) const { return QFileInfo(Watched(relative)).path(); }
    // The watcher's signal for the path, as the system gives it after another program's change.
    void Fire(const QString& path) const {
        ASSERT_TRUE(FPlatform.Watcher);
        ASSERT_TRUE(FPlatform.Watcher->Paths.contains(path)) << path.toStdString();
        FPlatform.Watcher->Fire(path);
    }
    // The weapon the weapons page shows first, and its file in the platform's form.
    const kw::TWeapon& FirstWeapon() const { return *FWindow->Catalog().Weapons.front(); }
    std::string FileOf(const kw::TWeapon& weapon) const {
        std::string relative = weapon.FileName;
        std::replace(relative.begin(), relative.end(), '\\', '/');
        return relative;
    }
    static std::string GameName(const std::string& relative) {
        std::string name = relative;
        std::replace(name.begin(), name.end(), '/', '\\');
        return name;
    }
    // Another program gives the first line of key a new value, writing the file in place or, as many editors
    // save, writing a new file and renaming it over the old one.
    void RewriteKey(const std::string& relative, const std::string& section, const std::string& key,
                    const std::string& value, bool byRename = false) const {
        std::string text = GameFile(relative);
        const std::size_t line = text.find("\n" + key + " ", text.find("[" + section + "]"));
        ASSERT_NE(line, std::string::npos) << key;
        const std::size_t valueAt = text.find("= ", line) + 2;
        text.replace(valueAt, text.find_first_of(" \t\r\n;", valueAt) - valueAt, value);
        const std::string target = FGame + relative;
        const std::string written = byRename ? target + ".new" : target;
        std::ofstream(written, std::ios::binary) << text;
        if (byRename) {
            ASSERT_EQ(std::rename(written.c_str(), target.c_str()), 0);
        }
    }
    kw::TChangedFilesBar& Bar() const { return *FWindow->pnlChangedFiles; }
    QString BarText() const { return Bar().lblChangedFiles->text(); }
    // The value a save would write for the key, empty when it would write none.
    std::string Pending(const std::string& key) const {
        for (const kw::TChange& change : FWindow->Document().Changes()) {
            if (change.Key == key) {
                return change.NewValue;
            }
        }
        return {};
    }
};

// When the window is not the active one: while the bar comes up, when Reload is clicked, or both.
struct TFocusCase {
    const char* Name;
    bool InactiveWhenTheBarComes;
    bool InactiveAtReload;
};

class ChangedOnDiskReload : public ChangedOnDiskTest, public ::testing::WithParamInterface<TFocusCase> {};

// Another program changes another key of the file whose value is being typed: the bar names the file, Reload
// shows the other program's value and keeps the typed one as an unsaved edit, and a save writes both.
TEST_P(ChangedOnDiskReload, KeepsTheTypedValueOverAnotherKeysChange) {
    const TFocusCase& c = GetParam();
    kw::TfrmMain& window = StartShown();
    const std::string file = FileOf(FirstWeapon());
    const std::string section = FirstWeapon().Section;
    const std::string rpm = FirstWeapon().rpm.Value;
    ASSERT_NE(rpm, "577");
    kw::TCoolEdit* cost = TypeInto("txtWeapons_cost", "4321");
    std::unique_ptr<QWidget> other;
    if (c.InactiveWhenTheBarComes) {
        other = ActivateAnotherWindow();
    }

    RewriteKey(file, section, "rpm", "577");
    const std::string theirs = GameFile(file);
    Fire(Watched(file));
    ASSERT_TRUE(Bar().isVisible());
    EXPECT_TRUE(BarText().contains(QString::fromStdString(GameName(file)))) << BarText().toStdString();
    EXPECT_EQ(cost->text(), "4321"); // the bar takes nothing from the field

    if (c.InactiveAtReload && !other) {
        other = ActivateAnotherWindow();
    } else if (!c.InactiveAtReload && other) {
        other.reset();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QTest::mouseClick(Bar().btnChangedFilesReload, Qt::LeftButton);

    EXPECT_FALSE(Bar().isVisible());
    EXPECT_TRUE(FPlatform.Questions.empty());
    EXPECT_TRUE(FPlatform.Messages.empty());
    EXPECT_EQ(FirstWeapon().Section, section);
    EXPECT_EQ(Control<kw::TCoolEdit>("txtWeapons_cost")->text(), "4321");
    EXPECT_EQ(Control<kw::TCoolEdit>("txtWeapons_rpm")->text(), "577");
    EXPECT_EQ(Pending("cost"), "4321");
    EXPECT_EQ(Pending("rpm"), "");
    EXPECT_TRUE(window.isWindowModified());
    EXPECT_EQ(window.Document().NextUndo(), nullptr);
    EXPECT_EQ(GameFile(file), theirs); // nothing written

    // The user comes back to the window to save.
    other.reset();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
    const kw::ProfileFile saved(FGame + file);
    EXPECT_EQ(saved.ReadString(section, "cost", "").substr(0, 4), "4321");
    EXPECT_EQ(saved.ReadString(section, "rpm", "").substr(0, 3), "577");
    EXPECT_FALSE(window.isWindowModified());
    EXPECT_FALSE(Bar().isVisible());
}

const TFocusCase kFocusCases[] = {
    {"Active", false, false},
    {"InactiveWhenTheBarComes", true, false},
    {"InactiveAtReload", false, true},
    {"InactiveThroughout", true, true},
};

INSTANTIATE_TEST_SUITE_P(Window, ChangedOnDiskReload, testing::ValuesIn(kFocusCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// What the user does with the list of values another program changed too.
enum class TChoice { Mine, Theirs, Cancel };

struct TConflictCase {
    const char* Name;
    TChoice Choice;
};

class ChangedOnDiskConflict : public ChangedOnDiskTest,
                              public ::testing::WithParamInterface<TConflictCase> {};

// Another program changes the very key being edited: Reload lists it with the value read, the file's value
// now and the user's. Mine keeps the edit over the new file, theirs shows the file's value, Cancel changes
// nothing; nothing is written either way until a save, which writes the side kept.
TEST_P(ChangedOnDiskConflict, TheUserKeepsEitherSideOrCancels) {
    const TConflictCase& c = GetParam();
    kw::TfrmMain& window = StartShown();
    const std::string file = FileOf(FirstWeapon());
    const std::string section = FirstWeapon().Section;
    const std::string atLoad = FirstWeapon().cost.Value;
    TypeInto("txtWeapons_cost", "4321");
    RewriteKey(file, section, "cost", "3999");
    const std::map<std::string, std::string> theirs = FileBytes(FGame);
    Fire(Watched(file));

    QStringList listed;
    FPlatform.OnDialog = [&](QDialog& dialog) {
        auto& list = dynamic_cast<kw::TfrmConflicts&>(dialog);
        for (int column = 0; column < list.tblConflicts->columnCount(); ++column) {
            if (const QTableWidgetItem* item = list.tblConflicts->item(0, column)) {
                listed << item->text();
            }
        }
        EXPECT_EQ(list.tblConflicts->rowCount(), 1);
        EXPECT_EQ(list.lblNote->text(), Text(kw::kConflictsReloadNote));
        switch (c.Choice) {
        case TChoice::Mine:
            QTest::mouseClick(list.btnAllMine, Qt::LeftButton);
            QTest::mouseClick(list.btnOk, Qt::LeftButton);
            break;
        case TChoice::Theirs:
            QTest::mouseClick(list.btnAllTheirs, Qt::LeftButton);
            QTest::mouseClick(list.btnOk, Qt::LeftButton);
            break;
        case TChoice::Cancel:
            QTest::mouseClick(list.btnCancel, Qt::LeftButton);
            break;
        }
    };
    QTest::mouseClick(Bar().btnChangedFilesReload, Qt::LeftButton);
    FPlatform.OnDialog = nullptr;

    for (const std::string& value : {atLoad, std::string("3999"), std::string("4321")}) {
        EXPECT_TRUE(listed.contains(QString::fromStdString(value)))
            << value << " in " << listed.join('|').toStdString();
    }
    EXPECT_EQ(FileBytes(FGame), theirs);
    const std::string shown = c.Choice == TChoice::Theirs ? "3999" : "4321";
    EXPECT_EQ(Control<kw::TCoolEdit>("txtWeapons_cost")->text().toStdString(), shown);
    EXPECT_EQ(Pending("cost"), c.Choice == TChoice::Theirs ? "" : "4321");
    EXPECT_EQ(window.isWindowModified(), c.Choice != TChoice::Theirs);
    EXPECT_EQ(Bar().isVisible(), c.Choice == TChoice::Cancel);
    EXPECT_EQ(window.Document().NextUndo() != nullptr, c.Choice == TChoice::Cancel);

    if (c.Choice == TChoice::Cancel) {
        return;
    }
    QTest::mouseClick(window.btnSaveSettings, Qt::LeftButton);
    EXPECT_EQ(kw::ProfileFile(FGame + file).ReadString(section, "cost", "").substr(0, 4), shown);
    EXPECT_FALSE(window.isWindowModified());
    EXPECT_TRUE(FPlatform.Messages.empty());
}

const TConflictCase kConflictCases[] = {
    {"Mine", TChoice::Mine},
    {"Theirs", TChoice::Theirs},
    {"Cancel", TChoice::Cancel},
};

INSTANTIATE_TEST_SUITE_P(Choices, ChangedOnDiskConflict, testing::ValuesIn(kConflictCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// A file deleted and another replaced by a rename are both named, the deleted one as such. The edit of the
// weapon whose file is gone is listed as lost before the reload; Cancel keeps everything, Reload goes ahead.
TEST_F(ChangedOnDiskTest, DeletedAndRenamedFilesAndTheEditThatWouldBeLost) {
    kw::TfrmMain& window = StartShown();
    const std::string weaponFile = FileOf(FirstWeapon());
    const std::string weapon = FirstWeapon().Section;
    TypeInto("txtWeapons_cost", "4321");
    window.CommitPendingEdits();

    fs::remove(FGame + weaponFile);
    Fire(WatchedFolder(weaponFile));
    RewriteKey(kItems, "marsh_bread", "cost", "115", true);
    Fire(Watched(kItems));
    ASSERT_TRUE(Bar().isVisible());
    EXPECT_TRUE(BarText().contains(Text(kw::kChangedFileGoneText).arg(GameName(weaponFile).c_str())))
        << BarText().toStdString();
    EXPECT_TRUE(BarText().contains(QString::fromStdString(GameName(kItems)))) << BarText().toStdString();
    EXPECT_EQ(BarText().count(QStringLiteral("ltx")), 2);

    const std::map<std::string, std::string> before = FileBytes(FGame);
    FPlatform.Choice = Text(kw::kCancelAnswer);
    QTest::mouseClick(Bar().btnChangedFilesReload, Qt::LeftButton);
    ASSERT_EQ(FPlatform.Questions.size(), 1u);
    EXPECT_TRUE(
        FPlatform.Questions[0].Text.contains(QString::fromStdString(weapon) + QString::fromUtf8(" — Цена")))
        << FPlatform.Questions[0].Text.toStdString();
    EXPECT_EQ(FPlatform.Questions[0].Answers.last(), Text(kw::kCancelAnswer));
    EXPECT_TRUE(Bar().isVisible());
    EXPECT_EQ(FirstWeapon().Section, weapon);
    EXPECT_EQ(Control<kw::TCoolEdit>("txtWeapons_cost")->text(), "4321");
    EXPECT_EQ(Pending("cost"), "4321");
    EXPECT_NE(window.Document().NextUndo(), nullptr);
    EXPECT_EQ(FileBytes(FGame), before);

    FPlatform.Choice = Text(kw::kChangedFilesReloadText);
    QTest::mouseClick(Bar().btnChangedFilesReload, Qt::LeftButton);
    EXPECT_EQ(FPlatform.Questions.size(), 2u);
    EXPECT_FALSE(Bar().isVisible());
    const auto& weapons = window.Catalog().Weapons;
    EXPECT_TRUE(
        std::none_of(weapons.begin(), weapons.end(), [&](const auto& w) { return w->Section == weapon; }));
    const auto& items = window.Catalog().Items;
    EXPECT_TRUE(std::any_of(items.begin(), items.end(), [](const auto& item) {
        return item->Section == "marsh_bread" && item->cost.Value == "115";
    }));
    EXPECT_FALSE(window.Document().IsModified());
    EXPECT_EQ(FileBytes(FGame), before);
}

// The editor's own save replaces the files it writes, which the system reports as it reports anyone's
// change; none of that is another program's.
TEST_F(ChangedOnDiskTest, TheEditorsOwnSaveRaisesNoBar) {
    kw::TfrmMain& window = StartShown();
    kw::TCoolEdit* cost = TypeInto("txtWeapons_cost", "4321");
    QTest::keyClick(cost, Qt::Key_S, Qt::ControlModifier);
    ASSERT_FALSE(window.isWindowModified());
    ASSERT_NE(GameFile(FileOf(FirstWeapon())).find("4321"), std::string::npos);

    for (const QString& path : QStringList(FPlatform.Watcher->Paths)) {
        Fire(path);
    }
    EXPECT_FALSE(Bar().isVisible()) << BarText().toStdString();

    // The same signals do report a change of another program.
    RewriteKey(FileOf(FirstWeapon()), FirstWeapon().Section, "cost", "4322");
    Fire(WatchedFolder(FileOf(FirstWeapon())));
    EXPECT_TRUE(Bar().isVisible());
}

// A change heard while a run holds the progress window up is decided once the run is over.
TEST_F(ChangedOnDiskTest, AChangeDuringARunShowsTheBarAfterIt) {
    kw::TfrmMain& window = StartShown();
    kw::TCoolEdit* cost = TypeInto("txtWeapons_cost", "4321");
    bool progressUp = false;
    bool barDuringRun = true;
    const std::size_t listener = window.Document().Listen([&](const kw::TDocumentChange& change) {
        if (change.Kind != kw::TDocumentChange::TKind::Saved) {
            return;
        }
        auto* progress = window.findChild<kw::TfrmProgress*>();
        progressUp = progress && progress->isVisible();
        RewriteKey(kItems, "marsh_bread", "cost", "115");
        Fire(Watched(kItems));
        barDuringRun = Bar().isVisible();
    });
    FPlatform.StepPerLook = 1000;
    QTest::keyClick(cost, Qt::Key_S, Qt::ControlModifier);
    FPlatform.StepPerLook = 0;
    window.Document().StopListening(listener);

    EXPECT_TRUE(progressUp);
    EXPECT_FALSE(barDuringRun);
    EXPECT_TRUE(Bar().isVisible());
    EXPECT_TRUE(BarText().contains(QString::fromStdString(GameName(kItems)))) << BarText().toStdString();
}

// Changes one after another collect into one bar, a long list counted at its end, in the interface language.
// Ignore takes the files as they are: the same change is not reported again, a new one is.
TEST_F(ChangedOnDiskTest, ChangesCollectIntoOneBarThatIgnoreDismisses) {
    fs::copy(fs::path(KW_SOURCE_DIR) / "resources" / "Lang", FFolder / "Lang");
    kw::TfrmMain& window = StartShown();
    std::vector<std::string> files;
    for (const auto& weapon : window.Catalog().Weapons) {
        const std::string file = FileOf(*weapon);
        if (std::find(files.begin(), files.end(), file) == files.end() && files.size() < 6) {
            files.push_back(file);
        }
    }
    ASSERT_EQ(files.size(), 6u);
    const int heightWithoutBar = window.height();
    for (const std::string& file : files) {
        std::ofstream(FGame + file, std::ios::binary | std::ios::app) << "; x\n";
        Fire(Watched(file));
        EXPECT_TRUE(Bar().isVisible());
    }
    // The bar takes its room above the pages, which keep theirs above the status line and the buttons.
    const int pagesTop = 4;
    EXPECT_LT(Bar().geometry().bottom(), window.PageControl1->geometry().top());
    EXPECT_LT(window.btnClose->geometry().bottom(), window.centralWidget()->height());
    EXPECT_LT(window.PageControl1->geometry().bottom(), window.lblGameDir->geometry().top());
    EXPECT_GE(Bar().height(), Bar().heightForWidth(Bar().width()));
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(BarText().contains(QString::fromStdString(GameName(files[i]))), i < 4) << i;
    }
    // The settings name no language: the start-up took English.
    EXPECT_TRUE(BarText().startsWith("Another program changed game files: ")) << BarText().toStdString();
    EXPECT_TRUE(BarText().endsWith(" and 2 more")) << BarText().toStdString();
    LanguageItem(QStringLiteral("Русский"))->trigger();
    EXPECT_TRUE(BarText().startsWith(Text(kw::kChangedFilesText).arg(""))) << BarText().toStdString();
    EXPECT_TRUE(BarText().endsWith(QString::fromUtf8(" и ещё 2"))) << BarText().toStdString();
    EXPECT_EQ(Bar().btnChangedFilesIgnore->text(), Text(kw::kChangedFilesIgnoreText));
    LanguageItem("English")->trigger();
    EXPECT_EQ(Bar().btnChangedFilesIgnore->text(), "Ignore");

    const std::map<std::string, std::string> before = FileBytes(FGame);
    QTest::mouseClick(Bar().btnChangedFilesIgnore, Qt::LeftButton);
    EXPECT_FALSE(Bar().isVisible());
    EXPECT_EQ(window.PageControl1->geometry().top(), pagesTop);
    // The room the bar took at the design size is given back: the size kept on closing stays the user's.
    EXPECT_EQ(window.height(), heightWithoutBar);
    for (const std::string& file : files) {
        Fire(Watched(file));
    }
    EXPECT_FALSE(Bar().isVisible());
    EXPECT_EQ(FileBytes(FGame), before);

    std::ofstream(FGame + files[1], std::ios::binary | std::ios::app) << "; y\n";
    Fire(WatchedFolder(files[1]));
    ASSERT_TRUE(Bar().isVisible());
    EXPECT_EQ(BarText(), "Another program changed game files: " + QString::fromStdString(GameName(files[1])));
}

// How another program writes a file: in place, by a new file renamed over it, or by deleting it and making
// it again. The last two take the file the system watched away.
enum class TWrite { InPlace, ByRename, DeleteAndCreate };

struct TWatchCase {
    const char* Name;
    TWrite Write;
};

class ChangedOnDiskWatcher : public ::testing::TestWithParam<TWatchCase> {
protected:
    void SetUp() override {
        std::string name = (fs::temp_directory_path() / "kw_watch_XXXXXX").string();
        ASSERT_NE(::mkdtemp(name.data()), nullptr) << name;
        FFolder = name;
        FFile = FFolder / "items.ltx";
        std::ofstream(FFile, std::ios::binary) << "[a]\nb = 1\n";
    }
    void TearDown() override { fs::remove_all(FFolder); }

    void Write(TWrite how, const std::string& text) const {
        if (how == TWrite::InPlace) {
            std::ofstream(FFile, std::ios::binary | std::ios::app) << text;
            return;
        }
        const fs::path temporary = FFolder / "items.ltx.new";
        if (how == TWrite::DeleteAndCreate) {
            fs::remove(FFile);
        }
        std::ofstream(how == TWrite::ByRename ? temporary : FFile, std::ios::binary) << text;
        if (how == TWrite::ByRename) {
            fs::rename(temporary, FFile);
        }
    }

    fs::path FFolder;
    fs::path FFile;
};

// The toolkit's own watcher on real files: whichever way the file was written, a later change in place is
// still heard, for the file was watched again.
TEST_P(ChangedOnDiskWatcher, KeepsWatchingTheFileWhateverWroteIt) {
    kw::TQtPlatform platform;
    QObject owner;
    kw::TFileWatcher* watcher = platform.MakeFileWatcher(&owner);
    const QString file = QString::fromStdString(FFile.string());
    const QString folder = QString::fromStdString(FFolder.string());
    watcher->SetPaths({file, folder});
    QSignalSpy heard(watcher, &kw::TFileWatcher::Changed);
    const auto heardFile = [&] {
        return std::any_of(heard.begin(), heard.end(), [&](const auto& call) { return call.at(0) == file; });
    };

    Write(GetParam().Write, "[a]\nb = 2\n");
    ASSERT_TRUE(QTest::qWaitFor(heardFile));
    heard.clear();
    Write(TWrite::InPlace, "; x\n");
    ASSERT_TRUE(QTest::qWaitFor(heardFile));

    // Paths set anew replace the old ones.
    watcher->SetPaths({folder});
    heard.clear();
    Write(TWrite::InPlace, "; y\n");
    fs::remove(FFolder / "other.ltx");
    std::ofstream(FFolder / "other.ltx") << "\n";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !heard.isEmpty(); }));
    EXPECT_FALSE(heardFile());
}

const TWatchCase kWatchCases[] = {
    {"InPlace", TWrite::InPlace},
    {"ByRename", TWrite::ByRename},
    {"DeleteAndCreate", TWrite::DeleteAndCreate},
};

INSTANTIATE_TEST_SUITE_P(Writes, ChangedOnDiskWatcher, testing::ValuesIn(kWatchCases),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace kwtest
