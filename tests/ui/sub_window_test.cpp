#include "window_rig.h"
#include "child_window.h"
#include "mdi_frame.h"

#include <QPointer>
#include <QTest>

using namespace vorna;
using namespace vorna::test;

namespace {

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

TEST(SubWindow, OneAtATimeInTheOwnersAreaAndGoneWithTheOwner) {
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
}

TEST(SubWindow, OnItsOwnWithAnOwnerOutsideAnArea) {
    Rig s;
    s.closeChild();
    auto owner = std::make_unique<Owner>(s.ctx());
    owner->ask();
    ASSERT_TRUE(owner->sub);
    EXPECT_TRUE(owner->sub->isWindow());
    owner->sub->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return owner->sub.isNull(); }, 2000));
    owner->ask();
    QPointer<ChildWindow> sub = owner->sub;
    owner.reset();
    EXPECT_TRUE(sub.isNull());
}
