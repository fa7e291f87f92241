#include "settings_row.h"

#include "app_context.h"
#include "run_error.h"

#include <algorithm>
#include <climits>

namespace vorna {

namespace {

void reopen(AppContext& ctx) {
    ctx.settings =
        std::make_unique<RecordSet>(RecordSet::table(ctx.db, QStringLiteral("impostazioni")));
    ctx.settings->moveFirst();
}

} // namespace

SettingsRow::SettingsRow(AppContext& ctx) : ctx_(ctx) {}

SettingsRow::~SettingsRow() {
    if (editing_ && ctx_.settings) ctx_.settings->cancelUpdate();
}

RecordSet& SettingsRow::row() const {
    if (!ctx_.settings) throw RunError(err::kGeneric, QStringLiteral("settings not open"));
    if (!editing_) ctx_.settings->moveFirst();
    if (ctx_.settings->eof()) throw RunError(err::kGeneric, QStringLiteral("no settings row"));
    return *ctx_.settings;
}

void SettingsRow::open(AppContext& ctx) {
    reopen(ctx);
    if (ctx.settings->eof()) {
        RecordSet& s = *ctx.settings;
        s.addNew();
        s.setField(QStringLiteral("metcalc"), 1);
        s.setField(QStringLiteral("LINGUA"), kDefaultLanguage);
        s.setField(QStringLiteral("COM"), 1);
        s.setField(QStringLiteral("misureac"), 3);
        s.setField(QStringLiteral("INT1"), 2);
        s.setField(QStringLiteral("INT2"), 3);
        s.setField(QStringLiteral("REAL1"), 600);
        s.update();
    }

    reopen(ctx);
    SettingsRow settings(ctx);
    // A missing language would stop the start-up before any text is set: treat it as out of
    // range.
    const int lingua = settings.language().value_or(-1);
    if (lingua > kLastLanguage || lingua < kFirstLanguage) {
        settings.setLanguage(kDefaultLanguage).save();
    }

    reopen(ctx);
    ctx.languageIndex = SettingsRow(ctx).language().value_or(kDefaultLanguage);
}

std::optional<int> SettingsRow::optionalInt(const char* column) const {
    const RecordSet& r = row();
    const QString name = QLatin1String(column);
    if (r.isNull(name)) return std::nullopt;
    // Far outside any code the row holds; kept out of range rather than wrapped into it.
    return int(std::clamp<qint64>(r.integer(name), INT_MIN, INT_MAX));
}

std::optional<int> SettingsRow::language() const {
    return optionalInt("LINGUA");
}
std::optional<int> SettingsRow::basePort() const {
    return optionalInt("COM");
}
std::optional<int> SettingsRow::remotePort() const {
    return optionalInt("INT1");
}
int SettingsRow::metcalc() const {
    return int(row().integer(QStringLiteral("metcalc")));
}
int SettingsRow::lineDc() const {
    return int(row().integer(QStringLiteral("INT2")));
}
int SettingsRow::phaseAc() const {
    return int(row().integer(QStringLiteral("misureac")));
}
double SettingsRow::radMin() const {
    return row().number(QStringLiteral("REAL1"));
}
std::optional<QString> SettingsRow::logo() const {
    const RecordSet& r = row();
    if (r.isNull(QStringLiteral("logo"))) return std::nullopt;
    return r.text(QStringLiteral("logo"));
}
std::optional<QString> SettingsRow::storedLogo(Database& db) {
    const RecordSet rs = RecordSet::table(db, QStringLiteral("impostazioni"));
    if (rs.eof() || rs.isNull(QStringLiteral("logo"))) return std::nullopt;
    return rs.text(QStringLiteral("logo"));
}

QString SettingsRow::model() const {
    return row().text(QStringLiteral("model"));
}
QString SettingsRow::serial() const {
    return row().text(QStringLiteral("serial"));
}

SettingsRow& SettingsRow::set(const char* column, const QVariant& value) {
    RecordSet& r = row();
    if (!editing_) {
        r.edit();
        editing_ = true;
    }
    r.setField(QLatin1String(column), value);
    return *this;
}

SettingsRow& SettingsRow::setLanguage(int v) {
    return set("LINGUA", v);
}
SettingsRow& SettingsRow::setPorts(int base, int remote) {
    return set("COM", base).set("INT1", remote);
}
SettingsRow& SettingsRow::setRemotePort(int v) {
    return set("INT1", v);
}
SettingsRow& SettingsRow::setMetcalc(int v) {
    return set("metcalc", v);
}
SettingsRow& SettingsRow::setLineDc(int v) {
    return set("INT2", v);
}
SettingsRow& SettingsRow::setPhaseAc(int v) {
    return set("misureac", v);
}
SettingsRow& SettingsRow::setRadMin(double v) {
    return set("REAL1", v);
}
SettingsRow& SettingsRow::setLogo(const QString& v) {
    return set("logo", v);
}
SettingsRow& SettingsRow::setModel(const QString& v) {
    return set("model", v);
}
SettingsRow& SettingsRow::setSerial(const QString& v) {
    return set("serial", v);
}

void SettingsRow::save() {
    if (!editing_) return;
    editing_ = false;
    ctx_.settings->update();
}

} // namespace vorna
