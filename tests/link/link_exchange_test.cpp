// The command exchange against instrument-sim on a pseudo-terminal.

#include "app_context.h"
#include "link.h"
#include "link_env.h"
#include "run_error.h"

#include <QElapsedTimer>
#include <QTimer>
#include <cmath>
#include <ctime>
#include <gtest/gtest.h>

using namespace vorna;
using namespace vorna::test;
using namespace std::chrono_literals;

const QString kSerial = "PV100-004711"; // the simulator's own

TEST(link_exchange, replyEmptyReceiveEventAndResynchronisation) {
    LinkEnv t;
    // Each TIME? answered 40 ms after it arrives: the second answer of the resynchronisation
    // comes well after the first, as from a real instrument.
    ASSERT_TRUE(t.startInstrument({"--delay", "TIME?=40"}));
    t.ctx.link.trafficLogEnabled = true;
    ASSERT_TRUE(t.exchange("VERSION?"));
    EXPECT_EQ(t.ctx.link.replyText, "Firmware: FV 2.1.5 - FR 1.0.1");
    const Link& l = t.ctx.link;
    EXPECT_FALSE(l.busy() || t.indicators.busy);
    EXPECT_EQ(t.indicators.activity, 0);
    EXPECT_EQ(t.indicators.maxActivity, 5); // nine characters counted, wrapping at 5
    EXPECT_TRUE(t.trafficLog().contains("\tW on 11\tVERSION?\r\n"));
    EXPECT_TRUE(t.trafficLog().contains("\tR on 11\tFirmware: FV 2.1.5 - FR 1.0.1\r\n"));

    // A receive event with nothing buffered returns at once.
    QString reply = "old";
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(read_from_com(t.ctx, reply, t.ctx.link.serialeBase));
    EXPECT_LT(clock.elapsed(), 100);
    EXPECT_TRUE(reply.isEmpty() && l.baseLinkUp());

    // An exchange cut short by re-entry left a read pending: the next one resynchronises.
    LinkTestAccess::setBaseReadPending(t.ctx.link, true);
    ASSERT_TRUE(t.exchange("SERIALNUM?"));
    EXPECT_EQ(l.replyText, kSerial);
    EXPECT_FALSE(l.readPending(Unit::Base));
    EXPECT_TRUE(t.instrument->waitForLine("< SERIALNUM?"));
    EXPECT_EQ(t.instrument->received(), (QStringList{"VERSION?", "TIME?", "TIME?", "SERIALNUM?"}));
}

// Odd replies the exchange survives; the next command then gets its own reply.
TEST(link_exchange, oddRepliesLeaveTheLinkInStep) {
    const struct {
        QStringList options;
        QString command, reply; // empty reply: any text without CR
        QString stray;          // the line the simulator sends after the one read, if any
    } cases[] = {
        {{"--pieces", "VERSION?"}, "VERSION?", "Firmware: FV 2.1.5 - FR 1.0.1", {}},
        {{"--extra", "SERIALNUM?"}, "SERIALNUM?", kSerial, "EXTRA\tLINE"}, // two lines at once
        {{"--before", "LOGO?=PYSENS 1"}, "LOGO?", "PYSENS 1", "VORNA TEST LAB"},
        {{"--garbage", "LISTVAL", "--seed", "7"}, "LISTVAL", {}, {}},
        {{"--after", "LOGO?=LATE LINE"}, "LOGO?", "VORNA TEST LAB", "LATE LINE"}, // after the flush
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        LinkEnv t;
        ASSERT_TRUE(t.startInstrument(c.options));
        ASSERT_TRUE(t.exchange(c.command));
        const QString& r = t.ctx.link.replyText;
        EXPECT_TRUE(c.reply.isEmpty() ? !r.isEmpty() && !r.contains('\r') : r == c.reply)
            << r.toStdString();
        // The stray line is on the line once the simulator says it sent it; the next exchange
        // then drops it, however late the machine let it come.
        if (!c.stray.isEmpty()) {
            ASSERT_TRUE(t.instrument->waitForLine("> " + c.stray));
        }
        ASSERT_TRUE(t.exchange("SERIALNUM?"));
        EXPECT_EQ(t.ctx.link.replyText, kSerial);
    }
}

