#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

namespace vorna {

class AppContext;
class RecordSet;
struct PlantRecord;

// Moves plants and measurements between the database and the context's records.
void reset_variabili_impianto(AppContext& ctx);
void reset_variabili_acquisizione(AppContext& ctx);

// The current row of rs into plant (all fields but ID); false (logged) when it cannot be read.
bool read_data_impianto_from_db_row(AppContext& ctx, const RecordSet& rs, PlantRecord& plant);
// plant, stamped with the firmware and program versions, into the current new or edited row of
// rs; the caller commits it. False (logged) when the row cannot take it.
bool write_data_impianto_in_db_row(AppContext& ctx, RecordSet& rs, const PlantRecord& plant);
bool leggi_impianto_per_ID(AppContext& ctx, qint64 id);

enum class MeasurementSource { Downloaded = 1, Realtime = 2 };
bool leggi_acquisizione_per_ID(AppContext& ctx, qint64 id, MeasurementSource source);

// Fills list with an empty entry then one text per plant, and ctx.plantIdList with their IDs
// (entry k belongs to plantIdList[k - 1]). Without plants both are left as they were.
bool popola_cbselimp(AppContext& ctx, QStringList& list);
// The plant and all its measurements and samples, in one transaction.
bool cancella_impianto_da_DB(AppContext& ctx, qint64 id);
bool leggi_parametri_report(AppContext& ctx);
// The model the documents are signed with, whatever the instrument says.
inline const QString kReportModel = QStringLiteral("VORNA METER PV 100");

} // namespace vorna
