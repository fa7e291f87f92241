#pragma once

#include "database.h"
#include "link.h"
#include "link_indicators.h"
#include "message_catalogue.h"
#include "prompts.h"
#include "record_set.h"
#include "records.h"

#include <QLocale>
#include <QString>
#include <array>
#include <memory>
#include <vector>

namespace vorna {

// Everything the windows of one main window share. Passed by reference; there are no globals,
// so a test can hold two of these side by side.
class AppContext {
public:
    // appPath is the data folder (ending in "/"); the locale gives the regional number format.
    AppContext(Prompts& prompts, QString appPath, const QLocale& locale = QLocale::system());
    ~AppContext();
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    // Program-wide values.
    QString appPath;
    QString swVersion = QStringLiteral("ZMB 4.5");
    QString fwCompatText = QStringLiteral("FV 2.1.5 - FR 1.0.1");
    QString decimalProbe;
    int languageIndex = 0;
    int childWindowOpen = 0;
    bool realtimeFromToolbar = false;

    // The regional format: numbers on screen and in text files.
    QLocale locale;
    bool decimalComma() const { return decimalProbe.contains(QLatin1Char(',')); }
    QChar decimalSeparator() const { return decimalComma() ? QLatin1Char(',') : QLatin1Char('.'); }
    void setLocale(const QLocale& l);

    // Instrument identity, read when the instrument is connected.
    QString fwVersionText;
    bool fwSfFlag = false;
    QString serialNumberText;

    // Database and the shared record sets.
    Database db;
    std::unique_ptr<RecordSet> settings; // the settings row of impostazioni
    std::unique_ptr<RecordSet> plants;   // the last plant query, on the current row
    QString lastPlantQuery;
    std::vector<qint64> plantIdList;

    // The current plant and measurement.
    PlantRecord plant;
    MeasurementRecord measurement;

    // Download tables: the instrument's plant numbers and the matching impianti IDs.
    std::array<int, 100> instrumentPlantNumbers{};
    std::array<qint64, 100> instrumentPlantIds{};

    MessageCatalogue messaggi;
    // Catalogue text in the current language.
    const QString& msg(int number) const { return messaggi.text(languageIndex, number); }

    Prompts& prompts;

    // The instrument link: both ports, the command and reply texts, buffers and flags.
    Link link;
    // What the link shows on screen; the main window points this at its own indicators.
    LinkIndicators* indicators = &noIndicators_;

    // Report parameters (leggi_parametri_report).
    QString reportModel;
    QString reportLogo;
    QDate reportDate;

private:
    LinkIndicators noIndicators_;
};

} // namespace vorna
