// Compiled into every test: the build's folders, unless the environment already names them.
#include <cstdlib>

namespace {
struct PathsEnv {
    PathsEnv() {
        setenv("VORNA_BIN_DIR", VORNA_BIN_DIR_DEFAULT, 0);
        setenv("VORNA_SOURCE_DIR", VORNA_SOURCE_DIR_DEFAULT, 0);
        setenv("VORNA_SCREENSHOT_DIR", VORNA_SCREENSHOT_DIR_DEFAULT, 0);
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
} const pathsEnv;
} // namespace
