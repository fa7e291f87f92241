#pragma once

#include "test_env.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

namespace vorna::test {

inline QLocale pointLocale() {
    return QLocale(QLocale::English, QLocale::UnitedStates);
}
inline QLocale commaLocale() {
    return QLocale(QLocale::Italian, QLocale::Italy);
}

// A data folder with a real database, its settings row, the full catalogue and a sample
// plant and measurement loaded, ready for the report generators.
struct ReportEnv {
    explicit ReportEnv(int language = 0, const QLocale& locale = pointLocale());
    TestEnv env;
    AppContext& ctx;

    void setSerial(const QString& serial);
    // The generators' output decoded from ISO 8859-1.
    QString sheet();
    QString certificate();
};

// A passed three-phase measurement of a small plant; DC line 2 idle, DC line 3 absent.
void loadSamplePlant(AppContext& ctx);
void loadSampleMeasurement(AppContext& ctx);

// The part of a document between two markers (empty when either is missing).
QString between(const QString& text, const QString& from, const QString& to);

} // namespace vorna::test
