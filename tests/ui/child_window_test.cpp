#include "child_window.h"
#include "link.h"
#include "mdi_frame.h"
#include "window_rig.h"

#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace vorna;
using namespace vorna::test;

namespace {

// A child window whose one button runs an exchange, as every real handler does.
class ExchangeWindow : public ChildWindow {
public:
    explicit ExchangeWindow(AppContext& ctx) : ChildWindow(ctx, "probe", 1, 3000, 1500) {
        button = named(new QPushButton("go", this), "bttGo");
        connect(button, &QPushButton::clicked, this, [this] { bttGo_Click(); });
    }
    void bttGo_Click() {
        handle([&] {
            ++handlersRun;
            if (duringExchange) QTimer::singleShot(60, this, duringExchange);
            exchangeOk = trasmette(ctx_, "probe", "TIME?");
            stateAtEnd = {ctx_.link.baseLinkUp(), linkRefreshes};
        });
    }
    // A handler that sends nothing; it may call bttGo_Click, through nested() or plainly.
    enum class Calls { Nothing, Nested, Plainly };
    void bttStop_Click() {
        stopRan += handle(
            [&] {
                if (calls == Calls::Nested) nested([&] { bttGo_Click(); });
                if (calls == Calls::Plainly) bttGo_Click();
            },
            overlap);
    }
    void linkChanged() override { ++linkRefreshes; }
    void set_messages() override { caption = ctx_.msg(168); }

    QPushButton* button;
    std::function<void()> duringExchange;
    Overlap overlap = Overlap::Refused;
    Calls calls = Calls::Nothing;
    int handlersRun = 0, linkRefreshes = 0, stopRan = 0;
    bool exchangeOk = false;
    std::pair<bool, int> stateAtEnd;
    QString caption;
};

struct Probe {
    explicit Probe(const QStringList& simArgs) : s(englishRow(), simArgs) {
        s.closeChild();
        s.window->setChildWindow(
            "probe", [](AppContext& c) -> ChildWindow* { return new ExchangeWindow(c); });
        s.ctx().link.serialeBase.setPortNumber(1);
        s.ctx().link.setLinkUp(Unit::Base, true);
        s.window->openChild("probe");
        w = s.find<ExchangeWindow>("probe");
    }
    Rig s;
    QPointer<ExchangeWindow> w;
};

// A child window with one sub-window, as the browser has its chart.
class Owner : public ChildWindow {
public:
    explicit Owner(AppContext& ctx) : ChildWindow(ctx, "owner", 1, 3000, 1500) {}
    void ask() {
        openSubWindow(sub, [&] {
            ++made;
            return new ChildWindow(ctx_, "sub", 0, 2000, 1000);
        });
    }
    QPointer<ChildWindow> sub;
    int made = 0;
};

QMdiSubWindow* frameOf(QWidget* w) {
    return qobject_cast<QMdiSubWindow*>(w->parentWidget());
}

} // namespace

// While a handler runs, another (a click too) is refused unless it may overlap; a handler reuses
// another through nested(), and a plain call of one from inside another is refused like a click.
TEST(ChildWindow, AHandlerInsideAnotherRunsOnlyWhenItOverlapsOrIsNested) {
    using Calls = ExchangeWindow::Calls;
    using Overlap = ChildWindow::Overlap;
    struct Case {
        Overlap overlap;
        bool duringExchange;
        Calls calls;
        int stopRan, handlersRun;
    } cases[] = {
        {Overlap::Refused, true, Calls::Nothing, 0, 1},
        {Overlap::Runs, true, Calls::Nothing, 1, 1},
        {Overlap::Refused, false, Calls::Nested, 1, 1},
        {Overlap::Refused, false, Calls::Plainly, 1, 0},
    };
    for (const Case& c : cases) {
        Probe p({"--delay", "TIME?=300"});
        ASSERT_TRUE(p.w);
        p.w->overlap = c.overlap;
        p.w->calls = c.calls;
        if (c.duringExchange) {
            p.w->duringExchange = [&] { p.w->bttStop_Click(); };
            p.w->bttGo_Click();
        } else {
            p.w->bttStop_Click();
        }
        const auto where = ::testing::Message() << int(c.overlap) << int(c.calls);
        EXPECT_EQ(p.w->stopRan, c.stopRan) << where;
        EXPECT_EQ(p.w->handlersRun, c.handlersRun) << where;
        EXPECT_EQ(p.w->exchangeOk, c.handlersRun == 1) << where;
    }
}

