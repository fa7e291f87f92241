#include "certified_copy.h"

#include "run_error.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace vorna {

namespace {

constexpr qsizetype kChunk = qsizetype(1) << 20;
constexpr char kCertificate[] = "user.vorna.certified";
// The digest of a file: XXH64 (xxHash, 64 bits) of each chunk, seeded with the digest of the
// chunks before it (0 for the first).
constexpr quint64 kP1 = 11400714785074694791ull, kP2 = 14029467366897019727ull,
                  kP3 = 1609587929392839161ull, kP4 = 9650029242287828579ull,
                  kP5 = 2870177450012600261ull;

quint64 rotl(quint64 x, int r) {
    return (x << r) | (x >> (64 - r));
}

template <typename T> T load(const char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return qFromLittleEndian(v);
}

quint64 lane(quint64 acc, quint64 input) {
    return rotl(acc + input * kP2, 31) * kP1;
}

quint64 merge(quint64 h, quint64 v) {
    return (h ^ lane(0, v)) * kP1 + kP4;
}

quint64 xxh64(const char* p, qsizetype n, quint64 seed) {
    const char* const end = p + n;
    quint64 h;
    if (n >= 32) {
        quint64 v1 = seed + kP1 + kP2, v2 = seed + kP2, v3 = seed, v4 = seed - kP1;
        for (; end - p >= 32; p += 32) {
            v1 = lane(v1, load<quint64>(p));
            v2 = lane(v2, load<quint64>(p + 8));
            v3 = lane(v3, load<quint64>(p + 16));
            v4 = lane(v4, load<quint64>(p + 24));
        }
        h = rotl(v1, 1) + rotl(v2, 7) + rotl(v3, 12) + rotl(v4, 18);
        h = merge(merge(merge(merge(h, v1), v2), v3), v4);
    } else {
        h = seed + kP5;
    }
    h += quint64(n);
    for (; end - p >= 8; p += 8)
        h = rotl(h ^ lane(0, load<quint64>(p)), 27) * kP1 + kP4;
    if (end - p >= 4) {
        h = rotl(h ^ quint64(load<quint32>(p)) * kP1, 23) * kP2 + kP3;
        p += 4;
    }
    for (; p < end; ++p)
        h = rotl(h ^ quint64(quint8(*p)) * kP5, 11) * kP1;
    h = (h ^ (h >> 33)) * kP2;
    h = (h ^ (h >> 29)) * kP3;
    return h ^ (h >> 32);
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

// Fills buf unless the file ends first; the bytes read, or -1.
qsizetype readFull(int fd, char* buf, qsizetype n) {
    qsizetype got = 0;
    while (got < n) {
        const ssize_t r = ::read(fd, buf + got, size_t(n - got));
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

} // namespace

void copyReplacing(const QString& from, const QString& to, bool certify) {
    const QString part = to + QStringLiteral(".part");
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
    quint64 h = 0;
    qint64 size = 0;
    for (;;) {
        const qsizetype n = readFull(in.fd, buf.data(), kChunk);
        if (n < 0) fail("read");
        if (n == 0) break;
        h = xxh64(buf.data(), n, h);
        if (!writeFull(out.fd, buf.data(), n)) fail("write");
        size += n;
        if (n < kChunk) break;
    }
    if (::fdatasync(out.fd) != 0) fail("sync");
    if (certify) {
        // Where the file system keeps no attributes the copy goes uncertified: every start
        // then checks and copies in full.
        const QByteArray c = certificate(size, h);
        ::fsetxattr(out.fd, kCertificate, c.constData(), size_t(c.size()), 0);
    }
    if (::close(out.fd) != 0) {
        out.fd = -1;
        fail("close");
    }
    out.fd = -1;
    // A journal of the file being replaced would be played into its successor.
    for (const char* j : kJournals)
        ::unlink(local(to + QLatin1String(j)).constData());
    if (::rename(local(part).constData(), local(to).constData()) != 0) fail("rename");
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
    std::vector<char> x(static_cast<size_t>(kChunk)), y(static_cast<size_t>(kChunk));
    quint64 h = 0;
    qint64 read = 0;
    for (;;) {
        const qsizetype n = readFull(a.fd, x.data(), kChunk);
        if (n < 0 || readFull(b.fd, y.data(), kChunk) != n) return false;
        if (std::memcmp(x.data(), y.data(), size_t(n)) != 0) return false;
        h = xxh64(x.data(), n, h);
        read += n;
        if (n < kChunk) break;
    }
    return read == size && QByteArray(value, qsizetype(len)) == certificate(size, h);
}

} // namespace vorna
