#include "mdi_frame.h"

#include "twips.h"

#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace vorna {

QMdiSubWindow* showInMdiArea(QMdiArea* area, QWidget* child) {
    QMdiSubWindow* sub = area->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                        Qt::WindowSystemMenuHint);
    QWidget* main = area->window();
    sub->setWindowIcon(main->windowIcon());
    // The child's fixed size is its client area; the frame goes around it.
    sub->adjustSize();
    sub->setFixedSize(sub->sizeHint());
    sub->move(twipsPoint(10, 10));
    // Before the first show the area has no geometry yet: lay the frame out to learn it.
    if (main->layout()) main->layout()->activate();
    const QSize need = sub->size() + QSize(sub->x(), sub->y()) * 2;
    const QSize have = area->contentsRect().size();
    if (need.width() > have.width() || need.height() > have.height())
        main->resize(main->size() + QSize(std::max(0, need.width() - have.width()),
                                          std::max(0, need.height() - have.height())));
    sub->show();
    area->setActiveSubWindow(sub);
    return sub;
}

QMdiArea* mdiAreaOf(QWidget* child) {
    auto* frame = qobject_cast<QMdiSubWindow*>(child->parentWidget());
    return frame ? frame->mdiArea() : nullptr;
}

QWidget* frameOrSelf(QWidget* child) {
    auto* frame = qobject_cast<QMdiSubWindow*>(child->parentWidget());
    return frame ? static_cast<QWidget*>(frame) : child;
}

} // namespace vorna
