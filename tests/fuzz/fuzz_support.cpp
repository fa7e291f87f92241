#include "fuzz_target.h"

#include <cstdio>
#include <cstdlib>

#ifndef VORNA_LIBFUZZER
#include "test_env.h"

#include <QDir>
#include <QFile>
#endif

namespace vorna::fuzz {

void fail(const std::string& what) {
    throw Failure{what};
}

#ifdef VORNA_LIBFUZZER

int runOne(const char* target, Body body, Input data) {
    try {
        body(data);
    } catch (const Failure& f) {
        std::fprintf(stderr, "\n%s: broken promise: %s\n", target, f.what.c_str());
        std::abort();
    } catch (...) {
        std::fprintf(stderr, "\n%s: an exception escaped\n", target);
        std::abort();
    }
    return 0;
}

#else

void replayAll(const char* target, Body body) {
    const QString base = test::sourceDir() + QStringLiteral("/tests/fuzz/");
    int seeds = 0;
    for (const char* kind : {"corpus/", "regressions/"}) {
        const QDir dir(base + QLatin1String(kind) + QLatin1String(target));
        for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
            QFile f(dir.filePath(name));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << f.fileName().toStdString();
            const QByteArray bytes = f.readAll();
            seeds += *kind == 'c';
            std::string broken;
            try {
                body(Input(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                           std::size_t(bytes.size())));
            } catch (const Failure& failure) {
                broken = failure.what;
            } catch (...) {
                broken = "an exception escaped";
            }
            if (!broken.empty())
                ADD_FAILURE() << kind << target << '/' << name.toStdString() << ": " << broken;
        }
    }
    EXPECT_GT(seeds, 0) << "no seeds for " << target;
}

#endif

} // namespace vorna::fuzz
