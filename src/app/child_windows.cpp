#include "child_windows.h"

#include "installation_window.h"
#include "plants_window.h"
#include "realtime_data_window.h"
#include "realtime_window.h"
#include "report_window.h"
#include "setup_window.h"

namespace vorna {

// The one list of the program's child windows; a window library is linked through it.
const std::vector<ChildWindowEntry>& childWindows() {
    static const std::vector<ChildWindowEntry> windows{
        {QStringLiteral("rep"), [](AppContext& c) -> ChildWindow* { return new ReportWindow(c); }},
        {QStringLiteral("setup"), [](AppContext& c) -> ChildWindow* { return new SetupWindow(c); }},
        {QStringLiteral("frmImpianti"),
         [](AppContext& c) -> ChildWindow* { return new PlantsWindow(c); }},
        {QStringLiteral("realtime_data"),
         [](AppContext& c) -> ChildWindow* { return new RealtimeDataWindow(c); }},
        {QStringLiteral("installation"),
         [](AppContext& c) -> ChildWindow* { return new InstallationWindow(c); }},
        {QStringLiteral("realtime"),
         [](AppContext& c) -> ChildWindow* { return new RealtimeWindow(c); }},
    };
    return windows;
}

} // namespace vorna
