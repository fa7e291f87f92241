#include "program_texts.h"

#include "message_data.h"

#include <QFile>
#include <QStringDecoder>
#include <stdexcept>

static void initProgramTextsResource() {
    Q_INIT_RESOURCE(vorna_messages);
}

namespace vorna {

namespace {

const char* const kFile = "program_texts.tsv";

QByteArray builtInData() {
    initProgramTextsResource();
    QFile f(QStringLiteral(":/i18n/program_texts.tsv"));
    if (!f.open(QIODevice::ReadOnly)) throw MessageDataError(0, "the table is missing", kFile);
    return f.readAll();
}

} // namespace

ProgramTexts::ProgramTexts() : ProgramTexts(builtInData()) {}

ProgramTexts::ProgramTexts(const QByteArray& data) {
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString all = decode(data);
    if (decode.hasError()) throw MessageDataError(0, "the file is not valid UTF-8", kFile);
    int lineNo = 0;
    for (QStringView line : QStringView(all).split(QLatin1Char('\n'))) {
        ++lineNo;
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const auto fields = line.split(QLatin1Char('\t'));
        const auto fault = [&](const char* what) { throw MessageDataError(lineNo, what, kFile); };
        if (fields.size() != 1 + kLanguages) fault("a key and five texts expected");
        const QString key = fields[0].toString();
        if (key.isEmpty() || texts_.contains(key)) fault("an empty or repeated key");
        std::array<QString, kLanguages> texts;
        for (int language = 0; language < kLanguages; ++language) {
            texts[size_t(language)] =
                decodeTextField(fields[language + 1], lineNo, language + 1, kFile);
            if (texts[size_t(language)].isEmpty()) fault("every language needs its text");
        }
        texts_.insert(key, std::move(texts));
    }
}

const QString& ProgramTexts::text(int language, const QString& key) const {
    const auto it = texts_.constFind(key);
    if (it == texts_.constEnd()) throw std::out_of_range("no program text " + key.toStdString());
    return (*it)[size_t(language >= 0 && language < kLanguages ? language : 0)];
}

} // namespace vorna
