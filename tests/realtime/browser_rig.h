#pragma once

#include "app_test_util.h"
#include "chart_window.h"
#include "realtime_data_window.h"
#include "stored_rows.h"
#include "text_grid.h"

#include <QComboBox>

namespace vorna::test {

// The program on a test folder (no instrument) with plants and stored samples put in by the
// test, and the stored-data browser opened from the toolbar.
struct BrowserRig : Rig {
    explicit BrowserRig(int language = 0, const QLocale& locale = kUsPc)
        : Rig(englishRow({{"LINGUA", language}}), std::nullopt, {}, locale) {}

    Database& db() { return ctx().db; }
    void open() {
        closeChild();
        key("realtime_data")->trigger();
    }
    RealtimeDataWindow* browser() { return find<RealtimeDataWindow>("realtime_data"); }
    ChartWindow* chart() { return find<ChartWindow>("grafico"); }

    // A choice in a list as the user makes it.
    void choose(const QString& list, int index) {
        auto* cb = find<QComboBox>(list);
        cb->setCurrentIndex(index);
        emit cb->activated(index);
    }
    void choosePlant(qint64 id) {
        const auto& ids = ctx().plantIdList;
        choose("cbImp", int(std::find(ids.begin(), ids.end(), id) - ids.begin()) + 1);
    }
    void chooseDay(const QString& shown) {
        choose("cbDate", find<QComboBox>("cbDate")->findText(shown));
    }
    // Start and stop as list entries: hours 1 to 22, minutes 0 to 59.
    void chooseRange(int startH, int startM, int stopH, int stopM) {
        choose("cbStartH", startH - 1);
        choose("cbStartM", startM);
        choose("cbStopH", stopH - 1);
        choose("cbStopM", stopM);
    }
    QStringList items(const QString& list) {
        QStringList out;
        auto* cb = find<QComboBox>(list);
        for (int i = 0; i < cb->count(); ++i)
            out << cb->itemText(i);
        return out;
    }
    // One column of the grid's sample rows.
    QStringList column(int c) {
        const TextGrid& g = browser()->grid();
        QStringList out;
        for (int r = 1; r + 1 < g.rowCount(); ++r)
            out << g.cellText(r, c);
        return out;
    }
    QString lastWarning() {
        auto& w = env.prompts.warnings;
        const QString shown = w.empty() ? QString() : w.back().text + "/" + w.back().title;
        w.clear();
        return shown;
    }
};

} // namespace vorna::test
