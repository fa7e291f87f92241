#include "logs.h"

#include "app_context.h"
#include "error_trap.h"
#include "latin1.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QVariant>

namespace vorna {

namespace {

QString now(const AppContext& ctx) {
    return logTimeText(ctx.locale, QDateTime::currentDateTime());
}

// Appends lines in the single-byte code page. Logging never raises: a locked or full file
// loses this entry only.
bool appendLines(const QString& path, const QStringList& lines) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
    QByteArray bytes;
    for (const QString& l : lines)
        bytes += toLatin1Safe(l) + "\r\n";
    return f.write(bytes) == bytes.size();
}

const QChar kTab = QLatin1Char('\t');

} // namespace

QString logTimeText(const QLocale& locale, const QDateTime& when) {
    // The regional short formats, widened to a four-digit year and to seconds, so lines order
    // within a minute and across centuries.
    static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
    QString date = locale.dateFormat(QLocale::ShortFormat);
    date.replace(twoDigitYear, QStringLiteral("yyyy"));
    QString time = locale.timeFormat(QLocale::ShortFormat);
    if (!time.contains(QLatin1Char('s'))) {
        const qsizetype minutes = time.indexOf(QLatin1String("mm"));
        if (minutes > 0) time.insert(minutes + 2, time.at(minutes - 1) + QStringLiteral("ss"));
    }
    QString text = locale.toString(when, date + QLatin1Char(' ') + time);
    // Some regions separate with spaces the single-byte files cannot hold.
    for (QChar& c : text)
        if (c.isSpace()) c = QLatin1Char(' ');
    return text;
}

QString eventKey() {
    return QStringLiteral("k9marli TOPRAS Heddov & NiVe!!");
}

QString debugLogPath(const AppContext& ctx) {
    return ctx.appPath + QStringLiteral("debug.log");
}

void print_error(AppContext& ctx, const QString& name, const QString& message, int number,
                 const QString& description) {
    try {
        const QString num = QString::number(number);
        appendLines(debugLogPath(ctx),
                    {now(ctx) + kTab + name + kTab + message, num + kTab + description});
        record_event(ctx,
                     QStringLiteral("FUNCT ERROR (") + name + QStringLiteral(")") + kTab + num +
                         kTab + description + kTab + message,
                     kEventError);
    } catch (const std::exception& e) {
        appendLines(debugLogPath(ctx),
                    {now(ctx) + kTab + QStringLiteral("FUNCT ERROR (print_error)") + kTab +
                     QString::number(err::kGeneric) + kTab + QString::fromLocal8Bit(e.what())});
    }
}

void write_row_in_tab1(AppContext& ctx, const QString& encodedText, int kind) {
    try {
        ctx.db
            .cached(QStringLiteral(
                "INSERT INTO tab1 (TEXT1, TEXT2, MEMO1, Data1, INT1) VALUES (?,?,?,?,?)"))
            .bind(1, ctx.fwVersionText)
            .bind(2, ctx.swVersion)
            // Bytes, not text: an encoded character can be 0, where text would end.
            .bind(3, toLatin1Safe(encodedText))
            .bind(4, QDateTime::currentDateTime())
            .bind(5, kind)
            .run();
    } catch (const RunError& e) {
        appendLines(debugLogPath(ctx),
                    {now(ctx) + kTab + QStringLiteral("FUNCT ERROR (write_row_in_tab1)") + kTab +
                     QString::number(e.number()) + kTab + e.description()});
    }
}

QString storedEventText(const QVariant& memo1) {
    if (memo1.typeId() == QMetaType::QByteArray) return QString::fromLatin1(memo1.toByteArray());
    return memo1.toString(); // rows written as text by earlier versions
}

int write_crc(const QString& text) {
    int sum = 0;
    for (QChar c : text)
        sum = (sum + latin1Code(c)) % 256;
    return sum;
}

QString StringEncodeAndDecode(const QString& text, const QString& key) {
    if (key.isEmpty()) return text;
    QString out(text.size(), QChar());
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = QChar(ushort(latin1Code(text[i]) ^ latin1Code(key[i % key.size()])));
    return out;
}

void record_event(AppContext& ctx, const QString& text, int kind) {
    const QString withCrc = text + QChar(ushort(write_crc(text)));
    write_row_in_tab1(ctx, StringEncodeAndDecode(withCrc, eventKey()), kind);
}

bool delete_rows_by_tab1(AppContext& ctx) {
    return guard(ctx, QStringLiteral("delete_rows_by_tab1"), [&] {
        // Rows are numbered in insertion order; everything older than the newest
        // kEventRowLimit rows goes, in one statement.
        ctx.db
            .prepare(QStringLiteral("DELETE FROM tab1 WHERE ID <= (SELECT ID FROM tab1 ORDER BY "
                                    "ID DESC LIMIT 1 OFFSET ?)"))
            .bind(1, kEventRowLimit)
            .run();
        return true;
    });
}

void append_traffic_log(AppContext& ctx, const QString& line) {
    appendLines(ctx.appPath + QStringLiteral("s.log"), {now(ctx) + kTab + line});
}

} // namespace vorna
