#pragma once

#include "child_window.h"
#include "port_descriptions.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vorna {

struct ConfigForm;
enum class Unit;

// setup: the serial ports of the instrument and of the remote unit, and the instrument's own
// options. Option buttons are named by their index: obMetodo_0, obMisureDc_2, ...
class SetupWindow : public ChildWindow {
    Q_OBJECT
public:
    explicit SetupWindow(AppContext& ctx, QWidget* parent = nullptr);

    void bttCollegaBase_Click();
    void bttCollegaRem_Click();
    void bttCerca_Click();
    void bttApplica_Click();
    void tbRadMin_LostFocus();
    void gestione_menu();
    void set_messages_setup();

    void set_messages() override { set_messages_setup(); }
    void linkChanged() override;

private:
    void Form_Load_setup();
    void build();
    void showStoredPort(QComboBox* list, int number);
    // Marks the numbers whose device exists and describes each in its tool tip.
    void describePorts();
    void showDevice(QComboBox* list);
    void showBaseState();
    void showRemoteState();
    // Both connect buttons: the unit's link goes down when up, otherwise up on the chosen port.
    void connectUnit(Unit unit);
    ConfigForm formFromControls() const;

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
    QPushButton* bttCerca_ = nullptr;
    PortDescriber ports_{QList<AdapterInfo>()};

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
};

} // namespace vorna
