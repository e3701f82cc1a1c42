#pragma once
// Files and paths. Paths are native UTF-8 bytes with '/' as the separator.

#include <cstdint>
#include <string>
#include <string_view>

// A regular file, or a symbolic link to one. Directories, FIFOs, devices and sockets are no
// files here: nothing reads them as one.
bool FileExists(const std::string& path);
// Anything at the path, following symbolic links: a file, a folder, a FIFO, a device.
bool PathExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Size in bytes from the file's status; -1 when the status cannot be read.
int64_t FileSize64(const std::string& path);

// "dir/sub/name.ext" -> "dir/sub/" (empty when there is no '/').
std::string ExtractFilePath(std::string_view path);
// "dir/sub/name.ext" -> "dir/sub" (the path without its last '/' and name).
std::string ExtractFileDir(std::string_view path);
// "dir/sub/name.ext" -> "name.ext".
std::string ExtractFileName(std::string_view path);
// The last '.' of the name and what follows it ("name.tar.gz" -> ".gz"); empty without a '.'.
std::string ExtractFileExt(std::string_view path);
// Replaces (or adds) the name's extension; `ext` includes its '.' or is empty to remove it.
std::string ChangeFileExt(std::string_view path, std::string_view ext);
std::string IncludeTrailingPathDelimiter(std::string_view path);

bool DeleteFile(const std::string& path);
bool RenameFile(const std::string& from, const std::string& to);

// How a read of a file ended.
enum class TFileRead {
    Ok,
    Missing,     // nothing at the path (or a dangling link)
    NotRegular,  // a directory, FIFO, device or socket: refused before a byte is read
    TooLarge,    // the bytes could not be held in memory
    Failed,      // it could not be opened or read (permissions, an I/O error, cut short while read)
};
// Reads at most `limit` bytes from the start of a regular file (or a link to one) into `data`:
// the bytes it holds when it is opened, its size then (a file that reports size 0, as those of
// /proc do, is read to its end). A file that ends before that size or `limit`, whichever is
// smaller, was cut short while it was read: Failed, with errno ENODATA. Anything but a regular
// file is refused from its status before it is opened, and again from the opened file's status,
// so a FIFO never blocks and a device is never read. An allocation failure is answered with
// TooLarge, never thrown. Except for Ok, `data` is left empty with its memory released.
TFileRead ReadRegularFile(const std::string& path, std::string& data, size_t limit = static_cast<size_t>(-1));
// ReadRegularFile of the whole file; false (data empty) for anything but Ok.
bool ReadFileBytes(const std::string& path, std::string& data);
// ReadRegularFile of at most `limit` bytes; false (data empty) for anything but Ok.
bool ReadFileHead(const std::string& path, size_t limit, std::string& data);

// Writes `data` to `path` so that a failure never destroys the previous file: the bytes go to a
// temporary file in the same folder, are flushed to disk, the temporary file is renamed over
// `path` and the folder is flushed. A replacement is private (0600) until its bytes are written;
// then it takes the permission bits of the file it replaces, set-id and sticky bits included, and
// its owner and group where the system allows: a set-user-id bit goes when the owner cannot be
// kept, a set-group-id bit when the group cannot. Last it takes that file's access ACL, or none
// when that file has none; where the file has an ACL that cannot be read or set on the
// replacement, the save fails (a filesystem without ACLs has none to copy). A file that did not
// exist gets 0666 less the umask (or its folder's default ACL). Only a regular file is replaced:
// a folder, FIFO, device or socket at `path` or at the end of its links is left as it is, looked
// at without being opened when the save starts and again right before the rename: false with
// errno EISDIR for a folder, else EINVAL. An existing file that the user may not write (access
// W_OK: root may write any) is not replaced: false with access's errno (EACCES). Through a
// symbolic link (or a chain of them), the file it points to is written and the link kept, also
// when that file does not exist yet; a relative target counts from the link's folder, a target
// whose folder is missing fails, a chain of 40 links or more fails with ELOOP. False, with errno
// set, when any step fails: up to the rename, `path` is untouched and no temporary file is left (a
// write past the file-size limit included); when only the folder cannot be flushed, the new file
// is already in place at `path` and stays there. A folder the user may not read cannot be opened
// to be flushed and is not; a folder whose filesystem cannot flush folders (EINVAL, ENOTSUP)
// counts as flushed.
bool WriteFileAtomic(const std::string& path, std::string_view data);

// The running program's directory, with its trailing '/'.
std::string GetAppDir();
