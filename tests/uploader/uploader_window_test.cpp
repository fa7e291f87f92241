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

// Answers every message box that opens, keeping its text and icon.
class MessageBoxes {
public:
    MessageBoxes() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box->isHidden()) return;
            texts << box->text();
            icons << box->icon();
            box->accept();
        });
        timer_.start();
    }
    QStringList texts;
    QList<QMessageBox::Icon> icons;

private:
    QTimer timer_;
};

void screenshot(QWidget& w, const char* name) {
    w.grab().save(vorna::test::screenshotDir() + "/" + QString::fromLatin1(name) + ".png");
}

template <typename T> T* child(QWidget& w, const char* name) {
    return w.findChild<T*>(QString::fromLatin1(name));
}

struct Buttons {
    bool start, restart, detect;
    bool operator==(const Buttons&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Buttons& b) {
    return os << "{start " << b.start << ", restart " << b.restart << ", detect " << b.detect
              << "}";
}

Buttons buttons(QWidget& w) {
    return {child<QPushButton>(w, "bttStart")->isEnabled(),
            child<QPushButton>(w, "bttRestart")->isEnabled(),
            child<QPushButton>(w, "bttDetect")->isEnabled()};
}

struct Files {
    Files() {
        hexPath = dir.path() + "/firmware.hex";
        writeFile(hexPath, makeFirmware(true).lines);
    }
    QTemporaryDir dir;
    QString hexPath;
};

} // namespace

TEST(SirvexWindow, ButtonStatesThroughAWholeTransferAndRestart) {
    Files files;
    BootloaderSim sim({"--reannounce"});
    ASSERT_TRUE(sim.ready());
    routePorts({{1, sim.link()}});
    MessageBoxes boxes;

    UploaderWindow w(sirvexTransfer(), quickTiming());
    w.setFileDialog([&](QWidget*) { return files.hexPath; });
    w.show();
    auto* status = child<QLineEdit>(w, "tbStatus");
    auto* frame = child<QGroupBox>(w, "frProgress");
    auto* bar = child<QProgressBar>(w, "prbProgress");
    auto* cbPort = child<QComboBox>(w, "cbPort");
    EXPECT_EQ(w.windowTitle(), "Sirvex 3.0");
    ASSERT_EQ(cbPort->count(), 1);
    EXPECT_EQ(cbPort->currentText(), "COM1");
    EXPECT_EQ(status->text(), "Connection Lost - Reset the instrument");
    EXPECT_EQ(frame->title(), "Progress");
    EXPECT_EQ(buttons(w), (Buttons{false, false, true}));
    screenshot(w, "sirvex_waiting");

    // The first port was applied at once, so the bootloader's announcement is heard.
    ASSERT_TRUE(waitUntil([&] { return child<QPushButton>(w, "bttRestart")->isEnabled(); }, 3000));
    EXPECT_EQ(status->text(), "Instrument On-Line");
    EXPECT_EQ(buttons(w), (Buttons{false, true, false}));
    QTest::mouseClick(child<QPushButton>(w, "bttOpen"), Qt::LeftButton);
    EXPECT_EQ(child<QLineEdit>(w, "tbFile")->text(), files.hexPath);
    EXPECT_EQ(buttons(w), (Buttons{true, true, false}));
    screenshot(w, "sirvex_announced");

    Recorder rec(w.controller());
    std::optional<Buttons> during;
    bool othersDuring = true;
    QString frameDuring, titleDuring;
    rec.onBar = [&](int value, int maximum) {
        if (maximum != 1672 || value != 836) return;
        during = buttons(w);
        othersDuring = child<QPushButton>(w, "bttExit")->isEnabled() ||
                       child<QPushButton>(w, "bttOpen")->isEnabled() || cbPort->isEnabled();
        frameDuring = frame->title();
        titleDuring = w.windowTitle();
        EXPECT_EQ(bar->value(), 836);
        screenshot(w, "sirvex_programming");
    };
    QTest::mouseClick(child<QPushButton>(w, "bttStart"), Qt::LeftButton);
    ASSERT_TRUE(during.has_value());
    EXPECT_EQ(*during, (Buttons{false, false, false}));
    EXPECT_FALSE(othersDuring);
    EXPECT_EQ(frameDuring, "Progress: Programming device 50 %");
    EXPECT_EQ(titleDuring, "Sirvex 3.0 - 50% Sent");

    EXPECT_EQ(status->text(), "Instrument On-Line - Restart");
    EXPECT_EQ(frame->title(), "Progress");
    EXPECT_EQ(w.windowTitle(), "Sirvex 3.0");
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(buttons(w), (Buttons{false, true, false}));
    EXPECT_TRUE(boxes.texts.isEmpty());
    screenshot(w, "sirvex_written");

    QTest::mouseClick(child<QPushButton>(w, "bttRestart"), Qt::LeftButton);
    ASSERT_TRUE(sim.waitForLine("reset", 2000));
    EXPECT_EQ(status->text(), "Connection Lost - Reset the instrument");
    EXPECT_EQ(buttons(w), (Buttons{false, false, true}));
    // The restarted instrument's bootloader announces itself again: a new round can begin.
    ASSERT_TRUE(waitUntil([&] { return child<QPushButton>(w, "bttRestart")->isEnabled(); }, 3000));
    EXPECT_EQ(buttons(w), (Buttons{true, true, false}));

    QSignalSpy rejected(&w, &QDialog::rejected);
    QTest::mouseClick(child<QPushButton>(w, "bttExit"), Qt::LeftButton);
    EXPECT_EQ(rejected.count(), 1);
    EXPECT_EQ(sim.stop().program.size(), 3u);
}

