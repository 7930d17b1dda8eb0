#include "support/TestWorld.h"

#include "platform/SingleInstance.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

TEST(SingleInstanceTest, MessagesCarryAnyPathsAndAnEmptyOneAsksOnlyForTheWindow)
{
    TestWorld world;
    SingleInstance server(world.path(QStringLiteral("test.socket")));
    ASSERT_TRUE(server.listen());
    QSignalSpy received(&server, &SingleInstance::filesReceived);
    const QStringList paths{QStringLiteral("/roms/with space.z64"), QStringLiteral("/roms/line\nend"), QStringLiteral("/roms/\u00fc.v64")};
    SingleInstance client(server.serverName());
    for (const QStringList &sent : {paths, QStringList()}) {
        ASSERT_TRUE(client.sendToRunningInstance(sent));
        ASSERT_TRUE(received.wait(kTimeoutMs));
        EXPECT_EQ(received.takeFirst().at(0).toStringList(), sent);
    }
    EXPECT_FALSE(SingleInstance(world.path(QStringLiteral("nobody.socket"))).sendToRunningInstance(paths, 500));
    // Private to the user: in the runtime folder when there is one.
    EXPECT_TRUE(SingleInstance::defaultServerName().startsWith(qEnvironmentVariable("XDG_RUNTIME_DIR") + QLatin1Char('/')));
}

} // namespace
