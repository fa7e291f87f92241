#pragma once

class QLineEdit;

namespace vorna {

// Stops the user typing past maxLength characters. Unlike QLineEdit::setMaxLength it never
// cuts text set from code: text from the instrument or the database is shown (and so saved and
// sent) whole, and can still be shortened by hand.
void limitTyping(QLineEdit* box, int maxLength);

} // namespace vorna
