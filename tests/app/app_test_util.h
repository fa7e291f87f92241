#pragma once

#include <QString>
#include <QVariantMap>

class QWidget;

namespace vorna::test {

// Writes a settings row (and the schema) into folder's database before the program starts;
// null QVariants store NULL. An empty map leaves impostazioni empty.
void presetSettings(const QString& folder, const QVariantMap& fields);

// The first settings row of folder's database, read on a connection of its own.
QVariantMap storedSettings(const QString& folder);

// Saves a PNG of widget under the screenshot folder.
void saveScreenshot(QWidget* widget, const QString& name);

} // namespace vorna::test
