#include "uploader_window.h"

#include "port_names.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace vorna::uploader {

namespace {

QString fromLatin1(const char* text) {
    return QString::fromLatin1(text);
}

template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QString openTargetFile(QWidget* parent) {
    return QFileDialog::getOpenFileName(
        parent, QStringLiteral("Open Target File"), QString(),
        QStringLiteral("Hexadecimal files( *.hex ) (*.hex);;All Files( *.*) (*)"));
}

} // namespace

UploaderWindow::UploaderWindow(const TransferPolicy& policy, TransferTiming timing, QWidget* parent)
    : QDialog(parent), policy_(policy), controller_(policy, timing), fileDialog_(openTargetFile) {
    setObjectName(QString::fromLatin1(policy.image.programName));
    setWindowTitle(controller_.title());
    if (policy_.userStarts)
        buildCurrentLayout();
    else
        buildEarlierLayout();
    connectController();
    gestione_bottoni();
    controller_.refreshPorts();
}

void UploaderWindow::buildCurrentLayout() {
    auto* top = new QVBoxLayout(this);

    auto* portRow = new QHBoxLayout;
    portRow->addWidget(new QLabel(QStringLiteral("Serial Port"), this));
    cbPort_ = named(new QComboBox(this), "cbPort");
    cbPort_->setMinimumContentsLength(6);
    portRow->addWidget(cbPort_);
    lbDevice_ = named(new QLabel(this), "lbDevice");
    portRow->addWidget(lbDevice_, 1);
    bttDetect_ = named(new QPushButton(QStringLiteral("&Detect USB port"), this), "bttDetect");
    portRow->addWidget(bttDetect_);
    top->addLayout(portRow);

    auto* fileBox = named(new QGroupBox(QStringLiteral("Target File"), this), "frFile");
    auto* fileGrid = new QGridLayout(fileBox);
    tbFile_ = named(new QLineEdit(fileBox), "tbFile");
    tbFile_->setReadOnly(true);
    fileGrid->addWidget(tbFile_, 0, 0);
    bttOpen_ = named(new QPushButton(QStringLiteral("&Open..."), fileBox), "bttOpen");
    fileGrid->addWidget(bttOpen_, 0, 1);
    fileGrid->addWidget(makeVerifyBox(fileBox), 1, 0);
    fileGrid->setColumnStretch(0, 1);
    top->addWidget(fileBox);

    auto* statusBox =
        named(new QGroupBox(QStringLiteral("Connection Status"), this), "frConnection");
    auto* statusRow = new QHBoxLayout(statusBox);
    tbStatus_ = named(new QLineEdit(controller_.statusText(), statusBox), "tbStatus");
    tbStatus_->setReadOnly(true);
    statusRow->addWidget(tbStatus_);
    top->addWidget(statusBox);

    frProgress_ = named(new QGroupBox(controller_.progressText(), this), "frProgress");
    auto* progressRow = new QHBoxLayout(frProgress_);
    prbProgress_ = named(new QProgressBar(frProgress_), "prbProgress");
    prbProgress_->setTextVisible(false);
    prbProgress_->setValue(0);
    progressRow->addWidget(prbProgress_);
    top->addWidget(frProgress_);

    auto* buttons = new QHBoxLayout;
    bttStart_ = named(new QPushButton(QStringLiteral("&Start"), this), "bttStart");
    bttRestart_ = named(new QPushButton(QStringLiteral("&Restart"), this), "bttRestart");
    bttExit_ = named(new QPushButton(QStringLiteral("&Exit"), this), "bttExit");
    buttons->addWidget(bttStart_);
    buttons->addWidget(bttRestart_);
    buttons->addStretch(1);
    buttons->addWidget(bttExit_);
    top->addLayout(buttons);
    for (auto* b : {bttStart_, bttRestart_, bttExit_, bttDetect_, bttOpen_})
        b->setAutoDefault(false);

    connect(bttDetect_, &QPushButton::clicked, &controller_, &UploadController::detectPorts);
    connect(bttStart_, &QPushButton::clicked, this, [this] { controller_.start(); });
    connect(bttRestart_, &QPushButton::clicked, &controller_, &UploadController::restart);
    setFixedWidth(440);
}

