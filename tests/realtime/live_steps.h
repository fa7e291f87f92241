#pragma once

// Steps on the real-time window, opened on the program's rig against instrument-sim.
#include "realtime_window.h"
#include "sample_grid_view.h"
#include "test_rows.h"
#include "window_rig.h"

#include <QLineEdit>
#include <QRadioButton>

#include <map>

namespace vorna::test {

// The time of the first live sample.
inline const QDateTime kFirstSample(QDate(2024, 6, 14), QTime(10, 15, 2, 400));
inline QDateTime at(int h, int m, int s = 0, int ms = 0) {
    return QDateTime(kFirstSample.date(), QTime(h, m, s, ms));
}

// The nine commands of one sample of the tests' plant.
inline const QStringList kNine{"REALTIME 1",   "POWERRT 3.5", "NOCTRT 45",
                               "GAMMART 0.45", "POTINVRT 0",  "LISTVAL",
                               "LINEDC?",      "PHASEAC?",    "REALTIME 0"};

// A "LISTVAL" reply as the instrument sends it: 28 fields, each set apart from the others;
// `changes` replaces fields by index.
inline QString listval(const std::map<int, QString>& changes = {}) {
    QStringList f{"3.5",   "0",    "812.5", "24.5", "41.2",  "-0.45", "3.1",
                  "410.2", "7.0",  "405.5", "7.2",  "400.1", "6.9",   "8.6",
                  "231.0", "12.1", "230.4", "12.0", "229.8", "11.9",  "8.2",
                  "0.93",  "0",    "0.96",  "PASS", "0",     "0",     "0.89"};
    for (const auto& [i, text] : changes)
        f[i] = text;
    return f.join('\t');
}

// instrument-sim's content: `data` lines, then the LISTVAL replies it gives in turn.
inline QStringList liveContent(const QStringList& replies, const QStringList& data = {}) {
    QStringList lines = data;
    for (const QString& r : replies)
        lines << "listval\t" + r;
    return lines;
}

// The instrument connected (withRead as Rig::connect), the virtual clock at kFirstSample, and
// the real-time window opened on the tests' plant, as the plant chooser opens it.
inline RealtimeWindow* openRealtime(Rig& s, bool withRead = true, bool aboveTwentyKw = false) {
    s.setClock(kFirstSample);
    s.connect(withRead);
    s.closeChild();
    s.ctx().plant.ID = insertPlant(s.db(), {.above = aboveTwentyKw});
    s.window->openChild("realtime");
    auto* w = qobject_cast<RealtimeWindow*>(s.window->currentChild());
    EXPECT_NE(w, nullptr);
    s.commands();
    return w;
}

// Presses "Acquire"; the commands the instrument received meanwhile.
inline QStringList acquire(Rig& s) {
    s.click("bttControllo");
    return s.commands();
}

inline void chooseAuto(Rig& s) {
    s.find<QRadioButton>("obMode_0")->click();
}
inline void type(Rig& s, const char* field, const QString& text) {
    s.find<QLineEdit>(field)->setText(text);
}
inline void schedule(Rig& s, const QString& startH, const QString& startM, const QString& stopH,
                     const QString& stopM) {
    type(s, "tbStartH", startH);
    type(s, "tbStartM", startM);
    type(s, "tbStopH", stopH);
    type(s, "tbStopM", stopM);
}
// Automatic mode, the schedule and the interval; the clock at `when`; "Activate" starts the run.
inline void activate(Rig& s, const QDateTime& when, const QString& startH = "8",
                     const QString& startM = "00", const QString& stopH = "22",
                     const QString& stopM = "59", int position = 0) {
    s.clock->set(when);
    chooseAuto(s);
    schedule(s, startH, startM, stopH, stopM);
    s.choose("cbIntervallo", position);
    s.click("bttControllo");
    EXPECT_EQ(s.text("bttControllo"), s.ctx().msg(99)); // "Stop"
}

// What grid row `row` (1 = the first sample) shows in `column`.
inline QString cell(RealtimeWindow* w, int row, int column) {
    return w->grid()->model()->index(row - 1, column).data().toString();
}
inline int gridSamples(RealtimeWindow* w) {
    return w->grid()->grid().table().sampleCount();
}

// The stored samples, oldest first: `columns` as the database gives them, "|"-separated.
inline QStringList samples(Rig& s, const QString& columns) {
    return rowsAsText(s.db(), "SELECT " + columns + " FROM realtime ORDER BY ID");
}

} // namespace vorna::test
