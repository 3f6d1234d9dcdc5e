#include "MainWindowFixture.h"

#include <QFile>
#include <QMenuBar>
#include <QRegularExpression>

namespace kwtest {
namespace {

// A menu item's text as the README writes it: no access key marks, an ellipsis for "...".
QString PlainText(QString text) {
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return text.replace(QStringLiteral("..."), QStringLiteral("…"));
}

// Every item of the menu bar that has keys, as "Menu → Item" with its keys in the portable notation.
std::vector<std::pair<QString, QStringList>> MenuShortcuts(const kw::TfrmMain& window) {
    std::vector<std::pair<QString, QStringList>> found;
    for (const QAction* top : window.menuBar()->actions()) {
        for (const QAction* item : top->menu() ? top->menu()->actions() : QList<QAction*>()) {
            QStringList keys;
            for (const QKeySequence& key : item->shortcuts()) {
                keys << key.toString(QKeySequence::PortableText);
            }
            if (!keys.isEmpty()) {
                found.emplace_back(PlainText(top->text()) + QStringLiteral(" → ") + PlainText(item->text()),
                                   keys);
            }
        }
    }
    return found;
}

// The README's table of shortcuts is taken from the menus: every item with keys has its row, naming the
// item as the English interface does and every key it answers to.
TEST_F(MainWindowTest, TheReadmeNamesEveryMenuShortcut) {
    std::filesystem::copy(KW_SOURCE_DIR "/resources/Lang", FFolder / "Lang");
    WriteSettings("GamePath=" + CopySampleGame("game") + "\nLanguage=English\n");
    kw::TfrmMain& window = Start();
    QFile readme(QStringLiteral(KW_SOURCE_DIR "/README.md"));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(readme.readAll()).split('\n');

    const auto shortcuts = MenuShortcuts(window);
    ASSERT_FALSE(shortcuts.empty());
    for (const auto& [item, keys] : shortcuts) {
        const auto row = std::find_if(lines.begin(), lines.end(), [&](const QString& line) {
            const QStringList cells = line.split('|');
            return cells.size() > 3 && cells[2].trimmed() == item;
        });
        ASSERT_NE(row, lines.end()) << "no row for " << item.toStdString();
        for (const QString& key : keys) {
            EXPECT_TRUE(row->split('|')[1].contains('`' + key + '`'))
                << item.toStdString() << " lacks " << key.toStdString();
        }
    }
}

} // namespace
} // namespace kwtest
