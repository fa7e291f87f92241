#pragma once

#include <QString>

namespace vorna {

class AppContext;

inline const QString kDataFile = QStringLiteral("DATA_v2.MDB");
inline const QString kBackupFile = QStringLiteral("DATABACKUP_v2.MDB");
inline const QString kScratchFile = QStringLiteral("DATAtemp_v2.MDB");

// Backs up, checks, compacts and opens the working database as ctx.db. A damaged working file
// is set aside (never copied over the backup) and the backup restored; the working file is only
// ever replaced by a complete file, so a kill at any moment leaves a usable database in the
// working file or the backup. A working file whose bytes the backup already holds, as the
// certified copy of an earlier start, is neither checked nor copied again; one with less than a
// tenth of its pages free is not compacted. False (logged as "database_init") when it cannot
// open one.
bool database_init(AppContext& ctx);

} // namespace vorna
