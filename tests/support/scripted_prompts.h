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
    };
    std::vector<Shown> warnings;
    std::vector<Shown> questions;
    std::deque<bool> answers;
    std::deque<QString> saveNames;
    std::deque<QString> openNames;
    int saveDialogs = 0;
    // What the last save dialog offered.
    QString saveSuggested;
    int openDialogs = 0;

    void warning(const QString& text, const QString& title) override;
    bool question(const QString& text, const QString& title) override;
    QString saveFileName(const QString& filter, const QString& suggested) override;
    QString openFileName(const QString& filter) override;
};

} // namespace vorna::test
