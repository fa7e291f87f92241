#pragma once

#include <QString>

namespace vorna {

// What core asks of the screen. Windows give a real implementation, tests a scripted one.
// The icon of a question box.
enum class QuestionIcon { Question, None };

class Prompts {
public:
    virtual ~Prompts() = default;

    // A warning box: exclamation icon, OK button.
    virtual void warning(const QString& text, const QString& title = QStringLiteral("Error")) = 0;
    // A Yes/No question; true for Yes.
    virtual bool question(const QString& text, const QString& title,
                          QuestionIcon icon = QuestionIcon::Question) = 0;
    // Save and open dialogs; filter in Qt's form ("Text (*.txt)", several joined by ";;").
    // Empty when cancelled. With selectedFilter, the save dialog starts on that filter when it
    // names one and leaves there the filter the user chose.
    virtual QString saveFileName(const QString& filter, const QString& suggested = {},
                                 QString* selectedFilter = nullptr) = 0;
    virtual QString openFileName(const QString& filter) = 0;
};

} // namespace vorna
