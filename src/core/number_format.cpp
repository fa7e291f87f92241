#include "number_format.h"

namespace vorna {

QString general_number(const QLocale& locale, double value) {
    QLocale l = locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    if (value == 0.0) return QStringLiteral("0"); // no "-0"
    return l.toString(value, 'g', 15);
}

bool parse_number(const QString& text, double& value) {
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    value = QLocale::c().toDouble(t, &ok);
    return ok;
}

} // namespace vorna
