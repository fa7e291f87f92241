#include "clock_text.h"

namespace vorna {

namespace {

// The number the digits text[from, from + n) spell; -1 when one is not a digit.
int digits(QStringView text, int from, int n) {
    int value = 0;
    for (int i = from; i < from + n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

} // namespace

int secondsFromClockText(QStringView text) {
    if (text.size() != 8 || text[2] != u':' || text[5] != u':') return -1;
    const int h = digits(text, 0, 2), m = digits(text, 3, 2), s = digits(text, 6, 2);
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59) return -1;
    return h * 3600 + m * 60 + s;
}

QDate dateFromStoredText(QStringView text) {
    if (text.size() != 10 || text[4] != u'-' || text[7] != u'-') return {};
    const int y = digits(text, 0, 4), m = digits(text, 5, 2), d = digits(text, 8, 2);
    if (y < 0 || m < 0 || d < 0) return {};
    return QDate(y, m, d); // invalid when the month or day is out of range
}

} // namespace vorna
