#pragma once

#include <QString>

namespace vorna {

class AppContext;
class DownloadProgress;

// "LOGO?": the instrument's logo text, trimmed. False when the exchange failed: then nothing
// is changed.
bool ask_logo(AppContext& ctx, const QString& callerWindow, QString& logo);
// The documents' signature into the settings row: the model and this logo, a single blank
// standing for an empty text. Database errors throw, for the caller's trap.
void store_report_signature(AppContext& ctx, const QString& logo);
// The instrument's plants, then their measurements, under one progress: a stop asked during
// the first pass holds for the second, which then sends nothing.
void download_plants_and_measurements(AppContext& ctx, const QString& callerWindow,
                                      DownloadProgress& progress);

} // namespace vorna
