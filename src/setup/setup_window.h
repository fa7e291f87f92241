#pragma once

#include <QWidget>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vorna {

class AppContext;
struct ConfigForm;

// setup: the serial ports of the instrument and of the remote unit, and the instrument's own
// options. Option buttons are named by their index: obMetodo_0, obMisureDc_2, ...
class SetupWindow : public QWidget {
    Q_OBJECT
public:
    explicit SetupWindow(AppContext& ctx, QWidget* parent = nullptr);
    ~SetupWindow() override;

    void bttCollegaBase_Click();
    void bttCollegaRem_Click();
    void bttApplica_Click();
    void tbRadMin_LostFocus();
    void gestione_menu();
    void set_messages_setup();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Refused while a handler runs: an exchange pumps events, and the window must outlive it.
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load_setup();
    void build();
    void showStoredPort(QComboBox* list, int number);
    void showBaseState();
    void showRemoteState();
    ConfigForm formFromControls() const;

    AppContext& ctx_;
    QGroupBox* frInfoCom_ = nullptr;
    QLabel* lbComBase_ = nullptr;
    QComboBox* cbComBase_ = nullptr;
    QLabel* lbDevBase_ = nullptr;
    QLabel* lbComRemoto_ = nullptr;
    QComboBox* cbComRemoto_ = nullptr;
    QLabel* lbDevRemoto_ = nullptr;
    QLabel* lbBaudRate_ = nullptr;
    QLabel* lbWord_ = nullptr;
    QLabel* lbBitStop_ = nullptr;
    QLabel* lbParity_ = nullptr;
    QPushButton* bttCollegaBase_ = nullptr;
    QPushButton* bttCollegaRem_ = nullptr;

    QLabel* lbLogo_ = nullptr;
    QLineEdit* tbLogo_ = nullptr;
    QGroupBox* frMetCalc_ = nullptr;
    QGroupBox* frMisDc_ = nullptr;
    QGroupBox* frMisAc_ = nullptr;
    QButtonGroup* obMetodo_ = nullptr;
    QButtonGroup* obMisureDc_ = nullptr;
    QButtonGroup* obMisureAc_ = nullptr;
    QLabel* lbRadMin_ = nullptr;
    QLineEdit* tbRadMin_ = nullptr;
    QLabel* lbUnitRadMin_ = nullptr;
    QPushButton* bttApplica_ = nullptr;
    bool checkingRadMin_ = false;
    int running_ = 0; // handlers in progress
};

} // namespace vorna
