#include "port_names.h"

#include "pseudo_terminal.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vorna;

TEST(PortNames, NumbersMapToDeviceFamiliesAtTheirBoundaries) {
    const std::pair<int, QString> cases[] = {{1, "/dev/ttyS0"},
                                             {32, "/dev/ttyS31"},
                                             {33, "/dev/ttyUSB0"},
                                             {64, "/dev/ttyUSB31"},
                                             {65, "/dev/ttyACM0"},
                                             {99, "/dev/ttyACM34"},
                                             {0, ""},
                                             {100, ""}};
    for (const auto& [n, device] : cases) {
        qunsetenv("VORNA_COM" + QByteArray::number(n));
        EXPECT_EQ(devicePathForPort(n), device) << n;
    }
}

TEST(PortNames, NamesParseLikeTheComPattern) {
    const std::pair<QString, int> cases[] = {
        {"COM1", 1},   {"COM12", 12},          {"COM99", 99}, {"COM3 (USB)", 3},  {"COM0", 0},
        {"COM100", 0}, {"COM123456789012", 0}, {"COM", 0},    {"/dev/ttyUSB0", 0}};
    for (const auto& [name, n] : cases)
        EXPECT_EQ(portNumberFromName(name), n) << name.toStdString();
    EXPECT_EQ(deviceForPortText("COM3 (USB)"), "COM3 (USB)");
}

TEST(PortNames, EnvironmentWinsAndExistenceFollowsTheDevice) {
    QTemporaryDir dir;
    const vorna::sim::PseudoTerminal pty(dir.filePath("tty"));
    ASSERT_TRUE(pty.ok());
    qputenv("VORNA_COM12", dir.filePath("tty").toLocal8Bit());
    qputenv("VORNA_COM13", dir.filePath("missing").toLocal8Bit());
    qputenv("VORNA_COM14", dir.path().toLocal8Bit()); // a directory is no serial device
    EXPECT_EQ(deviceForPortText(" com12 "), dir.filePath("tty"));
    EXPECT_TRUE(portExists(12));
    EXPECT_FALSE(portExists(13));
    EXPECT_FALSE(portExists(14));
    EXPECT_TRUE(existingPortNames().contains("COM12"));
    EXPECT_FALSE(existingPortNames().contains("COM13"));
}
