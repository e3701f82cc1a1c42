#include "app/update/AutoUpdate.h"

#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"

#include <unistd.h>

namespace {

const char kProgramName[] = "Morvane";     // the fixed name handed to the updater
const char kUpdaterFile[] = "Kelvoran";
const char kDownloadSuffix[] = ".tmp";

}  // namespace

const char* const TAutoUpdate::kDefaultServer = "https://update.morvane.example";
const char* const TAutoUpdate::kDefaultSite = "morvane.example";

std::string MsgNoUpdater() { return Cp949("업데이트 프로그램이 존재하지 않습니다."); }
std::string MsgDocumentModified() { return Cp949("편집중인 자막이 있습니다.\n자막을 저장하십시오."); }
std::string MsgUpdaterNotStarted() { return Cp949("업데이트 프로그램을 실행할 수 없습니다."); }
std::string CaptionAutoUpdate() { return Cp949("자동 업데이트"); }

TAutoUpdate::TAutoUpdate(TUpdateHost& host, const std::string& server, const std::string& site)
    : host_(host) {
    UpdateCheck.UpdateInfURL = server + "/cgi-bin/kelvoran/update.inf";
    UpdateCheck.UpdateFileURL =
        server + "/cgi-bin/qz2000/qzboard.cgi?db=qzpad/down&action=down&dbf=28&ftype=fil1&file=Morvane";
    UpdateCheck.UpdateSession = kProgramName;
    UpdateCheck.Request.ContentType = "text/html";
    UpdateCheck.Request.Accept = "text/html, */*";
    UpdateCheck.Request.UserAgent = "Morvo for " + site;
    UpdateCheck.HTTPOptions = hoForceEncodeParams;
    UpdateCheck.AllowCookies = true;
    UpdateCheck.MaxLineAction = maException;

    UpdateCheck.OnErrorMsg = [this](TQzUpdateCheck& s, const std::string& m) { UpdateCheckErrorMsg(s, m); };
    UpdateCheck.OnUpdateNo = [this](TQzUpdateCheck& s, const std::string& m) { UpdateCheckUpdateNo(s, m); };
    UpdateCheck.OnUpdate = [this](TQzUpdateCheck& s, const std::string& m) { UpdateCheckUpdate(s, m); };
    UpdateCheck.OnWorkBegin = [this](THttpClient& s, TWorkMode w, int64_t n) { UpdateCheckWorkBegin(s, w, n); };
    UpdateCheck.OnWork = [this](THttpClient& s, TWorkMode w, int64_t n) { UpdateCheckWork(s, w, n); };
    UpdateCheck.OnWorkEnd = [this](THttpClient& s, TWorkMode w) { UpdateCheckWorkEnd(s, w); };
}

void TAutoUpdate::mnuAutoUpdateClick() {
    if (Busy()) return;
    if (!FileExists(host_.AppDir() + kUpdaterFile)) {
        host_.ShowMessage(MsgNoUpdater());
        return;
    }
    if (host_.IsDocumentModified()) {
        host_.ShowMessage(MsgDocumentModified());
        return;
    }
    host_.SetUpdateCommandEnabled(false);
    if (UpdateCheck.CurVersion.empty()) UpdateCheck.CurVersion = host_.ApplicationTitle();
    UpdateCheck.UpdateCheck();
    host_.SetUpdateCommandEnabled(true);
}

void TAutoUpdate::UpdateCheckErrorMsg(TQzUpdateCheck&, const std::string& msg) {
    host_.SetUpdateCommandEnabled(true);
    host_.ShowMessage(msg);
}

void TAutoUpdate::UpdateCheckUpdateNo(TQzUpdateCheck&, const std::string& msg) { host_.ShowMessage(msg); }

void TAutoUpdate::UpdateCheckUpdate(TQzUpdateCheck& sender, const std::string& msg) {
    if (!host_.AskOkCancel(msg, CaptionAutoUpdate())) return;
    const std::string dir = host_.AppDir();
    if (!sender.UpdateFile(dir + kProgramName + kDownloadSuffix, 1)) return;
    // The updater finds the program by this fixed name; the process id lets it tell this
    // process apart. It waits only a moment for this program to end, so it is started once the
    // close is final and the windows are gone, however long the close takes (a settings file that
    // cannot be written shows its message first).
    const std::vector<std::string> args{kProgramName, std::to_string(static_cast<long>(getpid()))};
    if (!host_.StartProgramAtEnd(dir + kUpdaterFile, args)) {
        // The download stays in place; the program keeps running rather than closing for an
        // update that will not happen.
        host_.ShowMessage(MsgUpdaterNotStarted());
        return;
    }
    host_.CloseMainWindow();
}

void TAutoUpdate::UpdateCheckWorkBegin(THttpClient&, TWorkMode, int64_t workCountMax) {
    progressMax_ = workCountMax;
    host_.ShowProgress(true);
    host_.SetProgressPosition(0);
    host_.SetProgressMax(workCountMax);
}

void TAutoUpdate::UpdateCheckWork(THttpClient&, TWorkMode, int64_t workCount) {
    host_.SetProgressPosition(workCount);
    host_.ProcessPaintEvents();
}

void TAutoUpdate::UpdateCheckWorkEnd(THttpClient&, TWorkMode) {
    host_.SetProgressPosition(progressMax_);
    host_.ShowProgress(false);
}
