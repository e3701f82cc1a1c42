#pragma once
// Which files Morvane reads as caption files. A caption file is code page 949 text (SAMI, plain
// text or ".s2k"); a file in another encoding, or no text at all, is refused with a message that
// names what it is, before the open document is touched. Messages are code page 949 text.

#include <string>
#include <string_view>

struct TCaptionFileCheck {
    // The message that refuses the file; empty when it may be read.
    std::string Refusal;
    // Reading no caption from the file is right: it is missing, empty or blank, or a SAMI file with
    // a BODY tag (the file of an empty document). Otherwise a read without captions is refused
    // with NoCaptionMessage.
    bool MayHoldNoCaption = true;
};

// Reads the file and checks, in this order: it is no regular file (a folder, FIFO or device,
// refused before a byte is read); it is too large to hold in memory; it cannot be read; a UTF-16
// byte-order mark; a UTF-8 byte-order mark; a NUL byte anywhere (UTF-16 without a mark, or not
// text); well-formed UTF-8 with multi-byte sequences that is not code page 949 text. A missing
// file is not refused.
TCaptionFileCheck CheckCaptionFile(const std::string& path);
// CheckCaptionFile that hands the bytes it read to `bytes` (for the reader, so that the file is
// read once); `read` tells whether they were read (false for a missing or unreadable file).
TCaptionFileCheck CheckCaptionFile(const std::string& path, std::string& bytes, bool& read);
// How many bytes from a caption file's start its open checks before the save prompt.
constexpr size_t kCaptionHeadBytes = 64 * 1024;
// CheckCaptionFile of the file's first kCaptionHeadBytes only (the whole file when it is shorter;
// cut after the head's last line break when the file goes on, so that no character is cut): what
// the file is, whether it can be read, and its encoding as far as the head shows it, in memory
// bounded whatever the file's size. `read` tells whether there was a file to read.
// MayHoldNoCaption needs the whole file and is not told here.
TCaptionFileCheck CheckCaptionHead(const std::string& path, bool& read);
// The same for the file's bytes; `path` only names the file in the message.
TCaptionFileCheck CheckCaptionBytes(const std::string& path, std::string_view bytes);
// The refusal of a file whose bytes or captions cannot be held in memory.
std::string TooLargeMessage(const std::string& path);
// The refusal of a file that holds text but no caption.
std::string NoCaptionMessage(const std::string& path);
// True for the extensions of caption files, in any letter case: ".smi", ".sami", ".smil", ".txt",
// ".s2k". Such a file is opened as a caption file (and refused when it is none), never as a movie.
bool HasCaptionFileExt(const std::string& path);
