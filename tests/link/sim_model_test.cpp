// The simulated instrument's memory and fault options, without a line.

#include "fault_plan.h"
#include "instrument_model.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vorna::sim;

// Commands the link and setup tests do not send: plant transfer, real time. A second ICON with
// nothing sent since the last is refused; a blank line or a reading gets no reply.
TEST(sim_model, answersInSequence) {
    InstrumentModel m;
    // "command|reply"; without "|" no reply at all.
    // clang-format off
    const QStringList script = {
        "IIMP|1\t4", "FREEIMP|2", "IPAR 3.5\t45\t-0.45\t1?|OK", "INOM Bianchi\t?|OK",
        "ICAP ?\t?|OK", "ICON|OK", "IIMP|1\t2\t4", "CANCIMPPC 1|OK", "IIMP|2\t4",
        "LISTNIMPIANTO 2|2\t3.5\t45\t-0.45\tBianchi\t\t\t\t\t\t1", "IMISPERIMP 1|", "ICON|ERR",
        "LINEDC 4|ERR", "POWERRT 4.5|OK", "BOGUS|ERR", "", "REFNEW\t812.5"};
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

TEST(sim_faults, malformedOptionsAreRefusedOthersLeftForTheCaller) {
    QString error;
    QStringList args{"--delay", "LIST=250", "--baud", "0"};
    EXPECT_TRUE(FaultPlan().take(args, &error) && args == QStringList({"--baud", "0"}));
    for (QStringList bad : {QStringList{"--delay", "X"}, {"--say", "x=1"}, {"--silent"}})
        EXPECT_FALSE(FaultPlan().take(bad, &error)) << bad.join(' ').toStdString();
}

// Scripted LISTVAL replies come verbatim (empty fields, dashes, lower-case verdict, more fields
// than the program accepts), in turn, the last one repeating; LINEDC?/PHASEAC? follow the file.
TEST(sim_model, scriptedListvalRepliesInTurn) {
    QTemporaryDir dir;
    const QByteArray wide = QByteArray("1\t").repeated(51) + "1"; // 52 fields
    QFile f(dir.filePath("instrument.txt"));
    ASSERT_TRUE(f.open(QFile::WriteOnly));
    f.write("linedc\t1\nphaseac\t2\nlistval\t3.5\t\t--\t pass \nlistval\t" + wide + "\n");
    f.close();
    InstrumentModel m;
    QString error;
    ASSERT_TRUE(m.load(f.fileName(), &error)) << error.toStdString();
    EXPECT_EQ(*m.answer("LISTVAL"), QByteArray("3.5\t\t--\t pass "));
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(*m.answer("LISTVAL"), wide);
    EXPECT_EQ(*m.answer("LINEDC?"), QByteArray("MONOLINE"));
    EXPECT_EQ(*m.answer("PHASEAC?"), QByteArray("BIPHASE"));
}
