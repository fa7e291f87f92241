#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace vorna {

class AppContext;
class ChildWindow;

// The child windows the main window can open, by name, with the factory that builds each.
struct ChildWindowEntry {
    QString name;
    std::function<ChildWindow*(AppContext&)> make;
};
const std::vector<ChildWindowEntry>& childWindows();

} // namespace vorna
