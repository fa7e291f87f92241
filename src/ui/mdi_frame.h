#pragma once

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace vorna {

// Shows a child window in its own frame in the area: fixed size around the child, closed and
// deleted by its close button, at 10, 10 twips; the area's main window grows to hold it whole.
QMdiSubWindow* showInMdiArea(QMdiArea* area, QWidget* child);

// The area a window's frame stands in; null for a window shown on its own.
QMdiArea* mdiAreaOf(QWidget* child);

// The frame a window stands in within an area, or the window itself when it has none: what
// goes when the window goes.
QWidget* frameOrSelf(QWidget* child);

} // namespace vorna
