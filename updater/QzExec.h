#pragma once
// Reads the process id that a running program may publish in POSIX shared memory named after it
// ("/" + name): a NUL-terminated decimal text at the start of a block of up to 1024 bytes.
// Nothing is created: an object that does not exist, cannot be opened or is empty reads as 0.
// Any local user can create an object under that name, so one is used only when it is a regular
// object that belongs to this process's user and neither group nor others may write; any other
// (a FIFO, a folder, another user's object) reads as 0, and opening it never waits.

#include <string>

class TQzExec {
public:
    static constexpr size_t kBlockSize = 1024;   // bytes of the published block
    static constexpr size_t kTextLimit = 255;    // characters of the text that are read

    explicit TQzExec(std::string name);
    ~TQzExec();
    TQzExec(const TQzExec&) = delete;
    TQzExec& operator=(const TQzExec&) = delete;

    // Closes the shared memory if open.
    void Close();
    // Close, open the shared memory again (when trusted, see above) and read it; the value is
    // stored and returned.
    long GetHandle();
    // The published text (at most kTextLimit bytes, up to the first NUL); empty without an open
    // object or when it cannot be mapped.
    std::string ReadMapping() const;
    // The value of the leading decimal digits of ReadMapping(); 0 when there are none or when
    // they do not fit a positive 32-bit number.
    long ReadHandle() const;

    long Value() const { return value_; }

private:
    int fd_ = -1;      // the shared-memory descriptor, -1 when none
    long value_ = 0;   // the last value read
    std::string name_;
};

// The value of the leading decimal digits of `text`; 0 when there are none or when the number
// does not fit a positive 32-bit value.
long LeadingNumber(const char* text);
