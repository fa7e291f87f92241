#include "typing_limit.h"

#include <QLineEdit>
#include <QValidator>

namespace vorna {

namespace {

// QLineEdit validates an edit before taking it, so the box still holds the text before it.
class TypingLimit : public QValidator {
public:
    TypingLimit(QLineEdit* box, int maxLength) : QValidator(box), box_(box), max_(maxLength) {}

    State validate(QString& input, int&) const override {
        const bool grewPastLimit = input.size() > max_ && input.size() > box_->text().size();
        return grewPastLimit ? Invalid : Acceptable;
    }

private:
    QLineEdit* box_;
    int max_;
};

} // namespace

void limitTyping(QLineEdit* box, int maxLength) {
    box->setValidator(new TypingLimit(box, maxLength));
}

} // namespace vorna
