#include "scripted_prompts.h"

namespace vorna::test {

void ScriptedPrompts::warning(const QString& text, const QString& title) {
    warnings.push_back({text, title});
}

bool ScriptedPrompts::question(const QString& text, const QString& title, QuestionIcon icon) {
    questions.push_back({text, title, icon});
    if (answers.empty()) return false;
    const bool a = answers.front();
    answers.pop_front();
    return a;
}

QString ScriptedPrompts::saveFileName(const QString& filter, const QString& suggested,
                                      QString* selectedFilter) {
    ++saveDialogs;
    saveShown.push_back({filter, suggested, selectedFilter ? *selectedFilter : QString()});
    if (!saveFilters.empty()) {
        if (selectedFilter && !saveFilters.front().isEmpty()) *selectedFilter = saveFilters.front();
        saveFilters.pop_front();
    }
    if (saveNames.empty()) return {};
    QString n = saveNames.front();
    saveNames.pop_front();
    return n;
}

QString ScriptedPrompts::lastWarning() {
    if (warnings.empty()) return {};
    const QString shown = warnings.back().text + QLatin1Char('/') + warnings.back().title;
    warnings.clear();
    return shown;
}

} // namespace vorna::test
