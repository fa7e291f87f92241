#include "logs.h"
#include "number_format.h"
#include "program_values.h"
#include "test_env.h"

#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

using namespace vorna;

TEST(ProgramValues, InitSetsValuesAndStartsAnEmptyErrorLog) {
    test::TestEnv env(test::kItalianPc);
    print_error(*env.ctx, "a routine", "of the last run", 0, {});
    ASSERT_TRUE(init_sw(*env.ctx, env.dir.path()));
    const AppContext& c = *env.ctx;
    EXPECT_EQ((QStringList{c.appPath, c.decimalProbe, c.swVersion, c.fwCompatText}),
              (QStringList{env.dir.path() + "/", "5000,5", "ZMB 4.5", "FV 2.1.5 - FR 1.0.1"}));
    EXPECT_EQ(env.loggedErrors(), "");

    env.ctx->setLocale(test::kUsPc);
    EXPECT_EQ(env.ctx->decimalProbe, "5000.5"); // never grouped, whatever the locale
    EXPECT_FALSE(env.ctx->decimalComma());
}

TEST(ProgramValues, UnwritableProgramFolderFallsBackToUserData) {
    test::TestEnv env;
    const QString program = env.path("program");
    QDir().mkpath(program);
    EXPECT_EQ(choose_app_path(program), program + "/");
    // Root ignores permission bits; an immutable folder is read-only even for root.
    if (QProcess::execute("chattr", {"+i", program}) != 0) {
        GTEST_SKIP() << "no chattr here";
    }
    qputenv("XDG_DATA_HOME", env.path("userdata").toLocal8Bit());
    const QString chosen = choose_app_path(program);
    QProcess::execute("chattr", {"-i", program});
    EXPECT_TRUE(chosen.startsWith(env.path("userdata")));
    EXPECT_TRUE(chosen.endsWith("/"));
    EXPECT_TRUE(QDir(chosen).exists());
}

TEST(NumberText, GeneralNumberIsPlainAsciiWithTheRegionalSeparator) {
    const QLocale &it = test::kItalianPc, &us = test::kUsPc;
    EXPECT_EQ(general_number(it, 4200.5), "4200,5");
    EXPECT_EQ(general_number(us, 4200.5), "4200.5");
    EXPECT_EQ(general_number(us, 0.1 + 0.2), "0.3"); // 15 significant digits
    EXPECT_EQ(general_number(us, -0.0), "0");
    // Past 15 digits, and for tiny values, the exponent with a capital E.
    EXPECT_EQ(general_number(it, 1.2345678901234567e17), "1,23456789012346E+17");
    EXPECT_EQ(general_number(us, -0.000012345), "-1.2345E-05");
    EXPECT_EQ(general_number(QLocale(QLocale::Swedish, QLocale::Sweden), -3.5), "-3,5");
    EXPECT_EQ(general_number(QLocale(QLocale::Arabic, QLocale::Egypt), 12.5).toLatin1(), "12.5");
    double v = 0;
    EXPECT_TRUE(parse_number(" 12,5 ", v));
    EXPECT_DOUBLE_EQ(v, 12.5);
    EXPECT_FALSE(parse_number("12,5x", v));
}

TEST(NumberText, OneOrTwoDecimals) {
    const QLocale &it = test::kItalianPc, &us = test::kUsPc;
    const struct {
        double value;
        const char *us, *it;
    } cases[] = {
        {3, "3.0", "3,0"},
        {47.5, "47.5", "47,5"},
        {4200, "4200.0", "4200,0"},
        {-0.45, "-0.45", "-0,45"},
        {0.126, "0.13", "0,13"},
        {1234567.891, "1234567.89", "1234567,89"},
        {-0.001, "0.0", "0,0"},
        {0.999, "1.0", "1,0"},
        {-2000, "-2000.0", "-2000,0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(one_or_two_decimals(us, c.value), c.us) << c.value;
        EXPECT_EQ(one_or_two_decimals(it, c.value), c.it) << c.value;
    }
}
