#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

#include <gtest/gtest.h>

namespace {

const QString desktopDir = QStringLiteral(TOLVANE_DESKTOP_DIR);

// Runs a validator; its output is the failure message when it complains.
void expectValid(const QString &tool, const QStringList &arguments)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        GTEST_SKIP() << tool.toStdString() << " is not installed";
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    ASSERT_TRUE(process.waitForFinished(60000));
    const QByteArray output = process.readAll();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << output.toStdString();
    EXPECT_FALSE(output.contains("W:") || output.contains("E:")) << output.toStdString();
}

TEST(DesktopFilesTest, DesktopEntryPassesDesktopFileValidate)
{
    const QString entry = desktopDir + QStringLiteral("/io.github.tolvane.Launcher.desktop");
    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("\nExec=tolvane-launcher %F\n"));
    EXPECT_TRUE(text.contains("\nMimeType=application/x-n64-rom;\n"));
    expectValid(QStringLiteral("desktop-file-validate"), {entry});
}

TEST(DesktopFilesTest, MetainfoPassesAppstreamValidation)
{
    expectValid(QStringLiteral("appstreamcli"),
                {QStringLiteral("validate"), QStringLiteral("--no-net"),
                 desktopDir + QStringLiteral("/io.github.tolvane.Launcher.metainfo.xml")});
}

} // namespace
