#include "validation.h"

#include "app_context.h"
#include "data_store.h"
#include "error_trap.h"
#include "latin1.h"
#include "number_format.h"

#include <QSaveFile>
#include <stdexcept>

namespace vorna {

namespace {

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}
bool isLetter(QChar c) {
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}
bool isPlantChar(QChar c) {
    return isDigit(c) || isLetter(c) || c == QLatin1Char('.') || c == QLatin1Char(' ');
}

} // namespace

bool isInteger(const QString& text) {
    if (text.isEmpty()) return false;
    for (QChar c : text)
        if (!isDigit(c)) return false;
    return true;
}

bool isReal(const QString& text, QChar sep) {
    enum { Start, Sign, Integer, Separator, Fraction } state = Start;
    for (QChar c : text) {
        switch (state) {
        case Start:
            if (isDigit(c))
                state = Integer;
            else if (c == QLatin1Char('-'))
                state = Sign;
            else
                return false;
            break;
        case Sign:
        case Separator:
            if (!isDigit(c)) return false;
            state = state == Sign ? Integer : Fraction;
            break;
        case Integer:
            if (c == sep)
                state = Separator;
            else if (!isDigit(c))
                return false;
            break;
        case Fraction:
            if (!isDigit(c)) return false;
            break;
        }
    }
    return state == Integer || state == Fraction;
}

bool isReal(const AppContext& ctx, const QString& text) {
    return isReal(text, ctx.decimalSeparator());
}

bool isLenZero(const QString& text) {
    return text.trimmed().isEmpty();
}

namespace {
QChar firstChar(const QString& text) {
    if (text.isEmpty()) throw std::out_of_range("empty text");
    return text.front();
}
} // namespace

bool isNum(AppContext& ctx, const QString& text) {
    return guard(ctx, QStringLiteral("isNum"), [&] { return isDigit(firstChar(text)); });
}

bool isNotNum(AppContext& ctx, const QString& text) {
    return guard(ctx, QStringLiteral("isNotNum"), [&] { return !isDigit(firstChar(text)); });
}

bool isValidString(const QString& text) {
    for (QChar c : text)
        if (!isPlantChar(c)) return false;
    return true;
}

bool isValidCap(const QString& text) {
    for (QChar c : text)
        if (!isDigit(c) && c != QLatin1Char('.')) return false;
    return true;
}

QString correggiStringa(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        if (!isPlantChar(c)) c = QLatin1Char(' ');
    return out;
}

bool validazione_dati_imp(AppContext& ctx, const PlantFields& f) {
    return guard(ctx, QStringLiteral("validazione_dati_imp"), [&] {
        auto fail = [&](const QString& text) {
            ctx.prompts.warning(text, QStringLiteral("Error"));
            return false;
        };
        if (isLenZero(f.pot) || isLenZero(f.noct) || isLenZero(f.gamma)) return fail(ctx.msg(134));

        struct Range {
            const QString& text;
            const QString& label;
            double lower, upper;
            const char* lowerText;
            const char* upperText;
        };
        const Range ranges[] = {{f.pot, f.lbPot, 0.1, 4200, " 0.1 ", " 4200"},
                                {f.noct, f.lbNoct, 1, 99, " 1 ", " 99"},
                                {f.gamma, f.lbGamma, 0.01, 0.99, " 0.01 ", " 0.99"}};
        for (const Range& r : ranges) {
            const QString quoted = QLatin1Char('\'') + r.label + QStringLiteral("' ");
            const QString& t = r.text;
            double v = 0;
            if (!isReal(ctx, t) || !parse_number(t, v)) return fail(quoted + ctx.msg(144));
            if (v < r.lower || v > r.upper)
                return fail(quoted + ctx.msg(146) + QLatin1String(r.lowerText) + ctx.msg(147) +
                            QLatin1String(r.upperText));
        }

        struct Text {
            const QString& text;
            const QString& label;
            bool cap;
        };
        const Text texts[] = {{f.nome, f.lbNome, false},     {f.indirizzo, f.lbIndirizzo, false},
                              {f.numCiv, f.lbNumCiv, false}, {f.cap, f.lbCap, true},
                              {f.comune, f.lbComune, false}, {f.codice, f.lbCodFisc, false}};
        for (const Text& t : texts) {
            const bool ok = t.cap ? isValidCap(t.text) : isValidString(t.text);
            if (!ok) return fail(QLatin1Char('\'') + t.label + QStringLiteral("' ") + ctx.msg(200));
        }
        return true;
    });
}

QString write_info_impianto(AppContext& ctx, qint64 plantId) {
    return guard<QString>(ctx, QStringLiteral("write_info_impianto"), QString(), [&]() -> QString {
        if (!leggi_impianto_per_ID(ctx, plantId)) return {};
        const PlantRecord& p = ctx.plant;
        const QString crlf = QStringLiteral("\r\n");
        auto num = [&](double v) { return general_number(ctx.locale, v); };
        return ctx.msg(82) + QStringLiteral(": ") + num(p.POT) + QStringLiteral(" kW") + crlf +
               ctx.msg(205) +
               (p.BOOL1 ? QStringLiteral(": > 20 kW") : QStringLiteral(": <= 20 kW")) + crlf +
               ctx.msg(138) + QStringLiteral(": ") + num(p.NOCT) + QStringLiteral(" °C") + crlf +
               ctx.msg(171) + QStringLiteral(": ") + num(p.REAL1) + QStringLiteral(" %/°C") + crlf +
               ctx.msg(81) + QStringLiteral(": ") + p.nome + crlf + ctx.msg(139) +
               QStringLiteral(": ") + p.indirizzo + crlf + ctx.msg(140) + QStringLiteral(": ") +
               p.NUMCIV + crlf + ctx.msg(141) + QStringLiteral(": ") + p.cap + crlf + ctx.msg(142) +
               QStringLiteral(": ") + p.comune + crlf + ctx.msg(143) + QStringLiteral(": ") +
               p.CODFISC + crlf;
    });
}

bool salva_impianto_su_file(AppContext& ctx, qint64 plantId) {
    return guard(ctx, QStringLiteral("salva_impianto_su_file"), [&] {
        // A cancelled dialog ends here: asking again until a name comes would never end.
        const QString name = ctx.prompts.saveFileName(QStringLiteral("Text (*.txt)")).trimmed();
        if (name.isEmpty()) return false;
        const QString text = write_info_impianto(ctx, plantId);
        QSaveFile f(name);
        if (!f.open(QIODevice::WriteOnly))
            throw RunError(err::kFileAccess, QStringLiteral("cannot write ") + name);
        f.write(toLatin1Safe(text + QStringLiteral("\r\n")));
        if (!f.commit()) throw RunError(err::kFileAccess, QStringLiteral("cannot write ") + name);
        return true;
    });
}

} // namespace vorna
