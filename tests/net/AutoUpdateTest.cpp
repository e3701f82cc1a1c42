#include "app/update/AutoUpdate.h"
#include "app/update/ProgramStart.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "tests/net/TempDir.h"
#include "tests/net/TestHttpServer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

namespace {

using Lines = std::vector<std::string>;

// Records what the auto-update command asks of the main window.
class RecordingHost : public TUpdateHost {
public:
    explicit RecordingHost(std::string dir) : dir_(std::move(dir)) {}

    std::string AppDir() override { return dir_; }
    std::string ApplicationTitle() override { return "Morvane 1.22 p1"; }
    bool IsDocumentModified() override { return modified; }
    void ShowMessage(const std::string& msg) override { log.push_back("message:" + msg); }
    bool AskOkCancel(const std::string& msg, const std::string& caption) override {
        log.push_back("ask:" + caption + ":" + msg);
        return answerOk;
    }
    void SetUpdateCommandEnabled(bool enabled) override { log.push_back(enabled ? "enable" : "disable"); }
    void ShowProgress(bool visible) override { log.push_back(visible ? "progress:show" : "progress:hide"); }
    void SetProgressMax(int64_t max) override { progressMax = max; }
    void SetProgressPosition(int64_t position) override { progressPosition = position; }
    void ProcessPaintEvents() override {
        ++paints;
        if (update && !update->Busy()) paintedWhileIdle = true;
    }
    bool StartProgramAtEnd(const std::string& program, const std::vector<std::string>& args) override {
        log.push_back("start at end");
        started.push_back(program);
        started.insert(started.end(), args.begin(), args.end());
        return !startReal || atEnd.Keep(program, args);
    }
    void CloseMainWindow() override { log.push_back("close"); }

    bool modified = false;
    bool answerOk = true;
    bool startReal = false;
    TAutoUpdate* update = nullptr;
    // What the program starts when it ends (startReal).
    TProgramAtEnd atEnd;
    Lines log;
    Lines started;
    int64_t progressMax = -1, progressPosition = -1;
    int paints = 0;
    bool paintedWhileIdle = false;

private:
    std::string dir_;
};

const char kInfTarget[] = "/cgi-bin/kelvoran/update.inf";
const char kFileTarget[] = "/cgi-bin/qz2000/qzboard.cgi?db=qzpad/down&action=down&dbf=28&ftype=fil1&file=Morvane";


class AutoUpdateTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteFileAtomic(dir.Path() + "Kelvoran", "#!/bin/sh\n"));
        host.update = &update;
        update.UpdateCheck.TrustedCAFile = TestHttpServer::TlsFile("ca.pem");
        server.Route(kInfTarget, {200,
                                  "Morvane=Morvane 1.23\r\n"
                                  "MsgUpdateAsk=($ver.new) is out.\\nUpdate?\r\n"
                                  "Msg=You have the newest version.\r\n",
                                  {}, -1});
        server.Route(kFileTarget, {200, RealProgram(), {}, -1});
    }

    TestHttpServer server{"localhost.pem"};
    TempDir dir;
    RecordingHost host{dir.Path()};
    TAutoUpdate update{host, server.Base(), "test.example"};
};

}  // namespace

TEST_F(AutoUpdateTest, AnAcceptedUpdateIsDownloadedAndTheUpdaterStarted) {
    update.mnuAutoUpdateClick();
    EXPECT_EQ(update.UpdateCheck.CurVersion, "Morvane 1.22 p1");
    const Lines expected{"disable",
                         "progress:show",
                         "progress:hide",
                         "ask:" + Cp949("자동 업데이트") + ":Morvane 1.23 is out.\nUpdate?",
                         "progress:show",
                         "progress:hide",
                         "start at end",
                         "close",
                         "enable"};
    EXPECT_EQ(host.log, expected);
    EXPECT_EQ(host.started, (Lines{dir.Path() + "Kelvoran", "Morvane", std::to_string(getpid())}));
    const int64_t size = static_cast<int64_t>(RealProgram().size());
    EXPECT_EQ(FileSize64(dir.Path() + "Morvane.tmp"), size);
    EXPECT_EQ(host.progressMax, size);
    EXPECT_EQ(host.progressPosition, size);
    EXPECT_GT(host.paints, 0);
    EXPECT_FALSE(host.paintedWhileIdle);
    EXPECT_FALSE(update.Busy());

    const Lines targets = server.Targets();
    EXPECT_EQ(targets, (Lines{kInfTarget, kFileTarget}));
    EXPECT_EQ(HeaderValue(server.HeaderBlocks()[0], "User-Agent"), "Morvo for test.example");
}

