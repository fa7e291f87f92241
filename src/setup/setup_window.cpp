#include "setup_window.h"

#include "app_context.h"
#include "error_trap.h"
#include "focus_leave.h"
#include "instrument_finder.h"
#include "instrument_settings.h"
#include "link.h"
#include "option_group.h"
#include "port_selection.h"
#include "typing_limit.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vorna {

namespace {

constexpr int kWidthTwips = 6495;
constexpr int kHeightTwips = 7995;
constexpr int kLogoMaxLength = 50;

// Option buttons in a row in their frame.
QButtonGroup* optionRow(QGroupBox* frame, const char* prefix, const QStringList& captions) {
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(8, 4, 8, 4);
    QButtonGroup* group =
        optionGroup(frame, prefix, captions, [&](QRadioButton* b, int) { row->addWidget(b); });
    row->addStretch(1);
    return group;
}

void select(QButtonGroup* group, int index) {
    // With none selected the group must be briefly non-exclusive to clear the checked button.
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons())
        b->setChecked(group->id(b) == index);
    group->setExclusive(true);
}

} // namespace

SetupWindow::SetupWindow(AppContext& ctx, QWidget* parent)
    : ChildWindow(ctx, QStringLiteral("setup"), 1, kWidthTwips, kHeightTwips, parent) {
    build();
    Form_Load_setup();
}

