#pragma once

#include "link_env.h"
#include "main_window.h"
#include "wall_clock.h"

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <gtest/gtest.h>
#include <optional>

namespace vorna::test {

// The settings row most window tests start from: English, instrument on 1, remote unit on 2.
QVariantMap englishRow(const QVariantMap& changes = {});
// The same in the PC's language: Italian on an Italian PC.
QVariantMap rowFor(const QLocale& pc);

void choose(QComboBox* list, int index);
// Of a drop-down list or a list box.
QStringList entries(QWidget* list);

// Saves a PNG of the window under the screenshot folder, reads it back and checks that it
// holds the whole window; returns the picture.
QImage screenshot(QWidget* w, const QString& name);

// The program started on a test folder: `row` written first as the settings row (none when
// empty), instrument-sim on port 1 when simArgs or simData (its content lines) are given, then
// the main window loaded, which opens the setup window. Reads time out after 1.5 s.
struct Rig {
    explicit Rig(const QVariantMap& row = englishRow(),
                 const std::optional<QStringList>& simArgs = {}, const QStringList& simData = {},
                 const QLocale& locale = kUsPc);
    ~Rig();

    TestEnv env;
    std::unique_ptr<SimProcess> sim;
    std::unique_ptr<VirtualClock> clock; // the context's clock once setClock was called
    std::unique_ptr<MainWindow> window;
    bool loaded = false;

    AppContext& ctx() { return *env.ctx; }
    Database& db() { return ctx().db; }
    template <typename T = QWidget> T* find(const QString& name) {
        return window->findChild<T*>(name);
    }
    QAction* key(const QString& name) { return find<QAction>(name); }
    void click(const QString& button) { find<QPushButton>(button)->click(); }
    // The text a control shows: a box, a label, a button's caption, a list's current entry.
    QString text(const QString& name);
    bool on(const QString& name) { return find(name)->isEnabled(); }
    bool shown(const QString& name) { return !find(name)->isHidden(); }
    void choose(const QString& list, int index) { test::choose(find<QComboBox>(list), index); }
    QStringList entries(const QString& list) { return test::entries(find(list)); }

    // Samples are stamped from a virtual clock from `start` on.
    VirtualClock& setClock(const QDateTime& start);
    // Connects the instrument with the setup window's button (opening the window if needed), its
    // configuration read included; withRead false, for a simulator silent on that read, only
    // marks the link up on port 1 as the button leaves it.
    void connect(bool withRead = true);
    // The instrument's link fails as a lost device makes it fail.
    void loseLink() { ctx().link.markDown(ctx().link.serialeBase); }
    // The commands the simulator received since the last call (or since connecting).
    QStringList commands();

    void closeChild() { qDeleteAll(window->area()->subWindowList()); }
    // The child window a toolbar key opens, in front of nothing else.
    template <typename W = QWidget> W* open(const QString& key) {
        closeChild();
        this->key(key)->trigger();
        return qobject_cast<W*>(window->currentChild());
    }
    void reopenSetup() { open("setup"); }
    QString ptyLink(const QString& name) { return uniqueLink(env.dir.path(), name); }
    // The fields of `expected` ("field=text;...", "<null>" for NULL) that the stored settings
    // row does not hold, as the row holds them; empty when all match.
    std::string diff(const QString& expected);

private:
    int seen_ = 0;
};

} // namespace vorna::test
