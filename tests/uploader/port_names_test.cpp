#include "port_names.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

using namespace vorna;

TEST(PortNames, NumbersMapToDeviceFamiliesAtTheirBoundaries) {
    qunsetenv("VORNA_COM1");
    qunsetenv("VORNA_COM32");
    qunsetenv("VORNA_COM33");
    qunsetenv("VORNA_COM64");
    qunsetenv("VORNA_COM65");
    qunsetenv("VORNA_COM99");
    EXPECT_EQ(devicePathForPort(1), "/dev/ttyS0");
    EXPECT_EQ(devicePathForPort(32), "/dev/ttyS31");
    EXPECT_EQ(devicePathForPort(33), "/dev/ttyUSB0");
    EXPECT_EQ(devicePathForPort(64), "/dev/ttyUSB31");
    EXPECT_EQ(devicePathForPort(65), "/dev/ttyACM0");
    EXPECT_EQ(devicePathForPort(99), "/dev/ttyACM34");
    EXPECT_TRUE(devicePathForPort(0).isEmpty());
    EXPECT_TRUE(devicePathForPort(100).isEmpty());
}

TEST(PortNames, EnvironmentWinsAndExistenceFollowsTheDevice) {
    int master = -1, slave = -1;
    char name[256] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    QTemporaryDir dir;
    const QString link = dir.path() + "/tty";
    ASSERT_TRUE(QFile::link(QString::fromLocal8Bit(name), link));
    qputenv("VORNA_COM12", link.toLocal8Bit());
    qputenv("VORNA_COM13", (dir.path() + "/missing").toLocal8Bit());
    qputenv("VORNA_COM14", dir.path().toLocal8Bit()); // a directory is no serial device
    EXPECT_EQ(devicePathForPort(12), link);
    EXPECT_EQ(deviceForPortText("COM12"), link);
    EXPECT_EQ(deviceForPortText(" com12 "), link);
    EXPECT_TRUE(portExists(12));
    EXPECT_FALSE(portExists(13));
    EXPECT_FALSE(portExists(14));
    EXPECT_TRUE(existingPortNames().contains("COM12"));
    EXPECT_FALSE(existingPortNames().contains("COM13"));
    qunsetenv("VORNA_COM12");
    qunsetenv("VORNA_COM13");
    qunsetenv("VORNA_COM14");
    ::close(master);
    ::close(slave);
}

TEST(PortNames, NamesParseLikeTheComPattern) {
    EXPECT_EQ(portNumberFromName("COM1"), 1);
    EXPECT_EQ(portNumberFromName("COM12"), 12);
    EXPECT_EQ(portNumberFromName("COM99"), 99);
    EXPECT_EQ(portNumberFromName("COM3 (USB)"), 3);
    EXPECT_EQ(portNumberFromName("COM0"), 0);
    EXPECT_EQ(portNumberFromName("COM100"), 0);
    EXPECT_EQ(portNumberFromName("COM123456789012"), 0);
    EXPECT_EQ(portNumberFromName("COM"), 0);
    EXPECT_EQ(portNumberFromName("/dev/ttyUSB0"), 0);
    EXPECT_EQ(portNameForNumber(7), "COM7");
    EXPECT_EQ(deviceForPortText("/dev/ttyUSB3"), "/dev/ttyUSB3");
    EXPECT_EQ(deviceForPortText("COM3 (USB)"), "COM3 (USB)");
}