void SetupWindow::build() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setSpacing(6);

    frInfoCom_ = named(new QGroupBox(this), "frInfoCom");
    auto* ports = new QGridLayout(frInfoCom_);
    ports->setContentsMargins(8, 6, 8, 6);
    ports->setVerticalSpacing(4);
    lbComBase_ = named(new QLabel(frInfoCom_), "lbComBase");
    cbComBase_ = named(new QComboBox(frInfoCom_), "cbComBase");
    lbDevBase_ = named(new QLabel(frInfoCom_), "lbDevBase");
    lbComRemoto_ = named(new QLabel(frInfoCom_), "lbComRemoto");
    cbComRemoto_ = named(new QComboBox(frInfoCom_), "cbComRemoto");
    lbDevRemoto_ = named(new QLabel(frInfoCom_), "lbDevRemoto");
    for (QLabel* dev : {lbDevBase_, lbDevRemoto_}) {
        dev->setTextInteractionFlags(Qt::TextSelectableByMouse);
        dev->setStyleSheet(QStringLiteral("color: #505050; font-family: monospace;"));
        dev->setMinimumWidth(1);
    }
    for (QComboBox* cb : {cbComBase_, cbComRemoto_})
        cb->setMaxVisibleItems(15);
    lbBaudRate_ = named(new QLabel(frInfoCom_), "lbBaudRate");
    lbWord_ = named(new QLabel(frInfoCom_), "lbWord");
    lbBitStop_ = named(new QLabel(frInfoCom_), "lbBitStop");
    lbParity_ = named(new QLabel(frInfoCom_), "lbParity");
    bttCollegaBase_ = named(new QPushButton(frInfoCom_), "bttCollegaBase");
    bttCollegaRem_ = named(new QPushButton(frInfoCom_), "bttCollegaRem");
    bttCerca_ = named(new QPushButton(frInfoCom_), "bttCerca");
    ports->addWidget(lbComBase_, 0, 0);
    ports->addWidget(cbComBase_, 0, 1);
    ports->addWidget(lbDevBase_, 1, 0, 1, 2);
    ports->addWidget(lbComRemoto_, 2, 0);
    ports->addWidget(cbComRemoto_, 2, 1);
    ports->addWidget(lbDevRemoto_, 3, 0, 1, 2);
    ports->addWidget(lbBaudRate_, 4, 0);
    ports->addWidget(lbWord_, 4, 1);
    ports->addWidget(lbBitStop_, 5, 0);
    ports->addWidget(lbParity_, 5, 1);
    auto* baseButtons = new QHBoxLayout;
    baseButtons->addWidget(bttCollegaBase_, 1);
    baseButtons->addWidget(bttCerca_);
    ports->addLayout(baseButtons, 6, 0);
    ports->addWidget(bttCollegaRem_, 6, 1);
    ports->setColumnStretch(0, 1);
    ports->setColumnStretch(1, 1);
    outer->addWidget(frInfoCom_);

    auto* logoRow = new QHBoxLayout;
    lbLogo_ = named(new QLabel(QStringLiteral("Logo"), this), "lbLogo");
    tbLogo_ = named(new QLineEdit(this), "tbLogo");
    limitTyping(tbLogo_, kLogoMaxLength);
    logoRow->addWidget(lbLogo_);
    logoRow->addWidget(tbLogo_, 1);
    outer->addLayout(logoRow);

    frMetCalc_ = named(new QGroupBox(this), "frMetCalc");
    obMetodo_ = optionRow(frMetCalc_, "obMetodo", {QString(), QString()});
    frMisDc_ = named(new QGroupBox(this), "frMisDc");
    const QStringList lines{QStringLiteral("1"), QStringLiteral("1+2"), QStringLiteral("1+2+3")};
    obMisureDc_ = optionRow(frMisDc_, "obMisureDc", lines);
    frMisAc_ = named(new QGroupBox(this), "frMisAc");
    obMisureAc_ = optionRow(frMisAc_, "obMisureAc", lines);
    outer->addWidget(frMetCalc_);
    outer->addWidget(frMisDc_);
    outer->addWidget(frMisAc_);

    auto* radRow = new QHBoxLayout;
    lbRadMin_ = named(new QLabel(this), "lbRadMin");
    tbRadMin_ = named(new QLineEdit(this), "tbRadMin");
    tbRadMin_->setMaximumWidth(90);
    onFocusLeft(tbRadMin_, this, [this] { tbRadMin_LostFocus(); });
    lbUnitRadMin_ = named(new QLabel(QStringLiteral("W/m2"), this), "lbUnitRadMin");
    radRow->addWidget(lbRadMin_);
    radRow->addWidget(tbRadMin_);
    radRow->addWidget(lbUnitRadMin_);
    radRow->addStretch(1);
    outer->addLayout(radRow);

    bttApplica_ = named(new QPushButton(this), "bttApplica");
    auto* applyRow = new QHBoxLayout;
    applyRow->addStretch(1);
    applyRow->addWidget(bttApplica_);
    outer->addLayout(applyRow);
    outer->addStretch(1);

    connect(bttCollegaBase_, &QPushButton::clicked, this, &SetupWindow::bttCollegaBase_Click);
    connect(bttCollegaRem_, &QPushButton::clicked, this, &SetupWindow::bttCollegaRem_Click);
    connect(bttCerca_, &QPushButton::clicked, this, &SetupWindow::bttCerca_Click);
    connect(bttApplica_, &QPushButton::clicked, this, &SetupWindow::bttApplica_Click);
    for (QComboBox* cb : {cbComBase_, cbComRemoto_})
        connect(cb, &QComboBox::currentTextChanged, this, [this, cb] { showDevice(cb); });
}

void SetupWindow::Form_Load_setup() {
    set_messages_setup();
    guard(ctx_, QStringLiteral("Form_Load_setup"), [&](TrapScope& s) {
        const Link& l = ctx_.link;
        s.step(1);
        cbComBase_->clear();
        cbComRemoto_->clear();
        cbComBase_->addItems(port_list_texts());
        cbComRemoto_->addItems(port_list_texts());
        describePorts();
        s.step(2);
        showStoredPort(cbComBase_, stored_base_port(ctx_));
        showStoredPort(cbComRemoto_, stored_remote_port(ctx_));
        showBaseState();
        showRemoteState();
        s.step(3);
        if (l.baseLinkUp() && !leggi_impostazioni_strum(ctx_)) {
            // The failure is logged by the routine's name alone.
            s.message.clear();
            s.falseIsFailure = true;
            return false;
        }
        s.step(5);
        gestione_menu();
        return true;
    });
}

