#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace vorna {

class AppContext;
class ChildWindow;

// A child window the main window can open: its name, the toolbar key that opens it (none for a
// window another one opens) and the factory that builds it.
struct ChildWindowEntry {
    QString name;
    QString key;
    std::function<ChildWindow*(AppContext&)> make;
};
// The program's child windows; those with a key in toolbar order.
const std::vector<ChildWindowEntry>& childWindows();
// The name of the window a toolbar key opens; empty for a key that opens none.
QString windowForKey(const QString& key);

} // namespace vorna
