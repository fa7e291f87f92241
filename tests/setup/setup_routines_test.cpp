#include "instrument_settings.h"
#include "link_fixture.h"
#include "port_selection.h"
#include "test_env.h"

#include <gtest/gtest.h>
#include <random>

using namespace vorna;
using namespace vorna::test;

TEST(SetupRoutines, RepliesAndPortTextsToNumbers) {
    // Codes after trimming; case counts.
    const std::tuple<int (*)(const QString&), const char*, int> replies[] = {
        {temperature_code, "T photovoltaic", 1},
        {temperature_code, "  T environment ", 2},
        {temperature_code, "t environment", 0},
        {temperature_code, "", 0},
        {linedc_code, "MONOLINE", 1},
        {linedc_code, "BILINE   ", 2},
        {linedc_code, "THREELINE\t", 3},
        {linedc_code, "BILINES", 0},
        {phaseac_code, "MONOPHASE", 1},
        {phaseac_code, "BIPHASE", 2},
        {phaseac_code, " THREEPHASE", 3},
        {phaseac_code, "OK", 0},
        {leading_port_number, "12", 12},
        {leading_port_number, " 7 (USB)", 7},
        {leading_port_number, "abc", 0},
        {leading_port_number, "-3", 0},
    };
    for (const auto& [code, text, expected] : replies)
        EXPECT_EQ(code(text), expected) << text;
    // No overflow, and still no port.
    EXPECT_GT(leading_port_number("99999999999999999999"), 99);

    qunsetenv("VORNA_COM1");
    qunsetenv("VORNA_COM33");
    for (const auto& [number, device] :
         {std::pair{1, "/dev/ttyS0"}, {33, "/dev/ttyUSB0"}, {65, "/dev/ttyACM0"}, {0, ""}})
        EXPECT_EQ(port_device_text(number), device);
    TestEnv env;
    QFile::link("/dev/null", env.path("dev"));
    qputenv("VORNA_COM33", env.path("dev").toLocal8Bit());
    EXPECT_EQ(port_device_text(33), env.path("dev") + " -> /dev/null");
    qunsetenv("VORNA_COM33");
}

TEST(SetupRoutines, MinimumRadiationLimitsAndFormats) {
    TestEnv english, italian(kItalianPc);
    const std::tuple<TestEnv*, const char*, RadMinCheck> cases[] = {
        {&english, "600.5", RadMinCheck::Ok},
        {&english, "1999.01", RadMinCheck::OutOfLimit},
        {&english, "-5", RadMinCheck::OutOfLimit},
        {&english, "12,5", RadMinCheck::InvalidFormat},
        {&english, "", RadMinCheck::InvalidFormat},
        {&english, "1e3", RadMinCheck::InvalidFormat},
        {&italian, "12,5", RadMinCheck::Ok},
        {&italian, "12.5", RadMinCheck::InvalidFormat},
        {&italian, "1999,5", RadMinCheck::OutOfLimit},
    };
    for (const auto& [env, text, expected] : cases)
        EXPECT_EQ(check_rad_min(*env->ctx, text), expected) << text;
}

// Whatever is typed or received: no crash, and an accepted radiation is within its limits.
TEST(SetupRoutines, FuzzedTextsForTheParsers) {
    TestEnv english, italian(kItalianPc);
    std::mt19937 random(20240614);
    const QString alphabet = QStringLiteral("0123456789.,-+ eE\t\r\x7fàé");
    std::uniform_int_distribution<int> length(0, 12), pick(0, int(alphabet.size()) - 1);
    for (int i = 0; i < 20000; ++i) {
        QString text;
        for (int n = length(random); n > 0; --n)
            text += alphabet.at(pick(random));
        for (const AppContext* c : {english.ctx.get(), italian.ctx.get()}) {
            if (check_rad_min(*c, text) != RadMinCheck::Ok) continue;
            bool ok = false;
            const double v = c->locale.toDouble(text, &ok);
            ASSERT_TRUE(ok && v >= kRadMinLow && v <= kRadMinHigh) << text.toStdString();
        }
        ASSERT_GE(leading_port_number(text), 0);
        ASSERT_EQ(temperature_code(text) + linedc_code(text) + phaseac_code(text), 0)
            << text.toStdString();
    }
}
