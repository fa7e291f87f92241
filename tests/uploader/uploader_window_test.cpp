// The uploader windows of both builds against bootloader-sim; screenshots go to their folder.

#include "pseudo_terminal.h"
#include "qt_print.h"
#include "upload_test_support.h"
#include "uploader_window.h"
#include "window_rig.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vorna::uploader;
using namespace vorna::uploader::test;

namespace {

using Box = std::pair<QString, QMessageBox::Icon>;

// Answers every message box that opens, keeping its text and icon.
struct MessageBoxes : QTimer {
    MessageBoxes() {
        callOnTimeout([this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box->isHidden()) return;
            shown.append({box->text(), box->icon()});
            box->accept();
        });
        start(20);
    }
    QList<Box> shown;
};

template <typename T = QPushButton> T* child(QWidget& w, const char* name) {
    return w.findChild<T*>(name);
}

// Start, Restart and Detect USB port as "SRD", a disabled one as '-'.
QString buttons(QWidget& w) {
    QString s;
    for (const char* name : {"bttStart", "bttRestart", "bttDetect"})
        s += child(w, name)->isEnabled() ? name[3] : '-';
    return s;
}

// The Verify box, unticked, under the file name: below it, starting in the same column.
QCheckBox* verifyBox(QWidget& w) {
    auto* verify = child<QCheckBox>(w, "chkVerify");
    auto* fileName = child<QLineEdit>(w, "tbFile");
    EXPECT_EQ(verify->text(), "Verify");
    EXPECT_FALSE(verify->isChecked());
    EXPECT_GE(verify->mapTo(&w, QPoint(0, 0)).y(),
              fileName->mapTo(&w, QPoint(0, fileName->height())).y());
    EXPECT_EQ(verify->mapTo(&w, QPoint(0, 0)).x(), fileName->mapTo(&w, QPoint(0, 0)).x());
    EXPECT_LE(verify->width(), w.width());
    return verify;
}

} // namespace

TEST(SirvexWindow, ButtonStatesFromThePortChoiceThroughAWholeTransferAndRestart) {
    FirmwareFile file;
    BootloaderSim sim({"--reannounce"});
    QTemporaryDir dir;
    vorna::sim::PseudoTerminal quiet(dir.path() + "/quiet3");
    routePorts({});
    MessageBoxes boxes;
    UploaderWindow w(sirvexTransfer(), quickTiming());
    w.setFileDialog([&](QWidget*) { return file.path; });
    w.show();
    auto* status = child<QLineEdit>(w, "tbStatus");
    auto* frame = child<QGroupBox>(w, "frProgress");
    auto* bar = child<QProgressBar>(w, "prbProgress");
    auto* cbPort = child<QComboBox>(w, "cbPort");
    auto* device = child<QLabel>(w, "lbDevice");
    auto* verify = verifyBox(w);
    EXPECT_EQ(cbPort->count(), 1); // the entry that listens on any port
    EXPECT_EQ(status->text(), kWaiting);
    EXPECT_EQ(buttons(w), "--D");

    // Detect USB port lists the ports whose device exists (a folder is none) and applies the
    // first.
    routePorts({{3, quiet.devicePath()}, {5, dir.path()}, {12, sim.link()}});
    QSignalSpy texts(&w.controller(), &UploadController::textChanged);
    QTest::mouseClick(child(w, "bttDetect"), Qt::LeftButton);
    EXPECT_EQ(texts.value(0).value(1).toString(), "Detect USB");
    EXPECT_EQ(vorna::test::entries(cbPort), (QStringList{"any port", "COM3", "COM12"}));
    EXPECT_EQ(device->text(), "COM3 — " + quiet.devicePath());

    // Choosing COM12 leaves COM3 for COM12, where the bootloader announces itself.
    vorna::test::choose(cbPort, 2);
    EXPECT_TRUE(device->text().startsWith("COM12 — " + sim.link() + " -> /dev/pts/"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return child(w, "bttRestart")->isEnabled(); }, 3000));
    EXPECT_EQ(status->text(), "Instrument On-Line");
    EXPECT_EQ(buttons(w), "-R-");
    QTest::mouseClick(child(w, "bttOpen"), Qt::LeftButton);
    EXPECT_EQ(child<QLineEdit>(w, "tbFile")->text(), file.path);
    EXPECT_EQ(buttons(w), "SR-");
    verify->click();
    vorna::test::screenshot(&w, "sirvex_announced");

    // Half-way through the rows nothing can be pressed; frame, title and bar show the share.
    QStringList during; // buttons ('+' when any other control could be used), texts
    QObject::connect(&w.controller(), &UploadController::barChanged, [&](int value, int maximum) {
        if (maximum != 1672 || value != 836) return;
        const bool others = child(w, "bttExit")->isEnabled() || child(w, "bttOpen")->isEnabled() ||
                            cbPort->isEnabled() || verify->isEnabled();
        during = {buttons(w) + (others ? "+" : ""), frame->title(), w.windowTitle(),
                  QString::number(bar->value())};
        vorna::test::screenshot(&w, "sirvex_programming");
    });
    QTest::mouseClick(child(w, "bttStart"), Qt::LeftButton);
    EXPECT_EQ(during, (QStringList{"---", "Progress: Programming device 50 %",
                                   "Sirvex 3.0 - 50% Sent", "836"}));
    EXPECT_EQ(
        (QStringList{status->text(), frame->title(), w.windowTitle(), buttons(w),
                     QString::number(bar->value())}),
        (QStringList{"Instrument On-Line - Restart", "Verified 3 rows", "Sirvex 3.0", "-R-", "0"}));
    EXPECT_TRUE(verify->isEnabled());
    vorna::test::screenshot(&w, "sirvex_written");

    // Until the bootloader announces itself again nothing can be started: checked as the click
    // returns, since the announcement may come while the test waits for the simulator's word.
    QTest::mouseClick(child(w, "bttRestart"), Qt::LeftButton);
    EXPECT_EQ(buttons(w), "--D");
    ASSERT_TRUE(sim.restarted());
    // The restarted instrument's bootloader announces itself again: a new round can begin.
    ASSERT_TRUE(QTest::qWaitFor([&] { return child(w, "bttRestart")->isEnabled(); }, 3000));
    EXPECT_EQ(buttons(w), "SR-");
    EXPECT_TRUE(boxes.shown.isEmpty());
    QSignalSpy rejected(&w, &QDialog::rejected);
    QTest::mouseClick(child(w, "bttExit"), Qt::LeftButton);
    EXPECT_EQ(rejected.count(), 1);
    EXPECT_EQ(sim.stop().program.size(), 3u);
}

