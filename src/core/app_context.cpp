#include "app_context.h"

namespace vorna {

AppContext::AppContext(Prompts& p, QString path, const QLocale& l) : prompts(p) {
    appPath = std::move(path);
    if (!appPath.isEmpty() && !appPath.endsWith(QLatin1Char('/'))) appPath += QLatin1Char('/');
    setLocale(l);
    instrumentPlantNumbers.fill(-1);
    instrumentPlantIds.fill(-1);
}

AppContext::~AppContext() {
    // Record sets hold statements of the connection: drop them before it closes.
    settings.reset();
    db.close();
}

void AppContext::setLocale(const QLocale& l) {
    locale = l;
    // Regional numbers are written without group separators, so 5000.5 reads "5000,5".
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    decimalProbe = locale.toString(10001.0 / 2.0, 'g', 15);
}

} // namespace vorna
