#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <functional>

class QWidget;

namespace vorna::test {

// Writes a settings row (and the schema) into folder's database before the program starts;
// null QVariants store NULL. An empty map leaves impostazioni empty.
void presetSettings(const QString& folder, const QVariantMap& fields);

// The first settings row of folder's database, read on a connection of its own.
QVariantMap storedSettings(const QString& folder);

// Saves a PNG of widget under the screenshot folder.
void saveScreenshot(QWidget* widget, const QString& name);

// A path in folder for a pseudo-terminal link. Serial lock files are named after the link, so
// the name carries the folder's unique suffix to keep tests running side by side apart.
QString ptyLinkPath(const QString& folder, const QString& name);

// A simulator data file in folder with the given lines (TAB-separated keys and values).
QString writeSimData(const QString& folder, const QStringList& lines);

// Pumps events until done() or timeoutMs passed, sleeping in short slices.
bool waitUntil(const std::function<bool()>& done, int timeoutMs);

} // namespace vorna::test
