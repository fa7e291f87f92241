#include "schedule.h"

#include "validation.h"

#include <iterator>

namespace vorna {

namespace {

std::optional<qint16> fieldValue(const QString& text) {
    if (!isInteger(text)) return std::nullopt;
    bool ok = false;
    const qint16 v = text.toShort(&ok);
    if (!ok) return std::nullopt;
    return v;
}

bool hourOk(qint16 h) {
    return h >= 1 && h <= 22;
}
bool minuteOk(qint16 m) {
    return m >= 0 && m <= 59;
}

} // namespace

std::optional<DailyWindow> dailyWindow(const QString& startH, const QString& startM,
                                       const QString& stopH, const QString& stopM) {
    const auto sh = fieldValue(startH), sm = fieldValue(startM);
    const auto eh = fieldValue(stopH), em = fieldValue(stopM);
    if (!sh || !sm || !eh || !em) return std::nullopt;
    if (!hourOk(*sh) || !minuteOk(*sm) || !hourOk(*eh) || !minuteOk(*em)) return std::nullopt;
    const DailyWindow w{QTime(*sh, *sm), QTime(*eh, *em)};
    if (!(w.start < w.stop)) return std::nullopt;
    return w;
}

bool valida_hh_mm(const QString& startH, const QString& startM, const QString& stopH,
                  const QString& stopM) {
    return dailyWindow(startH, startM, stopH, stopM).has_value();
}

qint16 intervalAt(int position, qint16 current) {
    if (position < 0 || position >= int(std::size(kIntervalMinutes))) return current;
    return kIntervalMinutes[position];
}

} // namespace vorna
