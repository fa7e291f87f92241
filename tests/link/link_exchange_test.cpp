// The command exchange against instrument-sim on a pseudo-terminal: framing, flushing, the
// failure tails, the time-outs and the indicators.

#include "app_context.h"
#include "link.h"
#include "link_fixture.h"
#include "run_error.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace vorna;
using namespace vorna::test;
using namespace std::chrono_literals;

namespace {

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

} // namespace

TEST(link_exchange, replyLineAndEventRows) {
    LinkEnv t;
    ASSERT_TRUE(t.startInstrument().ready());
    t.ctx.link.trafficLogEnabled = true;
    ASSERT_TRUE(t.exchange(QStringLiteral("VERSION?")));
    EXPECT_EQ(t.ctx.link.replyText, QStringLiteral("Firmware: FV 2.1.5 - FR 1.0.1"));
    EXPECT_FALSE(t.ctx.link.exchangeBusy);
    EXPECT_FALSE(t.ctx.link.baseReadPending);
    EXPECT_FALSE(t.ctx.link.writePending);
    EXPECT_TRUE(t.ctx.link.baseLinkUp);
    EXPECT_FALSE(t.indicators.busy);
    EXPECT_EQ(t.indicators.activity, 0);
    // The bar counted the command's nine characters, wrapping at its maximum of 5.
    EXPECT_EQ(t.indicators.maxActivity, 5);
    EXPECT_EQ(t.rowCount(QStringLiteral("tab1")), 2); // "W on" and "R on"
    QFile log(t.env.path(QStringLiteral("s.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString traffic = QString::fromLatin1(log.readAll());
    EXPECT_TRUE(traffic.contains(QStringLiteral("\tW on 11\tVERSION?\r\n")));
    EXPECT_TRUE(traffic.contains(QStringLiteral("\tR on 11\tFirmware: FV 2.1.5 - FR 1.0.1\r\n")));
    EXPECT_EQ(t.instrument->received(), QStringList{QStringLiteral("VERSION?")});
}

TEST(link_exchange, replyInPiecesIsAssembled) {
    LinkEnv t;
    ASSERT_TRUE(
        t.startInstrument({QStringLiteral("--pieces"), QStringLiteral("LISTNIMPIANTO")}).ready());
    ASSERT_TRUE(t.exchange(QStringLiteral("LISTNIMPIANTO 1")));
    EXPECT_EQ(t.ctx.link.replyText,
              QStringLiteral("1\t3.5\t45\t-0.45\tRossi Mario\tVia Roma\t12\t20100\tMilano\t"
                             "RSSMRA70A01F205X\t0"));
}

TEST(link_exchange, secondLineIsDroppedByTheFlush) {
    LinkEnv t;
    ASSERT_TRUE(
        t.startInstrument({QStringLiteral("--extra"), QStringLiteral("SERIALNUM?")}).ready());
    ASSERT_TRUE(t.exchange(QStringLiteral("SERIALNUM?")));
    EXPECT_EQ(t.ctx.link.replyText, QStringLiteral("PV100-004711"));
    LinkEnv::pump(100);
    ASSERT_TRUE(t.exchange(QStringLiteral("LOGO?")));
    EXPECT_EQ(t.ctx.link.replyText, QStringLiteral("VORNA TEST LAB"));
}

TEST(link_exchange, unsolicitedLineInTheMiddleIsTakenAsReplyAndTheRestDropped) {
    LinkEnv t;
    ASSERT_TRUE(
        t.startInstrument({QStringLiteral("--before"), QStringLiteral("LOGO?=PYSENS 1")}).ready());
    ASSERT_TRUE(t.exchange(QStringLiteral("LOGO?")));
    EXPECT_EQ(t.ctx.link.replyText, QStringLiteral("PYSENS 1"));
    LinkEnv::pump(100);
    ASSERT_TRUE(t.exchange(QStringLiteral("SERIALNUM?")));
    EXPECT_EQ(t.ctx.link.replyText, QStringLiteral("PV100-004711"));
}

TEST(link_exchange, linkDownSendsNothingAndFailsAtOnce) {
    LinkEnv t;
    ASSERT_TRUE(t.startInstrument().ready());
    t.ctx.link.baseLinkUp = false;
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(t.exchange(QStringLiteral("VERSION?")));
    EXPECT_LT(clock.elapsed(), 200);
    EXPECT_FALSE(t.ctx.link.serialeBase.isOpen());
    EXPECT_FALSE(t.ctx.link.serialeRemoto.isOpen());
    EXPECT_FALSE(t.indicators.connected);
    EXPECT_FALSE(t.ctx.link.exchangeBusy);
    EXPECT_EQ(t.errorsOf(QStringLiteral("trasmette")), 1);
    EXPECT_TRUE(t.env.debugLog().contains(QStringLiteral("trasmette\t1\ttest")));
    EXPECT_TRUE(t.instrument->received(100).isEmpty());
}

TEST(link_exchange, silenceTimesOutMarksTheLinkDownAndLaterExchangesFailAtOnce) {
    LinkEnv t(QLocale(QLocale::English, QLocale::UnitedStates), 400ms);
    ASSERT_TRUE(t.startInstrument({QStringLiteral("--silent"), QStringLiteral("LOGO?")}).ready());
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(t.exchange(QStringLiteral("LOGO?")));
    EXPECT_GE(clock.elapsed(), 400);
    EXPECT_LT(clock.elapsed(), 1500);
    EXPECT_FALSE(t.ctx.link.baseLinkUp);
    EXPECT_FALSE(t.ctx.link.baseReadPending);
    EXPECT_FALSE(t.indicators.connected);
    EXPECT_GE(t.indicators.statusShown, 1);
    EXPECT_TRUE(t.ctx.link.replyText.isEmpty());
    EXPECT_EQ(t.errorsOf(QStringLiteral("read_from_com")), 1);
    EXPECT_TRUE(t.env.debugLog().contains(QStringLiteral("trasmette\t7\ttest")));

    clock.restart();
    EXPECT_FALSE(t.exchange(QStringLiteral("VERSION?")));
    EXPECT_LT(clock.elapsed(), 200);
    EXPECT_EQ(t.instrument->received(100), QStringList{QStringLiteral("LOGO?")});
}

TEST(link_exchange, theRealTimeOutIsTenSecondsAndTheWaitLeavesTheProcessorIdle) {
    LinkEnv t(QLocale(QLocale::English, QLocale::UnitedStates), Link::kReadTimeout);
    ASSERT_TRUE(t.startInstrument({QStringLiteral("--silent"), QStringLiteral("*")}).ready());
    // Events keep flowing during the wait: the window stays alive.
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(100);
    QElapsedTimer clock;
    clock.start();
    const double cpu0 = cpuSeconds();
    EXPECT_FALSE(t.exchange(QStringLiteral("TIME?")));
    const double cpu = cpuSeconds() - cpu0;
    EXPECT_GE(clock.elapsed(), 10000);
    EXPECT_LT(clock.elapsed(), 10800);
    EXPECT_GT(ticks, 80);
    EXPECT_LT(cpu, 0.5); // under 5 % of one core
    EXPECT_FALSE(t.ctx.link.baseLinkUp);
}

TEST(link_exchange, lineWithoutCrTimesOutLogsTheFailingPortsTextAndDoesNotPolluteTheNextReply) {
    LinkEnv t(QLocale(QLocale::English, QLocale::UnitedStates), 400ms);
    ASSERT_TRUE(t.startInstrument({QStringLiteral("--no-cr"), QStringLiteral("LOGO?")}).ready());
    t.ctx.link.trafficLogEnabled = true;
    t.ctx.link.remoteRxBuffer = QStringLiteral("remote text");
    EXPECT_FALSE(t.exchange(QStringLiteral("LOGO?")));
    QFile log(t.env.path(QStringLiteral("s.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromLatin1(log.readAll())
                    .contains(QStringLiteral("\tR ERROR on 11\tVORNA TEST LAB\r\n")));
    EXPECT_TRUE(t.ctx.link.baseRxBuffer.isEmpty());
    EXPECT_EQ(t.ctx.link.remoteRxBuffer, QStringLiteral("remote text"));

    // Reconnected, the next reply is the instrument's own.
    t.ctx.link.baseLinkUp = true;
    ASSERT_TRUE(t.exchange(QStringLiteral("SERIALNUM?")));
    EXPECT_EQ(t.ctx.link.replyText, QStringLiteral("PV100-004711"));
}

TEST(link_exchange, garbageIsDeliveredAsTheReplyWithoutHarm) {
    LinkEnv t;
    ASSERT_TRUE(t.startInstrument({QStringLiteral("--garbage"), QStringLiteral("LISTVAL"),
                                   QStringLiteral("--seed"), QStringLiteral("7")})
                    .ready());
    ASSERT_TRUE(t.exchange(QStringLiteral("LISTVAL")));
    EXPECT_FALSE(t.ctx.link.replyText.isEmpty());
    EXPECT_FALSE(t.ctx.link.replyText.contains(QLatin1Char('\r')));
    ASSERT_TRUE(t.exchange(QStringLiteral("SERIALNUM?")));
    EXPECT_EQ(t.ctx.link.replyText, QStringLiteral("PV100-004711"));
}

TEST(link_exchange, deviceVanishingMidExchangeFailsWithoutWaitingOutTheTimeOut) {
    LinkEnv t(QLocale(QLocale::English, QLocale::UnitedStates), 3000ms);
    ASSERT_TRUE(t.startInstrument({QStringLiteral("--close-on"), QStringLiteral("LOGO?")}).ready());
    ASSERT_TRUE(t.exchange(QStringLiteral("VERSION?")));
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(t.exchange(QStringLiteral("LOGO?")));
    EXPECT_LT(clock.elapsed(), 3500);
    EXPECT_FALSE(t.ctx.link.baseLinkUp);
    EXPECT_FALSE(t.indicators.connected);
    EXPECT_FALSE(t.ctx.link.serialeBase.isOpen());
}

TEST(link_exchange, killedSimulatorFailsTheExchangeCleanly) {
    LinkEnv t(QLocale(QLocale::English, QLocale::UnitedStates), 1000ms);
    ASSERT_TRUE(t.startInstrument().ready());
    ASSERT_TRUE(t.exchange(QStringLiteral("VERSION?")));
    t.instrument->kill();
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(t.exchange(QStringLiteral("LOGO?")));
    EXPECT_LT(clock.elapsed(), 1500);
    EXPECT_FALSE(t.ctx.link.baseLinkUp);
    EXPECT_FALSE(t.indicators.connected);
    EXPECT_FALSE(t.ctx.link.exchangeBusy);
    EXPECT_EQ(t.errorsOf(QStringLiteral("trasmette")), 1);
}

TEST(link_exchange, resynchronisationAfterAnInterruptedRead) {
    LinkEnv t;
    ASSERT_TRUE(t.startInstrument().ready());
    t.ctx.link.baseReadPending = true; // as left by an exchange cut short by re-entry
    ASSERT_TRUE(t.exchange(QStringLiteral("SERIALNUM?")));
    EXPECT_FALSE(t.ctx.link.baseReadPending);
    EXPECT_TRUE(t.instrument->waitReceived(QStringLiteral("SERIALNUM?")));
    EXPECT_EQ(t.instrument->received(),
              (QStringList{QStringLiteral("TIME?"), QStringLiteral("TIME?"),
                           QStringLiteral("SERIALNUM?")}));
}

TEST(link_read, receiveEventWithNothingBufferedReturnsAtOnce) {
    LinkEnv t;
    ASSERT_TRUE(t.startInstrument().ready());
    QString reply = QStringLiteral("old");
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(read_from_com(t.ctx, reply, t.ctx.link.serialeBase));
    EXPECT_LT(clock.elapsed(), 100);
    EXPECT_TRUE(reply.isEmpty());
    EXPECT_TRUE(t.ctx.link.baseLinkUp);
}

TEST(link_ports, missingAndBusyDevicesFailToOpenCleanly) {
    LinkEnv t;
    SerialPort missing(QStringLiteral("missing"));
    qputenv("VORNA_COM40", t.env.path(QStringLiteral("no-such-device")).toLocal8Bit());
    missing.setPortNumber(40);
    EXPECT_THROW(missing.open(), RunError);
    EXPECT_FALSE(missing.isOpen());

    ASSERT_TRUE(t.startInstrument().ready());
    SerialPort first(QStringLiteral("first")), second(QStringLiteral("second"));
    first.setPortNumber(LinkEnv::kBasePort);
    second.setPortNumber(LinkEnv::kBasePort);
    first.open();
    EXPECT_THROW(second.open(), RunError);
    EXPECT_THROW(first.setPortNumber(3), RunError); // only while closed
    first.close();
    EXPECT_NO_THROW(second.open());
}

TEST(link_ports, writeOnAClosedLinkLogsAndClosesThePort) {
    LinkEnv t;
    ASSERT_TRUE(t.startInstrument().ready());
    t.ctx.link.serialeBase.open();
    t.ctx.link.baseLinkUp = false;
    EXPECT_FALSE(write_on_com(t.ctx, QStringLiteral("LOGO?"), t.ctx.link.serialeBase));
    EXPECT_FALSE(t.ctx.link.serialeBase.isOpen());
    EXPECT_FALSE(t.ctx.link.writePending);
    EXPECT_TRUE(t.env.debugLog().contains(QStringLiteral("write_on_com\t1\tLOGO?\t11")));
}

TEST(link_delay, ritardoWaitsWithoutPumpingEventsOrUsingTheProcessor) {
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    QElapsedTimer clock;
    clock.start();
    const double cpu0 = cpuSeconds();
    ritardo(0.3);
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_LT(cpuSeconds() - cpu0, 0.05);
    EXPECT_FALSE(ran);
    clock.restart();
    ritardo(-1);
    ritardo(0);
    ritardo(std::numeric_limits<double>::quiet_NaN());
    EXPECT_LT(clock.elapsed(), 20);
}
