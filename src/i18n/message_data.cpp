#include "message_data.h"

#include "message_catalogue.h"

#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <bitset>

// Resources of a static library are registered only when something refers to them.
static void initMessageResource() {
    Q_INIT_RESOURCE(vorna_messages);
}

namespace vorna {

namespace {

constexpr int kColumns = 1 + MessageCatalogue::kLanguages;

const char* const kFile = "messages.tsv";

[[noreturn]] void failIn(const char* file, int line, const QString& what) {
    throw MessageDataError(line, what.toStdString(), file);
}

[[noreturn]] void fail(int line, const QString& what) {
    failIn(kFile, line, what);
}

} // namespace

// A blank at either end of a text must be written \s, so an editor that trims lines, or an eye
// that misses a trailing blank, cannot change a text unnoticed.
QString decodeTextField(QStringView raw, int line, int column, const char* file) {
    if (!raw.isEmpty() && (raw.front() == QLatin1Char(' ') || raw.back() == QLatin1Char(' ')))
        failIn(file, line,
               QStringLiteral("column %1: a blank at the start or end of a text must be "
                              "written \\s")
                   .arg(column + 1));
    QString text;
    text.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c != QLatin1Char('\\')) {
            if (c.unicode() > 0xff)
                failIn(file, line,
                       QStringLiteral("column %1: character U+%2 is outside ISO 8859-1")
                           .arg(column + 1)
                           .arg(c.unicode(), 4, 16, QLatin1Char('0')));
            text += c;
            continue;
        }
        if (++i == raw.size())
            failIn(file, line, QStringLiteral("column %1: lone \\ at the end").arg(column + 1));
        switch (raw[i].unicode()) {
        case 't':
            text += QLatin1Char('\t');
            break;
        case 'n':
            text += QLatin1Char('\n');
            break;
        case 'r':
            text += QLatin1Char('\r');
            break;
        case 's':
            text += QLatin1Char(' ');
            break;
        case '\\':
            text += QLatin1Char('\\');
            break;
        default:
            failIn(file, line,
                   QStringLiteral("column %1: unknown escape \\%2").arg(column + 1).arg(raw[i]));
        }
    }
    return text;
}

namespace {

int messageNumber(QStringView field, int line) {
    bool ok = false;
    const int n = field.toInt(&ok);
    if (!ok || n < 0 || n >= MessageCatalogue::kMessages || field.startsWith(QLatin1Char('+')))
        fail(line, QStringLiteral("\"%1\" is not a message number 0-%2")
                       .arg(field.left(20))
                       .arg(MessageCatalogue::kMessages - 1));
    return n;
}

} // namespace

MessageDataError::MessageDataError(int line, const std::string& what, const char* file)
    : std::runtime_error(line > 0 ? file + (" line " + std::to_string(line)) + ": " + what
                                  : file + (": " + what)),
      line_(line) {}

QByteArray builtInMessageData() {
    initMessageResource();
    QFile f(QStringLiteral(":/i18n/messages.tsv"));
    if (!f.open(QIODevice::ReadOnly))
        throw MessageDataError(0, "the built-in catalogue is missing");
    return f.readAll();
}

void fillMessages(MessageCatalogue& catalogue, int first, int last, const QByteArray& data) {
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decode(data);
    if (decode.hasError()) fail(0, QStringLiteral("the file is not valid UTF-8"));

    std::bitset<MessageCatalogue::kMessages> seen;
    int lineNo = 0;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        ++lineNo;
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (lineNo == 1 && line.startsWith(QChar(0xfeff))) line = line.mid(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;

        const auto fields = line.split(QLatin1Char('\t'));
        // Editors may drop the tabs of empty trailing columns, so fewer columns are fine.
        if (fields.size() > kColumns)
            fail(
                lineNo,
                QStringLiteral("%1 columns, at most %2 expected").arg(fields.size()).arg(kColumns));
        const int number = messageNumber(fields[0], lineNo);
        if (number < first || number > last) continue;
        if (seen.test(size_t(number)))
            fail(lineNo, QStringLiteral("message %1 is listed twice").arg(number));
        seen.set(size_t(number));
        for (int language = 0; language < MessageCatalogue::kLanguages; ++language) {
            const qsizetype col = language + 1;
            catalogue.set(language, number,
                          col < fields.size()
                              ? decodeTextField(fields[col], lineNo, int(col), kFile)
                              : QString());
        }
    }
}

} // namespace vorna
