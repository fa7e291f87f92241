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

// The benchmark's names for the stored rows.
inline qint64 addPlant(AppContext& c, const QString& nome) {
    return insertPlant(c.db, nome);
}
inline void addMeasurements(AppContext& c, const QString& table, qint64 plant, int count,
                            const QDateTime& newest) {
    insertMeasurements(c.db, table, plant, newest, count);
}

} // namespace vorna::test
