#pragma once

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>
#include <array>
#include <map>
#include <optional>

namespace vorna::sim {

// A fault that fires when command byte 'command' has arrived for the 'occurrence'-th time.
struct FaultTrigger {
    int command = -1; // -1: never
    int occurrence = 1;
    bool armed() const { return command >= 0; }
};

struct BootloaderConfig {
    quint16 deviceId = 0x0071; // PIC24HJ256GP206
    int processId = 3;
    quint8 version = 0x12;
    int rowSize = 512;   // instructions per program row (32 on dsPIC30F)
    int configWords = 8; // configuration words the bootloader takes after 0x07
    QByteArray row0;     // the first program row as read back; padded with 0xFF
    int refuse = 0;      // the first N writes are answered with refuseByte
    quint8 refuseByte = 0x00;
    FaultTrigger silentAfter;         // from this command on nothing is answered
    FaultTrigger dropAfter;           // the line is dropped on this command
    FaultTrigger garbageAfter;        // from this command on every reply is noise
    std::optional<quint32> corruptAt; // the instruction at this device address is stored wrong
    quint32 seed = 1;
};

// What the bootloader has been told to program, as it stored it.
struct ProgrammedMemory {
    std::map<quint32, QByteArray> program; // by row address
    std::map<quint32, QByteArray> eeprom;
    std::array<std::optional<QByteArray>, 8> config; // empty flag, byte 0, byte 1
    int resets = 0;
    int refusals = 0;
    int unknownBytes = 0;
    int identifications = 0;

    // One line per item: "program <addr> <hex>", "eeprom <addr> <hex>", "config <n> <hex>",
    // then the counters ("resets 1", ...). Addresses are six lower-case hex digits.
    QByteArray toText() const;
};

// The bootloader's side of the protocol, free of any I/O: bytes in, replies out.
class BootloaderModel {
public:
    explicit BootloaderModel(const BootloaderConfig& config);

    struct Output {
        QByteArray reply;
        bool reset = false; // 0x08 arrived: the firmware starts
        bool drop = false;  // hang up the line now
    };
    Output feed(const QByteArray& bytes);

    // Power cycle: pending input and the silence/garbage faults are forgotten, memory kept.
    void powerCycle();

    const ProgrammedMemory& memory() const { return memory_; }
    const BootloaderConfig& config() const { return config_; }

private:
    qsizetype commandLength(quint8 command) const;
    // rowSize instructions from a device address, as program memory holds them now: written
    // rows, else the first row the bootloader started with, else erased.
    QByteArray readProgram(quint32 address) const;
    void storeProgramRow(quint32 address, QByteArray bytes);
    // Handles one complete command at the head of pending_; false when more bytes are needed.
    bool handleNext(Output& out);
    QByteArray answer(const QByteArray& proper);
    QByteArray acknowledge();
    bool fire(const FaultTrigger& t, quint8 command);

    BootloaderConfig config_;
    ProgrammedMemory memory_;
    QByteArray pending_;
    std::map<int, int> seen_; // command byte -> count
    int configIndex_ = 0;     // > 0 while configuration words 1 .. n-1 are expected
    int writes_ = 0;
    bool silent_ = false;
    bool garbage_ = false;
    QRandomGenerator random_;
};

} // namespace vorna::sim
