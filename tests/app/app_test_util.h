#pragma once

#include "link_fixture.h"
#include "main_window.h"
#include "test_env.h"

#include <QAction>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vorna::test {

// The settings row most window tests start from: English, instrument on 1, remote unit on 2.
inline const QVariantMap kEnglishRow{{"LINGUA", 0}, {"COM", 1},      {"INT1", 2},   {"metcalc", 1},
                                     {"INT2", 3},   {"misureac", 3}, {"REAL1", 600}};

// "field=value" for each field of `expected` that the first settings row of folder's database
// does not hold (a null expected value wants NULL); empty when all match.
std::string settingsDiff(const QString& folder, const QVariantMap& expected);

// Pumps events until done() or timeoutMs passed, sleeping in short slices.
bool waitUntil(const std::function<bool()>& done, int timeoutMs);

// A path in folder for a pseudo-terminal link. Serial lock files are named after the link, so
// the name carries the folder's unique suffix to keep tests running side by side apart.
QString ptyLinkPath(const QString& folder, const QString& name);

// The program started on a test folder: `row` written first as the settings row (none when
// empty), instrument-sim on port 1 when simArgs or simData (its content lines) are given, then
// the main window loaded, which opens the setup window. Reads time out after 1.5 s.
struct Rig {
    explicit Rig(const QVariantMap& row = kEnglishRow,
                 const std::optional<QStringList>& simArgs = {}, const QStringList& simData = {},
                 const QLocale& locale = kUsPc);
    TestEnv env;
    std::unique_ptr<SimProcess> sim;
    std::unique_ptr<MainWindow> window;
    bool loaded = false;

    AppContext& ctx() { return *env.ctx; }
    template <typename T = QWidget> T* find(const QString& name) {
        return window->findChild<T*>(name);
    }
    QAction* key(const QString& name) { return find<QAction>(name); }
    void click(const QString& button);
    std::string diff(const QVariantMap& expected) { return settingsDiff(env.dir.path(), expected); }
    void closeChild();
    void reopenSetup() {
        closeChild();
        key("setup")->trigger();
    }
};

} // namespace vorna::test