// A lost instrument fails the exchange within the time-out, marks the link down and logs the
// failing port's partial text.
TEST(link_exchange, lostInstrumentMarksTheLinkDown) {
    const struct {
        QStringList options; // none: the simulator is killed
        bool timesOut;
        QString partial; // the failed read in the traffic log; empty: the write failed
    } cases[] = {
        {{"--silent", "LOGO?"}, true, "\r\n"},
        {{"--no-cr", "LOGO?"}, true, "VORNA TEST LAB\r\n"},
        {{"--close-on", "LOGO?"}, false, "\r\n"},
        {{}, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options.value(0, "kill").toStdString());
        LinkEnv t(kUsPc, 400ms);
        ASSERT_TRUE(t.startInstrument(c.options));
        t.ctx.link.trafficLogEnabled = true;
        t.ctx.link.remoteRxBuffer = "remote text";
        ASSERT_TRUE(t.exchange("VERSION?"));
        if (c.options.isEmpty()) t.instrument->kill();
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(t.exchange("LOGO?"));
        EXPECT_GE(clock.elapsed(), c.timesOut ? 400 : 0);
        EXPECT_LT(clock.elapsed(), 1000);
        const Link& l = t.ctx.link;
        EXPECT_FALSE(l.baseLinkUp() || l.busy() || l.serialeBase.isOpen());
        EXPECT_TRUE(!t.indicators.connected && l.baseRxBuffer.isEmpty());
        EXPECT_EQ(l.remoteRxBuffer, "remote text");
        EXPECT_EQ(t.env.errorsOf("trasmette"), 1);
        const bool readFailed = !c.partial.isEmpty();
        EXPECT_EQ(t.env.errorsOf(readFailed ? "read_from_com" : "write_on_com"), 1);
        EXPECT_TRUE(t.env.debugLog().contains(QString("trasmette\t%1\t").arg(readFailed ? 7 : 6)));
        EXPECT_EQ(t.trafficLog().contains("\tR ERROR on 11\t" + c.partial), readFailed);
        EXPECT_TRUE(!readFailed || (l.replyText.isEmpty() && t.indicators.statusShown > 0));

        // With the link down, trasmette fails at once and sends nothing.
        clock.restart();
        EXPECT_FALSE(t.exchange("VERSION?"));
        EXPECT_LT(clock.elapsed(), 200);
        EXPECT_TRUE(t.env.debugLog().contains("trasmette\t1\ttest"));
        if (!c.timesOut) continue;
        EXPECT_EQ(t.instrument->received(), (QStringList{"VERSION?", "LOGO?"}));
        // Reconnected: the next reply is the instrument's own.
        t.ctx.link.setLinkUp(Unit::Base, true);
        ASSERT_TRUE(t.exchange("SERIALNUM?"));
        EXPECT_EQ(l.replyText, kSerial);
    }
}

TEST(link_exchange, theRealTimeOutIsTenSecondsAndTheWaitLeavesTheProcessorIdle) {
    LinkEnv t(kUsPc, Link::kReadTimeout);
    ASSERT_TRUE(t.startInstrument({"--silent", "*"}));
    int ticks = 0; // events keep flowing during the wait: the window stays alive
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(100);
    QElapsedTimer clock;
    clock.start();
    const std::clock_t cpu0 = std::clock(); // processor time of all threads
    EXPECT_FALSE(t.exchange("TIME?"));
    EXPECT_LT(std::clock() - cpu0, CLOCKS_PER_SEC / 2); // under 5 % of one core
    EXPECT_GE(clock.elapsed(), 10000);
    EXPECT_LT(clock.elapsed(), 10800);
    EXPECT_GT(ticks, 80);
    EXPECT_FALSE(t.ctx.link.baseLinkUp());
}

TEST(link_ports, missingAndBusyDevicesFailToOpenCleanly) {
    LinkEnv t;
    SerialPort missing("missing"), first("first"), second("second");
    qputenv("VORNA_COM40", t.env.path("no-such-device").toLocal8Bit());
    missing.setPortNumber(40);
    EXPECT_THROW(missing.open(), RunError);
    ASSERT_TRUE(t.startInstrument());
    first.setPortNumber(LinkEnv::kBasePort);
    second.setPortNumber(LinkEnv::kBasePort);
    first.open();
    EXPECT_THROW(second.open(), RunError);
    first.close();
    EXPECT_NO_THROW(second.open());
}

TEST(link_delay, ritardoWaitsWithoutPumpingEventsOrUsingTheProcessor) {
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    QElapsedTimer clock;
    clock.start();
    const std::clock_t cpu0 = std::clock();
    ritardo(0.3);
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_LT(std::clock() - cpu0, CLOCKS_PER_SEC / 20);
    EXPECT_FALSE(ran);
    for (double nothing : {-1.0, 0.0, std::nan("")})
        ritardo(nothing);
    EXPECT_LT(clock.elapsed(), 320);
}
