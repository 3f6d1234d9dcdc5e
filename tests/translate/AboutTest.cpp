#include "LanguageFiles.h"

#include "translate/LinkLabel.h"
#include "translate/uAbout.h"

#include <QApplication>
#include <QEnterEvent>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using kwtest::FormXml;
using kwtest::LanguageXml;

QColor FontColor(const QWidget& widget) {
    return widget.palette().color(QPalette::Active, QPalette::WindowText);
}

void Enter(QWidget& widget) {
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&widget, &event);
}

void Leave(QWidget& widget) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&widget, &event);
}

class LinkLabel : public testing::Test {
protected:
    LinkLabel() {
        FLabel.OpenLink = [this](const QUrl& url) { FOpened.append(url); };
        FLabel.ShowMessage = [this](const QString& text) { FMessages.append(text); };
        FLabel.resize(120, 20);
        FWindow.show();
    }

    QWidget FWindow; // a top-level widget treats its cursor differently
    kw::TLinkLabel& FLabel = *new kw::TLinkLabel("kitwright@example.org", &FWindow);
    QList<QUrl> FOpened;
    QStringList FMessages;
};

TEST_F(LinkLabel, HoverShowsTheLinkLookAndLeavingRestoresTheOwnOne) {
    FLabel.setCursor(Qt::IBeamCursor);
    FLabel.SetLinkColor(Qt::red);
    ASSERT_EQ(FontColor(FLabel), QColor(Qt::blue));

    Enter(FLabel);
    Enter(FLabel); // a second enter must not take the hover look for the own one
    EXPECT_EQ(FontColor(FLabel), QColor(Qt::red));
    EXPECT_TRUE(FLabel.font().underline());
    EXPECT_EQ(FLabel.cursor().shape(), Qt::PointingHandCursor);

    Leave(FLabel);
    EXPECT_EQ(FontColor(FLabel), QColor(Qt::blue));
    EXPECT_FALSE(FLabel.font().underline());
    EXPECT_EQ(FLabel.cursor().shape(), Qt::IBeamCursor);

    FLabel.unsetCursor();
    FLabel.SetUnderline(false);
    Enter(FLabel);
    EXPECT_FALSE(FLabel.font().underline());
    Leave(FLabel);
    EXPECT_FALSE(FLabel.testAttribute(Qt::WA_SetCursor)) << "an inherited cursor stays inherited";
}

TEST_F(LinkLabel, ClickOpensTheLinkThenSignals) {
    FLabel.SetLink("mailto:kitwright@example.org");
    QSignalSpy clicks(&FLabel, &kw::TLinkLabel::clicked);
    QObject::connect(&FLabel, &kw::TLinkLabel::clicked, [&] { EXPECT_EQ(FOpened.size(), 1); });

    QTest::mouseClick(&FLabel, Qt::LeftButton);
    ASSERT_EQ(FOpened.size(), 1);
    EXPECT_EQ(FOpened[0], QUrl("mailto:kitwright@example.org"));
    EXPECT_EQ(clicks.count(), 1);

    QTest::mouseClick(&FLabel, Qt::RightButton);
    QTest::mousePress(&FLabel, Qt::LeftButton);
    QTest::mouseRelease(&FLabel, Qt::LeftButton, {}, QPoint(-5, 30));
    EXPECT_EQ(FOpened.size(), 1) << "only a left click released over the label counts";
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(LinkLabel, EmptyLinkIsRefusedWithAMessage) {
    EXPECT_EQ(FLabel.Link(), kw::TLinkLabel::kDefaultLink);
    FLabel.SetLink("https://example.net/");
    EXPECT_TRUE(FMessages.isEmpty());

    FLabel.SetLink("");
    EXPECT_EQ(FLabel.Link(), "https://example.net/");
    EXPECT_EQ(FMessages, QStringList{"You must specify a link"});
}

class About : public testing::Test {
protected:
    kw::LanguageList English(const std::string& forms) {
        return {{"English", FFolder.Write("English.xml", LanguageXml("English", forms))}};
    }

    kwtest::TempFolder FFolder;
};

TEST_F(About, TranslatesCaptionAndLinkHintOnly) {
    const std::string body =
        "      <caption>About</caption>\n"
        "      <components>\n"
        "        <component name=\"lblMailTo\"><prop id=\"Hint\">Write to me</prop>"
        "<prop id=\"Caption\">nobody</prop></component>\n"
        "        <component name=\"lblName\"><prop id=\"Caption\">Other</prop></component>\n"
        "      </components>\n";
    const kw::LanguageList languages = English(FormXml("frmAbout", body));

    const QPointer<kw::TfrmAbout> translated = new kw::TfrmAbout(nullptr, languages, 0);
    EXPECT_EQ(translated->windowTitle(), "About");
    EXPECT_EQ(translated->lblMailTo->toolTip(), "Write to me");
    EXPECT_EQ(translated->lblMailTo->text(), kw::TfrmAbout::kMailAddress);
    EXPECT_EQ(translated->lblName->text(), "Kitwright");
    delete translated;

    const QPointer<kw::TfrmAbout> builtIn = new kw::TfrmAbout(nullptr, languages, -1);
    EXPECT_EQ(builtIn->windowTitle(), "О программе");
    EXPECT_EQ(builtIn->lblMailTo->toolTip(), "Отправить письмо автору");
    EXPECT_EQ(builtIn->lblMailTo->Link(), QString("mailto:") + kw::TfrmAbout::kMailAddress);
    delete builtIn;
}

TEST_F(About, ShippedEnglishFileCoversTheDialog) {
    QObject mainWindow;
    kw::TTranslator translator(&mainWindow);
    ASSERT_TRUE(translator.LoadLanguages(KW_SOURCE_DIR "/resources/Lang").isEmpty());
    const int english = translator.IndexOfLanguage("English");
    ASSERT_GE(english, 0);

    kw::TfrmAbout form(nullptr, translator.Languages(), english);
    EXPECT_EQ(form.windowTitle(), "About");
    EXPECT_NE(form.lblMailTo->toolTip(), "Отправить письмо автору");
}

TEST_F(About, OkClosesAndFreesTheModalDialog) {
    QWidget owner;
    owner.resize(600, 400);
    owner.show();
    QPointer<kw::TfrmAbout> shown;
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        shown = qobject_cast<kw::TfrmAbout*>(QApplication::activeModalWidget());
        ASSERT_TRUE(shown);
        wasModal = shown->isModal() && shown->minimumSize() == shown->maximumSize();
        QTest::mouseClick(shown->btnOK, Qt::LeftButton);
    });
    // Whatever goes wrong above, the loop must not wait for a user.
    QTimer::singleShot(5000, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });

    kw::TfrmAbout::Execute(&owner, English(""), 0);

    EXPECT_TRUE(wasModal) << "modal and of fixed size";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(shown.isNull());
}

} // namespace
