#include "child_window.h"

#include "app_context.h"
#include "mdi_frame.h"
#include "twips.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <algorithm>

namespace vorna {

ChildWindow::ChildWindow(AppContext& ctx, const QString& name, int openValue, int widthTwips,
                         int heightTwips, QWidget* parent)
    : QWidget(parent), ctx_(ctx), openValue_(openValue) {
    setObjectName(name);
    setFixedSize(twipsSize(widthTwips, heightTwips));
    if (openValue_ != 0) ctx_.childWindowOpen = openValue_;
    connect(&ctx_.link, &Link::linkStateChanged, this, [this] {
        // A handler refreshes its controls when it ends; doing it in the middle of one would
        // enable buttons the handler is about to change again.
        if (handlerRunning())
            linkChangePending_ = true;
        else
            linkChanged();
    });
}

ChildWindow::~ChildWindow() {
    // A sub-window reads this window: it goes first, with its frame.
    for (const QPointer<ChildWindow>& sub : subWindows_)
        if (sub) delete frameOrSelf(sub);
    // A window opened from this one may already hold the counter at its own value.
    if (openValue_ != 0 && ctx_.childWindowOpen == openValue_) ctx_.childWindowOpen = 0;
}

void ChildWindow::showSubWindow(ChildWindow* sub) {
    subWindows_.erase(std::remove_if(subWindows_.begin(), subWindows_.end(),
                                     [](const QPointer<ChildWindow>& w) { return w.isNull(); }),
                      subWindows_.end());
    subWindows_.emplace_back(sub);
    if (QMdiArea* area = mdiAreaOf(this)) {
        showInMdiArea(area, sub);
    } else {
        // On its own it goes when closed, as a frame in the area does.
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->show();
    }
}

void ChildWindow::raiseSubWindow(ChildWindow* sub) {
    if (QMdiArea* area = mdiAreaOf(sub))
        area->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(sub->parentWidget()));
    else
        sub->raise();
}

ChildWindow::Scope::Scope(ChildWindow& window, Overlap overlap) : w(window) {
    refused = w.handlers_ > 0 && !w.nestedCall_ && overlap == Overlap::Refused;
    w.nestedCall_ = false;
    if (!refused) ++w.handlers_;
}

ChildWindow::Scope::~Scope() {
    if (!refused && --w.handlers_ == 0) w.handlerEnded();
}

void ChildWindow::handlerEnded() {
    if (linkChangePending_) {
        linkChangePending_ = false;
        linkChanged();
    }
    if (closePending_) {
        closePending_ = false;
        // Not from inside the handler's own frame: the window may be deleted by the close.
        QTimer::singleShot(0, this, &ChildWindow::closeWindow);
    }
}

void ChildWindow::closeWindow() {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->close();
    else
        close();
}

void ChildWindow::closeEvent(QCloseEvent* event) {
    if (handlerRunning()) {
        closePending_ = true;
        event->ignore();
        return;
    }
    event->accept();
}

} // namespace vorna
