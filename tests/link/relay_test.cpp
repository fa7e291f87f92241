// The remote relay: key words from the instrument go to the remote unit, readings from the
// remote unit go to the instrument, and a command waits a second after a relayed reading.

#include "app_context.h"
#include "link.h"
#include "link_fixture.h"
#include "relay.h"

#include <QElapsedTimer>
#include <QObject>
#include <gtest/gtest.h>

using namespace vorna;
using namespace vorna::test;
using namespace std::chrono_literals;

TEST(relay_words, relayWordsAreTheKeyWordsButPysens) {
    for (const char* w : {"STARTREMOTO", "TOFF", "ENDREMOTO", "STOPREMOTO", "ENAUART", "ENAECO",
                          "TON", "AMBIENTNEW", "REFNEW", "PIRANEW", "CELLNEW"})
        EXPECT_TRUE(isComandoRemoto(QStringLiteral("x ") + QLatin1String(w) + QStringLiteral(" y")))
            << w;
    EXPECT_TRUE(isComandoRemoto(QStringLiteral("TON")));
    EXPECT_FALSE(isComandoRemoto(QStringLiteral("PYSENS 12")));
    EXPECT_FALSE(isComandoRemoto(QStringLiteral("refnew"))); // case-sensitive
    EXPECT_FALSE(isComandoRemoto(QString()));
}

class RelayTest : public ::testing::Test {
protected:
    LinkEnv t;
    QObject routing;

    void SetUp() override { connectReceiveEvents(t.ctx, &routing); }
};

TEST_F(RelayTest, instrumentKeyWordGoesAloneToTheRemoteUnit) {
    ASSERT_TRUE(
        t.startInstrument({QStringLiteral("--after"), QStringLiteral("TIME?=xx STARTREMOTO yy")})
            .ready());
    ASSERT_TRUE(t.startRemote().ready());
    ASSERT_TRUE(t.exchange(QStringLiteral("TIME?")));
    ASSERT_TRUE(t.remote->waitReceived(QStringLiteral("STARTREMOTO")));
    EXPECT_EQ(t.remote->received(), QStringList{QStringLiteral("STARTREMOTO")});
    // Relay traffic stays out of the event table: W and R of TIME? only.
    EXPECT_EQ(t.rowCount(QStringLiteral("tab1")), 2);
}

TEST_F(RelayTest, wholeLineWordsAndSeveralWordsInOrder) {
    ASSERT_TRUE(t.startInstrument(
                     {QStringLiteral("--after"), QStringLiteral("TIME?=TON 1 ENAECO PYSENS 3")})
                    .ready());
    ASSERT_TRUE(t.startRemote().ready());
    ASSERT_TRUE(t.exchange(QStringLiteral("TIME?")));
    ASSERT_TRUE(t.remote->waitReceived(QStringLiteral("ENAECO")));
    LinkEnv::pump(100);
    EXPECT_EQ(t.remote->received(),
              (QStringList{QStringLiteral("ENAECO"), QStringLiteral("TON 1 ENAECO PYSENS 3"),
                           QStringLiteral("TON 1 ENAECO PYSENS 3")}));
}

TEST_F(RelayTest, pysensIsForwardedWholeAndRecordedInTheEventTable) {
    ASSERT_TRUE(
        t.startInstrument({QStringLiteral("--after"), QStringLiteral("TIME?=PYSENS 812")}).ready());
    ASSERT_TRUE(t.startRemote().ready());
    ASSERT_TRUE(t.exchange(QStringLiteral("TIME?")));
    ASSERT_TRUE(t.remote->waitReceived(QStringLiteral("PYSENS 812")));
    // TIME? out and back, PYSENS read, PYSENS written to the remote unit.
    EXPECT_EQ(t.rowCount(QStringLiteral("tab1")), 4);
}

