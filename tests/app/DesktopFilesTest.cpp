#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

TEST(DesktopFilesTest, DesktopEntryAndMetainfoPassTheirValidators)
{
    const QString dir = QStringLiteral(TOLVANE_DESKTOP_DIR "/io.github.tolvane.Launcher");
    QFile entry(dir + QStringLiteral(".desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QByteArray text = entry.readAll();
    EXPECT_TRUE(text.contains("\nExec=tolvane-launcher %F\n") && text.contains("\nMimeType=application/x-n64-rom;\n"));
    const std::pair<const char *, QStringList> validators[] = {
        {"desktop-file-validate", {dir + QStringLiteral(".desktop")}},
        {"appstreamcli", {QStringLiteral("validate"), QStringLiteral("--no-net"), dir + QStringLiteral(".metainfo.xml")}}};
    for (const auto &[tool, arguments] : validators) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(tool));
        if (program.isEmpty())
            GTEST_SKIP() << tool << " is not installed";
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        ASSERT_TRUE(process.waitForFinished(60000));
        const QByteArray output = process.readAll();
        EXPECT_EQ(process.exitCode(), 0) << output.toStdString();
        EXPECT_FALSE(output.contains("W:") || output.contains("E:")) << output.toStdString();
    }
}
