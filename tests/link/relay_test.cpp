// The remote relay between the instrument and the remote unit.

#include "app_context.h"
#include "link.h"
#include "link_env.h"
#include "logs.h"
#include "relay.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace vorna;
using namespace vorna::test;
using namespace std::chrono_literals;

// A line the instrument sends unasked, after the reply to TIME?, as the remote unit gets it. While
// an exchange runs, a receive event leaves the port alone: the exchange reads it.
TEST(relay, instrumentLinesReachTheRemoteUnitUnlessAnExchangeRuns) {
    const struct {
        QString line;
        QStringList relayed;
        QStringList events; // after TIME? out and back: the lines without relay words
        bool remoteUp = true, exchangeRuns = false;
    } cases[] = {
        {"xx STARTREMOTO yy", {"STARTREMOTO"}, {}},
        {"TON 1 ENAECO PYSENS 3", {"ENAECO", "TON 1 ENAECO PYSENS 3", "TON 1 ENAECO PYSENS 3"}, {}},
        // forwarded whole and recorded both ways
        {"PYSENS 812", {"PYSENS 812"}, {"R on 11\tPYSENS 812", "W on 12\tPYSENS 812"}},
        {"STARTREMOTO", {}, {}, false},
        {"STARTREMOTO", {}, {}, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        LinkEnv t;
        connectReceiveEvents(t.ctx, &t.routing);
        ASSERT_TRUE(t.startInstrument({"--after", "TIME?=" + c.line}));
        ASSERT_TRUE(t.startRemote());
        t.ctx.link.setLinkUp(Unit::Remote, c.remoteUp);
        ASSERT_TRUE(t.exchange("TIME?"));
        LinkTestAccess::setExchangeBusy(t.ctx.link, c.exchangeRuns);
        ASSERT_TRUE(c.relayed.isEmpty() || t.remote->waitForLine("< " + c.relayed.last()));
        QTest::qWait(c.relayed.isEmpty() ? 400 : 100);
        EXPECT_EQ(t.remote->received(), c.relayed);
        const QString time = t.instrument->sent().value(0); // the reply to TIME?
        // Read by the receive event, or left on the port for the running exchange.
        EXPECT_EQ(t.ctx.link.replyText, c.exchangeRuns ? time : c.line);
        EXPECT_TRUE(t.ctx.link.baseRxBuffer.isEmpty());
        EXPECT_EQ(t.env.events(kEventSerialLine),
                  QStringList({"W on 11\tTIME?", "R on 11\t" + time}) + c.events);
    }
}

// STARTREMOTO goes to the remote unit, whose two readings, arriving together, both come back;
// a key word that arrives within an exchange is the exchange's reply, not relayed.
TEST(relay, bothDirectionsAndTheNextCommandWaitsASecondAfterTheReadings) {
    LinkEnv t;
    connectReceiveEvents(t.ctx, &t.routing);
    ASSERT_TRUE(t.startInstrument(
        {"--after", "TIME?=STARTREMOTO", "--before", "LOGO?=STOPREMOTO", "--pieces", "LOGO?"}));
    ASSERT_TRUE(t.startRemote(
        {"--after", "STARTREMOTO=REFNEW\\t812.5", "--after", "STARTREMOTO=PIRANEW 2"}));
    ASSERT_TRUE(t.exchange("TIME?"));
    ASSERT_TRUE(t.instrument->waitForLine("< PIRANEW 2"));
    EXPECT_EQ(t.instrument->received(), (QStringList{"TIME?", "REFNEW\t812.5", "PIRANEW 2"}));
    const auto relayed = t.ctx.link.lastRelayTime.value();
    ASSERT_TRUE(t.exchange("SERIALNUM?"));
    const auto sent = std::chrono::steady_clock::now();
    EXPECT_GE(sent - relayed, 1000ms);
    EXPECT_LT(sent - relayed, 1500ms);
    EXPECT_EQ(t.ctx.link.replyText, "PV100-004711");
    // The remote port was closed for the exchange and reopened after it.
    EXPECT_TRUE(t.ctx.link.serialeRemoto.isOpen());
    ASSERT_TRUE(t.exchange("LOGO?"));
    EXPECT_EQ(t.ctx.link.replyText, "STOPREMOTO");
    QTest::qWait(300);
    EXPECT_EQ(t.remote->received(), QStringList{"STARTREMOTO"});
}