TEST(ChildWindow, ClosingDuringAHandlerClosesAfterIt) {
    Probe p({"--delay", "TIME?=400"});
    p.w->duringExchange = [&] {
        p.w->closeWindow();
        EXPECT_TRUE(p.w); // still there: the exchange is running
    };
    p.w->button->click();
    EXPECT_TRUE(p.w->exchangeOk); // the exchange ran to its end
    EXPECT_TRUE(QTest::qWaitFor([&] { return p.w.isNull(); }, 2000));
    EXPECT_EQ(p.s.ctx().childWindowOpen, 0);
    EXPECT_TRUE(p.s.window->area()->subWindowList().isEmpty());
}

TEST(ChildWindow, LinkDropsAndLanguageChangesReachTheOpenChild) {
    Probe p({"--silent", "TIME?"});
    p.s.ctx().link.readTimeout = std::chrono::milliseconds(300);
    p.w->button->click();
    EXPECT_FALSE(p.w->exchangeOk);
    // Lost during the handler: the refresh waits for the handler to end, then runs once.
    EXPECT_EQ(p.w->stateAtEnd, std::make_pair(false, 0));
    EXPECT_EQ(p.w->linkRefreshes, 1);
    // Links changed from anywhere else reach the open window at once.
    p.s.ctx().link.setLinkUp(Unit::Remote, true);
    p.s.ctx().link.setLinkUp(Unit::Remote, false);
    EXPECT_EQ(p.w->linkRefreshes, 3);
    p.s.ctx().languageIndex = 4;
    p.s.window->applyLanguage();
    EXPECT_EQ(p.w->caption, p.s.ctx().messaggi.text(4, 168));
    EXPECT_TRUE(p.s.window->windowTitle().startsWith("VORNA REPORT ("));
}

TEST(SubWindow, OneAtATimeInTheOwnersAreaOrOnItsOwnAndGoneWithTheOwner) {
    Rig s;
    s.closeChild();
    s.window->setChildWindow("owner", [](AppContext& c) -> ChildWindow* { return new Owner(c); });
    s.window->openChild("owner");
    QPointer<Owner> owner = s.find<Owner>("owner");
    QMdiArea* area = s.window->area();
    owner->ask();
    ASSERT_TRUE(owner->sub);
    EXPECT_EQ(mdiAreaOf(owner->sub), area);

    // Asked again while the owner is in front: the same one comes to the front.
    area->setActiveSubWindow(frameOf(owner));
    owner->ask();
    EXPECT_EQ(owner->made, 1);
    EXPECT_EQ(area->activeSubWindow(), frameOf(owner->sub));

    // Closed alone, the owner learns of it; the next ask builds a new one.
    frameOf(owner->sub)->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return owner->sub.isNull(); }, 2000));
    owner->ask();
    EXPECT_EQ(owner->made, 2);

    QPointer<ChildWindow> sub = owner->sub;
    frameOf(owner)->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return owner.isNull() && sub.isNull(); }, 2000));
    EXPECT_TRUE(area->subWindowList().isEmpty());
    EXPECT_EQ(s.ctx().childWindowOpen, 0);

    // An owner outside an area: the sub-window is a window of its own.
    auto alone = std::make_unique<Owner>(s.ctx());
    alone->ask();
    ASSERT_TRUE(alone->sub);
    EXPECT_TRUE(alone->sub->isWindow());
    alone->sub->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return alone->sub.isNull(); }, 2000));
    alone->ask();
    sub = alone->sub;
    alone.reset();
    EXPECT_TRUE(sub.isNull());
}
