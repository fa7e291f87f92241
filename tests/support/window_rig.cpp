#include "window_rig.h"

#include "database.h"
#include "database_init.h"
#include "record_set.h"
#include "schema.h"

#include <QLabel>
#include <QLineEdit>

namespace vorna::test {

QVariantMap englishRow(const QVariantMap& changes) {
    QVariantMap row{{"LINGUA", 0}, {"COM", 1},      {"INT1", 2},   {"metcalc", 1},
                    {"INT2", 3},   {"misureac", 3}, {"REAL1", 600}};
    row.insert(changes);
    return row;
}

QVariantMap rowFor(const QLocale& pc) {
    return englishRow({{"LINGUA", pc == kItalianPc ? 4 : 0}});
}

Rig::Rig(const QVariantMap& row, const std::optional<QStringList>& simArgs,
         const QStringList& simData, const QLocale& locale)
    : env(locale) {
    if (!row.isEmpty()) {
        Database db;
        db.open(env.path(kDataFile));
        ensure_schema(db);
        db.prepare(QString("INSERT INTO impostazioni (%1) VALUES (?%2)")
                       .arg(row.keys().join(','), QString(",?").repeated(row.size() - 1)))
            .bindAll(row.values())
            .run();
    }
    if (simArgs || !simData.isEmpty()) {
        sim = std::make_unique<SimProcess>(env.dir.path(), 1,
                                           simArgs.value_or(QStringList()) +
                                               simDataOptions(env.dir.path(), simData));
        EXPECT_TRUE(sim->ready());
    }
    ctx().link.readTimeout = std::chrono::milliseconds(1500);
    window = std::make_unique<MainWindow>(ctx(), env.dir.path());
    loaded = window->MDIForm_Load();
}

Rig::~Rig() = default;

QString Rig::text(const QString& name) {
    QWidget* w = find(name);
    if (auto* box = qobject_cast<QLineEdit*>(w)) return box->text();
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
    if (auto* list = qobject_cast<QComboBox*>(w)) return list->currentText();
    ADD_FAILURE() << "no text control " << name.toStdString();
    return {};
}

VirtualClock& Rig::setClock(const QDateTime& start) {
    clock = std::make_unique<VirtualClock>(start);
    ctx().clock = clock.get();
    return *clock;
}

void Rig::connect(bool withRead) {
    if (withRead) {
        if (!find("bttCollegaBase")) open("setup");
        click("bttCollegaBase");
    } else {
        ctx().link.serialeBase.setPortNumber(1);
        ctx().link.setLinkUp(Unit::Base, true);
    }
    EXPECT_TRUE(ctx().link.baseLinkUp()) << env.debugLog().toStdString();
    commands();
}

QStringList Rig::commands() {
    const QStringList all = sim->received(100);
    const QStringList fresh = all.mid(seen_);
    seen_ = int(all.size());
    return fresh;
}

std::string Rig::diff(const QString& expected) {
    Database db;
    db.open(env.path(kDataFile));
    RecordSet row = RecordSet::select(db, "SELECT * FROM impostazioni ORDER BY ID LIMIT 1");
    row.moveFirst();
    QStringList wrong;
    for (const QString& pair : expected.split(';')) {
        const QString field = pair.section('=', 0, 0);
        const QString got = row.eof() || row.isNull(field) ? "<null>" : row.field(field).toString();
        if (got != pair.section('=', 1)) wrong << field + '=' + got;
    }
    return wrong.join(';').toStdString();
}

} // namespace vorna::test
