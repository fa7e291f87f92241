// The uploader windows of both builds, driven through their controls with the offscreen
// platform against bootloader-sim; screenshots go to the screenshot folder.

#include "pseudo_terminal.h"
#include "qt_print.h"
#include "test_env.h"
#include "upload_test_support.h"
#include "uploader_window.h"

#include <QAction>
#include <QApplication>
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
struct MessageBoxes {
    MessageBoxes() {
        timer.callOnTimeout([this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box->isHidden()) return;
            shown.append({box->text(), box->icon()});
            box->accept();
        });
        timer.start(20);
    }
    QList<Box> shown;
    QTimer timer;
};

void screenshot(QWidget& w, const char* name) {
    w.grab().save(vorna::test::screenshotDir() + "/" + name + ".png");
}

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

} // namespace

TEST(SirvexWindow, ButtonStatesThroughAWholeTransferAndRestart) {
    FirmwareFile file;
    BootloaderSim sim({"--reannounce"});
    ASSERT_TRUE(sim.ready());
    routePorts({{1, sim.link()}});
    MessageBoxes boxes;
    UploaderWindow w(sirvexTransfer(), quickTiming());
    w.setFileDialog([&](QWidget*) { return file.path; });
    w.show();
    auto* status = child<QLineEdit>(w, "tbStatus");
    auto* frame = child<QGroupBox>(w, "frProgress");
    auto* bar = child<QProgressBar>(w, "prbProgress");
    auto* cbPort = child<QComboBox>(w, "cbPort");
    EXPECT_EQ(w.windowTitle(), "Sirvex 3.0");
    EXPECT_EQ(cbPort->currentText(), "COM1");
    EXPECT_EQ(status->text(), "Connection Lost - Reset the instrument");
    EXPECT_EQ(frame->title(), "Progress");
    EXPECT_EQ(buttons(w), "--D");
    screenshot(w, "sirvex_waiting");

    // The first port was applied at once, so the bootloader's announcement is heard.
    ASSERT_TRUE(QTest::qWaitFor([&] { return child(w, "bttRestart")->isEnabled(); }, 3000));
    EXPECT_EQ(status->text(), "Instrument On-Line");
    EXPECT_EQ(buttons(w), "-R-");
    QTest::mouseClick(child(w, "bttOpen"), Qt::LeftButton);
    EXPECT_EQ(child<QLineEdit>(w, "tbFile")->text(), file.path);
    EXPECT_EQ(buttons(w), "SR-");
    screenshot(w, "sirvex_announced");

    // Half-way through the rows nothing can be pressed; frame, title and bar show the share.
    Recorder rec(w.controller());
    QStringList during;
    rec.onBar = [&](int value, int maximum) {
        if (maximum != 1672 || value != 836) return;
        during = {buttons(w), frame->title(), w.windowTitle(), QString::number(bar->value())};
        for (QWidget* other : {child<QWidget>(w, "bttExit"), child<QWidget>(w, "bttOpen"),
                               static_cast<QWidget*>(cbPort)})
            if (other->isEnabled()) during << other->objectName();
        screenshot(w, "sirvex_programming");
    };
    QTest::mouseClick(child(w, "bttStart"), Qt::LeftButton);
    EXPECT_EQ(during, (QStringList{"---", "Progress: Programming device 50 %",
                                   "Sirvex 3.0 - 50% Sent", "836"}));
    EXPECT_EQ((QStringList{status->text(), frame->title(), w.windowTitle(), buttons(w)}),
              (QStringList{"Instrument On-Line - Restart", "Progress", "Sirvex 3.0", "-R-"}));
    EXPECT_EQ(bar->value(), 0);
    EXPECT_TRUE(boxes.shown.isEmpty());
    screenshot(w, "sirvex_written");

    QTest::mouseClick(child(w, "bttRestart"), Qt::LeftButton);
    ASSERT_TRUE(sim.waitForLine("reset", 2000));
    EXPECT_EQ(status->text(), "Connection Lost - Reset the instrument");
    EXPECT_EQ(buttons(w), "--D");
    // The restarted instrument's bootloader announces itself again: a new round can begin.
    ASSERT_TRUE(QTest::qWaitFor([&] { return child(w, "bttRestart")->isEnabled(); }, 3000));
    EXPECT_EQ(buttons(w), "SR-");
    QSignalSpy rejected(&w, &QDialog::rejected);
    QTest::mouseClick(child(w, "bttExit"), Qt::LeftButton);
    EXPECT_EQ(rejected.count(), 1);
    EXPECT_EQ(sim.stop().program.size(), 3u);
}

