#include "html_text.h"

#include "latin1.h"

#include <QList>
#include <QStringView>

namespace vorna {

QString htmlEscape(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const uint c : QStringView(text).toUcs4()) {
        switch (c) {
        case '<':
            out += QStringLiteral("&lt;");
            break;
        case '>':
            out += QStringLiteral("&gt;");
            break;
        case '&':
            out += QStringLiteral("&amp;");
            break;
        case '"':
            out += QStringLiteral("&quot;");
            break;
        default:
            if (c < 0x20 || (c >= 0x7f && c <= 0x9f))
                out += QLatin1Char(' ');
            else if (c > 0xff)
                out += QLatin1Char('?');
            else
                out += QChar(char16_t(c));
        }
    }
    return out;
}

HtmlDocument& HtmlDocument::operator<<(const QString& fragment) {
    text_ += fragment;
    text_ += QLatin1Char('\r');
    return *this;
}

QByteArray HtmlDocument::bytes() const {
    return toLatin1Safe(text_);
}

void writeOriginComments(HtmlDocument& doc, const ReportOrigin& o) {
    const auto comment = [&](const char* label, const QString& value) {
        doc << QStringLiteral("<!-- ") + QLatin1String(label) + QStringLiteral(": ") +
                   htmlEscape(value) + QStringLiteral(" -->");
    };
    comment("m", o.serial);
    comment("f", o.measurementFirmware);
    comment("sr. log", o.measurementRelease);
    comment("fa", o.currentFirmware);
    comment("sra", o.currentRelease);
}

void closeDocument(HtmlDocument& doc, const ReportOrigin& origin) {
    doc << "</table>"
        << "</body>"
        << "</html>";
    writeOriginComments(doc, origin);
}

} // namespace vorna
