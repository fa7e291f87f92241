#pragma once

#include "app_test_util.h"
#include "realtime_window.h"
#include "sample_grid_view.h"
#include "wall_clock.h"

#include <map>

namespace vorna::test {

// The sample time of the first live sample in the window tests.
inline const QDateTime kFirstSample(QDate(2024, 6, 14), QTime(10, 15, 2, 400));

// A "LISTVAL" reply as the instrument sends it: 28 fields, each set apart from the others;
// `changes` replaces fields by index.
inline QString listval(const std::map<int, QString>& changes = {}) {
    QStringList f{"3.5",   "0",    "812.5", "24.5", "41.2",  "-0.45", "3.1",
                  "410.2", "7.0",  "405.5", "7.2",  "400.1", "6.9",   "8.6",
                  "231.0", "12.1", "230.4", "12.0", "229.8", "11.9",  "8.2",
                  "0.93",  "0",    "0.96",  "PASS", "0",     "0",     "0.89"};
    for (const auto& [i, text] : changes) {
        while (f.size() <= i)
            f << QString();
        f[i] = text;
    }
    return f.join('\t');
}

// The simulator's plant 1 as the plant register holds it.
inline qint64 addPlant(AppContext& ctx, bool aboveTwentyKw = false, double pot = 3.5) {
    ctx.db
        .prepare("INSERT INTO impianti (tipo, nome, indirizzo, NUMCIV, cap, comune, CODFISC, POT, "
                 "BOOL1, NOCT, REAL1) VALUES (1, 'Rossi Mario', 'Via Roma', '12', '20100', "
                 "'Milano', 'RSSMRA70A01F205X', ?, ?, 45, -0.45)")
        .bindAll({pot, aboveTwentyKw})
        .run();
    return ctx.db.lastInsertId();
}

// The program with the instrument connected, on a fixed clock, and the real-time window open
// on the simulator's plant 1. `replies` are the simulator's LISTVAL replies in turn; `data`
// further content lines; `args` further simulator options.
struct LiveRig {
    explicit LiveRig(const QStringList& replies, const QStringList& data = {},
                     const QLocale& pc = kUsPc, const QStringList& args = {}, bool connect = true,
                     bool aboveTwentyKw = false)
        : s(englishRow({{"LINGUA", pc == kItalianPc ? 4 : 0}}), args, content(replies, data), pc) {
        s.ctx().clock = &clock;
        if (connect) {
            s.click("bttCollegaBase");
            EXPECT_TRUE(s.ctx().link.baseLinkUp()) << s.env.debugLog().toStdString();
        } else {
            s.ctx().link.setLinkUp(Unit::Base, true);
        }
        s.closeChild();
        s.ctx().plant.ID = plantId = addPlant(s.ctx(), aboveTwentyKw);
        s.window->openChild("realtime");
        w = qobject_cast<RealtimeWindow*>(s.window->currentChild());
        EXPECT_NE(w, nullptr);
        seen = int(s.sim->received(100).size());
    }

    static QStringList content(const QStringList& replies, const QStringList& data) {
        QStringList lines = data;
        for (const QString& r : replies)
            lines << "listval\t" + r;
        return lines;
    }

    // Presses "Acquire"; the commands the instrument received meanwhile.
    QStringList acquire() {
        s.click("bttControllo");
        return newCommands();
    }
    QStringList newCommands() {
        const QStringList all = s.sim->received(100);
        const QStringList fresh = all.mid(seen);
        seen = int(all.size());
        return fresh;
    }
    // What grid row `row` (1 = the first sample) shows in `column`.
    QString shown(int row, int column) {
        return w->grid()->model()->index(row - 1, column).data().toString();
    }
    int gridSamples() { return w->grid()->grid().table().sampleCount(); }
    // The stored samples, oldest first: column values as the database gives them.
    std::vector<QVariantMap> rows() {
        std::vector<QVariantMap> out;
        RecordSet rs = RecordSet::select(s.ctx().db, "SELECT * FROM realtime ORDER BY ID");
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            QVariantMap m;
            for (const QString& c : rs.columns())
                m.insert(c, rs.field(c));
            out.push_back(m);
        }
        return out;
    }

    ManualClock clock{kFirstSample};
    Rig s;
    RealtimeWindow* w = nullptr;
    qint64 plantId = -1;
    int seen = 0;
};

} // namespace vorna::test
