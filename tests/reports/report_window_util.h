#pragma once

#include "report_window.h"
#include "test_rows.h"
#include "window_rig.h"

namespace vorna::test {

// The report window opened from the toolbar, after the instrument was connected in the setup
// window unless `connect` is false.
inline ReportWindow* openReport(Rig& s, bool connect = true) {
    if (connect) s.connect();
    return s.open<ReportWindow>("report");
}

} // namespace vorna::test
