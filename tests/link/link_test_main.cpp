#include <QCoreApplication>
#include <gtest/gtest.h>

// The ports deliver their receive events through the event loop of a Qt application.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
