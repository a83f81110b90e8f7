#include <QCoreApplication>

#include <clocale>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // The serial port object wants an application object in the process.
    QCoreApplication app(argc, argv);
    // Numbers in files and on the bus are written with a decimal point whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
