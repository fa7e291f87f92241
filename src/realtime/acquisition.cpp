#include "acquisition.h"

#include "app_context.h"
#include "error_trap.h"
#include "link.h"
#include "live_values.h"
#include "number_format.h"

#include <functional>

namespace vorna {

namespace {

// The instrument reads "." as the decimal point whatever the PC writes.
QString withPoint(QString text) {
    return text.replace(QLatin1Char(','), QLatin1Char('.'));
}

} // namespace

bool lettura(AppContext& ctx, const QString& powerText, ValueList& values) {
    return guard(ctx, QStringLiteral("lettura"), [&](TrapScope& s) {
        const PlantRecord& p = ctx.plant;
        const QString& reply = ctx.link.replyText;
        const struct {
            QString command;
            std::function<void()> onReply;
        } steps[] = {
            {QStringLiteral("REALTIME 1"), {}},
            {QStringLiteral("POWERRT ") + withPoint(powerText), {}},
            {QStringLiteral("NOCTRT ") + withPoint(general_number(ctx.locale, p.NOCT)), {}},
            {QStringLiteral("GAMMART ") + withPoint(general_number(ctx.locale, p.REAL1)), {}},
            {p.BOOL1 ? QStringLiteral("POTINVRT 1") : QStringLiteral("POTINVRT 0"), {}},
            {QStringLiteral("LISTVAL"), [&] { split_listval(reply, values); }},
            {QStringLiteral("LINEDC?"), [&] { mark_absent_lines(reply, values); }},
            {QStringLiteral("PHASEAC?"), [&] { mark_absent_phases(reply, values); }},
            {QStringLiteral("REALTIME 0"), {}},
        };
        int n = 0;
        for (const auto& step : steps) {
            s.step(++n);
            if (!trasmette(ctx, QStringLiteral("realtime"), step.command)) return false;
            if (step.onReply) step.onReply();
        }
        return true;
    });
}

} // namespace vorna
