#pragma once

#include "number_format.h"

#include <QWidget>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace vorna {

class AppContext;
struct PlantFields;
struct PlantRecord;

// The ten fields of one plant with their labels, shared by the plant windows: tbPot, the option
// pair obPotInv_0 ("<= 20 kW") and obPotInv_1 ("> 20 kW"), tbNoct, tbGamma and the six texts,
// whose length limits stop typing only. Numbers are shown with the window's format.
class PlantDetailsPane : public QWidget {
    Q_OBJECT
public:
    PlantDetailsPane(AppContext& ctx, NumberFormat format, QWidget* parent = nullptr);

    // Captions of the labels in the current language.
    void set_messages();
    // Empties the ten boxes and selects "<= 20 kW".
    void clear_controls();
    void en_dis_controls(bool enable);
    // The plant's fields into the boxes; texts unchanged, numbers in the window's format.
    void var_to_controls(const PlantRecord& plant);
    // The boxes into the plant's ten fields (ID untouched): texts trimmed, numbers read from the
    // trimmed texts. A box that holds no number gives 0; validation comes first.
    void controls_to_var(PlantRecord& plant) const;

    // The boxes' texts as typed and the labels' captions, for validation and the duplicate rule.
    PlantFields fields() const;
    // "> 20 kW" is selected.
    bool aboveTwenty() const;

    QLineEdit* tbPot() const { return tbPot_; }
    QLineEdit* tbNoct() const { return tbNoct_; }
    QLineEdit* tbGamma() const { return tbGamma_; }
    QLabel* lbPot() const { return lbPot_; }

private:
    QLineEdit* box(const char* name, int maxLength);
    QLabel* label(const char* name);

    AppContext& ctx_;
    NumberFormat format_;
    QLabel *lbPot_, *lbPotInv_, *lbNoct_, *lbGamma_;
    QLabel *lbNome_, *lbIndirizzo_, *lbNumCiv_, *lbCap_, *lbComune_, *lbCodFisc_;
    QLineEdit *tbPot_, *tbNoct_, *tbGamma_;
    QLineEdit *tbNome_, *tbIndirizzo_, *tbNumCiv_, *tbCap_, *tbCom_, *tbCodice_;
    QButtonGroup* obPotInv_;
};

} // namespace vorna
