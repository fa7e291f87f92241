#include "instrument_queries.h"

#include "app_context.h"
#include "data_store.h"
#include "error_trap.h"
#include "link.h"
#include "number_format.h"
#include "validation.h"

#include <QRegularExpression>

namespace vorna {

namespace {

const QChar kTab = QLatin1Char('\t');

[[noreturn]] void typeMismatch(const QString& what, const QString& text) {
    throw RunError(err::kTypeMismatch, QStringLiteral("Type mismatch: ") + what +
                                           QStringLiteral(" '") + text + QLatin1Char('\''));
}

// The leading integer of a piece, as the instrument's number lists are read: blanks, then an
// optional sign and digits; anything else gives 0.
int leadingInteger(const QString& piece) {
    static const QRegularExpression re(QStringLiteral("^\\s*([-+]?\\d+)"));
    const auto m = re.match(piece);
    if (!m.hasMatch()) return 0;
    bool ok = false;
    const int v = m.captured(1).toInt(&ok);
    if (!ok) throw RunError(6, QStringLiteral("Overflow: ") + m.captured(1));
    return v;
}

} // namespace

int split_value_list(const QString& reply, ValueList& values) {
    const QStringList fields = reply.split(kTab);
    if (fields.size() > kValueSlots)
        throw RunError(err::kSubscriptOutOfRange, QStringLiteral("Subscript out of range: ") +
                                                      QString::number(fields.size()) +
                                                      QStringLiteral(" fields"));
    for (qsizetype i = 0; i < fields.size(); ++i)
        values[size_t(i)] = fields[i].trimmed();
    return int(fields.size());
}

int parse_number_list(const QString& reply, int* out, int outCount) {
    std::fill(out, out + outCount, -1);
    int count = 0;
    qsizetype from = 0;
    while (from < reply.size()) {
        qsizetype tab = reply.indexOf(kTab, from);
        if (tab < 0) tab = reply.size();
        if (count == outCount)
            throw RunError(err::kSubscriptOutOfRange,
                           QStringLiteral("Subscript out of range: more than ") +
                               QString::number(outCount) + QStringLiteral(" numbers"));
        out[count++] = leadingInteger(reply.mid(from, tab - from));
        from = tab + 1;
    }
    return count;
}

bool isTrattini(const QString& text) {
    return text.isEmpty() || text.contains(QLatin1String("--"));
}

bool instrument_number(const AppContext& ctx, const QString& field, double& value) {
    QString t = field;
    if (ctx.decimalComma()) t.replace(QLatin1Char('.'), QLatin1Char(','));
    return isReal(ctx, t) && parse_number(t, value);
}

QDate instrument_date(const QString& text) {
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{1,2})[/.-](\\d{1,2})[/.-](\\d{4}|\\d{2})\\s*$"));
    const auto m = re.match(text);
    if (m.hasMatch()) {
        int year = m.captured(3).toInt();
        // Two digits: the window a PC applies by default, 00-29 this century, 30-99 the last.
        if (m.capturedLength(3) == 2) year += year < 30 ? 2000 : 1900;
        const QDate d(year, m.captured(2).toInt(), m.captured(1).toInt());
        if (d.isValid()) return d;
    }
    typeMismatch(QStringLiteral("date"), text);
}

QTime instrument_time(const QString& text) {
    QString t = text.trimmed();
    t.replace(QLatin1Char('.'), QLatin1Char(':'));
    static const QRegularExpression re(QStringLiteral("^(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?$"));
    const auto m = re.match(t);
    if (m.hasMatch()) {
        const QTime time(m.captured(1).toInt(), m.captured(2).toInt(),
                         m.capturedLength(3) ? m.captured(3).toInt() : 0);
        if (time.isValid()) return time;
    }
    typeMismatch(QStringLiteral("time"), text);
}

bool parse_plant_reply(const AppContext& ctx, const QString& reply, PlantRecord& plant) {
    ValueList v;
    split_value_list(reply.trimmed(), v);
    double pot = 0, noct = 0, gamma = 0;
    if (isTrattini(v[1]) || isTrattini(v[2]) || isTrattini(v[3]) ||
        !instrument_number(ctx, v[1], pot) || !instrument_number(ctx, v[2], noct) ||
        !instrument_number(ctx, v[3], gamma))
        return false;
    plant.POT = pot;
    plant.NOCT = noct;
    plant.REAL1 = gamma;
    plant.nome = v[4];
    plant.indirizzo = v[5];
    plant.NUMCIV = v[6];
    plant.cap = v[7];
    plant.comune = v[8];
    plant.CODFISC = v[9];
    double powerClass = -1;
    if (!parse_number(v[10], powerClass) || (powerClass != 0 && powerClass != 1)) return false;
    plant.BOOL1 = powerClass == 1;
    return true;
}

