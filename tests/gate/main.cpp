// The end-to-end tests open serial ports, which want a QCoreApplication in the process; every
// test runs without an event loop, as the transport does.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
