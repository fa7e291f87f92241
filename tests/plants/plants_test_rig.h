#pragma once

#include "app_test_util.h"
#include "plants_window.h"

#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

namespace vorna::test {

// A plant line of instrument-sim's content file.
inline QString simPlant(int number, const QString& pot, const QString& name,
                        const QString& town = "Milano", const QString& cls = "0",
                        const QString& gamma = "0.45") {
    return QString("plant\t%1\t%2\t45\t%3\t%4\tVia Roma\t12\t20100\t%5\tRSSMRA70A01F205X\t%6")
        .arg(number)
        .arg(pot, gamma, name, town, cls);
}

// The program with the plant register open: on a test folder, with the simulator connected
// unless the link is to stay down.
struct PlantsRig : Rig {
    explicit PlantsRig(const QStringList& simData = {}, const QLocale& locale = kUsPc,
                       bool connect = true, const QStringList& simArgs = {},
                       const QVariantMap& row = englishRow())
        : Rig(row, connect ? std::optional<QStringList>(simArgs) : std::nullopt, simData, locale) {
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get(), 2000));
        if (connect) click("bttCollegaBase");
        open();
    }
    void open() {
        closeChild();
        key("installation")->trigger();
        w = find<PlantsWindow>("frmImpianti");
        EXPECT_NE(w, nullptr);
        sentBefore = sim ? int(sim->received().size()) : 0;
    }
    PlantsWindow* w = nullptr;
    int sentBefore = 0;

    QListWidget* list(const char* name) { return find<QListWidget>(name); }
    QStringList rows(const char* name) {
        QStringList out;
        for (int i = 0; i < list(name)->count(); ++i)
            out << list(name)->item(i)->text();
        return out;
    }
    // A user's click on a row: focus by mouse, then the selection.
    void pick(const char* name, int row) {
        QListWidget* l = list(name);
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {},
                          l->visualItemRect(l->item(row)).center());
        QCoreApplication::processEvents();
    }
    QString text(const char* box) { return find<QLineEdit>(box)->text(); }
    // Typing into a box as a user does (typing limits apply).
    void type(const char* box, const QString& text) {
        QLineEdit* b = find<QLineEdit>(box);
        b->clear();
        QTest::keyClicks(b, text);
    }
    // The ten fields typed in order: power, above 20 kW, NOCT, gamma, then the six texts.
    void fill(const QStringList& f, bool above = false) {
        static const char* boxes[] = {"tbPot",    "tbNoct", "tbGamma", "tbNome",  "tbIndirizzo",
                                      "tbNumCiv", "tbCap",  "tbCom",   "tbCodice"};
        for (int i = 0; i < 9; ++i)
            type(boxes[i], f.value(i));
        find<QRadioButton>(above ? "obPotInv_1" : "obPotInv_0")->setChecked(true);
    }
    // Commands the simulator received since the window opened (or since the last call).
    QStringList commands() {
        const QStringList all = sim->received();
        const QStringList out = all.mid(sentBefore);
        sentBefore = int(all.size());
        return out;
    }
    // One row of impianti per plant, its columns in order, joined by "|".
    QStringList stored() {
        RecordSet rs = RecordSet::select(
            ctx().db, "SELECT POT, BOOL1, NOCT, REAL1, nome, indirizzo, NUMCIV, cap, comune, "
                      "CODFISC FROM impianti ORDER BY ID");
        QStringList out;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            QStringList f;
            for (const QString& c : rs.columns())
                f << rs.field(c).toString();
            out << f.join('|');
        }
        return out;
    }
    qint64 addPlant(const QString& nome, const QString& comune = "Milano", double pot = 3,
                    const QString& indirizzo = "Via Roma") {
        ctx()
            .db
            .prepare("INSERT INTO impianti (tipo, nome, indirizzo, NUMCIV, cap, comune, CODFISC, "
                     "POT, BOOL1, NOCT, REAL1) VALUES (1,?,?,'12','20100',?,'RSSMRA',?,0,45,0.45)")
            .bindAll({nome, indirizzo, comune, pot})
            .run();
        return ctx().db.scalar("SELECT MAX(ID) FROM impianti");
    }
};

} // namespace vorna::test
