#pragma once

// What the tests of both plant windows do to the plant pane they share, and the register
// opened from the toolbar.
#include "plants_window.h"
#include "test_rows.h"
#include "window_rig.h"

#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

namespace vorna::test {

// Typing into a box as a user does (typing limits apply).
inline void type(Rig& s, const QString& box, const QString& text) {
    QLineEdit* b = s.find<QLineEdit>(box);
    b->clear();
    QTest::keyClicks(b, text);
}

// The fields typed in order: power, NOCT, gamma, then the six texts; the inverter class.
inline void fill(Rig& s, const QStringList& fields, bool above = false) {
    static const char* const boxes[] = {"tbPot",    "tbNoct", "tbGamma", "tbNome",  "tbIndirizzo",
                                        "tbNumCiv", "tbCap",  "tbCom",   "tbCodice"};
    for (int i = 0; i < 9; ++i)
        type(s, boxes[i], fields.value(i));
    s.find<QRadioButton>(above ? "obPotInv_1" : "obPotInv_0")->setChecked(true);
}

// A user's click on a row of a list box: focus by mouse, then the selection.
inline void pick(Rig& s, const QString& list, int row) {
    auto* l = s.find<QListWidget>(list);
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(row)).center());
    QCoreApplication::processEvents();
}

// One row of impianti per plant, its columns in order.
inline QStringList storedPlants(Rig& s) {
    return rowsAsText(s.db(), "SELECT POT, BOOL1, NOCT, REAL1, nome, indirizzo, NUMCIV, cap, "
                              "comune, CODFISC FROM impianti ORDER BY ID");
}

// The plant register opened from the toolbar of the shown and active main window, after the
// instrument was connected when there is one.
inline PlantsWindow* openRegister(Rig& s) {
    s.window->show();
    s.window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(s.window.get(), 2000));
    if (s.sim) s.connect();
    PlantsWindow* w = s.open<PlantsWindow>("installation");
    EXPECT_NE(w, nullptr);
    if (s.sim) s.commands();
    return w;
}

} // namespace vorna::test
