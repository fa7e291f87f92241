#pragma once

#include <QString>
#include <exception>
#include <thread>

namespace vorna {

// Copies `from` to `to` through a temporary file synced to disk before it takes the name, so
// `to` is always either the old file or the complete new one; journal files left beside the old
// one go with it. With certify, the copy carries the digest of its bytes in an extended
// attribute: it says the copy was made here, from a file that had been checked.
void copyReplacing(const QString& from, const QString& to, bool certify = false);

// copyReplacing's copy written on a thread while the caller goes on; it takes the name `to` only
// through commit(), so a copy whose source then proves unsound never replaces a sound one.
// Without commit() the part written is removed again.
class StagedCopy {
public:
    StagedCopy(const QString& from, const QString& to, bool certify);
    ~StagedCopy();
    StagedCopy(const StagedCopy&) = delete;
    StagedCopy& operator=(const StagedCopy&) = delete;
    // Waits for the copy; its failure is thrown here.
    void commit();

private:
    QString from_, to_;
    std::exception_ptr failure_;
    bool placed_ = false;
    std::thread worker_; // last: starts once the rest is in place
};

// True when `copy` is a certified copy that still holds the bytes it was certified with and
// `original` holds exactly the same bytes; both files are read whole. No certificate (or a file
// system without extended attributes), another length, or a journal beside the copy: false.
bool holdsCertifiedCopyOf(const QString& copy, const QString& original);

} // namespace vorna
