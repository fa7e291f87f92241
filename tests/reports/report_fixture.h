#pragma once

#include "test_env.h"

#include <QLocale>

namespace vorna::test {

// A data folder with a real database holding the settings row (serial "07-1234"), a plant and a
// passed three-phase measurement of it, the full catalogue, and both records read back from the
// store: ready for the report generators.
struct ReportEnv {
    explicit ReportEnv(int language = 0, const QLocale& locale = QLocale::English);
    TestEnv env;
    AppContext& ctx;

    // Reads the settings row, the report parameters, the plant and the measurement again.
    void loadSample();
};

} // namespace vorna::test
