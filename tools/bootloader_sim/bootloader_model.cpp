#include "bootloader_model.h"

namespace vorna::sim {

namespace {
constexpr quint8 kReadId = 0x09;
constexpr quint8 kReadVersion = 0x11;
constexpr quint8 kReadProgram = 0x02;
constexpr quint8 kWriteProgram = 0x03;
constexpr quint8 kWriteEeprom = 0x05;
constexpr quint8 kWriteConfig = 0x07;
constexpr quint8 kReset = 0x08;
constexpr quint8 kAnnounceReply = '%';
constexpr quint8 kAck = 0x01;

quint32 address24(const QByteArray& b, qsizetype at) {
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 |
           quint32(quint8(b[at + 2])) << 16;
}

QByteArray hex(const QByteArray& b) {
    return b.toHex();
}
} // namespace

QByteArray ProgrammedMemory::toText() const {
    QByteArray t;
    auto addr = [](quint32 a) { return QByteArray::number(a, 16).rightJustified(6, '0'); };
    for (const auto& [a, bytes] : program)
        t += "program " + addr(a) + ' ' + hex(bytes) + '\n';
    for (const auto& [a, bytes] : eeprom)
        t += "eeprom " + addr(a) + ' ' + hex(bytes) + '\n';
    for (size_t i = 0; i < config.size(); ++i)
        if (config[i]) t += "config " + QByteArray::number(int(i)) + ' ' + hex(*config[i]) + '\n';
    t += "resets " + QByteArray::number(resets) + '\n';
    t += "refusals " + QByteArray::number(refusals) + '\n';
    t += "unknown " + QByteArray::number(unknownBytes) + '\n';
    t += "identifications " + QByteArray::number(identifications) + '\n';
    return t;
}

BootloaderModel::BootloaderModel(const BootloaderConfig& config)
    : config_(config), random_(config.seed) {
    const qsizetype rowBytes = qsizetype(config_.rowSize) * 3;
    config_.row0 = config_.row0.left(rowBytes);
    config_.row0.append(QByteArray(rowBytes - config_.row0.size(), char(0xFF)));
}

void BootloaderModel::powerCycle() {
    pending_.clear();
    configIndex_ = 0;
    silent_ = false;
    garbage_ = false;
}

BootloaderModel::Output BootloaderModel::feed(const QByteArray& bytes) {
    Output out;
    if (silent_) return out;
    pending_ += bytes;
    while (!pending_.isEmpty() && !out.drop && !silent_ && handleNext(out)) {
    }
    if (silent_) pending_.clear();
    return out;
}

qsizetype BootloaderModel::commandLength(quint8 command) const {
    if (configIndex_ > 0) return 3;
    switch (command) {
    case kReadProgram:
        return 4;
    case kWriteProgram:
        return 4 + qsizetype(config_.rowSize) * 3;
    case kWriteEeprom:
        return 4 + 32;
    case kWriteConfig:
        return 4;
    default:
        return 1;
    }
}

void BootloaderModel::storeProgramRow(quint32 address, QByteArray bytes) {
    if (config_.corruptAt && *config_.corruptAt >= address) {
        const qsizetype at = qsizetype((*config_.corruptAt - address) / 2) * 3;
        if (at < bytes.size()) bytes[at] = char(bytes[at] ^ 0x5A);
    }
    memory_.program[address] = bytes;
}

QByteArray BootloaderModel::readProgram(quint32 address) const {
    QByteArray out;
    out.reserve(qsizetype(config_.rowSize) * 3);
    const QByteArray erased(3, char(0xFF));
    for (quint32 i = 0; i < quint32(config_.rowSize); ++i) {
        const quint32 a = (address & ~1u) + 2 * i;
        // The written row holding the instruction: the last one starting at or below it.
        const QByteArray* source = nullptr;
        quint32 start = 0;
        if (auto it = memory_.program.upper_bound(a); it != memory_.program.begin()) {
            --it;
            start = it->first;
            source = &it->second;
        }
        qsizetype at = qsizetype((a - start) / 2) * 3;
        if (!source || at + 3 > source->size()) {
            source = &config_.row0;
            at = qsizetype(a / 2) * 3;
        }
        out += at + 3 <= source->size() ? source->mid(at, 3) : erased;
    }
    return out;
}

bool BootloaderModel::fire(const FaultTrigger& t, quint8 command) {
    return t.armed() && t.command == command && seen_[command] == t.occurrence;
}

QByteArray BootloaderModel::answer(const QByteArray& proper) {
    if (!garbage_) return proper;
    QByteArray noise(proper.size(), Qt::Uninitialized);
    for (auto& c : noise)
        c = char(random_.bounded(256));
    return noise;
}

QByteArray BootloaderModel::acknowledge() {
    ++writes_;
    if (garbage_) {
        ++memory_.refusals;
        return QByteArray(1, char(0x02 + random_.bounded(254))); // never the acknowledge byte
    }
    if (writes_ <= config_.refuse) {
        ++memory_.refusals;
        return QByteArray(1, char(config_.refuseByte));
    }
    return QByteArray(1, char(kAck));
}

bool BootloaderModel::handleNext(Output& out) {
    const quint8 command = quint8(pending_[0]);
    const qsizetype length = commandLength(command);
    if (pending_.size() < length) return false;
    const QByteArray cmd = pending_.left(length);
    pending_.remove(0, length);

    if (configIndex_ == 0) {
        ++seen_[command];
        if (fire(config_.dropAfter, command)) {
            out.drop = true;
            return true;
        }
        if (fire(config_.silentAfter, command)) {
            silent_ = true;
            return true;
        }
        if (fire(config_.garbageAfter, command)) garbage_ = true;
    }

    if (configIndex_ > 0) {
        const QByteArray ack = acknowledge();
        if (ack[0] == char(kAck)) {
            memory_.config[size_t(configIndex_)] = cmd;
            configIndex_ = configIndex_ + 1 < config_.configWords ? configIndex_ + 1 : 0;
        }
        out.reply += ack;
        return true;
    }

    switch (command) {
    case kReadId: {
        ++memory_.identifications;
        QByteArray id(8, '\0');
        id[0] = char(config_.deviceId & 0xFF);
        id[1] = char(config_.deviceId >> 8);
        id[5] = char((config_.processId & 0x0F) << 4);
        out.reply += answer(id);
        break;
    }
    case kReadVersion:
        out.reply += answer(QByteArray(1, char(config_.version)) + QByteArray(1, 0));
        break;
    case kReadProgram:
        out.reply += answer(readProgram(address24(cmd, 1)));
        break;
    case kWriteProgram:
    case kWriteEeprom: {
        const QByteArray ack = acknowledge();
        if (ack[0] == char(kAck)) {
            if (command == kWriteProgram)
                storeProgramRow(address24(cmd, 1), cmd.mid(4));
            else
                memory_.eeprom[address24(cmd, 1)] = cmd.mid(4);
        }
        out.reply += ack;
        break;
    }
    case kWriteConfig: {
        const QByteArray ack = acknowledge();
        if (ack[0] == char(kAck)) {
            memory_.config[0] = cmd.mid(1);
            if (config_.configWords > 1) configIndex_ = 1;
        }
        out.reply += ack;
        break;
    }
    case kReset:
        ++memory_.resets;
        out.reset = true;
        break;
    case kAnnounceReply:
        break;
    default:
        ++memory_.unknownBytes;
        break;
    }
    return true;
}

} // namespace vorna::sim