TEST(SirvexWindow, ListsOnlyExistingPortsAndListensOnTheOneChosen) {
    routePorts({});
    UploaderWindow w(sirvexTransfer(), quickTiming());
    w.show();
    auto* cbPort = child<QComboBox>(w, "cbPort");
    EXPECT_EQ(cbPort->count(), 0);
    EXPECT_TRUE(w.controller().portText().isEmpty());
    EXPECT_EQ(buttons(w), "--D");
    screenshot(w, "sirvex_no_ports");

    // Detect USB port looks again and applies the first port found.
    QTemporaryDir dir;
    vorna::sim::PseudoTerminal quiet(dir.path() + "/quiet3");
    BootloaderSim sim;
    routePorts({{3, quiet.devicePath()}, {12, sim.link()}});
    QSignalSpy texts(&w.controller(), &UploadController::textChanged);
    QTest::mouseClick(child(w, "bttDetect"), Qt::LeftButton);
    EXPECT_EQ(texts.value(0).value(1).toString(), "Detect USB");
    EXPECT_EQ(child<QLineEdit>(w, "tbStatus")->text(), "Connection Lost - Reset the instrument");
    ASSERT_EQ(cbPort->count(), 2);
    EXPECT_EQ(cbPort->itemText(1), "COM12");
    EXPECT_EQ(cbPort->currentText(), "COM3");
    EXPECT_EQ(child<QLabel>(w, "lbDevice")->text(), quiet.devicePath());

    // Choosing COM12 closes COM3 and listens on COM12, where the bootloader is.
    cbPort->setCurrentIndex(1);
    emit cbPort->activated(1);
    EXPECT_EQ(w.controller().portText(), "COM12");
    EXPECT_EQ(child<QLabel>(w, "lbDevice")->text(), sim.link());
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.controller().announced(); }, 3000));
    screenshot(w, "sirvex_com12");
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
    EXPECT_EQ(cbPort->count(), 1);
    EXPECT_EQ(cbPort->currentIndex(), -1); // this build selects nothing
    EXPECT_EQ(child<QLineEdit>(w, "tbFile")->text(), "Target File");
    EXPECT_FALSE(bar->isVisible());
    w.findChild<QAction*>("mnuAbout")->trigger();
    EXPECT_EQ(boxes.shown, QList<Box>{Box("Sirvex Ver. 1.5.U.O", QMessageBox::Information)});

    QTest::mouseClick(child(w, "bttOpen"), Qt::LeftButton);
    cbPort->setCurrentIndex(0);
    emit cbPort->activated(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.shown.size() == 2; }, 3000));
    EXPECT_EQ(boxes.shown.last(), Box("Invalid Target File", QMessageBox::Critical));
    screenshot(w, "tamrix_no_file");

    // Still listening: with a readable file the next announcement transfers.
    chosen = file.path;
    QTest::mouseClick(child(w, "bttOpen"), Qt::LeftButton);
    EXPECT_EQ(child<QLineEdit>(w, "tbFile")->text(), "firmware.hex");
    EXPECT_EQ(status->text(), "Turn On Instrument");
    screenshot(w, "tamrix_ready");
    Recorder rec(w.controller());
    QString statusDuring;
    bool controlsDuring = true;
    rec.onBar = [&](int value, int maximum) {
        if (maximum != 1672 || value != 1672) return;
        statusDuring = status->text();
        controlsDuring = cbPort->isEnabled() || child(w, "bttExit")->isEnabled();
        screenshot(w, "tamrix_programming");
    };
    QSignalSpy ended(&w, &UploaderWindow::programEnded);
    sim.powerCycle();
    ASSERT_TRUE(ended.wait(10000));
    EXPECT_EQ(ended.first().at(0).toInt(), 1);
    EXPECT_EQ(statusDuring, "Programming Device 100% Sent");
    EXPECT_FALSE(controlsDuring);
    EXPECT_EQ(boxes.shown.last(), Box("Download Completed!", QMessageBox::Warning));
    EXPECT_EQ(status->text(), "UpLoader End.");
    EXPECT_TRUE(bar->isVisible());
    screenshot(w, "tamrix_done");
    const SimMemory m = sim.stop();
    EXPECT_EQ(m.count.at("identifications"), 1);
    EXPECT_EQ(m.count.at("resets"), 1);
}
