#pragma once

#include "bootloader_session.h"

#include <QString>
#include <cstdint>
#include <map>
#include <optional>

namespace vorna::fuzz {

// How a session of the bootloader target runs, from the first byte of its input; the rest of
// the input is what the bootloader sends.
struct SessionSetup {
    bool tamrix = false;
    bool verify = false;
    bool announced = true;
    // The n-th write fails (the line breaks), or the n-th read comes short (half the reply is
    // lost, the line goes on); 0: none.
    bool faultyRead = false;
    int faultAt = 0;

    static SessionSetup from(std::uint8_t flags);
    std::uint8_t flags() const;
    const uploader::TransferPolicy& policy() const;
};

// The firmware every session writes: parts of program rows 0 and 1, EEPROM words and
// configuration words 0 and 2; its bytes by HEX byte address.
const QString& firmwarePath();
const std::map<std::uint32_t, std::uint8_t>& firmwareBytes();

struct SessionResult {
    uploader::BootloaderSession::Identity identity;
    std::optional<uploader::TransferOutcome> written; // none when identification failed
};

// Identification, the version where the build reads it, and the firmware, in the uploader's
// order; every pause is the link's.
SessionResult runSession(uploader::ByteLink& link, const SessionSetup& setup);

} // namespace vorna::fuzz
