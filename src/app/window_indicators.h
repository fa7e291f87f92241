#pragma once

#include "link_indicators.h"

class QLabel;
class QProgressBar;

namespace vorna {

// The link's indicators on the main window's own controls: the two lamps, the status label,
// the activity bar and the busy pointer.
class WindowIndicators : public LinkIndicators {
public:
    WindowIndicators(QLabel* connectedLamp, QLabel* disconnectedLamp, QLabel* statusLabel,
                     QProgressBar* activityBar);
    ~WindowIndicators() override;
    WindowIndicators(const WindowIndicators&) = delete;
    WindowIndicators& operator=(const WindowIndicators&) = delete;

    void showConnected(bool up) override;
    void showStatusLabel() override;
    void setActivity(int value) override;
    int activityMaximum() const override;
    void setBusy(bool busy) override;
    bool busy() const { return busy_; }

private:
    QLabel* connected_;
    QLabel* disconnected_;
    QLabel* status_;
    QProgressBar* activity_;
    bool busy_ = false;
};

} // namespace vorna