TEST(TamrixWindow, RefusesAnUnreadableFileThenTransfersOnTheAnnouncementAndEndsWithCodeOne) {
    FirmwareFile file;
    BootloaderSim sim;
    routePorts({{2, sim.link()}});
    MessageBoxes boxes;
    UploaderWindow w(tamrixTransfer(), quickTiming());
    QString chosen = file.dir.filePath("missing.hex");
    w.setFileDialog([&](QWidget*) { return chosen; });
    w.show();
    auto* cbPort = child<QComboBox>(w, "cbPort");
    auto* status = child<QLabel>(w, "lbStatus");
    auto* bar = child<QProgressBar>(w, "prbProgress");
    EXPECT_EQ(w.windowTitle(), "Sirvex 2.1.U.O.");
    EXPECT_EQ(child(w, "bttStart"), nullptr);
    EXPECT_EQ(cbPort->currentIndex(), -1); // this build selects nothing
    EXPECT_EQ(child<QLineEdit>(w, "tbFile")->text(), "Target File");
    verifyBox(w);
    EXPECT_FALSE(bar->isVisible());
    w.findChild<QAction*>("mnuAbout")->trigger();
    EXPECT_EQ(boxes.shown, QList<Box>{Box("Sirvex Ver. 1.5.U.O", QMessageBox::Information)});

    QTest::mouseClick(child(w, "bttOpen"), Qt::LeftButton);
    vorna::test::choose(cbPort, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.shown.size() == 2; }, 3000));
    EXPECT_EQ(boxes.shown.last(), Box("Invalid Target File", QMessageBox::Critical));
    vorna::test::screenshot(&w, "tamrix_no_file");

    // Still listening: with a readable file the next announcement transfers.
    chosen = file.path;
    QTest::mouseClick(child(w, "bttOpen"), Qt::LeftButton);
    EXPECT_EQ(child<QLineEdit>(w, "tbFile")->text(), "firmware.hex");
    EXPECT_EQ(status->text(), "Turn On Instrument");
    QString during; // the status, '+' when the port list or Exit could be used
    QObject::connect(&w.controller(), &UploadController::barChanged, [&](int value, int maximum) {
        if (maximum != 1672 || value != 1672) return;
        const bool others = cbPort->isEnabled() || child(w, "bttExit")->isEnabled();
        during = status->text() + (others ? "+" : "");
        vorna::test::screenshot(&w, "tamrix_programming");
    });
    QSignalSpy ended(&w, &UploaderWindow::programEnded);
    sim.powerCycle();
    ASSERT_TRUE(ended.wait(10000));
    EXPECT_EQ(ended.first().at(0).toInt(), 1);
    EXPECT_EQ(during, "Programming Device 100% Sent");
    EXPECT_EQ(boxes.shown.last(), Box("Download Completed!", QMessageBox::Warning));
    EXPECT_EQ(status->text(), "UpLoader End.");
    EXPECT_TRUE(bar->isVisible());
    vorna::test::screenshot(&w, "tamrix_done");
    const SimMemory m = sim.stop();
    EXPECT_EQ(m.count.at("identifications"), 1);
    EXPECT_EQ(m.count.at("resets"), 1);
}
