#include "child_windows.h"

#include "installation_window.h"
#include "realtime_window.h"
#include "setup_window.h"

namespace vorna {

// The one list of the program's child windows; a window library is linked through it.
const std::vector<ChildWindowEntry>& childWindows() {
    static const std::vector<ChildWindowEntry> windows{
        {QStringLiteral("setup"), [](AppContext& c) -> ChildWindow* { return new SetupWindow(c); }},
        {QStringLiteral("installation"),
         [](AppContext& c) -> ChildWindow* { return new InstallationWindow(c); }},
        {QStringLiteral("realtime"),
         [](AppContext& c) -> ChildWindow* { return new RealtimeWindow(c); }},
    };
    return windows;
}

} // namespace vorna
