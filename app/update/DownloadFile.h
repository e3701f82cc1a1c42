#pragma once
// The file a download is written into: made new at its name, never through a link, and readable
// only by its owner until the download is finished. Its descriptor stays open for the checks of
// what was written, so that nothing put at the name meanwhile is ever opened.

#include <sys/types.h>

#include <streambuf>
#include <string>

// A stream buffer without a buffer of its own: every block an std::ostream over it puts is written
// at once with write(2), so a failed write makes that put fail and the stream go bad.
class TDownloadFile : public std::streambuf {
public:
    TDownloadFile() = default;
    // Closes a file still open; whether that close failed is then lost (see Close).
    ~TDownloadFile() override;
    TDownloadFile(const TDownloadFile&) = delete;
    TDownloadFile& operator=(const TDownloadFile&) = delete;

    // Creates `path` with mode 0600, open for reading and writing. False, errno set, when anything
    // already stands at that name (a link included, wherever it points) or the file cannot be made.
    bool Create(const std::string& path);
    // The open file's descriptor (-1 when none), for reads at an offset (pread), its mode and its
    // flush; the stream's writes go on at its end.
    int Descriptor() const { return fd_; }
    // True while a file is open and every write to it succeeded.
    bool Written() const { return fd_ >= 0 && !failed_; }
    // True when `path` itself (not followed if it is a link) is the file that Create made; it is
    // looked at, never opened.
    bool IsAt(const std::string& path) const;
    // Closes the file. False when a write failed or the close reports an error (some file
    // systems report a failed write only then), or when no file was open.
    bool Close();

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* data, std::streamsize size) override;

private:
    bool WriteAll(const char* data, size_t size);

    int fd_ = -1;
    bool failed_ = false;
    bool made_ = false;  // the file Create made is known by the two below
    dev_t device_ = 0;
    ino_t inode_ = 0;
};
