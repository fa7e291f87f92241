// The simulated instrument's memory and fault plan, without a line.

#include "fault_plan.h"
#include "instrument_model.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vorna::sim;

// Commands the link tests do not send: plant transfer, configuration, real time. A second
// ICON with nothing sent since the last is refused; a blank line or a reading gets no reply.
TEST(sim_model, answersInSequence) {
    InstrumentModel m;
    // "command|reply"; without "|" no reply at all.
    // clang-format off
    const QStringList script = {
        "IIMP|1\t4", "FREEIMP|2", "IPAR 3.5\t45\t-0.45\t1?|OK", "INOM Bianchi\t?|OK",
        "ICAP ?\t?|OK", "ICON|OK", "IIMP|1\t2\t4", "CANCIMPPC 1|OK", "IIMP|2\t4",
        "LISTNIMPIANTO 2|2\t3.5\t45\t-0.45\tBianchi\t\t\t\t\t\t1", "IMISPERIMP 1|", "ICON|ERR",
        "LINEDC 1|OK", "LINEDC?|MONOLINE", "LINEDC 4|ERR", "TEMPERATURE 2|OK",
        "TEMPERATURE?|T environment", "PHASEAC 2|OK", "PHASEAC?|BIPHASE", "MINRAD 12.5|OK",
        "MINRAD?|12.5", "LOGO My lab|OK", "LOGO?|My lab", "POWERRT 4.5|OK", "BOGUS|ERR",
        "", "REFNEW\t812.5"};
    // clang-format on
    for (const QString& line : script) {
        const QStringList cr = line.split('|');
        EXPECT_EQ(m.answer(cr[0].toLatin1()),
                  cr.size() > 1 ? std::optional(cr[1].toLatin1()) : std::nullopt)
            << line.toStdString();
    }
    const QByteArray values = *m.answer("LISTVAL");
    EXPECT_TRUE(values.startsWith("4.50\t") && values.count('\t') == 27) << values.data();
    for (int i = 0; i < 40; ++i) {
        m.answer("IPAR 1\t40\t-0.4\t0?");
        m.answer("ICON");
    }
    EXPECT_EQ(m.plants.size(), size_t(InstrumentModel::kPlantSlots));
    EXPECT_EQ(*m.answer("FREEIMP"), QByteArray(" "));
}

TEST(sim_model, generatedContentIsDeterministicForTheSeed) {
    InstrumentModel a(5), b(5), c(6);
    for (InstrumentModel* m : {&a, &b, &c})
        m->generate(31, 100);
    EXPECT_EQ(a.answer("LISTMISURA 17 42"), b.answer("LISTMISURA 17 42"));
    EXPECT_NE(a.answer("LISTMISURA 17 42"), c.answer("LISTMISURA 17 42"));
    EXPECT_EQ(a.answer("IMISPERIMP 31")->split('\t').size(), 100);
}

TEST(sim_model, contentFileErrors) {
    QTemporaryDir dir;
    const QString path = dir.filePath("inst.txt");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("# an instrument\nlinedc\t2\nplant\t7\t1.5\n");
    f.close();
    InstrumentModel m;
    QString error;
    EXPECT_FALSE(m.load(path, &error));
    EXPECT_TRUE(error.contains(":3:")) << error.toStdString();
    EXPECT_FALSE(m.load(dir.filePath("missing"), &error));
}

TEST(sim_faults, optionsBecomeRulesAndUnknownOnesStay) {
    FaultPlan plan;
    QStringList args{"--silent",  "LOGO?", "--delay",      "LIST=250", "--before",
                     "*=TON\\t1", "--say", "300=REFNEW 1", "--baud",   "38400"};
    QString error;
    ASSERT_TRUE(plan.take(args, &error));
    EXPECT_EQ(args, (QStringList{"--baud", "38400"}));
    EXPECT_TRUE(plan.has("LOGO?", FaultPlan::Kind::Silent));
    EXPECT_FALSE(plan.has("LOGO x", FaultPlan::Kind::Silent));
    ASSERT_EQ(plan.matching("LISTMISURA 1 1").size(), 2u);
    EXPECT_EQ(plan.matching("LISTMISURA 1 1")[0]->value, 250);
    EXPECT_EQ(plan.matching("IIMP")[0]->text, QByteArray("TON\t1"));
    ASSERT_EQ(plan.said.size(), 1u);
    EXPECT_EQ(plan.said[0].atMs, 300);
    for (QStringList bad : {QStringList{"--delay", "X"}, {"--say", "x=1"}, {"--silent"}})
        EXPECT_FALSE(FaultPlan().take(bad, &error)) << bad.join(' ').toStdString();
}
