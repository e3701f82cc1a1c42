#pragma once
// Files and paths. Paths are native UTF-8 bytes with '/' as the separator.

#include <cstdint>
#include <string>
#include <string_view>

bool FileExists(const std::string& path);       // a regular file (not a directory)
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

// Reads the whole file into `data`; false (data cleared) when it cannot be opened or read.
bool ReadFileBytes(const std::string& path, std::string& data);
// Reads at most `limit` bytes from the start of the file; false when it cannot be opened.
bool ReadFileHead(const std::string& path, size_t limit, std::string& data);

// Writes `data` to `path` so that a failure never destroys the previous file: the bytes go to a
// temporary file in the same folder, are flushed to disk, and the temporary file is renamed over
// `path`. The new file keeps the permission bits of the file it replaces, and its owner and group
// where the system allows; a file that did not exist gets 0666 less the umask. Through a symbolic
// link (or a chain of them), the file it points to is written and the link kept, also when that
// file does not exist yet; a relative target counts from the link's folder, and a target whose
// folder is missing fails. False, with errno set and `path` untouched, when any step fails.
bool WriteFileAtomic(const std::string& path, std::string_view data);

// The running program's directory, with its trailing '/'.
std::string GetAppDir();
