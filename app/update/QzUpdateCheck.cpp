#include "app/update/QzUpdateCheck.h"

#include "app/update/DownloadFile.h"
#include "app/update/ExecutableCheck.h"
#include "document/QzText.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <ostream>

namespace {

constexpr size_t kCheckedHead = 256;   // bytes of a download that the checks look at
constexpr char kElfSignature[] = "\x7F" "ELF";

// Gives the downloaded file `fd` the permission bits of the running program (so the new version
// can run) and puts its bytes on disk before anyone renames it over the program. False when either
// step fails.
bool FinishProgramFile(int fd) {
    mode_t mode = 0755;
    struct stat self;
    if (stat("/proc/self/exe", &self) == 0) mode = self.st_mode & 0777;
    return fchmod(fd, mode) == 0 && fsync(fd) == 0;
}

}  // namespace

bool IsVerifiedUrl(const std::string& url) {
    static const char kScheme[] = "https://";
    const size_t n = sizeof kScheme - 1;
    if (url.size() < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(url[i])) != kScheme[i]) return false;
    return true;
}

std::string MsgCannotConnect() { return Cp949("업데이트 서버에 접속할 수 없습니다."); }
std::string MsgProgramNotListed() { return Cp949("업데이트 정보에 현재 프로그램이 포함되어있지 않습니다."); }
std::string MsgBadDownload() { return Cp949("수신된 파일에 이상이 있습니다."); }

bool IsValidProgramFile(int fd) {
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < static_cast<off_t>(kCheckedHead)) return false;
    char head[kCheckedHead];
    if (pread(fd, head, sizeof head, 0) != static_cast<ssize_t>(sizeof head)) return false;
    if (std::memcmp(head, kElfSignature, 4) != 0) return false;
    return std::memchr(head, 0, sizeof head) != nullptr && IsExecutableForThisMachine(fd);
}

TQzUpdateCheck::TQzUpdateCheck() {
    ConnectTimeout = kConnectTimeoutMs;
    ReadTimeout = kReadTimeoutMs;
    ReadMinSpeed = kMinSpeed;
    TotalTimeout = kTotalTimeoutMs;
    MaxStreamSize = kMaxProgramSize;
}

std::string TQzUpdateCheck::FillMessage(const std::string& text) const {
    std::string s = ReplaceText(text, "\\n", "\n", true);
    s = ReplaceText(s, "($ver.cur)", CurVersion, true);
    return ReplaceText(s, "($ver.new)", NewVersion, true);
}

void TQzUpdateCheck::Error(const std::string& msg) {
    if (OnErrorMsg) OnErrorMsg(*this, msg);
}

bool TQzUpdateCheck::UpdateCheck() {
    if (UpdateInfURL.empty() || UpdateSession.empty() || CurVersion.empty()) return false;
    // The description decides what is downloaded and run: nothing is asked of a server that the
    // transport cannot vouch for.
    if (!IsVerifiedUrl(UpdateInfURL) || (!UpdateFileURL.empty() && !IsVerifiedUrl(UpdateFileURL))) {
        Error(MsgCannotConnect());
        return false;
    }
    std::string body;
    try {
        body = Get(UpdateInfURL);
    } catch (...) {
        Error(MsgCannotConnect());
        return false;
    }
    if (body.empty()) {
        Error(MsgProgramNotListed());
        return false;
    }
    NewVersion = ValueFromText(UpdateSession, body);
    // std::string compares bytes as unsigned char, so this is the plain byte-wise order.
    if (NewVersion > CurVersion) {
        const std::string msg = FillMessage(ValueFromText("MsgUpdateAsk", body));
        if (OnUpdate) OnUpdate(*this, msg);
    } else {
        const std::string msg = FillMessage(ValueFromText("Msg", body));
        if (OnUpdateNo) OnUpdateNo(*this, msg);
    }
    return true;
}

bool TQzUpdateCheck::UpdateFile(const std::string& FileName, int Verify) {
    if (FileName.empty() || UpdateFileURL.empty()) return false;
    if (!IsVerifiedUrl(UpdateFileURL)) {
        Error(MsgCannotConnect());
        return false;
    }
    bool received = false;
    const bool requireBodyEnd = RequireBodyEnd;
    TDownloadFile file;
    try {
        // A fresh file: one left by an earlier attempt goes first, and whatever stands at the
        // name when the file is made (a link put there meanwhile, for one) fails the download
        // instead of being written through.
        DeleteFile(FileName);
        if (file.Create(FileName)) {
            Tag = 1;
            RequireBodyEnd = true;
            std::ostream out(&file);
            Get(UpdateFileURL, out);
            received = file.Written();
        }
    } catch (...) {
    }
    Tag = 0;
    RequireBodyEnd = requireBodyEnd;
    // The checks, the mode and the flush act on the file the download wrote, through its own
    // descriptor: a FIFO or a link put at the name meanwhile is never opened. The updater then
    // takes the file by its name, which must still be this file.
    std::string failure;
    if (!received)
        failure = MsgCannotConnect();
    else if (Verify && !IsValidProgramFile(file.Descriptor()))
        failure = MsgBadDownload();
    else if (!FinishProgramFile(file.Descriptor()))
        failure = MsgCannotConnect();
    if (!file.Close() && failure.empty()) failure = MsgCannotConnect();
    if (failure.empty() && !file.IsAt(FileName)) failure = MsgCannotConnect();
    // A broken, partial or replaced download is never left behind for the updater to install.
    if (!failure.empty()) {
        DeleteFile(FileName);
        Error(failure);
        return false;
    }
    return true;
}
