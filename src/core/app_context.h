#pragma once

#include "database.h"
#include "link.h"
#include "link_indicators.h"
#include "message_catalogue.h"
#include "program_texts.h"
#include "prompts.h"
#include "record_set.h"
#include "records.h"
#include "wall_clock.h"

#include <QLocale>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace vorna {

// Values set at start-up and read everywhere.
struct ProgramValues {
    QString appPath; // the data folder, ending in "/"
    QString swVersion = QStringLiteral("ZMB 4.5");
    QString fwCompatText = QStringLiteral("FV 2.1.5 - FR 1.0.1");
    QString decimalProbe;
    int languageIndex = 0;
};

// What the connected instrument said about itself.
struct InstrumentIdentity {
    QString fwVersionText;
    bool fwSfFlag = false;
    QString serialNumberText;
};

// The database and the settings record set, with the current plant and measurement. Plants are
// read and written through a PlantStore, which keeps nothing open between routines.
struct CurrentRecords {
    Database db;
    std::unique_ptr<RecordSet> settings; // the settings row of impostazioni (see SettingsRow)
    std::vector<qint64> plantIdList;
    PlantRecord plant;
    MeasurementRecord measurement;
};

// What the documents are signed with (leggi_parametri_report).
struct ReportParameters {
    QString reportModel;
    QString reportLogo;
    QDate reportDate;
    // Where this run's last report went; save dialogs open there (empty: not yet).
    QString lastReportFolder;
};

// The instrument's plant numbers of a download and the matching impianti IDs (-1: none).
struct DownloadTables {
    std::array<int, 100> instrumentPlantNumbers{};
    std::array<qint64, 100> instrumentPlantIds{};
};

// Which child window is open and how it was reached.
struct WindowState {
    int childWindowOpen = 0;
    bool realtimeFromToolbar = false;
    // Opens a child window by its name (the main window sets it), so one window can open
    // another without knowing it.
    std::function<void(const QString&)> openWindow = [](const QString&) {};
};

// Everything the windows of one main window share, in named parts. Passed by reference; there
// are no globals, so a test can hold two of these side by side.
class AppContext : public ProgramValues,
                   public InstrumentIdentity,
                   public CurrentRecords,
                   public ReportParameters,
                   public DownloadTables,
                   public WindowState {
public:
    // appPath is the data folder (ending in "/"); the locale gives the regional number format.
    AppContext(Prompts& prompts, QString appPath, const QLocale& locale = QLocale::system());
    ~AppContext();
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    // The regional format: numbers on screen and in text files.
    QLocale locale;
    bool decimalComma() const { return decimalProbe.contains(QLatin1Char(',')); }
    QChar decimalSeparator() const { return decimalComma() ? QLatin1Char(',') : QLatin1Char('.'); }
    void setLocale(const QLocale& l);

    MessageCatalogue messaggi;
    // Catalogue text in the current language.
    const QString& msg(int number) const { return messaggi.text(languageIndex, number); }
    // The program's own texts (features beyond the catalogue), by key, in the current language.
    ProgramTexts programTexts;
    const QString& text(const QString& key) const { return programTexts.text(languageIndex, key); }

    Prompts& prompts;

    // The instrument link: both ports, the command and reply texts, buffers and flags.
    Link link;
    // What the link shows on screen; the main window points this at its own indicators.
    LinkIndicators* indicators = &noIndicators_;
    // The date and time of day samples are stamped with; tests point this at their own clock.
    WallClock* clock = &systemClock_;

private:
    LinkIndicators noIndicators_;
    SystemClock systemClock_;
};

} // namespace vorna