void UploaderWindow::buildEarlierLayout() {
    auto* top = new QVBoxLayout(this);
    if (*policy_.aboutMenuText) {
        auto* menuBar = named(new QMenuBar(this), "mnuBar");
        auto* menu = menuBar->addMenu(QStringLiteral("&?"));
        auto* about = menu->addAction(fromLatin1(policy_.aboutMenuText));
        about->setObjectName(QStringLiteral("mnuAbout"));
        connect(about, &QAction::triggered, this, &UploaderWindow::showAbout);
        top->setMenuBar(menuBar);
    }
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Serial Port"), this), 0, 0);
    cbPort_ = named(new QComboBox(this), "cbPort");
    cbPort_->setMinimumContentsLength(8);
    grid->addWidget(cbPort_, 0, 1);
    lbDevice_ = named(new QLabel(this), "lbDevice");
    grid->addWidget(lbDevice_, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Target File"), this), 1, 0);
    tbFile_ = named(new QLineEdit(QStringLiteral("Target File"), this), "tbFile");
    tbFile_->setReadOnly(true);
    grid->addWidget(tbFile_, 1, 1);
    bttOpen_ = named(new QPushButton(QStringLiteral("&Open..."), this), "bttOpen");
    grid->addWidget(bttOpen_, 1, 2);
    grid->addWidget(makeVerifyBox(this), 2, 1);
    top->addLayout(grid);

    prbProgress_ = named(new QProgressBar(this), "prbProgress");
    prbProgress_->setTextVisible(false);
    prbProgress_->setVisible(false); // shown once a transfer starts
    top->addWidget(prbProgress_);
    lbStatus_ = named(new QLabel(controller_.statusText(), this), "lbStatus");
    lbStatus_->setFrameShape(QFrame::StyledPanel);
    top->addWidget(lbStatus_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    bttExit_ = named(new QPushButton(QStringLiteral("E&xit"), this), "bttExit");
    bttExit_->setAutoDefault(false);
    bttOpen_->setAutoDefault(false);
    buttons->addWidget(bttExit_);
    top->addLayout(buttons);
    setFixedWidth(400);
}

QCheckBox* UploaderWindow::makeVerifyBox(QWidget* parent) {
    chkVerify_ = named(new QCheckBox(QStringLiteral("Verify"), parent), "chkVerify");
    chkVerify_->setChecked(controller_.verify());
    connect(chkVerify_, &QCheckBox::toggled, &controller_, &UploadController::setVerify);
    return chkVerify_;
}

void UploaderWindow::connectController() {
    connect(bttExit_, &QPushButton::clicked, this, &QDialog::reject);
    connect(bttOpen_, &QPushButton::clicked, this, &UploaderWindow::bttOpen_Click);
    // Which device a port number means (the numbering maps onto the system's devices).
    connect(cbPort_, &QComboBox::currentIndexChanged, this, &UploaderWindow::showDevice);
    connect(cbPort_, &QComboBox::activated, this,
            [this](int index) { controller_.choosePort(cbPort_->itemData(index).toString()); });
    // Listening everywhere, the device line says where the instrument was heard.
    connect(&controller_, &UploadController::portFound, this, [this](const QString& port) {
        const PortDescription d = ports_.describe(portNumberFromName(port));
        lbDevice_->setText(d.number > 0 ? d.text(port) : port);
        lbDevice_->setToolTip(d.number > 0 ? d.toolTip(port) : port);
    });

    connect(&controller_, &UploadController::textChanged, this, &UploaderWindow::showText);
    connect(&controller_, &UploadController::titleChanged, this, &QWidget::setWindowTitle);
    connect(&controller_, &UploadController::barChanged, this, [this](int value, int maximum) {
        prbProgress_->setVisible(true);
        prbProgress_->setRange(0, std::max(maximum, 1));
        prbProgress_->setValue(value);
    });
    connect(&controller_, &UploadController::messageRequested, this, &UploaderWindow::showMessage);
    connect(&controller_, &UploadController::buttonsChanged, this,
            &UploaderWindow::gestione_bottoni);
    connect(&controller_, &UploadController::portsChanged, this, &UploaderWindow::fillPorts);
    connect(&controller_, &UploadController::repaintRequested, this, [this] { repaint(); });
    // During a transfer the window stays painted but takes no clicks or keys.
    connect(&controller_, &UploadController::waiting, this,
            [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    connect(&controller_, &UploadController::transferFinished, this, [this](bool) {
        QTimer::singleShot(0, this, [this] { emit programEnded(policy_.exitCodeAfterTransfer); });
    });
}

void UploaderWindow::gestione_bottoni() {
    const bool busy = controller_.busy();
    if (bttStart_) bttStart_->setEnabled(controller_.startEnabled());
    if (bttRestart_) bttRestart_->setEnabled(controller_.restartEnabled());
    if (bttDetect_) bttDetect_->setEnabled(controller_.detectEnabled());
    bttOpen_->setEnabled(!busy);
    chkVerify_->setEnabled(!busy);
    cbPort_->setEnabled(!busy);
    bttExit_->setEnabled(!busy);
}

void UploaderWindow::showText(TextField field, const QString& text) {
    if (field == TextField::Progress && frProgress_)
        frProgress_->setTitle(text);
    else if (tbStatus_)
        tbStatus_->setText(text);
    else if (lbStatus_)
        lbStatus_->setText(text);
}

void UploaderWindow::showMessage(const QString& text, MessageIcon icon) {
    const auto kind = icon == MessageIcon::Error         ? QMessageBox::Critical
                      : icon == MessageIcon::Exclamation ? QMessageBox::Warning
                                                         : QMessageBox::Information;
    QMessageBox box(kind, windowTitle(), text, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("msgBox"));
    box.exec();
}

void UploaderWindow::fillPorts(const QStringList& names, int selected) {
    const QSignalBlocker quiet(cbPort_);
    ports_ = PortDescriber();
    cbPort_->clear();
    // The list's own entries come after the one that listens everywhere.
    cbPort_->addItem(QString::fromLatin1(kAnyPortText), QString::fromLatin1(kAnyPort));
    for (const QString& name : names) {
        cbPort_->addItem(name, name);
        cbPort_->setItemData(cbPort_->count() - 1,
                             ports_.describe(portNumberFromName(name)).toolTip(name),
                             Qt::ToolTipRole);
    }
    const int index = selected < 0 ? -1 : selected + 1;
    cbPort_->setCurrentIndex(index);
    showDevice(index);
}

void UploaderWindow::showDevice(int index) {
    const QString port = index < 1 ? QString() : cbPort_->itemText(index);
    const PortDescription d = ports_.describe(portNumberFromName(port));
    lbDevice_->setText(d.number > 0 ? d.text(port) : port);
    lbDevice_->setToolTip(d.number > 0 ? d.toolTip(port) : port);
}

void UploaderWindow::bttOpen_Click() {
    const QString path = fileDialog_ ? fileDialog_(this) : QString();
    if (path.isEmpty()) return; // cancelled
    tbFile_->setText(policy_.fileFieldShowsPath ? path : QFileInfo(path).fileName());
    controller_.chooseFile(path);
    gestione_bottoni();
}

void UploaderWindow::showAbout() {
    QMessageBox box(QMessageBox::Information, QString::fromLatin1(policy_.image.programName),
                    fromLatin1(policy_.aboutText), QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("msgAbout"));
    box.exec();
}

void UploaderWindow::closeEvent(QCloseEvent* event) {
    // A transfer runs to its end (every wait in it is bounded); leaving half-way would leave
    // the instrument half-programmed.
    if (controller_.busy())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

} // namespace vorna::uploader
