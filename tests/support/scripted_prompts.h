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
    // The filter the user picks in each save dialog, in turn; an empty one, or none left,
    // keeps the filter the dialog started on.
    std::deque<QString> saveFilters;
    // Each save dialog shown: its filter, the name it proposed and the filter it started on.
    struct SaveDialog {
        QString filter, suggested, selected;
    };
    std::vector<SaveDialog> saveShown;
    int saveDialogs = 0;

    void warning(const QString& text, const QString& title) override;
    bool question(const QString& text, const QString& title,
                  QuestionIcon icon = QuestionIcon::Question) override;
    QString saveFileName(const QString& filter, const QString& suggested,
                         QString* selectedFilter) override;
    QString openFileName(const QString&) override { return {}; } // no test opens a file

    // The last warning as "text/title", and the list emptied; empty when there is none.
    QString lastWarning();
};

} // namespace vorna::test
