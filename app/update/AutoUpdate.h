#pragma once
// The main window's auto-update command: checks for a newer version, asks the user, downloads it
// beside the program as "Morvane.tmp", has the updater "Kelvoran" started from the program's
// directory with the arguments "Morvane" and this process's id when the program ends, and closes
// the main window so the updater can replace the program.

#include "app/update/QzUpdateCheck.h"
#include "app/update/UpdateHost.h"

#include <string>

class TAutoUpdate {
public:
    // The update server used when none is given: "https://" and the host, without a trailing '/'.
    static const char* const kDefaultServer;
    // The site named in the user agent ("Morvo for " + site).
    static const char* const kDefaultSite;

    explicit TAutoUpdate(TUpdateHost& host, const std::string& server = kDefaultServer,
                         const std::string& site = kDefaultSite);
    TAutoUpdate(const TAutoUpdate&) = delete;
    TAutoUpdate& operator=(const TAutoUpdate&) = delete;

    // The menu command (Alt+U).
    void mnuAutoUpdateClick();

    // True while a transfer runs: the main window then takes no command and cannot be closed.
    bool Busy() const { return UpdateCheck.Busy(); }

    TQzUpdateCheck UpdateCheck;

private:
    void UpdateCheckErrorMsg(TQzUpdateCheck& sender, const std::string& msg);
    void UpdateCheckUpdateNo(TQzUpdateCheck& sender, const std::string& msg);
    void UpdateCheckUpdate(TQzUpdateCheck& sender, const std::string& msg);
    void UpdateCheckWorkBegin(THttpClient& sender, TWorkMode mode, int64_t workCountMax);
    void UpdateCheckWork(THttpClient& sender, TWorkMode mode, int64_t workCount);
    void UpdateCheckWorkEnd(THttpClient& sender, TWorkMode mode);

    TUpdateHost& host_;
    int64_t progressMax_ = 0;
};

// Messages of the command, code page 949.
std::string MsgNoUpdater();        // "업데이트 프로그램이 존재하지 않습니다."
std::string MsgDocumentModified(); // "편집중인 자막이 있습니다.\n자막을 저장하십시오."
std::string MsgUpdaterNotStarted();// "업데이트 프로그램을 실행할 수 없습니다."
std::string CaptionAutoUpdate();   // "자동 업데이트"
