#pragma once
// The update check: reads an update description over HTTPS, compares the newest version named
// there with the running one, and downloads the new program file. Both URLs must be https://
// addresses: the program file is installed and run, so it is taken only from a server whose
// certificate verifies (see THttpClient).
//
// The update description is plain text, one "name=value" line per entry (names match ignoring
// ASCII case, the first line wins): the line named UpdateSession holds the newest version, the
// lines "MsgUpdateAsk" and "Msg" the texts shown when a newer version exists or not. In those
// texts the two characters backslash and n become a line feed, "($ver.cur)" becomes CurVersion
// and "($ver.new)" NewVersion, everywhere and ignoring case. Texts are code page 949 bytes.

#include "platform/net/HttpClient.h"

#include <functional>
#include <string>

class TQzUpdateCheck : public THttpClient {
public:
    using TUpdateMsgEvent = std::function<void(TQzUpdateCheck& Sender, const std::string& Msg)>;

    // Sets the transfer bounds below; a caller (a test) may change them.
    TQzUpdateCheck();

    // Bounds of every transfer, so that a server that stalls or drips cannot hold the window: the
    // connection within kConnectTimeoutMs, at least kMinSpeed bytes per second over any
    // kReadTimeoutMs, all of a request within kTotalTimeoutMs, a program file of at most
    // kMaxProgramSize bytes.
    static constexpr int kConnectTimeoutMs = 15000;
    static constexpr int kReadTimeoutMs = 60000;
    static constexpr int kMinSpeed = 1024;
    static constexpr int kTotalTimeoutMs = 10 * 60 * 1000;
    static constexpr int64_t kMaxProgramSize = int64_t{512} << 20;

    std::string UpdateInfURL;    // URL of the update description
    std::string UpdateFileURL;   // URL of the new program file
    std::string UpdateSession;   // name of the description line holding the newest version
    std::string CurVersion;      // version of the running program
    std::string NewVersion;      // version read by the last check

    TUpdateMsgEvent OnUpdate;    // a newer version exists; Msg is the text to show
    TUpdateMsgEvent OnUpdateNo;  // no newer version; Msg is the text to show
    TUpdateMsgEvent OnErrorMsg;  // a check or download failed; Msg is the error text

    // 1 while a download runs, else 0.
    int Tag = 0;

    // Fetches the description and fires OnUpdate or OnUpdateNo (when assigned). False without an
    // event when UpdateInfURL, UpdateSession or CurVersion is empty; false after OnErrorMsg when
    // UpdateInfURL or a non-empty UpdateFileURL is not an https:// address (nothing is fetched
    // then), or when the description cannot be fetched or is empty.
    bool UpdateCheck();

    // Downloads UpdateFileURL into `FileName` (replacing an existing file or link; the file is
    // made new, mode 0600, and never written or finished through a link) and gives it the
    // running program's permission bits, on disk. The checks, the mode and the flush run on the
    // descriptor the download wrote through, never on the name again; a download that is no
    // longer at `FileName` afterwards (something put in its place) fails. The body must arrive
    // whole: one whose end nothing marks (no usable Content-Length, no chunked coding: a dropped
    // connection would look the same) or that ends before its announced length is a failed
    // transfer. With Verify != 0
    // the file must pass IsValidProgramFile. A file that fails the checks, a transfer that fails
    // or breaks off (an unverified certificate among the causes) and a file that cannot be
    // written, closed, given its mode or put on disk are deleted, after which OnErrorMsg fires
    // and the result is false. RequireBodyEnd is set only for the download. An UpdateFileURL that is not an https:// address fires OnErrorMsg before
    // anything is created or fetched. False without an event when FileName or UpdateFileURL is
    // empty.
    bool UpdateFile(const std::string& FileName, int Verify);

private:
    std::string FillMessage(const std::string& text) const;
    void Error(const std::string& msg);
};

// True when `url` is an https:// address (the scheme's case ignored).
bool IsVerifiedUrl(const std::string& url);

// True when the open file `fd` is a regular file holding what a downloaded program file must: at
// least 256 bytes, "\x7F" "ELF" at its start, a NUL byte among its first 256 bytes, and an
// executable for this machine whose headers lie inside the file (IsExecutableForThisMachine).
// Read at offsets (pread); its offset is left alone.
bool IsValidProgramFile(int fd);

// The update check's messages, code page 949.
std::string MsgCannotConnect();    // "업데이트 서버에 접속할 수 없습니다."
std::string MsgProgramNotListed(); // "업데이트 정보에 현재 프로그램이 포함되어있지 않습니다."
std::string MsgBadDownload();      // "수신된 파일에 이상이 있습니다."
