#include "catalogue_loader.h"
#include "error_trap.h"
#include "test_env.h"

#include <gtest/gtest.h>

using namespace vorna;

TEST(CatalogueLoader, StartUpSequenceFillsEveryRange) {
    test::TestEnv env;
    AppContext& ctx = *env.ctx;
    ctx.messaggi.set(2, 40, "stale");
    ASSERT_TRUE(reset_messages(ctx));
    EXPECT_EQ(ctx.messaggi.text(2, 40), "");

    ASSERT_TRUE(read_messagges_2(ctx));
    EXPECT_EQ(ctx.messaggi.text(0, 98), "") << "the second routine starts at 99";
    EXPECT_EQ(ctx.messaggi.text(0, 99), "Stop");
    EXPECT_EQ(ctx.messaggi.text(0, 199), "Plant data");
    EXPECT_EQ(ctx.messaggi.text(0, 200), "") << "and stops at 199";

    ASSERT_TRUE(read_messagges_1(ctx));
    ASSERT_TRUE(read_messagges_3(ctx));
    EXPECT_EQ(ctx.messaggi.text(0, 0), "PLANT'S MEASURES FILE");
    EXPECT_EQ(ctx.messaggi.text(0, 298), "Delete table data");
    ctx.languageIndex = 4;
    EXPECT_EQ(ctx.msg(50), "Impianto");
    EXPECT_TRUE(env.debugLog().isEmpty());
}

// What the fill keeps of a faulty file is the reader's (MessageData); here the log entry.
TEST(CatalogueLoader, FaultIsLoggedWithTheRoutineName) {
    test::TestEnv env;
    AppContext& ctx = *env.ctx;
    EXPECT_FALSE(read_messagges_2(ctx, "99\tStop\tArr\\xet\n100\tStart\n"));
    const QString log = env.debugLog();
    EXPECT_TRUE(log.contains("read_messagges_2") && log.contains("line 1")) << log.toStdString();
}

TEST(CatalogueLoader, LookupOutsideTheTableIsTheCallersError) {
    test::TestEnv env;
    AppContext& ctx = *env.ctx;
    ASSERT_TRUE(read_messagges_1(ctx));
    for (auto [language, number] : {std::pair{6, 0}, {-1, 0}, {0, 300}, {0, -1}})
        EXPECT_THROW(ctx.messaggi.text(language, number), std::out_of_range);
    ctx.languageIndex = 6;
    QString caption = "unchanged";
    EXPECT_FALSE(guard(ctx, "set_messages", [&] { caption = ctx.msg(50); }));
    EXPECT_EQ(caption, "unchanged");
    EXPECT_TRUE(env.debugLog().contains("set_messages"));
    ctx.languageIndex = 5; // the spare column is a valid, mostly empty, language
    EXPECT_TRUE(guard(ctx, "set_messages", [&] { caption = ctx.msg(50); }));
    EXPECT_EQ(caption, "");
}
