#include "mainwindow/OpenAndWait.h"
#include "support/StartedLauncher.h"

#include "library/LibraryController.h"
#include "library/LibraryFilterModel.h"
#include "library/LibraryPanel.h"
#include "mainwindow/ArchiveEntryChooser.h"
#include "platform/Translations.h"
#include "prefs/GameSettingsWindowController.h"
#include "prefs/PrefrenceWindowController.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QToolButton>
#include <QTableView>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

// Qt's own texts (its buttons, its menus) stand for its catalogue: wrapped as ours are.
class QtTextsWrapped : public QTranslator
{
public:
    QString translate(const char *context, const char *text, const char *, int) const override
    {
        return context && context[0] == 'Q' ? QStringLiteral("[%1]").arg(QString::fromUtf8(text)) : QString();
    }
    bool isEmpty() const override { return false; }
};

// Reads every window on screen as a user would, and says what is untranslated (pseudo-locale
// only: such a text lacks the brackets), cut off, or reached by the same Alt+letter as another.
// Data is not read: fields' contents, Open Recent's files, texts without letters ("★", "64").
struct Reader
{
    bool pseudo;
    QSet<QString> problems;

    void text(const QWidget *w, const QString &text, int room = INT_MAX, int needed = -1)
    {
        static const QRegularExpression letter(QStringLiteral("\\p{L}")), wrapped(QStringLiteral("\\[.*\\]"), QRegularExpression::DotMatchesEverythingOption);
        const QString where = w->window()->objectName() + QLatin1Char('/') + QLatin1String(w->metaObject()->className()) + QStringLiteral(": ") + text;
        if (pseudo && text.contains(letter) && !wrapped.match(text).hasMatch())
            problems.insert(QStringLiteral("untranslated ") + where);
        if (room < (needed >= 0 ? needed : w->fontMetrics().horizontalAdvance(QString(text).remove(QLatin1Char('&')))))
            problems.insert(QStringLiteral("cut off (%1 px) ").arg(room) + where);
    }
    void menu(const QWidget *w, const QList<QAction *> &actions)
    {
        for (const QAction *action : actions) {
            text(w, action->text());
            if (action->menu() && action->text() != QCoreApplication::translate("MainMenu", "Open Recent"))
                menu(action->menu(), action->menu()->actions());
        }
    }
    void window(QWidget *window)
    {
        text(window, window->windowTitle());
        QHash<QChar, QString> letters;
        const auto mnemonic = [&](const QWidget *w, const QString &text) {
            const qsizetype at = QString(text).replace(QStringLiteral("&&"), QStringLiteral("__")).indexOf(QLatin1Char('&')) + 1;
            if (at > 0 && at < text.size() && w->isEnabled()) {
                if (const QString other = letters.value(text.at(at).toLower()); !other.isEmpty())
                    problems.insert(QStringLiteral("Alt+%1 twice in %2: %3, %4").arg(text.at(at), window->objectName(), other, text));
                letters.insert(text.at(at).toLower(), text);
            }
        };
        for (QWidget *w : window->findChildren<QWidget *>()) {
            if (!w->isVisibleTo(window) || w->window() != window)
                continue;
            if (auto *label = qobject_cast<QLabel *>(w)) {
                text(w, label->text(), label->wordWrap() ? label->height() : label->width(),
                     label->wordWrap() ? label->heightForWidth(label->width()) : label->minimumSizeHint().width());
                if (label->buddy())
                    mnemonic(w, label->text());
            } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
                QStyleOptionButton option;
                option.initFrom(button);
                const bool box = qobject_cast<QCheckBox *>(w);
                const auto *tool = qobject_cast<QToolButton *>(w);
                const bool iconBeside = !button->icon().isNull() && !box && (!tool || tool->toolButtonStyle() == Qt::ToolButtonTextBesideIcon);
                text(w, button->text(), w->style()->subElementRect(box ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents, &option, w).width()
                                            - (iconBeside ? button->iconSize().width() + 4 : 0));
                mnemonic(w, button->text());
            } else if (auto *group = qobject_cast<QGroupBox *>(w)) {
                text(w, group->title(), group->width(), group->minimumSizeHint().width());
            } else if (auto *header = qobject_cast<QHeaderView *>(w); header && header->orientation() == Qt::Horizontal) {
                for (int i = 0; i < header->count(); ++i)
                    text(w, header->model()->headerData(i, Qt::Horizontal).toString(), header->isSectionHidden(i) ? INT_MAX : header->sectionSize(i));
            } else if (auto *bar = qobject_cast<QMenuBar *>(w)) {
                menu(w, bar->actions());
                for (const QAction *action : bar->actions())
                    mnemonic(w, action->text());
            } else if (auto *edit = qobject_cast<QLineEdit *>(w)) {
                text(w, edit->placeholderText());
            }
        }
    }
    void everyWindow()
    {
        QTest::qWait(50);
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && !qobject_cast<QMenu *>(w))
                window(w);
        }
    }
};

