#include "library/DatCatalog.h"
#include "library/LibraryController.h"
#include "library/LibraryFolders.h"
#include "library/LibraryModel.h"
#include "mainwindow/WindowController.h"
#include "support/ArchiveBuilder.h"
#include "support/RomImageBuilder.h"
#include "support/TestWorld.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

// The real main window over a library of one game, and files dropped on it as a file manager does.
TEST(DatDropTest, ADatDroppedIsAskedForAndIdentifiesTheGameAnotherXmlIsRefusedAndRomArchivesStillOpen)
{
    TestWorld world;
    QDir().mkpath(world.path(QStringLiteral("lib")));
    world.writeRom(QStringLiteral("lib/GAME.z64"), "GAME");
    LibraryFolders::setFolders({world.path(QStringLiteral("lib"))});
    WindowController controller;
    controller.showWindow(nullptr);
    LibraryModel *model = controller.library()->model();
    ASSERT_TRUE(QTest::qWaitFor([model] { return model->rowCount() == 1; }, kTimeoutMs));
    const QByteArray dat = "<?xml version=\"1.0\"?>\n<datafile><header><name>Test DAT</name></header>\n<game name=\"Game (Europe)\">"
                           "<rom name=\"Game (Europe).z64\" size=\"8192\" md5=\"" + model->record(0).md5().toLatin1() + "\"/></game></datafile>\n";
    ASSERT_TRUE(ArchiveBuilder().add("n64.dat", dat).writeTo(world.path(QStringLiteral("dat.zip")))
                && ArchiveBuilder().add("read me.xml", dat).add("in.v64", RomImageBuilder().image()).writeTo(world.path(QStringLiteral("roms.zip"))));
    const struct { QString file; QString message; } drops[] = {
        {world.writeFile(QStringLiteral("n64.xml"), dat), QStringLiteral("Use “Test DAT” to identify games?")},
        {world.path(QStringLiteral("dat.zip")), QStringLiteral("Use “Test DAT” to identify games?")},
        {world.writeFile(QStringLiteral("page.xml"), "<html>\n<body>\n</html>\n"), QStringLiteral("“page.xml” is not used: ")},
        {world.path(QStringLiteral("roms.zip")), QString()}};
    for (const auto &drop : drops) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(drop.file)});
        const Qt::DropActions any = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(QPoint(20, 20), any, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(controller.dragWindow(), &enter);
        QDropEvent dropped(QPointF(20, 20), any, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(controller.dragWindow(), &dropped);
        if (drop.message.isEmpty()) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return controller.rom() && controller.rom()->archiveEntry() == QStringLiteral("in.v64"); }, kTimeoutMs));
            continue;
        }
        QMessageBox *box = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] { return (box = controller.dragWindow()->findChild<QMessageBox *>()) && box->isVisible(); }, kTimeoutMs));
        // A refusal says where reading stopped.
        EXPECT_TRUE(box->text().startsWith(drop.message) && (box->text() == drop.message || box->text().contains(QLatin1String(" line "))))
            << box->text().toStdString();
        (box->button(QMessageBox::Yes) ? box->button(QMessageBox::Yes) : box->button(QMessageBox::Ok))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Yes to both: the same game, two DAT files; the library says so at once.
    EXPECT_EQ(DatCatalog::paths(), QStringList({world.path(QStringLiteral("n64.xml")), world.path(QStringLiteral("dat.zip"))}));
    EXPECT_TRUE(QTest::qWaitFor([model] { return model->index(0, LibraryModel::Dump).data().toString() == QStringLiteral("Verified"); }, kTimeoutMs));
}
