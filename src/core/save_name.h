#pragma once

#include <QString>
#include <vector>

namespace vorna {

class AppContext;

// The save dialog with filter, proposing `proposed`: shown again while the chosen file name is
// blank, and empty when the user cancels, so that a cancel writes nothing. A name chosen without
// `suffix` (compared ignoring case) gets it; no suffix is added when it is empty.
QString askSaveName(AppContext& ctx, const QString& filter, const QString& proposed,
                    const QString& suffix = {});

// One format a save dialog offers: its filter and the suffix of its files.
struct SaveFormat {
    QString filter;
    QString suffix;
};
// The file chosen and the index of its format; an empty name when the user cancelled.
struct SaveChoice {
    QString name;
    size_t format = 0;
};

// The save dialog offering every format's filter, starting on formats[start], asking again on
// a blank name as above. The name's suffix (ignoring case) decides the format; a name with none
// of the formats' suffixes takes the suffix of the filter the user chose.
SaveChoice askSaveNameAndFormat(AppContext& ctx, const std::vector<SaveFormat>& formats,
                                const QString& proposed, size_t start = 0);

} // namespace vorna
