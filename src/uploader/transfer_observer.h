#pragma once

#include "transfer_policy.h"

#include <QString>

namespace vorna::uploader {

enum class MessageIcon { Error, Exclamation, Information };

// What a transfer shows on the way: the window's fields, the command line's output.
class TransferObserver {
public:
    virtual ~TransferObserver() = default;
    virtual void showText(TextField field, const QString& text) = 0;
    virtual void showTitle(const QString& text) = 0;
    // A new bar range 0 .. maximum, at 0.
    virtual void setBarRange(int maximum) = 0;
    virtual void stepBar() = 0;
    virtual void resetBar() = 0;
    // A message box: returns once the user has seen it.
    virtual void message(const QString& text, MessageIcon icon) = 0;
    // The window repaints itself between rows.
    virtual void repaint() {}
};

} // namespace vorna::uploader
