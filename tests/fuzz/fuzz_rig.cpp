#include "fuzz_rig.h"

#include "schema.h"
#include "settings_row.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <charconv>

namespace vorna::fuzz {

namespace {

struct NoPrompts : Prompts {
    void warning(const QString&, const QString&) override {}
    bool question(const QString&, const QString&, QuestionIcon) override { return false; }
    QString saveFileName(const QString&, const QString&, QString*) override { return {}; }
    QString openFileName(const QString&) override { return {}; }
} noPrompts;

const QLocale kPointPc(QLocale::English, QLocale::UnitedStates),
    kCommaPc(QLocale::Italian, QLocale::Italy);

// Scratch files in memory where the machine offers it: the database is written every run.
QString scratchTemplate() {
    const QString shm = QStringLiteral("/dev/shm");
    return (QDir(shm).exists() ? shm : QDir::tempPath()) + QStringLiteral("/vorna-fuzz-XXXXXX");
}

void ensureApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "vorna-fuzz";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv); // lives as long as the program
}

} // namespace

QString latin1(Input data) {
    return QString::fromLatin1(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
}

std::vector<QByteArray> lines(Input data) {
    const QByteArray all(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
    const QList<QByteArray> parts = all.split('\n');
    return {parts.begin(), parts.end()};
}

AppContext& context(bool decimalComma) {
    static QTemporaryDir dir(scratchTemplate());
    static AppContext point(noPrompts, dir.path(), kPointPc);
    static AppContext comma(noPrompts, dir.path(), kCommaPc);
    return decimalComma ? comma : point;
}

bool dashes(const QString& field) {
    return field.isEmpty() || field.contains(QLatin1String("--"));
}

bool samePlant(const PlantRecord& a, const PlantRecord& b) {
    return a.POT == b.POT && a.BOOL1 == b.BOOL1 && a.NOCT == b.NOCT && a.REAL1 == b.REAL1 &&
           a.nome == b.nome && a.indirizzo == b.indirizzo && a.NUMCIV == b.NUMCIV &&
           a.cap == b.cap && a.comune == b.comune && a.CODFISC == b.CODFISC;
}

bool plainDecimal(const QString& text, QChar separator) {
    static const QRegularExpression point(QStringLiteral("\\A-?[0-9]+(\\.[0-9]+)?\\z")),
        comma(QStringLiteral("\\A-?[0-9]+(,[0-9]+)?\\z"));
    return (separator == QLatin1Char(',') ? comma : point).match(text).hasMatch();
}

std::optional<double> decimalValue(const QString& text, QChar separator) {
    if (!plainDecimal(text, separator)) return std::nullopt;
    std::string s = text.toStdString();
    std::replace(s.begin(), s.end(), char(separator.unicode()), '.');
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

bool instrumentPlain(const QString& field, bool decimalComma) {
    return decimalComma ? plainDecimal(QString(field).replace('.', ','), QLatin1Char(','))
                        : plainDecimal(field, QLatin1Char('.'));
}

std::optional<double> instrumentValue(const QString& field, bool decimalComma) {
    return decimalComma ? decimalValue(QString(field).replace('.', ','), QLatin1Char(','))
                        : decimalValue(field, QLatin1Char('.'));
}

void ScriptedInstrument::answer() {
    pending_ += pty_.read(0);
    for (qsizetype cr; (cr = pending_.indexOf('\r')) >= 0;) {
        commands_ << QString::fromLatin1(pending_.left(cr));
        pending_.remove(0, cr + 1);
        pty_.write((next_ < replies_.size() ? replies_[next_++] : QByteArray()) + '\r');
    }
}

ScriptedInstrument& ScriptedInstrument::get() {
    ensureApplication();
    static ScriptedInstrument instrument;
    return instrument;
}

// The link's name is unique to the folder: serial port locks are taken by name.
ScriptedInstrument::ScriptedInstrument()
    : dir_(scratchTemplate()), ctx_(noPrompts, dir_.path()),
      pty_(dir_.filePath(QStringLiteral("com1-") + QDir(dir_.path()).dirName())),
      notifier_(pty_.fd(), QSocketNotifier::Read) {
    if (!pty_.ok()) fail("no pseudo-terminal: " + pty_.error().toStdString());
    QObject::connect(&notifier_, &QSocketNotifier::activated, [this] { answer(); });
    qputenv("VORNA_COM1", pty_.devicePath().toLocal8Bit());
    ctx_.db.open(dir_.filePath(QStringLiteral("DATA_v2.MDB")));
    ensure_schema(ctx_.db);
    SettingsRow::open(ctx_);
    // Ports are told apart by number: the remote unit's (down, never opened) is another one.
    ctx_.link.serialeBase.setPortNumber(1);
    ctx_.link.serialeRemoto.setPortNumber(2);
    // A reply is always on its way: a wait this long means the link itself broke.
    ctx_.link.readTimeout = std::chrono::milliseconds(3000);
}

void ScriptedInstrument::script(std::vector<QByteArray> replies, bool decimalComma) {
    // A CR inside a reply would end the line early and leave the rest for the next exchange.
    for (QByteArray& r : replies)
        r.replace('\r', QByteArray());
    replies_ = std::move(replies);
    next_ = 0;
    pending_.clear();
    commands_.clear();
    pty_.read(0);
    ctx_.setLocale(decimalComma ? kCommaPc : kPointPc);
    ctx_.link.setLinkUp(Unit::Base, true);
    ctx_.link.baseRxBuffer.clear();
    ctx_.link.replyText.clear();
    ctx_.db.exec(QStringLiteral("DELETE FROM tab1"));
    QFile::remove(ctx_.appPath + QStringLiteral("debug.log"));
}

} // namespace vorna::fuzz
