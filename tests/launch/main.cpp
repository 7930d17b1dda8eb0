#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // Children's end notices arrive through this application's event loop.
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
