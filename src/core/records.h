#pragma once

#include <QDate>
#include <QString>
#include <QTime>

namespace vorna {

// The value the instrument and the store use for "no value".
inline constexpr double kNoValue = -2000.0;
// A DC line or AC phase that the instrument's configuration does not have.
inline constexpr double kNoChannel = -10000.0;

// The one current plant of the program.
struct PlantRecord {
    qint64 ID = -1; // -1: no plant chosen
    double POT = kNoValue;
    bool BOOL1 = false;
    double NOCT = kNoValue;
    double REAL1 = kNoValue;
    QString nome, indirizzo, NUMCIV, cap, comune, CODFISC;

    // Leaves ID alone: a reset empties the fields of the chosen plant.
    void reset() {
        const qint64 keep = ID;
        *this = PlantRecord{};
        ID = keep;
    }
};

// The plant columns in table order, with their member (one of number, flag, text); shared by
// every place that moves a plant between a row and the record.
struct PlantColumn {
    const char* name;
    double PlantRecord::*number = nullptr;
    bool PlantRecord::*flag = nullptr;
    QString PlantRecord::*text = nullptr;
};
inline const PlantColumn kPlantColumns[] = {
    {"POT", &PlantRecord::POT},
    {"BOOL1", nullptr, &PlantRecord::BOOL1},
    {"NOCT", &PlantRecord::NOCT},
    {"REAL1", &PlantRecord::REAL1},
    {"nome", nullptr, nullptr, &PlantRecord::nome},
    {"indirizzo", nullptr, nullptr, &PlantRecord::indirizzo},
    {"NUMCIV", nullptr, nullptr, &PlantRecord::NUMCIV},
    {"cap", nullptr, nullptr, &PlantRecord::cap},
    {"comune", nullptr, nullptr, &PlantRecord::comune},
    {"CODFISC", nullptr, nullptr, &PlantRecord::CODFISC},
};

// The one current measurement (downloaded or sampled live).
struct MeasurementRecord {
    static QDate originDate() { return QDate(1899, 12, 30); }

    QDate data = originDate();
    QTime ora = QTime(0, 0);
    double rad = kNoValue, POTRAD = kNoValue, TEMPAMB = kNoValue, TEMPPAN = kNoValue;
    double VDC1 = kNoValue, VDC2 = kNoValue, VDC3 = kNoValue;
    double IDC1 = kNoValue, IDC2 = kNoValue, IDC3 = kNoValue;
    double VAC1 = kNoValue, VAC2 = kNoValue, VAC3 = kNoValue;
    double IAC1 = kNoValue, IAC2 = kNoValue, IAC3 = kNoValue;
    double POTDC = kNoValue, POTAC = kNoValue, RENDDC = kNoValue, RENDAC = kNoValue;
    bool ESITOAC = false;
    double COEFFTEMP = kNoValue, REAL2 = kNoValue;
    QString TEXT1, TEXT2;

    void reset() { *this = MeasurementRecord{}; }
};

// The numeric measurement columns in table order, with their member; shared by every place
// that moves a measurement between a row, the record and the instrument's value list.
struct MeasurementColumn {
    const char* name;
    double MeasurementRecord::*field;
};
inline constexpr MeasurementColumn kMeasurementNumbers[] = {
    {"rad", &MeasurementRecord::rad},
    {"POTRAD", &MeasurementRecord::POTRAD},
    {"TEMPAMB", &MeasurementRecord::TEMPAMB},
    {"TEMPPAN", &MeasurementRecord::TEMPPAN},
    {"VDC1", &MeasurementRecord::VDC1},
    {"VDC2", &MeasurementRecord::VDC2},
    {"VDC3", &MeasurementRecord::VDC3},
    {"IDC1", &MeasurementRecord::IDC1},
    {"IDC2", &MeasurementRecord::IDC2},
    {"IDC3", &MeasurementRecord::IDC3},
    {"VAC1", &MeasurementRecord::VAC1},
    {"VAC2", &MeasurementRecord::VAC2},
    {"VAC3", &MeasurementRecord::VAC3},
    {"IAC1", &MeasurementRecord::IAC1},
    {"IAC2", &MeasurementRecord::IAC2},
    {"IAC3", &MeasurementRecord::IAC3},
    {"POTDC", &MeasurementRecord::POTDC},
    {"POTAC", &MeasurementRecord::POTAC},
    {"RENDDC", &MeasurementRecord::RENDDC},
    {"RENDAC", &MeasurementRecord::RENDAC},
    {"COEFFTEMP", &MeasurementRecord::COEFFTEMP},
    {"REAL2", &MeasurementRecord::REAL2},
};

} // namespace vorna
