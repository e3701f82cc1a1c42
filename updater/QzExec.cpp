#include "updater/QzExec.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>

long LeadingNumber(const char* text) {
    long long v = 0;
    for (const char* p = text; *p >= '0' && *p <= '9'; ++p) {
        v = v * 10 + (*p - '0');
        if (v > INT_MAX) return 0;
    }
    return static_cast<long>(v);
}

TQzExec::TQzExec(std::string name) : name_(std::move(name)) {}

TQzExec::~TQzExec() { Close(); }

void TQzExec::Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

long TQzExec::GetHandle() {
    Close();
    // A name holding '/' cannot name a shared-memory object; it reads as nothing published.
    // O_NONBLOCK: a FIFO left under the name would otherwise hold the open until a writer came.
    if (!name_.empty() && name_.find('/') == std::string::npos)
        fd_ = shm_open(("/" + name_).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC, 0);
    // Judged on the open object itself, so it cannot be swapped between check and read.
    struct stat st;
    if (fd_ >= 0 && (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid() ||
                     (st.st_mode & (S_IWGRP | S_IWOTH)) != 0))
        Close();
    value_ = ReadHandle();
    return value_;
}

std::string TQzExec::ReadMapping() const {
    if (fd_ < 0) return {};
    struct stat st;
    if (fstat(fd_, &st) != 0 || st.st_size <= 0) return {};
    // Only the bytes the object really has are mapped: touching a page past its end would fault.
    const size_t length = static_cast<size_t>(st.st_size) < kBlockSize ? static_cast<size_t>(st.st_size) : kBlockSize;
    void* view = mmap(nullptr, length, PROT_READ, MAP_SHARED, fd_, 0);
    if (view == MAP_FAILED) return {};
    const char* bytes = static_cast<const char*>(view);
    const size_t limit = length < kTextLimit ? length : kTextLimit;
    const void* nul = std::memchr(bytes, 0, limit);
    std::string text(bytes, nul ? static_cast<const char*>(nul) - bytes : limit);
    munmap(view, length);
    return text;
}

long TQzExec::ReadHandle() const { return LeadingNumber(ReadMapping().c_str()); }
