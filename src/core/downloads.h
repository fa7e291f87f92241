#pragma once

#include <QString>

namespace vorna {

class AppContext;

// What a download tells whoever shows its progress, and asks it. Counts are 1-based; a plant
// or measurement is reported before its exchange.
class DownloadObserver {
public:
    virtual ~DownloadObserver() = default;
    // Asked before each exchange: true ends the download there, between two exchanges.
    virtual bool stopRequested() = 0;
    // Plant pass: plant `plant` of the `plants` "IIMP" listed is read next.
    virtual void plantStep(int plant, int plants) = 0;
    // Measurement pass: measurement `measurement` of the `measurements` "IMISPERIMP" listed for
    // plant `plant` of `plants` is read next (0 of m just after the list came in).
    virtual void measurementStep(int plant, int plants, int measurement, int measurements) = 0;
};

// Copies the instrument's plants into impianti, adding only plants not stored yet (all ten
// fields compared), and fills ctx.instrumentPlantNumbers / ctx.instrumentPlantIds. Both tables
// are emptied first, so a failed pass leaves no plant of an earlier download behind. A stop
// asked by the observer returns false without a log entry.
bool scarica_impianti(AppContext& ctx, const QString& callerWindow,
                      DownloadObserver* observer = nullptr);
// Copies the measurements of the plants scarica_impianti listed into acquisizioni, adding only
// measurements not stored yet for that plant; each new row is committed as it is written.
// Plants that found no row of impianti (ID -1) are skipped. Stops as scarica_impianti does.
bool scarica_acquisizioni_impianto(AppContext& ctx, const QString& callerWindow,
                                   DownloadObserver* observer = nullptr);

} // namespace vorna
