#include "certified_copy.h"

#include "run_error.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace vorna {

namespace {

constexpr qsizetype kChunk = qsizetype(1) << 18;
constexpr char kCertificate[] = "user.vorna.certified";
constexpr quint64 kP1 = 11400714785074694791ull, kP2 = 14029467366897019727ull;

quint64 rotl(quint64 x, int r) {
    return (x << r) | (x >> (64 - r));
}

quint64 load(const char* p) {
    quint64 v;
    std::memcpy(&v, p, sizeof v);
    return qFromLittleEndian(v);
}

// The digest of one chunk: eight lanes of 64-bit words, each step a bijection of the lane's
// state for a given word, so a change in any single word always changes the result. One
// multiply per word keeps it near memory speed; chunks are independent so two threads can
// share a file.
quint64 chunkDigest(const char* p, qsizetype n, quint64 index) {
    quint64 acc[8];
    for (int l = 0; l < 8; ++l)
        acc[l] = index + quint64(l) * kP2;
    qsizetype i = 0;
    for (; i + 64 <= n; i += 64)
        for (int l = 0; l < 8; ++l)
            acc[l] = rotl((acc[l] ^ load(p + i + 8 * l)) * kP1, 31);
    quint64 h = quint64(n);
    for (; i < n; ++i)
        h = rotl(h ^ quint8(p[i]), 11) * kP1;
    for (const quint64 a : acc)
        h = rotl(h ^ a * kP2, 27) * kP1;
    return h;
}

// The chunk digests of a whole file, in order.
quint64 fileDigest(const std::vector<quint64>& chunks, qint64 size) {
    quint64 h = quint64(size);
    for (const quint64 d : chunks)
        h = rotl(h ^ d, 27) * kP1;
    h = (h ^ (h >> 33)) * kP2;
    return h ^ (h >> 29);
}

QByteArray certificate(qint64 size, quint64 h) {
    return QByteArray::number(size) + ' ' + QByteArray::number(qulonglong(h), 16);
}

QByteArray local(const QString& path) {
    return QFile::encodeName(path);
}

struct Fd {
    int fd = -1;
    explicit Fd(int f) : fd(f) {}
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
};

// Fills buf from offset at unless the file ends first; the bytes read, or -1.
qsizetype readFull(int fd, char* buf, qsizetype n, qint64 at) {
    qsizetype got = 0;
    while (got < n) {
        const ssize_t r = ::pread(fd, buf + got, size_t(n - got), off_t(at + got));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return -1;
        if (r == 0) break;
        got += r;
    }
    return got;
}

bool writeFull(int fd, const char* buf, qsizetype n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, buf, size_t(n));
        if (w < 0 && errno == EINTR) continue;
        if (w < 0) return false;
        buf += w;
        n -= w;
    }
    return true;
}

qint64 sizeOf(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? qint64(st.st_size) : -1;
}

constexpr const char* kJournals[] = {"-wal", "-shm", "-journal"};

QString partOf(const QString& to) {
    return to + QStringLiteral(".part");
}

// Writes the copy under its part name, synced, with its certificate when asked.
void writePart(const QString& from, const QString& to, bool certify) {
    const QString part = partOf(to);
    ::unlink(local(part).constData()); // a fresh file, without what an earlier one carried
    const auto fail = [&](const char* step) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        ::unlink(local(part).constData());
        throw RunError(
            err::kFileAccess,
            QStringLiteral("copy %1 to %2: %3: %4").arg(from, to, QLatin1String(step), why));
    };
    Fd in(::open(local(from).constData(), O_RDONLY | O_CLOEXEC));
    if (in.fd < 0) fail("open");
    struct stat st {};
    ::fstat(in.fd, &st);
    Fd out(::open(local(part).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                  st.st_mode & 07777));
    if (out.fd < 0) fail("create");
    std::vector<char> buf(static_cast<size_t>(kChunk));
    std::vector<quint64> digests;
    qint64 size = 0;
    for (;;) {
        const qsizetype n = readFull(in.fd, buf.data(), kChunk, size);
        if (n < 0) fail("read");
        if (n == 0) break;
        digests.push_back(chunkDigest(buf.data(), n, quint64(digests.size())));
        if (!writeFull(out.fd, buf.data(), n)) fail("write");
        size += n;
        if (n < kChunk) break;
    }
    if (::fdatasync(out.fd) != 0) fail("sync");
    if (certify) {
        // Where the file system keeps no attributes the copy goes uncertified: every start
        // then checks and copies in full.
        const QByteArray c = certificate(size, fileDigest(digests, size));
        ::fsetxattr(out.fd, kCertificate, c.constData(), size_t(c.size()), 0);
    }
    if (::close(out.fd) != 0) {
        out.fd = -1;
        fail("close");
    }
    out.fd = -1;
}

