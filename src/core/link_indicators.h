#pragma once

namespace vorna {

// What the link shows on the main window: the connected / disconnected lights, the connection
// status label, the activity bar and the busy pointer. The base class shows nothing, so core
// code and tests run without a window; the main window gives the real one.
class LinkIndicators {
public:
    virtual ~LinkIndicators() = default;

    // Connected light visible and disconnected light hidden when up, the reverse when down.
    virtual void showConnected(bool up) { (void)up; }
    virtual void showStatusLabel() {}
    virtual void setActivity(int value) { (void)value; }
    virtual int activityMaximum() const { return 100; }
    // Hourglass pointer while a line is sent or awaited.
    virtual void setBusy(bool busy) { (void)busy; }
};

} // namespace vorna
