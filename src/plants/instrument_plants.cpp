#include "instrument_plants.h"

#include "app_context.h"
#include "error_trap.h"
#include "instrument_queries.h"
#include "link.h"
#include "number_format.h"
#include "validation.h"

namespace vorna {

bool leggi_impianti_da_strum(AppContext& ctx, InstrumentPlantTable& table,
                             const std::function<void()>& rowsChanged) {
    return guard(ctx, QStringLiteral("leggi_impianti_da_strum"), [&](TrapScope& s) {
        s.step(1);
        if (!trasmette(ctx, kPlantsCaller, QStringLiteral("IIMP"))) return false;
        s.step(2);
        // Parsed apart: a 32nd number must not leave the slots renumbered under a list that
        // still shows the old plants.
        std::array<int, InstrumentPlantTable::kSlots> numbers{};
        parse_number_list(ctx.link.replyText, numbers);
        s.step(3);
        table.numbers = numbers;
        table.rowSlot.clear();
        rowsChanged();
        s.step(4);
        for (int slot = 0; slot < InstrumentPlantTable::kSlots && numbers[size_t(slot)] != -1;
             ++slot) {
            if (!leggi_impianto_da_UT(ctx, kPlantsCaller, numbers[size_t(slot)])) {
                // Every further plant would fail at once on a lost link, and the list would
                // pass for complete.
                if (!ctx.link.baseLinkUp()) return false;
                continue;
            }
            copy_plant_fields(ctx.plant, table.plants[size_t(slot)]);
            table.rowSlot.push_back(slot);
            rowsChanged();
        }
        return true;
    });
}

bool delete_plant_on_instrument(AppContext& ctx, int plantNumber) {
    return trasmette(ctx, kPlantsCaller,
                     QStringLiteral("CANCIMPPC ") + QString::number(plantNumber));
}

void copy_plant_fields(const PlantRecord& from, PlantRecord& to) {
    for (const PlantColumn& c : kPlantColumns) {
        if (c.number) to.*c.number = from.*c.number;
        if (c.flag) to.*c.flag = from.*c.flag;
        if (c.text) to.*c.text = from.*c.text;
    }
}

TransferResult send_plant_to_instrument(AppContext& ctx, const QString& routine,
                                        const PlantFields& f, bool aboveTwenty) {
    TransferResult result = TransferResult::Failed;
    guard(ctx, routine, [&](TrapScope& s) {
        s.step(1);
        if (!trasmette(ctx, kPlantsCaller, QStringLiteral("PDCMAX"))) return false;
        s.step(2);
        QString maximum = ctx.link.replyText;
        if (ctx.decimalComma())
            maximum = maximum.trimmed().replace(QLatin1Char('.'), QLatin1Char(','));
        double maxPower = 0, power = 0;
        if (!parse_number(maximum, maxPower))
            throw RunError(err::kTypeMismatch, QStringLiteral("Type mismatch: PDCMAX ") + maximum);
        s.step(3);
        if (!parse_number(f.pot, power))
            throw RunError(err::kTypeMismatch, QStringLiteral("Type mismatch: ") + f.pot);
        if (maxPower < power) {
            ctx.prompts.warning(
                QLatin1Char('\'') + f.lbPot + QStringLiteral("' ") + ctx.msg(146) +
                (ctx.decimalComma() ? QStringLiteral(" 0,1 ") : QStringLiteral(" 0.1 ")) +
                ctx.msg(147) + QLatin1Char(' ') + maximum);
            result = TransferResult::Refused;
            return true;
        }
        s.step(4);
        if (!trasmette(ctx, kPlantsCaller, QStringLiteral("FREEIMP"))) return false;
        if (ctx.link.replyText.trimmed().isEmpty()) {
            ctx.prompts.warning(ctx.msg(201));
            result = TransferResult::Refused;
            return true;
        }
        s.step(5);
        auto placeholder = [](const QString& t) {
            return t.trimmed().isEmpty() ? QStringLiteral("?") : t;
        };
        auto dot = [](QString t) { return t.replace(QLatin1Char(','), QLatin1Char('.')); };
        const QChar tab = QLatin1Char('\t');
        const QString lines[] = {
            QStringLiteral("IPAR ") + dot(f.pot) + tab + dot(f.noct) + tab + dot(f.gamma) + tab +
                (aboveTwenty ? QStringLiteral("1") : QStringLiteral("0")) + QStringLiteral("?"),
            QStringLiteral("INOM ") + placeholder(f.nome) + tab + QStringLiteral("?"),
            QStringLiteral("IADD ") + placeholder(f.indirizzo) + tab + QStringLiteral("?"),
            QStringLiteral("ICIV ") + placeholder(f.numCiv) + tab + QStringLiteral("?"),
            QStringLiteral("ICAP ") + placeholder(f.cap) + tab + QStringLiteral("?"),
            QStringLiteral("ICOM ") + placeholder(f.comune) + tab + QStringLiteral("?"),
            QStringLiteral("ICDF ") + placeholder(f.codice) + tab + QStringLiteral("?"),
            QStringLiteral("ICON")};
        for (const QString& line : lines)
            if (!trasmette(ctx, kPlantsCaller, line)) return false;
        result = TransferResult::Sent;
        return true;
    });
    return result;
}

} // namespace vorna
