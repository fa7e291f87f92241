#pragma once

#include "prompts.h"

class QWidget;

namespace vorna {

// Message boxes and file dialogs on the screen, over the active window.
class QtPrompts : public Prompts {
public:
    void warning(const QString& text, const QString& title) override;
    bool question(const QString& text, const QString& title,
                  QuestionIcon icon = QuestionIcon::Question) override;
    QString saveFileName(const QString& filter, const QString& suggested,
                         QString* selectedFilter) override;
    QString openFileName(const QString& filter) override;

private:
    static QWidget* owner();
};

} // namespace vorna
