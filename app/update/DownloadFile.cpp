#include "app/update/DownloadFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

TDownloadFile::~TDownloadFile() {
    if (fd_ >= 0) close(fd_);
}

bool TDownloadFile::Create(const std::string& path) {
    if (fd_ >= 0) {
        errno = EBUSY;
        return false;
    }
    // O_EXCL with O_CREAT never follows a link at the name; O_NOFOLLOW says so once more.
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    failed_ = false;
    struct stat st;
    made_ = fd_ >= 0 && fstat(fd_, &st) == 0;
    if (made_) {
        device_ = st.st_dev;
        inode_ = st.st_ino;
    }
    return fd_ >= 0;
}

bool TDownloadFile::IsAt(const std::string& path) const {
    struct stat st;
    return made_ && lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_dev == device_ &&
           st.st_ino == inode_;
}

bool TDownloadFile::Close() {
    if (fd_ < 0) return false;
    // On Linux the descriptor is released even when close fails (EINTR included), so it is never
    // closed twice; the bytes are then not known to be stored, which counts as a failure.
    const bool closed = close(fd_) == 0;
    fd_ = -1;
    return closed && !failed_;
}

bool TDownloadFile::WriteAll(const char* data, size_t size) {
    if (fd_ < 0 || failed_) return false;
    while (size > 0) {
        const ssize_t n = write(fd_, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failed_ = true;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

TDownloadFile::int_type TDownloadFile::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    return WriteAll(&byte, 1) ? c : traits_type::eof();
}

std::streamsize TDownloadFile::xsputn(const char* data, std::streamsize size) {
    if (size <= 0) return 0;
    return WriteAll(data, static_cast<size_t>(size)) ? size : 0;
}