TEST_F(AutoUpdateTest, DecliningOrBeingUpToDateDownloadsNothing) {
    host.answerOk = false;
    update.mnuAutoUpdateClick();
    EXPECT_EQ(host.log.back(), "enable");
    EXPECT_TRUE(host.started.empty());
    EXPECT_FALSE(FileExists(dir.Path() + "Morvane.tmp"));

    host.log.clear();
    update.UpdateCheck.CurVersion = "Morvane 1.23";
    update.mnuAutoUpdateClick();
    EXPECT_EQ(host.log, (Lines{"disable", "progress:show", "progress:hide",
                               "message:You have the newest version.", "enable"}));
    EXPECT_EQ(server.Targets().size(), 2u);
}

TEST_F(AutoUpdateTest, TheCommandNeedsTheUpdaterAndASavedDocument) {
    host.modified = true;
    update.mnuAutoUpdateClick();
    EXPECT_EQ(host.log, Lines{"message:" + Cp949("편집중인 자막이 있습니다.\n자막을 저장하십시오.")});

    host.log.clear();
    ASSERT_TRUE(DeleteFile(dir.Path() + "Kelvoran"));
    update.mnuAutoUpdateClick();
    EXPECT_EQ(host.log, Lines{"message:" + Cp949("업데이트 프로그램이 존재하지 않습니다.")});
    EXPECT_TRUE(server.Targets().empty());
}

TEST_F(AutoUpdateTest, FailuresAreShownAndTheProgramStaysOpen) {
    // Broken downloads: nothing is kept or started.
    using Framing = TestHttpServer::Framing;
    const long half = static_cast<long>(RealProgram().size() / 2);
    struct Broken {
        const char* what;
        TestHttpServer::Response response;
        std::string message;
    } broken[] = {
        {"no program", {200, "<html>error</html>", {}, -1}, MsgBadDownload()},
        {"a program for another machine", {200, RealProgram().substr(0, 18) + "\x01" + RealProgram().substr(19), {}, -1},
         MsgBadDownload()},
        {"cut short, no length, TLS close", {200, RealProgram(), {}, half, Framing::Close}, MsgCannotConnect()},
        {"cut short, no length, TCP close", {200, RealProgram(), {}, half, Framing::Close, true}, MsgCannotConnect()},
    };
    for (const Broken& b : broken) {
        host.log.clear();
        server.Route(kFileTarget, b.response);
        update.mnuAutoUpdateClick();
        ASSERT_GE(host.log.size(), 3u) << b.what;
        EXPECT_EQ(host.log[host.log.size() - 3], "enable") << b.what;
        EXPECT_EQ(host.log[host.log.size() - 2], "message:" + b.message) << b.what;
        EXPECT_EQ(host.log.back(), "enable") << b.what;
        EXPECT_FALSE(FileExists(dir.Path() + "Morvane.tmp")) << b.what;
        EXPECT_TRUE(host.started.empty()) << b.what;
    }

    // A dead server, a plain HTTP server, and a server whose certificate is not trusted.
    TestHttpServer plain;
    plain.Route(kInfTarget, {200, "Morvane=Morvane 9\r\nMsgUpdateAsk=ask\r\n", {}, -1});
    const size_t requests = server.Targets().size();
    for (const std::string& base : {"https://127.0.0.1:" + std::to_string(TestHttpServer::ClosedPort()),
                                    plain.Base(), server.Base()}) {
        host.log.clear();
        TAutoUpdate failing(host, base, "x");
        failing.mnuAutoUpdateClick();
        EXPECT_EQ(host.log, (Lines{"disable", "enable", "message:" + MsgCannotConnect(), "enable"})) << base;
    }
    EXPECT_TRUE(plain.Targets().empty());
    EXPECT_EQ(server.Targets().size(), requests);

    // A program file from a server whose certificate has expired: nothing is kept or started.
    host.log.clear();
    TestHttpServer expired("expired.pem");
    expired.Route(kFileTarget, {200, RealProgram(), {}, -1});
    update.UpdateCheck.UpdateFileURL = expired.Base() + kFileTarget;
    update.mnuAutoUpdateClick();
    EXPECT_EQ(host.log[host.log.size() - 2], "message:" + MsgCannotConnect());
    EXPECT_FALSE(FileExists(dir.Path() + "Morvane.tmp"));
    EXPECT_TRUE(host.started.empty());
    EXPECT_TRUE(expired.Targets().empty());
    update.UpdateCheck.UpdateFileURL = server.Base() + kFileTarget;

    // An updater that cannot be started (not executable): the download stays, the window stays
    // open, and nothing is started when the program ends.
    host.log.clear();
    server.Route(kFileTarget, {200, RealProgram(), {}, -1});
    host.startReal = true;
    update.mnuAutoUpdateClick();
    EXPECT_FALSE(host.atEnd.Kept());
    EXPECT_EQ(host.log[host.log.size() - 2], "message:" + Cp949("업데이트 프로그램을 실행할 수 없습니다."));
    EXPECT_EQ(std::count(host.log.begin(), host.log.end(), "close"), 0);
    EXPECT_TRUE(FileExists(dir.Path() + "Morvane.tmp"));
}

