#pragma once

#include "app_test_util.h"
#include "link.h"
#include "report_window.h"

#include <QComboBox>

namespace vorna::test {

// The report window opened from the toolbar. With linkUp the instrument's link is marked up on
// port 1 first, as a connection in the setup window leaves it, without its commands.
inline ReportWindow* openReport(Rig& s, bool linkUp = true) {
    if (linkUp) {
        s.ctx().link.serialeBase.setPortNumber(1);
        s.ctx().link.setLinkUp(Unit::Base, true);
    }
    s.closeChild();
    s.key("report")->trigger();
    return qobject_cast<ReportWindow*>(s.window->currentChild());
}

// The user's choice of a list entry.
inline void choose(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
}

inline qint64 addPlant(AppContext& c, const QString& nome, const QString& indirizzo = "Via Roma",
                       const QString& numciv = "12", const QString& comune = "Milano") {
    c.db.prepare("INSERT INTO impianti (tipo, nome, indirizzo, NUMCIV, cap, comune, CODFISC, POT, "
                 "BOOL1, NOCT, REAL1) VALUES (1, ?, ?, ?, '20100', ?, 'RSSMRA70A01F205X', 3.5, 0, "
                 "45, -0.45)")
        .bindAll({nome, indirizzo, numciv, comune})
        .run();
    return c.db.lastInsertId();
}

// count rows of one plant in acquisizioni or realtime, a minute apart going back from
// `newest`; ESITOAC as given (an invalid variant stores NULL).
inline void addMeasurements(AppContext& c, const QString& table, qint64 plant, int count,
                            const QDateTime& newest, const QVariant& esitoac = 1,
                            const QVariant& esitodc = 1) {
    Database::Transaction tx(c.db);
    Statement st = c.db.prepare(
        "INSERT INTO " + table +
        " (IDIMP, data, ora, rad, POTRAD, TEMPAMB, TEMPPAN, VDC1, IDC1, VAC1, IAC1, POTDC, POTAC, "
        "RENDDC, RENDAC, ESITODC, ESITOAC, COEFFTEMP, REAL2) VALUES (?, ?, ?, 812.5, 3.1, 24.5, "
        "41.2, 410.2, 7.1, 231, 12.1, 2.9, 2.8, 0.93, 0.96, ?, ?, 0.89, -0.44)");
    for (int i = 0; i < count; ++i) {
        const QDateTime at = newest.addSecs(-60 * i);
        st.bindAll({plant, at.date(), at.time(), esitodc, esitoac}).run();
    }
    tx.commit();
}

} // namespace vorna::test