TEST(EveryWindowTranslatedTest, EveryTextIsFromTheCatalogueFitsItsControlAndHasItsOwnMnemonic)
{
    for (const bool pseudo : {true, false}) {
        SCOPED_TRACE(pseudo ? "pseudo-locale" : "German");
        QtTextsWrapped qtWrapped;
        QTranslator ours, qt;
        ASSERT_TRUE(pseudo ? ours.load(QStringLiteral(TOLVANE_PSEUDO_QM))
                           : ours.load(QStringLiteral("tolvane-launcher_de"), Translations::folder())
                                 && qt.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
        QCoreApplication::installTranslator(pseudo ? static_cast<QTranslator *>(&qtWrapped) : &qt);
        QCoreApplication::installTranslator(&ours);
        Reader reader{pseudo, {}};
        {
            StartedLauncher launcher;
            ASSERT_TRUE(launcher.start());
            const TestWorld &world = launcher.world;
            WindowController &main = launcher.controller();
            reader.everyWindow();
            LibraryController *library = main.library();
            QDir().mkpath(world.path(QStringLiteral("games")));
            const QString rom = world.writeRom(QStringLiteral("games/Game.z64"));
            library->addFolder(world.path(QStringLiteral("games")));
            ASSERT_TRUE(QTest::qWaitFor([&] { return library->filterModel()->rowCount() == 1; }, kTimeoutMs));
            reader.everyWindow();
            std::unique_ptr<QMenu> context(library->contextMenu(library->filterModel()->index(0, 0)));
            reader.menu(main.window(), context->actions());
            library->panel()->showGrid(true);
            reader.everyWindow();
            ASSERT_TRUE(openAndWait(main, QUrl::fromLocalFile(rom)));
            reader.everyWindow();

            launcher.delegate->showPrefs(nullptr);
            PrefrenceWindowController &prefs = *launcher.delegate->preferenceController();
            for (QAction *pane : {prefs.videoToolbarButton(), prefs.controllerToolbarButton(), prefs.emulatorToolbarButton(),
                                  prefs.libraryToolbarButton()}) {
                pane->trigger();
                reader.everyWindow();
            }
            prefs.window()->close();
            GameSettingsWindowController game(EffectiveSettings(QStringLiteral("00112233445566778899aabbccddeeff"), QStringLiteral("G")));
            game.showWindow(nullptr);
            reader.everyWindow();
            game.window()->close();

            auto *chooser = new ArchiveEntryChooser(main.window(), QStringLiteral("Games.zip"),
                                                    {{0, QStringLiteral("A.z64"), 8192}, {1, QStringLiteral("B.z64"), -1}});
            chooser->show();
            reader.everyWindow();
            chooser->close();
            main.showEmulatorOutput();
            reader.everyWindow();
            TestWorld::setSetting("Build", QStringLiteral("Custom"));
            TestWorld::setSetting("CustomBuildPath", world.path(QStringLiteral("no-such-console")));
            main.playPressed();
            ASSERT_TRUE(QTest::qWaitFor([&] { return main.emulatorMissingMessage() && main.emulatorMissingMessage()->isVisible(); }, kTimeoutMs));
            reader.everyWindow();
            main.emulatorMissingMessage()->close();
            ASSERT_FALSE(openAndWait(main, QUrl::fromLocalFile(world.writeFile(QStringLiteral("short.z64"), "short"))));
            reader.everyWindow();
        }
        QCoreApplication::removeTranslator(&ours);
        QCoreApplication::removeTranslator(pseudo ? static_cast<QTranslator *>(&qtWrapped) : &qt);
        QStringList problems = reader.problems.values();
        problems.sort();
        EXPECT_TRUE(problems.isEmpty()) << problems.size() << " problems:\n" << qPrintable(problems.join(QLatin1Char('\n')));
    }
}

} // namespace
