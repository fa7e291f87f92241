#include "instrument_finder.h"
#include "instrument_settings.h"
#include "port_descriptions.h"
#include "port_names.h"
#include "port_selection.h"
#include "test_env.h"

#include <gtest/gtest.h>

using namespace vorna;
using namespace vorna::test;

TEST(SetupRoutines, TextsToNumbers) {
    const auto each = [](auto code, const QStringList& texts) {
        QList<decltype(code(QString()))> got;
        for (const QString& t : texts)
            got << code(t);
        return got;
    };
    // Option codes after trimming; case counts.
    EXPECT_EQ(each(temperature_code, {"T photovoltaic", "  T environment ", "t environment", ""}),
              (QList{1, 2, 0, 0}));
    EXPECT_EQ(each(linedc_code, {"MONOLINE", "BILINE   ", "THREELINE\t", "BILINES"}),
              (QList{1, 2, 3, 0}));
    EXPECT_EQ(each(phaseac_code, {"MONOPHASE", "BIPHASE", " THREEPHASE", "OK"}),
              (QList{1, 2, 3, 0}));
    EXPECT_EQ(each(leading_port_number, {"12", " 7 (USB)", "abc", "-3"}), (QList{12, 7, 0, 0}));
    EXPECT_GT(leading_port_number("99999999999999999999"), 99); // no overflow, still no port
    EXPECT_EQ(each(portNumberFromName, {"COM1", " com12 ", "COM99", "COM3 (USB)", "COM0", "COM100",
                                        "COM123456789012", "COM", "/dev/ttyUSB0"}),
              (QList{1, 12, 99, 3, 0, 0, 0, 0, 0}));
    EXPECT_EQ(deviceForPortText("COM3 (USB)"), "COM3 (USB)"); // not a port name: a device path

    TestEnv english, italian(kItalianPc);
    using enum RadMinCheck;
    const auto radMin = [&](TestEnv& env) {
        return [&env](const QString& t) { return check_rad_min(*env.ctx, t); };
    };
    // Both limits are accepted, a hair beyond them is not.
    EXPECT_EQ(each(radMin(english),
                   {"1", "1999", "600", "0.99", "1999.01", "-5", "12,5", "", "1e3", "1.5.1"}),
              (QList{Ok, Ok, Ok, OutOfLimit, OutOfLimit, OutOfLimit, InvalidFormat, InvalidFormat,
                     InvalidFormat, InvalidFormat}));
    EXPECT_EQ(each(radMin(italian), {"12,5", "1", "1999", "0,99", "12.5", "1999,5"}),
              (QList{Ok, Ok, Ok, OutOfLimit, InvalidFormat, OutOfLimit}));

    italian.ctx->languageIndex = 4;
    EXPECT_EQ(none_answered_text(*english.ctx, 3),
              "The instrument was not found: 3 ports were tried and none answered.");
    EXPECT_EQ(
        none_answered_text(*italian.ctx, 2),
        "Lo strumento non è stato trovato: sono state provate 2 porte e nessuna ha risposto.");

    qunsetenv("VORNA_COM1");
    qunsetenv("VORNA_COM33");
    QStringList devices; // the device families at their boundaries; 0 and 100 have none
    for (int number : {1, 32, 33, 64, 65, 99, 0, 100})
        devices << PortDescriber(QList<AdapterInfo>()).describe(number).device;
    EXPECT_EQ(devices.join(' '), "/dev/ttyS0 /dev/ttyS31 /dev/ttyUSB0 /dev/ttyUSB31 /dev/ttyACM0 "
                                 "/dev/ttyACM34  ");
    QFile::link("/dev/null", english.path("dev"));
    qputenv("VORNA_COM33", english.path("dev").toLocal8Bit());
    EXPECT_EQ(PortDescriber(QList<AdapterInfo>()).describe(33).device,
              english.path("dev") + " -> /dev/null");
    qunsetenv("VORNA_COM33");
}