TEST(SirvexWindow, FailedIdentificationLeavesOnlyExit) {
    Files files;
    BootloaderSim sim({"--device-id", "0x00C1"});
    routePorts({{1, sim.link()}});
    MessageBoxes boxes;
    UploaderWindow w(sirvexTransfer(), quickTiming());
    w.setFileDialog([&](QWidget*) { return files.hexPath; });
    w.show();
    QTest::mouseClick(child<QPushButton>(w, "bttOpen"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return child<QPushButton>(w, "bttStart")->isEnabled(); }, 3000));
    QTest::mouseClick(child<QPushButton>(w, "bttStart"), Qt::LeftButton);
    EXPECT_EQ(boxes.texts, QStringList{"Procedure Failed.\nPress Exit and Repeat."});
    EXPECT_EQ(boxes.icons, QList<QMessageBox::Icon>{QMessageBox::Critical});
    EXPECT_EQ(buttons(w), (Buttons{false, false, false}));
    EXPECT_TRUE(child<QPushButton>(w, "bttExit")->isEnabled());
    screenshot(w, "sirvex_procedure_failed");
    EXPECT_EQ(sim.stop().identifications, 10);
}

TEST(SirvexWindow, ListsOnlyExistingPortsAndSwitchesBetweenThem) {
    QTemporaryDir dir;
    vorna::sim::PseudoTerminal quiet(dir.path() + "/quiet3");
    vorna::sim::PseudoTerminal other(dir.path() + "/quiet5");
    BootloaderSim sim;
    routePorts({{3, quiet.devicePath()}, {12, sim.link()}});
    UploaderWindow w(sirvexTransfer(), quickTiming());
    w.show();
    auto* cbPort = child<QComboBox>(w, "cbPort");
    EXPECT_EQ(cbPort->count(), 2);
    EXPECT_EQ(cbPort->itemText(0), "COM3");
    EXPECT_EQ(cbPort->itemText(1), "COM12");
    EXPECT_EQ(cbPort->currentText(), "COM3");
    EXPECT_EQ(w.controller().portText(), "COM3");
    EXPECT_EQ(child<QLabel>(w, "lbDevice")->text(), quiet.devicePath());

    // Detect USB port looks again: a new device appears, the first port is applied again.
    routePorts({{3, quiet.devicePath()}, {5, other.devicePath()}, {12, sim.link()}});
    QSignalSpy texts(&w.controller(), &UploadController::textChanged);
    QTest::mouseClick(child<QPushButton>(w, "bttDetect"), Qt::LeftButton);
    EXPECT_EQ(cbPort->count(), 3);
    ASSERT_GE(texts.count(), 2);
    EXPECT_EQ(texts.first().at(1).toString(), "Detect USB");
    EXPECT_EQ(child<QLineEdit>(w, "tbStatus")->text(), "Connection Lost - Reset the instrument");

    // Choosing COM12 closes COM3 and listens on COM12, where the bootloader is.
    cbPort->setFocus();
    cbPort->setCurrentIndex(2);
    emit cbPort->activated(2);
    EXPECT_EQ(w.controller().portText(), "COM12");
    EXPECT_EQ(child<QLabel>(w, "lbDevice")->text(), sim.link());
    EXPECT_TRUE(waitUntil([&] { return w.controller().announced(); }, 3000));
    screenshot(w, "sirvex_com12");
}

