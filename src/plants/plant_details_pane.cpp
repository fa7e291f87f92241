#include "plant_details_pane.h"

#include "app_context.h"
#include "records.h"
#include "typing_limit.h"
#include "validation.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace vorna {

namespace {

// The typing limits of the text boxes, as the instrument's memory holds them.
constexpr int kNameLength = 40, kStreetLength = 40, kNumberLength = 5, kCapLength = 5,
              kTownLength = 30, kTaxCodeLength = 16;

double numberOf(const QString& text) {
    double v = 0;
    return parse_number(text, v) ? v : 0.0;
}

} // namespace

PlantDetailsPane::PlantDetailsPane(AppContext& ctx, NumberFormat format, QWidget* parent)
    : QWidget(parent), ctx_(ctx), format_(format) {
    setObjectName(QStringLiteral("plantDetails"));
    lbPot_ = label("lbPot");
    tbPot_ = box("tbPot", 0);
    lbPotInv_ = label("lbPotInv");
    obPotInv_ = new QButtonGroup(this);
    auto* options = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        auto* b =
            new QRadioButton(i == 0 ? QStringLiteral("<= 20 kW") : QStringLiteral("> 20 kW"), this);
        b->setObjectName(QStringLiteral("obPotInv_") + QString::number(i));
        obPotInv_->addButton(b, i);
        options->addWidget(b);
    }
    options->addStretch(1);
    lbNoct_ = label("lbNoct");
    tbNoct_ = box("tbNoct", 0);
    lbGamma_ = label("lbGamma");
    tbGamma_ = box("tbGamma", 0);
    lbNome_ = label("lbNome");
    tbNome_ = box("tbNome", kNameLength);
    lbIndirizzo_ = label("lbIndirizzo");
    tbIndirizzo_ = box("tbIndirizzo", kStreetLength);
    lbNumCiv_ = label("lbNumCiv");
    tbNumCiv_ = box("tbNumCiv", kNumberLength);
    lbCap_ = label("lbCap");
    tbCap_ = box("tbCap", kCapLength);
    lbComune_ = label("lbComune");
    tbCom_ = box("tbCom", kTownLength);
    lbCodFisc_ = label("lbCodFisc");
    tbCodice_ = box("tbCodice", kTaxCodeLength);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(5);
    const std::pair<QLabel*, QWidget*> rows[] = {
        {lbPot_, tbPot_},       {lbPotInv_, nullptr}, {lbNoct_, tbNoct_},
        {lbGamma_, tbGamma_},   {lbNome_, tbNome_},   {lbIndirizzo_, tbIndirizzo_},
        {lbNumCiv_, tbNumCiv_}, {lbCap_, tbCap_},     {lbComune_, tbCom_},
        {lbCodFisc_, tbCodice_}};
    int row = 0;
    for (const auto& [lb, field] : rows) {
        grid->addWidget(lb, row, 0);
        if (field) {
            grid->addWidget(field, row, 1);
            lb->setBuddy(field);
        } else {
            grid->addLayout(options, row, 1);
            lb->setBuddy(obPotInv_->button(0));
        }
        ++row;
    }
    for (QLineEdit* shortBox : {tbPot_, tbNoct_, tbGamma_, tbNumCiv_, tbCap_})
        shortBox->setMaximumWidth(110);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);
    set_messages();
    clear_controls();
}

QLineEdit* PlantDetailsPane::box(const char* name, int maxLength) {
    auto* b = new QLineEdit(this);
    b->setObjectName(QString::fromLatin1(name));
    if (maxLength > 0) limitTyping(b, maxLength);
    return b;
}

QLabel* PlantDetailsPane::label(const char* name) {
    auto* l = new QLabel(this);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

void PlantDetailsPane::set_messages() {
    lbPot_->setText(ctx_.msg(82) + QStringLiteral(" [kW]"));
    lbPotInv_->setText(ctx_.msg(205));
    lbNoct_->setText(ctx_.msg(138) + QStringLiteral(" [°C]"));
    lbGamma_->setText(ctx_.msg(171) + QStringLiteral(" [%/°C]"));
    lbNome_->setText(ctx_.msg(81));
    lbIndirizzo_->setText(ctx_.msg(139));
    lbNumCiv_->setText(ctx_.msg(140));
    lbCap_->setText(ctx_.msg(141));
    lbComune_->setText(ctx_.msg(142));
    lbCodFisc_->setText(ctx_.msg(143));
}

void PlantDetailsPane::clear_controls() {
    for (QLineEdit* b : findChildren<QLineEdit*>())
        b->clear();
    obPotInv_->button(0)->setChecked(true);
}

void PlantDetailsPane::en_dis_controls(bool enable) {
    for (QLineEdit* b : findChildren<QLineEdit*>())
        b->setEnabled(enable);
    for (QAbstractButton* b : obPotInv_->buttons())
        b->setEnabled(enable);
}

void PlantDetailsPane::var_to_controls(const PlantRecord& p) {
    tbPot_->setText(format_(ctx_.locale, p.POT));
    obPotInv_->button(p.BOOL1 ? 1 : 0)->setChecked(true);
    tbNoct_->setText(format_(ctx_.locale, p.NOCT));
    tbGamma_->setText(format_(ctx_.locale, p.REAL1));
    tbNome_->setText(p.nome);
    tbIndirizzo_->setText(p.indirizzo);
    tbNumCiv_->setText(p.NUMCIV);
    tbCap_->setText(p.cap);
    tbCom_->setText(p.comune);
    tbCodice_->setText(p.CODFISC);
}

void PlantDetailsPane::controls_to_var(PlantRecord& p) const {
    p.POT = numberOf(tbPot_->text());
    p.BOOL1 = !obPotInv_->button(0)->isChecked();
    p.NOCT = numberOf(tbNoct_->text());
    p.REAL1 = numberOf(tbGamma_->text());
    p.nome = tbNome_->text().trimmed();
    p.indirizzo = tbIndirizzo_->text().trimmed();
    p.NUMCIV = tbNumCiv_->text().trimmed();
    p.cap = tbCap_->text().trimmed();
    p.comune = tbCom_->text().trimmed();
    p.CODFISC = tbCodice_->text().trimmed();
}

PlantFields PlantDetailsPane::fields() const {
    return {tbPot_->text(),       tbNoct_->text(),      tbGamma_->text(),  tbNome_->text(),
            tbIndirizzo_->text(), tbNumCiv_->text(),    tbCap_->text(),    tbCom_->text(),
            tbCodice_->text(),    lbPot_->text(),       lbNoct_->text(),   lbGamma_->text(),
            lbNome_->text(),      lbIndirizzo_->text(), lbNumCiv_->text(), lbCap_->text(),
            lbComune_->text(),    lbCodFisc_->text()};
}

bool PlantDetailsPane::aboveTwenty() const {
    return obPotInv_->button(1)->isChecked();
}

} // namespace vorna
