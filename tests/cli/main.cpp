#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // The serial port object wants an application object in the process.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
