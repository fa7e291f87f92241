#include "typing_limit.h"

#include <QLineEdit>
#include <memory>

namespace vorna {

void limitTyping(QLineEdit* box, int maxLength) {
    // textEdited (the user's edits only) comes before textChanged, so `last` still holds the
    // text before the edit when an edit that went too far is put back. The textChanged of an
    // edit put back arrives late and stale: it is not taken.
    auto last = std::make_shared<QString>(box->text());
    QObject::connect(box, &QLineEdit::textChanged, box, [box, last](const QString& t) {
        if (t == box->text()) *last = t;
    });
    QObject::connect(box, &QLineEdit::textEdited, box, [box, last, maxLength](const QString& t) {
        if (t.size() <= maxLength || t.size() <= last->size()) return;
        const qsizetype added = t.size() - last->size();
        const int cursor = int(std::max<qsizetype>(0, box->cursorPosition() - added));
        box->setText(QString(*last));
        box->setCursorPosition(cursor);
    });
}

} // namespace vorna
