#include "instrument_settings.h"
#include "port_selection.h"
#include "test_env.h"

#include <gtest/gtest.h>
#include <random>

using namespace vorna;

TEST(SetupRoutines, RepliesMapToCodesAfterTrimming) {
    EXPECT_EQ(temperature_code("T photovoltaic"), 1);
    EXPECT_EQ(temperature_code("  T environment "), 2);
    EXPECT_EQ(temperature_code("t environment"), 0); // case counts
    EXPECT_EQ(temperature_code(""), 0);
    EXPECT_EQ(linedc_code("MONOLINE"), 1);
    EXPECT_EQ(linedc_code("BILINE   "), 2);
    EXPECT_EQ(linedc_code("THREELINE\t"), 3);
    EXPECT_EQ(linedc_code("BILINES"), 0);
    EXPECT_EQ(phaseac_code("MONOPHASE"), 1);
    EXPECT_EQ(phaseac_code("BIPHASE"), 2);
    EXPECT_EQ(phaseac_code(" THREEPHASE"), 3);
    EXPECT_EQ(phaseac_code("OK"), 0);
}

TEST(SetupRoutines, PortTexts) {
    const QStringList list = port_list_texts();
    ASSERT_EQ(list.size(), 90);
    EXPECT_EQ(list.first(), "1");
    EXPECT_EQ(list.last(), "90");

    EXPECT_EQ(leading_port_number("12"), 12);
    EXPECT_EQ(leading_port_number(" 7 (USB)"), 7);
    EXPECT_EQ(leading_port_number("abc"), 0);
    EXPECT_EQ(leading_port_number(""), 0);
    EXPECT_EQ(leading_port_number("-3"), 0);
    EXPECT_GT(leading_port_number("99999999999999999999"), 99); // no overflow, still no port

    qunsetenv("VORNA_COM1");
    qunsetenv("VORNA_COM33");
    EXPECT_EQ(port_device_text(1), "/dev/ttyS0");
    EXPECT_EQ(port_device_text(33), "/dev/ttyUSB0");
    EXPECT_EQ(port_device_text(65), "/dev/ttyACM0");
    EXPECT_EQ(port_device_text(0), "");
    test::TestEnv env;
    QFile::link("/dev/null", env.path("dev"));
    qputenv("VORNA_COM33", env.path("dev").toLocal8Bit());
    EXPECT_EQ(port_device_text(33), env.path("dev") + " -> /dev/null");
    qunsetenv("VORNA_COM33");
}

TEST(SetupRoutines, MinimumRadiationLimitsAndFormats) {
    test::TestEnv english;
    const AppContext& en = *english.ctx;
    EXPECT_EQ(check_rad_min(en, "1"), RadMinCheck::Ok);
    EXPECT_EQ(check_rad_min(en, "1999"), RadMinCheck::Ok);
    EXPECT_EQ(check_rad_min(en, "600.5"), RadMinCheck::Ok);
    EXPECT_EQ(check_rad_min(en, "0.5"), RadMinCheck::OutOfLimit);
    EXPECT_EQ(check_rad_min(en, "2000"), RadMinCheck::OutOfLimit);
    EXPECT_EQ(check_rad_min(en, "1999.01"), RadMinCheck::OutOfLimit);
    EXPECT_EQ(check_rad_min(en, "-5"), RadMinCheck::OutOfLimit);
    EXPECT_EQ(check_rad_min(en, "12,5"), RadMinCheck::InvalidFormat);
    EXPECT_EQ(check_rad_min(en, ""), RadMinCheck::InvalidFormat);
    EXPECT_EQ(check_rad_min(en, "1e3"), RadMinCheck::InvalidFormat);

    test::TestEnv italian(QLocale(QLocale::Italian, QLocale::Italy));
    const AppContext& it = *italian.ctx;
    EXPECT_EQ(check_rad_min(it, "12,5"), RadMinCheck::Ok);
    EXPECT_EQ(check_rad_min(it, "12.5"), RadMinCheck::InvalidFormat);
    EXPECT_EQ(check_rad_min(it, "1999,5"), RadMinCheck::OutOfLimit);
}

// Whatever is typed or received: no crash, and an accepted radiation is within its limits.
TEST(SetupRoutines, FuzzedTextsForTheParsers) {
    test::TestEnv english;
    test::TestEnv italian(QLocale(QLocale::Italian, QLocale::Italy));
    std::mt19937 random(20240614);
    const QString alphabet = QStringLiteral("0123456789.,-+ eE\t\r\x7fàé");
    std::uniform_int_distribution<int> length(0, 12), pick(0, int(alphabet.size()) - 1);
    for (int i = 0; i < 20000; ++i) {
        QString text;
        for (int n = length(random); n > 0; --n)
            text += alphabet.at(pick(random));
        for (const AppContext* c : {english.ctx.get(), italian.ctx.get()}) {
            if (check_rad_min(*c, text) == RadMinCheck::Ok) {
                bool ok = false;
                const double v = c->locale.toDouble(text, &ok);
                ASSERT_TRUE(ok) << text.toStdString();
                ASSERT_TRUE(v >= kRadMinLow && v <= kRadMinHigh) << text.toStdString();
            }
        }
        ASSERT_GE(leading_port_number(text), 0);
        const int code = temperature_code(text) + linedc_code(text) + phaseac_code(text);
        ASSERT_EQ(code, 0) << text.toStdString();
    }
}