TEST(SirvexWindow, WithoutAnySerialPortNothingIsConfigured) {
    routePorts({});
    UploaderWindow w(sirvexTransfer(), quickTiming());
    w.show();
    EXPECT_EQ(child<QComboBox>(w, "cbPort")->count(), 0);
    EXPECT_TRUE(w.controller().portText().isEmpty());
    EXPECT_EQ(child<QLineEdit>(w, "tbStatus")->text(), "Connection Lost - Reset the instrument");
    EXPECT_EQ(buttons(w), (Buttons{false, false, true}));
    screenshot(w, "sirvex_no_ports");
}

TEST(TamrixWindow, TransfersOnTheAnnouncementAndEndsWithExitCodeOne) {
    Files files;
    BootloaderSim sim;
    routePorts({{2, sim.link()}});
    MessageBoxes boxes;
    UploaderWindow w(tamrixTransfer(), quickTiming());
    w.setFileDialog([&](QWidget*) { return files.hexPath; });
    w.show();
    EXPECT_EQ(w.windowTitle(), "Sirvex 2.1.U.O.");
    EXPECT_EQ(child<QPushButton>(w, "bttStart"), nullptr);
    auto* cbPort = child<QComboBox>(w, "cbPort");
    auto* status = child<QLabel>(w, "lbStatus");
    auto* bar = child<QProgressBar>(w, "prbProgress");
    EXPECT_EQ(cbPort->count(), 1);
    EXPECT_EQ(cbPort->currentIndex(), -1); // this build selects nothing
    EXPECT_EQ(child<QLineEdit>(w, "tbFile")->text(), "Target File");
    EXPECT_FALSE(bar->isVisible());

    w.findChild<QAction*>("mnuAbout")->trigger();
    EXPECT_EQ(boxes.texts, QStringList{"Sirvex Ver. 1.5.U.O"});
    boxes.texts.clear();
    boxes.icons.clear();

    QTest::mouseClick(child<QPushButton>(w, "bttOpen"), Qt::LeftButton);
    EXPECT_EQ(child<QLineEdit>(w, "tbFile")->text(), "firmware.hex");
    EXPECT_EQ(status->text(), "Turn On Instrument");
    screenshot(w, "tamrix_ready");

    Recorder rec(w.controller());
    QString statusDuring;
    bool controlsDuring = true;
    rec.onBar = [&](int value, int maximum) {
        if (maximum != 1672 || value != 1672) return;
        statusDuring = status->text();
        controlsDuring = cbPort->isEnabled() || child<QPushButton>(w, "bttExit")->isEnabled();
        screenshot(w, "tamrix_programming");
    };
    QSignalSpy ended(&w, &UploaderWindow::programEnded);
    cbPort->setCurrentIndex(0);
    emit cbPort->activated(0);
    ASSERT_TRUE(ended.wait(10000));
    EXPECT_EQ(ended.first().at(0).toInt(), 1);
    EXPECT_EQ(statusDuring, "Programming Device 100% Sent");
    EXPECT_FALSE(controlsDuring);
    EXPECT_EQ(boxes.texts, QStringList{"Download Completed!"});
    EXPECT_EQ(boxes.icons, QList<QMessageBox::Icon>{QMessageBox::Warning});
    EXPECT_EQ(status->text(), "UpLoader End.");
    EXPECT_TRUE(bar->isVisible());
    screenshot(w, "tamrix_done");
    EXPECT_EQ(sim.stop().resets, 1);
}

TEST(TamrixWindow, AnAnnouncementBeforeAFileIsChosenIsRefused) {
    BootloaderSim sim;
    routePorts({{2, sim.link()}});
    MessageBoxes boxes;
    UploaderWindow w(tamrixTransfer(), quickTiming());
    w.show();
    auto* cbPort = child<QComboBox>(w, "cbPort");
    cbPort->setCurrentIndex(0);
    emit cbPort->activated(0);
    ASSERT_TRUE(waitUntil([&] { return !boxes.texts.isEmpty(); }, 3000));
    EXPECT_EQ(boxes.texts, QStringList{"Invalid Target File"});
    EXPECT_EQ(boxes.icons, QList<QMessageBox::Icon>{QMessageBox::Critical});
    screenshot(w, "tamrix_no_file");
    EXPECT_EQ(sim.stop().identifications, 0);
}
