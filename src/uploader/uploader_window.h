#pragma once

#include "port_descriptions.h"
#include "transfer_policy.h"
#include "upload_controller.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace vorna::uploader {

// The uploader's one dialog, laid out for its build: with Start, Restart, Detect USB port and a
// progress frame for the current build, with a status line and an about box for the earlier
// one. It shows what the controller reports and hands it the user's choices.
class UploaderWindow : public QDialog {
    Q_OBJECT
public:
    explicit UploaderWindow(const TransferPolicy& policy, TransferTiming timing = {},
                            QWidget* parent = nullptr);

    UploadController& controller() { return controller_; }

    // The file dialog behind "Open..."; returns the chosen path or empty when cancelled.
    using FileDialog = std::function<QString(QWidget* parent)>;
    void setFileDialog(FileDialog dialog) { fileDialog_ = std::move(dialog); }

signals:
    // The one-go build has finished its transfer; the program ends with this code.
    void programEnded(int exitCode);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildCurrentLayout();
    void buildEarlierLayout();
    QCheckBox* makeVerifyBox(QWidget* parent);
    void connectController();
    void gestione_bottoni();
    void showText(TextField field, const QString& text);
    void showMessage(const QString& text, MessageIcon icon);
    void fillPorts(const QStringList& names, int selected);
    void showDevice(int index);
    void bttOpen_Click();
    void showAbout();

    const TransferPolicy& policy_;
    UploadController controller_;
    FileDialog fileDialog_;
    PortDescriber ports_{QList<AdapterInfo>()};

    QComboBox* cbPort_ = nullptr;
    QPushButton* bttExit_ = nullptr;
    QPushButton* bttOpen_ = nullptr;
    QPushButton* bttStart_ = nullptr;
    QPushButton* bttRestart_ = nullptr;
    QPushButton* bttDetect_ = nullptr;
    QLineEdit* tbFile_ = nullptr;
    QCheckBox* chkVerify_ = nullptr;
    QLineEdit* tbStatus_ = nullptr;
    QLabel* lbStatus_ = nullptr;
    QLabel* lbDevice_ = nullptr;
    QGroupBox* frProgress_ = nullptr;
    QProgressBar* prbProgress_ = nullptr;
};

} // namespace vorna::uploader
