#pragma once

#include <QString>
#include <array>

namespace vorna {

// The numbered messages of the main program in six language slots (0 English, 1 French,
// 2 Spanish, 3 German, 4 Italian, 5 spare).
class MessageCatalogue {
public:
    static constexpr int kLanguages = 6;
    static constexpr int kMessages = 300;

    // Empties every entry.
    void reset();
    // Throws std::out_of_range for a language or number outside the table.
    const QString& text(int language, int number) const;
    void set(int language, int number, const QString& text);

private:
    std::array<std::array<QString, kLanguages>, kMessages> entries_{};
};

} // namespace vorna
