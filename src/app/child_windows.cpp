#include "child_windows.h"

#include "installation_window.h"
#include "plants_window.h"
#include "realtime_data_window.h"
#include "realtime_window.h"
#include "report_window.h"
#include "setup_window.h"

namespace vorna {

namespace {

template <typename W> ChildWindow* make(AppContext& c) {
    return new W(c);
}

} // namespace

// The one list of the program's child windows; a window library is linked through it. The
// toolbar's function keys follow it, so their order is the toolbar's (tooltips 164 onward).
// "realtime" opens the plant chooser, which opens the real-time window.
const std::vector<ChildWindowEntry>& childWindows() {
    static const std::vector<ChildWindowEntry> windows{
        {QStringLiteral("rep"), QStringLiteral("report"), make<ReportWindow>},
        {QStringLiteral("installation"), QStringLiteral("realtime"), make<InstallationWindow>},
        {QStringLiteral("realtime_data"), QStringLiteral("realtime_data"),
         make<RealtimeDataWindow>},
        {QStringLiteral("frmImpianti"), QStringLiteral("installation"), make<PlantsWindow>},
        {QStringLiteral("setup"), QStringLiteral("setup"), make<SetupWindow>},
        {QStringLiteral("realtime"), QString(), make<RealtimeWindow>},
    };
    return windows;
}

QString windowForKey(const QString& key) {
    if (key.isEmpty()) return {};
    for (const ChildWindowEntry& w : childWindows())
        if (w.key == key) return w.name;
    return {};
}

} // namespace vorna
