#pragma once

// The stored-data browser and its chart on the program's rig, with plants and samples stored
// by the test.
#include "chart_window.h"
#include "realtime_data_window.h"
#include "test_rows.h"
#include "text_grid.h"
#include "window_rig.h"

namespace vorna::test {

inline RealtimeDataWindow* browser(Rig& s) {
    return s.find<RealtimeDataWindow>("realtime_data");
}
inline ChartWindow* chart(Rig& s) {
    return s.find<ChartWindow>("grafico");
}

inline void choosePlant(Rig& s, qint64 id) {
    const auto& ids = s.ctx().plantIdList;
    s.choose("cbImp", int(std::find(ids.begin(), ids.end(), id) - ids.begin()) + 1);
}
inline void chooseDay(Rig& s, const QString& shown) {
    s.choose("cbDate", s.find<QComboBox>("cbDate")->findText(shown));
}
// Start and stop as list entries: hours 1 to 22, minutes 0 to 59.
inline void chooseRange(Rig& s, int startH, int startM, int stopH, int stopM) {
    s.choose("cbStartH", startH - 1);
    s.choose("cbStartM", startM);
    s.choose("cbStopH", stopH - 1);
    s.choose("cbStopM", stopM);
}
// The browser opened from the toolbar on a plant's day.
inline void openDay(Rig& s, qint64 plant, const QString& day) {
    s.open("realtime_data");
    choosePlant(s, plant);
    chooseDay(s, day);
}

// One column of the grid's sample rows.
inline QStringList column(Rig& s, int c) {
    const TextGrid& g = browser(s)->grid();
    QStringList out;
    for (int r = 1; r + 1 < g.rowCount(); ++r)
        out << g.cellText(r, c);
    return out;
}

} // namespace vorna::test
