#include <QApplication>
#include <gtest/gtest.h>

// A QApplication for the whole run: widgets and fonts need one.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