TEST_F(RelayTest, nothingIsRelayedWhileTheRemoteLinkIsDown) {
    ASSERT_TRUE(t.startInstrument({QStringLiteral("--after"), QStringLiteral("TIME?=STARTREMOTO")})
                    .ready());
    ASSERT_TRUE(t.startRemote().ready());
    t.ctx.link.remoteLinkUp = false;
    ASSERT_TRUE(t.exchange(QStringLiteral("TIME?")));
    LinkEnv::pump(400);
    EXPECT_TRUE(t.remote->received().isEmpty());
    EXPECT_EQ(t.ctx.link.replyText, QStringLiteral("STARTREMOTO")); // read, not relayed
}

TEST_F(RelayTest, bothDirectionsAndTheNextCommandWaitsASecondAfterTheReading) {
    ASSERT_TRUE(t.startInstrument({QStringLiteral("--after"), QStringLiteral("TIME?=STARTREMOTO")})
                    .ready());
    ASSERT_TRUE(
        t.startRemote({QStringLiteral("--after"), QStringLiteral("STARTREMOTO=REFNEW\\t812.5")})
            .ready());
    ASSERT_TRUE(t.exchange(QStringLiteral("TIME?")));
    ASSERT_TRUE(t.instrument->waitReceived(QStringLiteral("REFNEW\t812.5")));
    ASSERT_TRUE(t.ctx.link.lastRelayTime.has_value());
    const auto relayed = *t.ctx.link.lastRelayTime;
    ASSERT_TRUE(t.exchange(QStringLiteral("SERIALNUM?")));
    const auto sent = std::chrono::steady_clock::now();
    EXPECT_GE(sent - relayed, 1000ms);
    EXPECT_LT(sent - relayed, 1500ms);
    EXPECT_EQ(t.ctx.link.replyText, QStringLiteral("PV100-004711"));
    // The remote port was closed for the exchange and reopened after it.
    EXPECT_TRUE(t.ctx.link.serialeRemoto.isOpen());
}

TEST_F(RelayTest, linesArrivingTogetherAreAllRelayed) {
    ASSERT_TRUE(t.startInstrument().ready());
    ASSERT_TRUE(t.startRemote({QStringLiteral("--after"), QStringLiteral("ENDREMOTO=CELLNEW 1"),
                               QStringLiteral("--after"), QStringLiteral("ENDREMOTO=PIRANEW 2")})
                    .ready());
    t.ctx.link.commandText = QStringLiteral("ENDREMOTO");
    ASSERT_TRUE(write_on_com(t.ctx, t.ctx.link.commandText, t.ctx.link.serialeRemoto));
    ASSERT_TRUE(t.instrument->waitReceived(QStringLiteral("PIRANEW 2")));
    EXPECT_EQ(t.instrument->received(),
              (QStringList{QStringLiteral("CELLNEW 1"), QStringLiteral("PIRANEW 2")}));
}

TEST_F(RelayTest, receiveEventsDuringAnExchangeAreLeftToTheExchange) {
    ASSERT_TRUE(t.startInstrument({QStringLiteral("--before"), QStringLiteral("LOGO?=STOPREMOTO"),
                                   QStringLiteral("--pieces"), QStringLiteral("LOGO?")})
                    .ready());
    ASSERT_TRUE(t.startRemote().ready());
    ASSERT_TRUE(t.exchange(QStringLiteral("LOGO?")));
    EXPECT_EQ(t.ctx.link.replyText, QStringLiteral("STOPREMOTO"));
    LinkEnv::pump(300);
    EXPECT_TRUE(t.remote->received().isEmpty());
}

TEST_F(RelayTest, otherEventCodesAreIgnored) {
    ASSERT_TRUE(t.startInstrument().ready());
    t.ctx.link.baseRxBuffer = QStringLiteral("STARTREMOTO\r");
    serialeBase_OnComm(t.ctx, 1);
    serialeBase_OnComm(t.ctx, SerialPort::kEventErrorBase + 2);
    EXPECT_EQ(t.ctx.link.baseRxBuffer, QStringLiteral("STARTREMOTO\r"));
}
