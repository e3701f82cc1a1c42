#include "app/model/CaptionInfo.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>

#include "platform/core/FileUtils.h"

const char* const kApplicationTitle = "Morvane 1.22 p1";
const char* const kUpdateDate = "2002.09.25";
const char* const kCreateDate = "2002.09.25";
const char* const kMakerSite = "http://morvane.example.org";

void ResetCaptionInfo(TCaptionInfo& info) {
    std::string movie = std::move(info.MovieFile);
    info = TCaptionInfo();
    info.MovieFile = std::move(movie);
}

std::string FormatTime(long long unixSeconds) {
    time_t t = static_cast<time_t>(unixSeconds);
    struct tm local;
    if (!localtime_r(&t, &local)) return std::string();
    char buf[100];
    size_t n = strftime(buf, sizeof buf, "%Y/%m/%d %H:%M", &local);
    return std::string(buf, n);
}

std::string FormatNow() { return FormatTime(static_cast<long long>(time(nullptr))); }

std::string FormatFileTime(const std::string& path, bool creation) {
    if (path.empty()) return FormatNow();
    struct statx sx;
    if (statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_MTIME, &sx) == 0) {
        if (creation && (sx.stx_mask & STATX_BTIME)) return FormatTime(sx.stx_btime.tv_sec);
        return FormatTime(sx.stx_mtime.tv_sec);
    }
    struct stat st;
    if (stat(path.c_str(), &st) == 0) return FormatTime(st.st_mtime);
    return FormatNow();
}

bool IsFormattedTime(const std::string& t) {
    static const char shape[] = "dddd/dd/dd dd:dd";
    if (t.size() != sizeof shape - 1) return false;
    for (size_t i = 0; i < t.size(); ++i) {
        bool digit = t[i] >= '0' && t[i] <= '9';
        if (shape[i] == 'd' ? !digit : t[i] != shape[i]) return false;
    }
    return true;
}

std::string DocumentTitle(const std::string& path) {
    if (path.empty()) return kApplicationTitle;
    return ExtractFileName(path) + " - " + kApplicationTitle;
}
