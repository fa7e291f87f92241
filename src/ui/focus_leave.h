#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace vorna {

// Runs a "LostFocus" routine when the focus leaves field for another control of window, never
// when the window closes or hides, nor when the program or window loses the focus as a whole.
void onFocusLeft(QWidget* field, QWidget* window, std::function<void()> routine);

} // namespace vorna
