// The simulated instrument's fault options, without a line. Its answers are the tests' stand-in
// for the instrument and are exercised by every test that talks to it.

#include "fault_plan.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace vorna::sim;

TEST(sim_faults, malformedOptionsAreRefusedOthersLeftForTheCaller) {
    QString error;
    QStringList args{"--delay", "LIST=250", "--baud", "0"};
    EXPECT_TRUE(FaultPlan().take(args, &error) && args == QStringList({"--baud", "0"}));
    for (QStringList bad : {QStringList{"--delay", "X"}, {"--say", "x=1"}, {"--silent"}})
        EXPECT_FALSE(FaultPlan().take(bad, &error)) << bad.join(' ').toStdString();
}
