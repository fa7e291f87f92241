#include "schema.h"

#include "database.h"

namespace vorna {

namespace {

// The measurement columns shared by acquisizioni and realtime, after IDIMP (and NUMERO).
const char* const kMeasurementColumns = R"(
    data TEXT, ora TEXT,
    rad REAL, POTRAD REAL, TEMPAMB REAL, TEMPPAN REAL,
    VDC1 REAL, VDC2 REAL, VDC3 REAL, IDC1 REAL, IDC2 REAL, IDC3 REAL,
    VAC1 REAL, VAC2 REAL, VAC3 REAL, IAC1 REAL, IAC2 REAL, IAC3 REAL,
    POTDC REAL, POTAC REAL, RENDDC REAL, RENDAC REAL,
    ESITODC INTEGER, ESITOAC INTEGER, COEFFTEMP REAL, REAL2 REAL,
    TEXT1 TEXT, TEXT2 TEXT))";

} // namespace

void ensure_schema(Database& db) {
    // Plant texts sort and compare the way a person expects: without regard to case.
    db.exec(QStringLiteral(R"(
CREATE TABLE IF NOT EXISTS impianti (
    ID INTEGER PRIMARY KEY AUTOINCREMENT, tipo INTEGER,
    nome TEXT COLLATE NOCASE, indirizzo TEXT COLLATE NOCASE, NUMCIV TEXT COLLATE NOCASE,
    cap TEXT, comune TEXT COLLATE NOCASE, CODFISC TEXT,
    POT REAL, BOOL1 INTEGER, NOCT REAL, REAL1 REAL, TEXT1 TEXT, TEXT2 TEXT);
CREATE TABLE IF NOT EXISTS acquisizioni (
    ID INTEGER PRIMARY KEY AUTOINCREMENT, IDIMP INTEGER,)") +
            QString::fromLatin1(kMeasurementColumns) + QStringLiteral(R"(;
CREATE TABLE IF NOT EXISTS realtime (
    ID INTEGER PRIMARY KEY AUTOINCREMENT, IDIMP INTEGER, NUMERO INTEGER,)") +
            QString::fromLatin1(kMeasurementColumns) + QStringLiteral(R"(;
CREATE TABLE IF NOT EXISTS impostazioni (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    LINGUA INTEGER, COM INTEGER, INT1 INTEGER, metcalc INTEGER, INT2 INTEGER, misureac INTEGER,
    REAL1 REAL, logo TEXT, model TEXT, serial TEXT);
CREATE TABLE IF NOT EXISTS tab1 (
    ID INTEGER PRIMARY KEY AUTOINCREMENT, TEXT1 TEXT, TEXT2 TEXT, MEMO1 TEXT, Data1 TEXT,
    INT1 INTEGER);
CREATE INDEX IF NOT EXISTS acquisizioni_idimp ON acquisizioni (IDIMP);
CREATE INDEX IF NOT EXISTS realtime_idimp_data_ora ON realtime (IDIMP, data, ora);
CREATE INDEX IF NOT EXISTS impianti_order ON impianti (nome, comune, indirizzo, NUMCIV);
)"));
}

} // namespace vorna
