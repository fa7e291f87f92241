#pragma once

#include "app_context.h"
#include "qt_print.h"
#include "scripted_prompts.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QTemporaryDir>
#include <map>
#include <memory>

namespace vorna::test {

// The PCs the tests run on: a decimal point, a decimal comma, dots in dates.
inline const QLocale kUsPc(QLocale::English, QLocale::UnitedStates);
inline const QLocale kItalianPc(QLocale::Italian, QLocale::Italy);
inline const QLocale kGermanPc(QLocale::German, QLocale::Germany);

// A temporary data folder with a context on it, scripted prompts and a chosen locale.
struct TestEnv {
    explicit TestEnv(const QLocale& locale = kUsPc);
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    std::unique_ptr<AppContext> ctx;

    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
    // The text of debug.log (empty when missing).
    QString debugLog() const;
    // What debug.log holds beyond the empty line each run starts it with.
    std::string loggedErrors() const { return debugLog().trimmed().toStdString(); }
    // How many entries of debug.log the routine wrote.
    int errorsOf(const QString& routine) const;
    // SELECT COUNT(*) FROM `from` on the context's database.
    int rows(const QString& from, const QVariantList& params = {}) const;
    // The plain texts of the event rows of one kind in tab1, oldest first, decoded here with
    // the key as written below; a row whose checksum is wrong, or that is not stored as bytes,
    // gives a text that says so.
    QStringList events(int kind) const;
};

// The event key, as the log format defines it.
inline const char kEventKeyText[] = "k9marli TOPRAS Heddov & NiVe!!";

// The process runs in another time zone while this lives; the one before (or none) comes back.
struct InTimeZone {
    explicit InTimeZone(const char* zone);
    ~InTimeZone();
    InTimeZone(const InTimeZone&) = delete;
    InTimeZone& operator=(const InTimeZone&) = delete;

private:
    bool wasSet_;
    QByteArray old_;
};

// Points port n at the device given for it and every other port number nowhere.
void routePorts(const std::map<int, QString>& devices);
// A file's bytes; "<missing>" when it cannot be read.
QByteArray readFile(const QString& path);
// A link name in `dir` that no test running beside this one uses: serial lock files are named
// after the link, so the name carries the folder's unique suffix.
QString uniqueLink(const QString& dir, const QString& name);

// The build's programs (simulators, uploaders), the screenshots, the source tree.
QString binDir();
QString screenshotDir();
QString sourceDir();

} // namespace vorna::test