void SetupWindow::set_messages_setup() {
    guard(ctx_, QStringLiteral("set_messages_setup"), [&] {
        setWindowTitle(ctx_.msg(168));
        frMetCalc_->setTitle(ctx_.msg(160));
        obMetodo_->button(0)->setText(ctx_.msg(57));
        obMetodo_->button(1)->setText(ctx_.msg(56));
        frMisDc_->setTitle(ctx_.msg(94));
        frMisAc_->setTitle(ctx_.msg(95));
        lbRadMin_->setText(ctx_.msg(177));
        bttApplica_->setText(ctx_.msg(178));
        frInfoCom_->setTitle(ctx_.msg(34));
        lbComBase_->setText(ctx_.msg(172));
        lbComRemoto_->setText(ctx_.msg(170));
        lbBaudRate_->setText(ctx_.msg(41) + QStringLiteral(": 38400"));
        lbWord_->setText(ctx_.msg(42) + QStringLiteral(": 8 bit"));
        lbBitStop_->setText(ctx_.msg(43) + QStringLiteral(": 1 bit"));
        lbParity_->setText(ctx_.msg(44));
        bttCerca_->setText(ctx_.text(QStringLiteral("ports.find")));
        showBaseState();
        showRemoteState();
        return true;
    });
}

void SetupWindow::showStoredPort(QComboBox* list, int number) {
    // A stored number outside the list shows no choice; connecting then warns about port 0.
    list->setCurrentIndex(list->findText(QString::number(number)));
    showDevice(list);
}

void SetupWindow::describePorts() {
    ports_ = PortDescriber();
    QFont bold = cbComBase_->font();
    bold.setBold(true);
    for (int i = 0; i < cbComBase_->count(); ++i) {
        const QString label = cbComBase_->itemText(i);
        const PortDescription d = ports_.describe(leading_port_number(label));
        for (QComboBox* cb : {cbComBase_, cbComRemoto_}) {
            cb->setItemData(i, d.toolTip(label), Qt::ToolTipRole);
            cb->setItemData(i, d.exists ? QVariant(bold) : QVariant(), Qt::FontRole);
        }
    }
    showDevice(cbComBase_);
    showDevice(cbComRemoto_);
}

void SetupWindow::showDevice(QComboBox* list) {
    const QString label = list->currentText();
    const PortDescription d = ports_.describe(leading_port_number(label));
    QLabel* line = list == cbComBase_ ? lbDevBase_ : lbDevRemoto_;
    line->setText(d.number > 0 ? d.text(label) : QString());
    line->setToolTip(d.number > 0 ? d.toolTip(label) : QString());
}

void SetupWindow::showBaseState() {
    const bool up = ctx_.link.baseLinkUp();
    bttCollegaBase_->setText(ctx_.msg(up ? 184 : 183));
    cbComBase_->setEnabled(!up);
    bttCerca_->setEnabled(!up);
}

void SetupWindow::showRemoteState() {
    const bool up = ctx_.link.remoteLinkUp();
    bttCollegaRem_->setText(ctx_.msg(up ? 175 : 174));
    cbComRemoto_->setEnabled(!up);
}

void SetupWindow::linkChanged() {
    showBaseState();
    showRemoteState();
    gestione_menu();
}

void SetupWindow::bttCollegaBase_Click() {
    connectUnit(Unit::Base);
}

void SetupWindow::bttCollegaRem_Click() {
    connectUnit(Unit::Remote);
}

