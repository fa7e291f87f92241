#pragma once

#include "app_context.h"
#include "scripted_prompts.h"

#include <QLocale>
#include <QString>
#include <QTemporaryDir>
#include <map>
#include <memory>

namespace vorna::test {

// A temporary data folder with a context on it, scripted prompts and a chosen locale.
struct TestEnv {
    explicit TestEnv(const QLocale& locale = QLocale(QLocale::English, QLocale::UnitedStates));
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    std::unique_ptr<AppContext> ctx;

    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
    // The text of debug.log (empty when missing).
    QString debugLog() const;
    // The plain texts of the event rows of one kind in tab1, oldest first, decoded here with
    // the key as written below; a row whose checksum is wrong, or that is not stored as bytes,
    // gives a text that says so.
    QStringList events(int kind) const;
};

// The event key, as the log format defines it.
inline const char kEventKeyText[] = "k9marli TOPRAS Heddov & NiVe!!";

// Points port n at the device given for it and every other port number nowhere.
void routePorts(const std::map<int, QString>& devices);

// Where the build put the programs (simulators, uploaders).
QString binDir();
// Where screenshots of windows go.
QString screenshotDir();
// The source tree's root.
QString sourceDir();

} // namespace vorna::test