TEST(AutoUpdateDefaults, TheUpdateServerIsAnHttpsAddress) {
    TempDir dir;
    RecordingHost host(dir.Path());
    TAutoUpdate update(host);
    EXPECT_EQ(update.UpdateCheck.UpdateInfURL, std::string("https://update.morvane.example") + kInfTarget);
    EXPECT_EQ(update.UpdateCheck.UpdateFileURL, std::string("https://update.morvane.example") + kFileTarget);
    EXPECT_TRUE(update.UpdateCheck.TrustedCAFile.empty());
    // The bounds of a transfer: 15 s to connect, 1 KiB/s over 60 s, 10 minutes, 512 MiB.
    const TQzUpdateCheck& c = update.UpdateCheck;
    EXPECT_EQ((std::vector<int64_t>{c.ConnectTimeout, c.ReadMinSpeed, c.ReadTimeout, c.TotalTimeout, c.MaxStreamSize}),
              (std::vector<int64_t>{15000, 1024, 60000, 600000, int64_t{512} << 20}));
}

TEST(AutoUpdateEndToEnd, AServedUpdateIsInstalledByTheUpdaterAndStarted) {
    namespace fs = std::filesystem;
    TempDir tmp;
    const std::string dir = fs::canonical(tmp.Path()).string() + "/";
    fs::copy_file(KELVORAN_PATH, dir + "Kelvoran");
    fs::permissions(dir + "Kelvoran", fs::perms(0755));
    ASSERT_TRUE(WriteFileAtomic(dir + "Morvane", "#!/bin/sh\necho old >> \"$(dirname \"$0\")/marker\"\n"));

    const std::string& program = RealProgram();
    ASSERT_FALSE(program.empty());
    TestHttpServer server("localhost.pem");
    server.Route(kInfTarget, {200, "Morvane=Morvane 2.0\nMsgUpdateAsk=Update?\n", {}, -1});
    server.Route(kFileTarget, {200, program, {}, -1});

    RecordingHost host(dir);
    host.startReal = true;
    auto update = std::make_unique<TAutoUpdate>(host, server.Base());
    update->UpdateCheck.TrustedCAFile = TestHttpServer::TlsFile("ca.pem");
    update->mnuAutoUpdateClick();
    ASSERT_EQ(std::count(host.log.begin(), host.log.end(), "close"), 1);

    // Nothing runs while the program closes: its settings are written (a failure shown) and its
    // windows go first. Only then is the updater started, and it finds the program ended.
    EXPECT_TRUE(host.atEnd.Kept());
    EXPECT_TRUE(FileExists(dir + "Morvane.tmp"));
    ASSERT_TRUE(WriteFileAtomic(dir + "Morvane.ini", "[Window]\r\nLeft=100\r\n"));
    update.reset();
    EXPECT_TRUE(FileExists(dir + "Morvane.tmp"));
    ASSERT_TRUE(host.atEnd.Start());
    EXPECT_FALSE(host.atEnd.Kept());

    // The updater runs on its own: wait for the new program's mark.
    std::string marker;
    for (int i = 0; i < 500 && marker.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ReadFileBytes(dir + "marker", marker);
    }
    EXPECT_EQ(marker, "started\n");
    std::string installed;
    ASSERT_TRUE(ReadFileBytes(dir + "Morvane", installed));
    EXPECT_TRUE(installed == program);
    EXPECT_FALSE(FileExists(dir + "Morvane.tmp"));
}
