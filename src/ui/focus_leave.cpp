#include "focus_leave.h"

#include <QApplication>
#include <QFocusEvent>
#include <QWidget>

namespace vorna {

namespace {

class FocusLeaveFilter : public QObject {
public:
    FocusLeaveFilter(QWidget* field, QWidget* window, std::function<void()> routine)
        : QObject(field), field_(field), window_(window), routine_(std::move(routine)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == field_ && event->type() == QEvent::FocusOut && movedWithinWindow(event))
            routine_();
        return false;
    }

private:
    bool movedWithinWindow(QEvent* event) const {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return false;
        if (!window_->isVisible() || !field_->isEnabled()) return false;
        // By the time the field hears of it, the new focus is already set.
        QWidget* next = QApplication::focusWidget();
        return next && next != field_ && window_->isAncestorOf(next) && next->isVisible();
    }

    QWidget* field_;
    QWidget* window_;
    std::function<void()> routine_;
};

} // namespace

void onFocusLeft(QWidget* field, QWidget* window, std::function<void()> routine) {
    field->installEventFilter(new FocusLeaveFilter(field, window, std::move(routine)));
}

} // namespace vorna
