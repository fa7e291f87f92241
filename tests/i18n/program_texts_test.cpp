// The program's own texts fall back to English only outside the five languages.
#include "message_data.h"
#include "program_texts.h"

#include <gtest/gtest.h>

using vorna::MessageDataError;
using vorna::ProgramTexts;

TEST(ProgramTexts, LookupByLanguageAndKey) {
    const ProgramTexts texts("# c\n\nx.a\tOne\tUn\tUno\tEins\t\\sUno\\s\r\n");
    EXPECT_EQ(texts.text(0, "x.a"), "One");
    EXPECT_EQ(texts.text(3, "x.a"), "Eins");
    EXPECT_EQ(texts.text(4, "x.a"), " Uno ");
    EXPECT_EQ(texts.text(5, "x.a"), "One"); // the spare slot
    EXPECT_THROW(texts.text(0, "x.b"), std::out_of_range);
    // The built-in table reads under the same rules, which refuse a missing or empty text.
    EXPECT_FALSE(ProgramTexts().keys().isEmpty());
}

TEST(ProgramTexts, FaultsAreRefusedByLine) {
    const struct {
        const char* data;
        int line;
    } cases[] = {
        {"a\tA\tB\tC\tD\n", 1},                        // a language missing
        {"a\tA\tB\tC\tD\tE\tF\n", 1},                  // one too many
        {"\na\tA\tB\tC\tD\tE\na\tA\tB\tC\tD\tE\n", 3}, // a repeated key
        {"a\tA\t\tC\tD\tE\n", 1},                      // an empty text
        {"a\tA\tB\tC\tD\tE \n", 1},                    // a trailing blank not written \s
        {"a\tA\tB\tC\tD\t\xE2\x82\xAC\n", 1},          // outside ISO 8859-1
    };
    for (const auto& c : cases) {
        try {
            ProgramTexts texts{QByteArray(c.data)};
            ADD_FAILURE() << "accepted: " << c.data;
        } catch (const MessageDataError& e) {
            EXPECT_EQ(e.line(), c.line) << c.data;
            EXPECT_NE(std::string(e.what()).find("program_texts.tsv"), std::string::npos);
        }
    }
}
