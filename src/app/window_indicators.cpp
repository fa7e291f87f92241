#include "window_indicators.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>

namespace vorna {

WindowIndicators::WindowIndicators(QLabel* connectedLamp, QLabel* disconnectedLamp,
                                   QLabel* statusLabel, QProgressBar* activityBar)
    : connected_(connectedLamp), disconnected_(disconnectedLamp), status_(statusLabel),
      activity_(activityBar) {}

WindowIndicators::~WindowIndicators() {
    setBusy(false);
}

void WindowIndicators::showConnected(bool up) {
    connected_->setVisible(up);
    disconnected_->setVisible(!up);
}

void WindowIndicators::showStatusLabel() {
    status_->setVisible(true);
}

void WindowIndicators::setActivity(int value) {
    activity_->setValue(qBound(activity_->minimum(), value, activity_->maximum()));
}

int WindowIndicators::activityMaximum() const {
    return activity_->maximum();
}

void WindowIndicators::setBusy(bool busy) {
    // The override cursor stacks: push and pop only on a change, so a routine that sets the
    // pointer twice does not leave an hourglass behind.
    if (busy == busy_) return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

} // namespace vorna
