#pragma once
// The information of a caption document and of its user, the program's fixed texts, and the time
// and title texts of the main window.

#include <string>

// The program's name everywhere: window captions, the banner row, the update check's version.
extern const char* const kApplicationTitle;  // "Morvane 1.22 p1"
// Texts put for "($update)" and "($date)" in the header of a written caption file.
extern const char* const kUpdateDate;
extern const char* const kCreateDate;
// The maker's web site: the banner row, line 4 of the header and the help menu.
extern const char* const kMakerSite;

// Constructed with the reset values below.
struct TCaptionInfo {
    std::string FileName;    // full path of the caption file; empty while the document has no name
    std::string MovieFile;   // full path of the movie opened with it; empty when none
    std::string CreateTime;  // "%Y/%m/%d %H:%M"
    std::string ModifyTime;  // "%Y/%m/%d %H:%M"
    std::string MakerName;
    std::string MakerMail;
    std::string MakerHome;
    std::string Notice;      // lines separated by CR LF
    int Modified = 0;        // 1 when the document changed since it was loaded, created or saved
    int PreviewPosition = 5; // 0..8, where the movie window is placed
    int TopWindow = 0;       // 0..2, which window stays on top
    int DisplaySize = 4;     // 0..4, the movie display size
};

// Every string empty except MovieFile, which is kept; Modified 0, PreviewPosition 5, TopWindow 0,
// DisplaySize 4.
void ResetCaptionInfo(TCaptionInfo& info);

// The time formatted "%Y/%m/%d %H:%M" in local time.
std::string FormatTime(long long unixSeconds);
std::string FormatNow();
// A file's creation time (creation = true; the birth time where the file system records one, else
// its last modification) or its last-modification time; the current time when the file's status
// cannot be read (an empty or missing path included).
std::string FormatFileTime(const std::string& path, bool creation);
// True for a text in the form "%Y/%m/%d %H:%M" writes ("2002/09/25 14:05").
bool IsFormattedTime(const std::string& text);

// The main window's caption for a document path: the title alone for an empty path, else the file
// name, " - " and the title ("b.smi - Morvane 1.22 p1").
std::string DocumentTitle(const std::string& path);
