#include "library/DatCatalog.h"
#include "library/GameLibrary.h"
#include "library/LibraryController.h"
#include "mainwindow/WindowController.h"
#include "rom/ROM.h"
#include "support/ArchiveBuilder.h"
#include "support/RomImageBuilder.h"
#include "support/TestWorld.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

// The real main window, and files dropped on it as a file manager does.
TEST(DatDropTest, ADatDroppedIsAskedForAndIdentifiesGamesAnotherXmlIsRefusedAndRomArchivesStillOpen)
{
    TestWorld world;
    WindowController controller;
    controller.showWindow(nullptr);
    const QByteArray image = RomImageBuilder().image(), md5 = QCryptographicHash::hash(image, QCryptographicHash::Md5).toHex();
    const QByteArray dat = "<?xml version=\"1.0\"?>\n<datafile><header><name>Test DAT</name></header>\n<game name=\"Game (Europe)\">"
                           "<rom name=\"Game (Europe).z64\" size=\"" + QByteArray::number(image.size()) + "\" md5=\"" + md5 + "\"/></game></datafile>\n";
    // An archive is a DAT only when it holds one and no ROM image.
    ASSERT_TRUE(ArchiveBuilder().add("n64.dat", dat).writeTo(world.path(QStringLiteral("dat.zip")))
                && ArchiveBuilder().add("read me.xml", dat).add("in.z64", image).writeTo(world.path(QStringLiteral("roms.zip"))));
    const struct { QString file, message; } drops[] = {
        {world.writeFile(QStringLiteral("n64.xml"), dat), QStringLiteral("Use “Test DAT” to identify games?")},
        {world.path(QStringLiteral("dat.zip")), QStringLiteral("Use “Test DAT” to identify games?")},
        {world.writeFile(QStringLiteral("page.xml"), "<html>\n<body>\n</html>\n"), QStringLiteral("“page.xml” is not used: ")},
        {world.path(QStringLiteral("roms.zip")), QString()}};
    for (const auto &drop : drops) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(drop.file)});
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QDropEvent dropped(QPointF(20, 20), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(controller.dragWindow(), &enter), QApplication::sendEvent(controller.dragWindow(), &dropped);
        QMessageBox *box = nullptr;
        if (drop.message.isEmpty())
            continue;
        ASSERT_TRUE(QTest::qWaitFor([&] { return (box = controller.dragWindow()->findChild<QMessageBox *>()) && box->isVisible(); }, kTimeoutMs));
        // A refusal says where reading stopped.
        EXPECT_TRUE(box->text().startsWith(drop.message) && (box->text() == drop.message || box->text().contains(QLatin1String(" line "))))
            << box->text().toStdString();
        (box->button(QMessageBox::Yes) ? box->button(QMessageBox::Yes) : box->button(QMessageBox::Ok))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_EQ(DatCatalog::paths(), QStringList({world.path(QStringLiteral("n64.xml")), world.path(QStringLiteral("dat.zip"))}));
    // The image in the ROM archive opened, and is verified now.
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller.rom() && controller.rom()->archiveEntry() == QStringLiteral("in.z64"); }, kTimeoutMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return controller.library()->gameLibrary()->dumpStatus(*controller.rom()).isVerified(); }, kTimeoutMs));
}