void placePart(const QString& from, const QString& to) {
    // A journal of the file being replaced would be played into its successor.
    for (const char* j : kJournals)
        ::unlink(local(to + QLatin1String(j)).constData());
    if (::rename(local(partOf(to)).constData(), local(to).constData()) != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        ::unlink(local(partOf(to)).constData());
        throw RunError(err::kFileAccess,
                       QStringLiteral("copy %1 to %2: rename: %3").arg(from, to, why));
    }
}

} // namespace

void copyReplacing(const QString& from, const QString& to, bool certify) {
    writePart(from, to, certify);
    placePart(from, to);
}

StagedCopy::StagedCopy(const QString& from, const QString& to, bool certify)
    : from_(from), to_(to), worker_([this, certify] {
          try {
              writePart(from_, to_, certify);
          } catch (...) {
              failure_ = std::current_exception();
          }
      }) {}

StagedCopy::~StagedCopy() {
    if (worker_.joinable()) worker_.join();
    if (!placed_) ::unlink(local(partOf(to_)).constData());
}

void StagedCopy::commit() {
    worker_.join();
    if (failure_) std::rethrow_exception(failure_);
    placePart(from_, to_);
    placed_ = true;
}

bool holdsCertifiedCopyOf(const QString& copy, const QString& original) {
    // Rows in a journal beside the copy are part of its content but not of its bytes.
    for (const char* j : {"-wal", "-journal"})
        if (QFileInfo(copy + QLatin1String(j)).size() > 0) return false;
    char value[64];
    const ssize_t len = ::getxattr(local(copy).constData(), kCertificate, value, sizeof value);
    if (len <= 0) return false;
    Fd a(::open(local(copy).constData(), O_RDONLY | O_CLOEXEC));
    Fd b(::open(local(original).constData(), O_RDONLY | O_CLOEXEC));
    if (a.fd < 0 || b.fd < 0) return false;
    const qint64 size = sizeOf(a.fd);
    if (size < 0 || size != sizeOf(b.fd)) return false;
    // Both files are read whole on every start; two threads, each comparing and digesting its
    // half, keep that near the speed of reading memory.
    const qint64 chunks = (size + kChunk - 1) / kChunk;
    std::vector<quint64> digests(static_cast<size_t>(chunks));
    std::atomic<bool> same{true};
    const auto compare = [&](qint64 from, qint64 to) {
        std::vector<char> x(static_cast<size_t>(kChunk)), y(static_cast<size_t>(kChunk));
        for (qint64 i = from; i < to && same.load(std::memory_order_relaxed); ++i) {
            const qsizetype want = qsizetype(std::min<qint64>(kChunk, size - i * kChunk));
            if (readFull(a.fd, x.data(), want, i * kChunk) != want ||
                readFull(b.fd, y.data(), want, i * kChunk) != want ||
                std::memcmp(x.data(), y.data(), size_t(want)) != 0) {
                same = false;
                return;
            }
            digests[size_t(i)] = chunkDigest(x.data(), want, quint64(i));
        }
    };
    {
        std::jthread first(compare, 0, chunks / 2);
        compare(chunks / 2, chunks);
    }
    return same &&
           QByteArray(value, qsizetype(len)) == certificate(size, fileDigest(digests, size));
}

} // namespace vorna
