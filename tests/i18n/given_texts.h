#pragma once

namespace vorna::test {

// The catalogue texts as the product defines them, written out here so the data file is checked
// against a second, independent copy. UTF-8.
extern const char* const kEnglish[300];

struct GivenRow {
    int number;
    const char* texts[5]; // English, French, Spanish, German, Italian
};
extern const GivenRow kFiveLanguages[66];

} // namespace vorna::test
