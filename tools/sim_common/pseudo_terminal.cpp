#include "pseudo_terminal.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace vorna::sim {

PseudoTerminal::PseudoTerminal(const QString& linkPath) : link_(linkPath) {
    int master = -1, slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        error_ = QStringLiteral("openpty: ") + QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    termios t{};
    tcgetattr(slave, &t);
    cfmakeraw(&t);
    tcsetattr(slave, TCSANOW, &t);
    fcntl(master, F_SETFD, FD_CLOEXEC);
    fcntl(slave, F_SETFD, FD_CLOEXEC);
    master_ = master;
    keepSlave_ = slave;
    device_ = QString::fromLocal8Bit(name);
    QFile::remove(link_);
    if (!QFile::link(device_, link_)) {
        error_ = QStringLiteral("cannot link ") + link_ + QStringLiteral(" to ") + device_;
        close();
    }
}

PseudoTerminal::~PseudoTerminal() {
    close();
    QFile::remove(link_);
}

QByteArray PseudoTerminal::read(int timeoutMs) {
    if (master_ < 0) return {};
    pollfd p{master_, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0 || !(p.revents & POLLIN)) return {};
    char buf[4096];
    const ssize_t n = ::read(master_, buf, sizeof buf);
    return n > 0 ? QByteArray(buf, int(n)) : QByteArray();
}

bool PseudoTerminal::write(const QByteArray& bytes) {
    qsizetype done = 0;
    while (master_ >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN) {
                pollfd p{master_, POLLOUT, 0};
                poll(&p, 1, 50);
                continue;
            }
            return false;
        }
        done += n;
    }
    return master_ >= 0;
}

void PseudoTerminal::close() {
    if (keepSlave_ >= 0) ::close(keepSlave_);
    if (master_ >= 0) ::close(master_);
    keepSlave_ = master_ = -1;
    QFile::remove(link_);
}

} // namespace vorna::sim