void SetupWindow::bttCerca_Click() {
    handle([&] {
        if (ctx_.link.baseLinkUp()) return;
        // The handler's scope refuses a second search; the button shows it cannot start one.
        bttCerca_->setEnabled(false);
        describePorts(); // an adapter plugged in since the window opened
        const FindResult r = find_instrument(ctx_, QStringLiteral("bttCerca_Click"));
        showBaseState();
        if (r.found == 0) {
            ctx_.prompts.warning(none_answered_text(ctx_, r.tried), QStringLiteral("Error"));
            return;
        }
        cbComBase_->setCurrentIndex(cbComBase_->findText(QString::number(r.found)));
        nested([&] { bttCollegaBase_Click(); });
    });
}

void SetupWindow::connectUnit(Unit unit) {
    handle([&] {
        const bool base = unit == Unit::Base;
        QComboBox* list = base ? cbComBase_ : cbComRemoto_;
        guard(ctx_,
              base ? QStringLiteral("bttCollegaBase_Click") : QStringLiteral("bttCollegaRem_Click"),
              [&] {
                  // The controls follow the link when the handler ends (the base refreshes them).
                  if (toggleLink(ctx_, unit, list->currentText()) == PortCheck::Missing)
                      showStoredPort(list,
                                     base ? stored_base_port(ctx_) : stored_remote_port(ctx_));
              });
    });
}

void SetupWindow::gestione_menu() {
    guard(ctx_, QStringLiteral("gestione_menu"), [&] {
        const ConfigForm f = config_from_settings(ctx_);
        tbLogo_->setText(f.logo);
        tbRadMin_->setText(f.radMin);
        select(obMetodo_, f.metodo);
        select(obMisureDc_, f.misureDc);
        select(obMisureAc_, f.misureAc);
        for (QWidget* w : {static_cast<QWidget*>(tbLogo_), static_cast<QWidget*>(tbRadMin_),
                           static_cast<QWidget*>(bttApplica_)})
            w->setEnabled(f.enabled);
        for (QButtonGroup* g : {obMetodo_, obMisureDc_, obMisureAc_})
            for (QAbstractButton* b : g->buttons())
                b->setEnabled(f.enabled);
        return true;
    });
}

ConfigForm SetupWindow::formFromControls() const {
    ConfigForm f;
    f.enabled = true;
    f.logo = tbLogo_->text();
    f.metodo = obMetodo_->checkedId();
    f.misureDc = obMisureDc_->checkedId();
    f.misureAc = obMisureAc_->checkedId();
    f.radMin = tbRadMin_->text();
    return f;
}

void SetupWindow::bttApplica_Click() {
    handle([&] {
        // A value typed and applied without leaving the field gets the same check first.
        if (check_rad_min(ctx_, tbRadMin_->text()) != RadMinCheck::Ok) {
            nested([&] { tbRadMin_LostFocus(); });
            return;
        }
        applica_impostazioni(ctx_, formFromControls());
    });
}

void SetupWindow::tbRadMin_LostFocus() {
    // Apply calls it directly, inside its own handler.
    handle([&] {
        if (checkingRadMin_) return; // the warning box itself takes the focus
        checkingRadMin_ = true;
        guard(ctx_, QStringLiteral("tbRadMin_LostFocus"), [&] {
            if (check_rad_min(ctx_, tbRadMin_->text()) == RadMinCheck::InvalidFormat) {
                ctx_.prompts.warning(
                    rad_min_warning(ctx_, lbRadMin_->text(), RadMinCheck::InvalidFormat),
                    QStringLiteral("Error"));
                tbRadMin_->setText(stored_rad_min(ctx_));
            }
            if (check_rad_min(ctx_, tbRadMin_->text()) == RadMinCheck::OutOfLimit) {
                ctx_.prompts.warning(
                    rad_min_warning(ctx_, lbRadMin_->text(), RadMinCheck::OutOfLimit),
                    QStringLiteral("Error"));
                tbRadMin_->setText(stored_rad_min(ctx_));
            }
            return true;
        });
        checkingRadMin_ = false;
    });
}

} // namespace vorna
