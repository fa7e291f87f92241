// The simulated instrument's memory and fault plan, without a line.

#include "fault_plan.h"
#include "instrument_model.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vorna::sim;

TEST(sim_model, plantTransferAddsListsAndDeletes) {
    InstrumentModel m;
    EXPECT_EQ(*m.answer("IIMP"), QByteArray("1\t4"));
    EXPECT_EQ(*m.answer("FREEIMP"), QByteArray("2"));
    EXPECT_EQ(*m.answer("IPAR 3.5\t45\t-0.45\t1?"), QByteArray("OK"));
    EXPECT_EQ(*m.answer("INOM Bianchi\t?"), QByteArray("OK"));
    EXPECT_EQ(*m.answer("ICAP ?\t?"), QByteArray("OK"));
    EXPECT_EQ(*m.answer("ICON"), QByteArray("OK"));
    EXPECT_EQ(*m.answer("IIMP"), QByteArray("1\t2\t4"));
    EXPECT_EQ(*m.answer("LISTNIMPIANTO 2"), QByteArray("2\t3.5\t45\t-0.45\tBianchi\t\t\t\t\t\t1"));
    EXPECT_EQ(*m.answer("CANCIMPPC 1"), QByteArray("OK"));
    EXPECT_EQ(*m.answer("IIMP"), QByteArray("2\t4"));
    EXPECT_EQ(*m.answer("IMISPERIMP 1"), QByteArray());
    EXPECT_EQ(*m.answer("ICON"), QByteArray("ERR")); // nothing sent since the last one
    for (int i = 0; i < 40; ++i) {
        m.answer("IPAR 1\t40\t-0.4\t0?");
        m.answer("ICON");
    }
    EXPECT_EQ(m.plants.size(), size_t(InstrumentModel::kPlantSlots));
    EXPECT_EQ(*m.answer("FREEIMP"), QByteArray(" "));
}

TEST(sim_model, configurationAndRealTime) {
    InstrumentModel m;
    EXPECT_EQ(*m.answer("LINEDC 1"), QByteArray("OK"));
    EXPECT_EQ(*m.answer("LINEDC?"), QByteArray("MONOLINE"));
    EXPECT_EQ(*m.answer("LINEDC 4"), QByteArray("ERR"));
    EXPECT_EQ(*m.answer("TEMPERATURE 2"), QByteArray("OK"));
    EXPECT_EQ(*m.answer("TEMPERATURE?"), QByteArray("T environment"));
    EXPECT_EQ(*m.answer("PHASEAC 2"), QByteArray("OK"));
    EXPECT_EQ(*m.answer("PHASEAC?"), QByteArray("BIPHASE"));
    EXPECT_EQ(*m.answer("MINRAD 12.5"), QByteArray("OK"));
    EXPECT_EQ(*m.answer("MINRAD?"), QByteArray("12.5"));
    EXPECT_EQ(*m.answer("LOGO My lab"), QByteArray("OK"));
    EXPECT_EQ(*m.answer("LOGO?"), QByteArray("My lab"));
    EXPECT_EQ(*m.answer("POWERRT 4.5"), QByteArray("OK"));
    const QList<QByteArray> values = m.answer("LISTVAL")->split('\t');
    EXPECT_EQ(values.size(), 28);
    EXPECT_EQ(values[0], QByteArray("4.50"));
    EXPECT_FALSE(m.answer("").has_value());
    EXPECT_FALSE(m.answer("REFNEW\t812.5").has_value());
    EXPECT_EQ(*m.answer("BOGUS"), QByteArray("ERR"));
}

TEST(sim_model, generatedContentIsDeterministicForTheSeed) {
    InstrumentModel a(5), b(5), c(6);
    a.generate(31, 100);
    b.generate(31, 100);
    c.generate(31, 100);
    EXPECT_EQ(a.answer("LISTMISURA 17 42"), b.answer("LISTMISURA 17 42"));
    EXPECT_NE(a.answer("LISTMISURA 17 42"), c.answer("LISTMISURA 17 42"));
    EXPECT_EQ(a.answer("IMISPERIMP 31")->split('\t').size(), 100);
    EXPECT_EQ(a.answer("LISTMISURA 17 42")->split('\t').size(), 26);
}

TEST(sim_model, contentFileAndItsErrors) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("inst.txt"));
    auto write = [&](const QByteArray& text) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    write("# an instrument\nserial\tX1\nlinedc\t2\n"
          "plant\t7\t1.5\t44\t-0.4\tN\tS\t1\t2\tT\tC\t0\nmeasure\t7\t3\ta\tb\n");
    InstrumentModel m;
    QString error;
    ASSERT_TRUE(m.load(path, &error)) << error.toStdString();
    EXPECT_EQ(*m.answer("SERIALNUM?"), QByteArray("X1"));
    EXPECT_EQ(*m.answer("LINEDC?"), QByteArray("BILINE"));
    EXPECT_EQ(*m.answer("IIMP"), QByteArray("7"));
    EXPECT_EQ(*m.answer("LISTMISURA 7 3"), QByteArray("a\tb"));
    write("plant\t7\t1.5\n");
    EXPECT_FALSE(m.load(path, &error));
    EXPECT_TRUE(error.contains(QStringLiteral(":1:")));
    EXPECT_FALSE(m.load(dir.filePath(QStringLiteral("missing")), &error));
}

TEST(sim_faults, optionsBecomeRulesAndUnknownOnesStay) {
    FaultPlan plan;
    QStringList args{QStringLiteral("--silent"), QStringLiteral("LOGO?"),
                     QStringLiteral("--delay"),  QStringLiteral("LIST=250"),
                     QStringLiteral("--before"), QStringLiteral("*=TON\\t1"),
                     QStringLiteral("--say"),    QStringLiteral("300=REFNEW 1"),
                     QStringLiteral("--baud"),   QStringLiteral("38400")};
    QString error;
    ASSERT_TRUE(plan.take(args, &error));
    EXPECT_EQ(args, (QStringList{QStringLiteral("--baud"), QStringLiteral("38400")}));
    EXPECT_TRUE(plan.has("LOGO?", FaultPlan::Kind::Silent));
    EXPECT_FALSE(plan.has("LOGO x", FaultPlan::Kind::Silent));
    ASSERT_EQ(plan.matching("LISTMISURA 1 1").size(), 2u);
    EXPECT_EQ(plan.matching("LISTMISURA 1 1")[0]->value, 250);
    EXPECT_EQ(plan.matching("IIMP")[0]->text, QByteArray("TON\t1"));
    ASSERT_EQ(plan.said.size(), 1u);
    EXPECT_EQ(plan.said[0].atMs, 300);

    for (const QStringList& bad : {QStringList{QStringLiteral("--delay"), QStringLiteral("X")},
                                   QStringList{QStringLiteral("--say"), QStringLiteral("x=1")},
                                   QStringList{QStringLiteral("--silent")}}) {
        FaultPlan p;
        QStringList a = bad;
        EXPECT_FALSE(p.take(a, &error)) << bad.join(' ').toStdString();
    }
}
