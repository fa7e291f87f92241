#pragma once

#include "prompts.h"

#include <QStringList>
#include <deque>

namespace vorna::test {

// Prompts that record what was shown and answer from queues filled by the test.
// An empty queue answers No / cancel.
class ScriptedPrompts : public Prompts {
public:
    struct Shown {
        QString text, title;
        QuestionIcon icon = QuestionIcon::Question; // questions only
    };
    std::vector<Shown> warnings;
    std::vector<Shown> questions;
    std::deque<bool> answers;
    std::deque<QString> saveNames;
    std::deque<QString> openNames;
    // Each save dialog shown: its filter and the name it proposed.
    struct SaveDialog {
        QString filter, suggested;
    };
    std::vector<SaveDialog> saveShown;
    int saveDialogs = 0;
    int openDialogs = 0;

    void warning(const QString& text, const QString& title) override;
    bool question(const QString& text, const QString& title,
                  QuestionIcon icon = QuestionIcon::Question) override;
    QString saveFileName(const QString& filter, const QString& suggested) override;
    QString openFileName(const QString& filter) override;

    // The last warning as "text/title", and the list emptied; empty when there is none.
    QString lastWarning();
};

} // namespace vorna::test
