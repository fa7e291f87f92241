#include "message_catalogue.h"

#include <stdexcept>

namespace vorna {

namespace {
void check(int language, int number) {
    if (language < 0 || language >= MessageCatalogue::kLanguages || number < 0 ||
        number >= MessageCatalogue::kMessages)
        throw std::out_of_range("message catalogue index");
}
} // namespace

void MessageCatalogue::reset() {
    for (auto& row : entries_)
        for (auto& t : row)
            t.clear();
}

const QString& MessageCatalogue::text(int language, int number) const {
    check(language, number);
    return entries_[size_t(number)][size_t(language)];
}

void MessageCatalogue::set(int language, int number, const QString& text) {
    check(language, number);
    entries_[size_t(number)][size_t(language)] = text;
}

} // namespace vorna