bool parse_measurement_reply(const AppContext& ctx, const QString& reply, MeasurementRecord& out) {
    ValueList v;
    split_value_list(reply, v);
    // Reply field of each numeric record field; 4 and 5 (temperatures) may be dashes.
    static const std::pair<int, double MeasurementRecord::*> kFields[] = {
        {2, &MeasurementRecord::rad},     {3, &MeasurementRecord::POTRAD},
        {6, &MeasurementRecord::VDC1},    {7, &MeasurementRecord::IDC1},
        {8, &MeasurementRecord::VDC2},    {9, &MeasurementRecord::IDC2},
        {10, &MeasurementRecord::VDC3},   {11, &MeasurementRecord::IDC3},
        {12, &MeasurementRecord::POTDC},  {13, &MeasurementRecord::VAC1},
        {14, &MeasurementRecord::IAC1},   {15, &MeasurementRecord::VAC2},
        {16, &MeasurementRecord::IAC2},   {17, &MeasurementRecord::VAC3},
        {18, &MeasurementRecord::IAC3},   {19, &MeasurementRecord::POTAC},
        {20, &MeasurementRecord::RENDDC}, {21, &MeasurementRecord::RENDAC},
        {24, &MeasurementRecord::REAL2},  {25, &MeasurementRecord::COEFFTEMP},
    };
    static const std::pair<int, double MeasurementRecord::*> kOptional[] = {
        {4, &MeasurementRecord::TEMPAMB}, {5, &MeasurementRecord::TEMPPAN}};

    MeasurementRecord m;
    for (const auto& [index, field] : kFields)
        if (!instrument_number(ctx, v[size_t(index)], m.*field)) return false;
    for (const auto& [index, field] : kOptional) {
        const QString& f = v[size_t(index)];
        if (isTrattini(f))
            m.*field = kNoValue;
        else if (!instrument_number(ctx, f, m.*field))
            return false;
    }
    m.data = instrument_date(v[0]);
    m.ora = instrument_time(v[1]);
    m.ESITOAC = v[23] == QLatin1String("PASS");
    m.TEXT1 = ctx.fwVersionText;
    m.TEXT2 = ctx.swVersion;
    out = m;
    return true;
}

bool read_versione_fw(AppContext& ctx, const QString& callerWindow) {
    return guard(ctx, QStringLiteral("read_versione_fw"), [&] {
        ctx.fwSfFlag = false;
        if (!trasmette(ctx, callerWindow, QStringLiteral("VERSION?"))) return false;
        const QString& reply = ctx.link.replyText;
        ctx.fwSfFlag = reply.contains(QLatin1String("SF"));
        const qsizetype colon = reply.indexOf(QLatin1String(": "));
        ctx.fwVersionText = colon < 0 ? reply : reply.mid(colon + 1);
        return true;
    });
}

void read_matricola_str(AppContext& ctx, const QString& callerWindow) {
    guard(ctx, QStringLiteral("read_matricola_str"), [&] {
        if (!trasmette(ctx, callerWindow, QStringLiteral("SERIALNUM?"))) return false;
        ctx.serialNumberText = ctx.link.replyText;
        return true;
    });
}

bool leggi_impianto_da_UT(AppContext& ctx, const QString& callerWindow, int plantNumber) {
    return guard(ctx, QStringLiteral("leggi_impianto_da_UT"), [&](TrapScope& s) {
        s.step(1);
        reset_variabili_impianto(ctx);
        s.step(2);
        if (!trasmette(ctx, callerWindow,
                       QStringLiteral("LISTNIMPIANTO ") + QString::number(plantNumber)))
            return false;
        s.step(3);
        return parse_plant_reply(ctx, ctx.link.replyText, ctx.plant);
    });
}

bool leggi_acquisizione_da_UT(AppContext& ctx, const QString& callerWindow, int plantNumber,
                              int measurementNumber) {
    return guard(ctx, QStringLiteral("leggi_acquisizione_da_UT"), [&](TrapScope& s) {
        s.step(1);
        reset_variabili_acquisizione(ctx);
        s.step(2);
        if (!trasmette(ctx, callerWindow,
                       QStringLiteral("LISTMISURA ") + QString::number(plantNumber) +
                           QLatin1Char(' ') + QString::number(measurementNumber)))
            return false;
        s.step(3);
        return parse_measurement_reply(ctx, ctx.link.replyText, ctx.measurement);
    });
}

} // namespace vorna
