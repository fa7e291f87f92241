// Runs the database start-up over and over in a data folder until killed.
#include "database_init.h"
#include "test_env.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) return 2;
    vorna::test::ScriptedPrompts prompts;
    vorna::AppContext ctx(prompts, QString::fromLocal8Bit(argv[1]));
    for (;;) {
        if (!vorna::database_init(ctx)) return 1;
        // Leave free pages behind so the next round compacts too.
        ctx.db.exec(
            "INSERT INTO tab1 (MEMO1) SELECT hex(randomblob(200)) FROM realtime LIMIT 3000");
        ctx.db.exec("DELETE FROM tab1");
    }
}
