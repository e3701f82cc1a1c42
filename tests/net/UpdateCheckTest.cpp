#include "app/update/QzUpdateCheck.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "tests/net/TempDir.h"
#include "tests/net/TestHttpServer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

struct Recorder {
    std::vector<std::string> log;   // "update:<msg>", "no:<msg>", "error:<msg>"
    void Attach(TQzUpdateCheck& c) {
        c.OnUpdate = [this](TQzUpdateCheck&, const std::string& m) { log.push_back("update:" + m); };
        c.OnUpdateNo = [this](TQzUpdateCheck&, const std::string& m) { log.push_back("no:" + m); };
        c.OnErrorMsg = [this](TQzUpdateCheck&, const std::string& m) { log.push_back("error:" + m); };
    }
};

// Bytes that pass the download checks: the ELF signature, NUL bytes early, `size` bytes in all.
std::string ElfImage(size_t size) {
    std::string s = "\x7F" "ELF";
    s += std::string(12, '\0');
    while (s.size() < size) s += static_cast<char>('a' + s.size() % 26);
    return s.substr(0, size);
}

class UpdateCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        check.UpdateInfURL = server.Base() + "/update.inf";
        check.UpdateFileURL = server.Base() + "/down?file=Morvane";
        check.UpdateSession = "Morvane";
        check.CurVersion = "Morvane 1.22 p1";
        check.TrustedCAFile = TestHttpServer::TlsFile("ca.pem");
        rec.Attach(check);
    }
    void Serve(const std::string& inf) { server.Route("/update.inf", {200, inf, {}, -1}); }

    TestHttpServer server{"localhost.pem"};
    TQzUpdateCheck check;
    Recorder rec;
    TempDir dir;
};

}  // namespace

TEST_F(UpdateCheckTest, ANewerVersionFiresOnUpdateWithTheFilledMessage) {
    Serve("Morvane=Morvane 1.23\r\n"
          "MsgUpdateAsk=New version ($ver.new)\\nYou have ($VER.CUR)\r\n"
          "Msg=Up to date\r\n");
    EXPECT_TRUE(check.UpdateCheck());
    EXPECT_EQ(check.NewVersion, "Morvane 1.23");
    EXPECT_EQ(rec.log, (std::vector<std::string>{"update:New version Morvane 1.23\nYou have Morvane 1.22 p1"}));
}

TEST_F(UpdateCheckTest, VersionsCompareAsBytes) {
    struct Case {
        std::string inf;
        bool newer;
    } cases[] = {
        {"Morvane=Morvane 1.22 p1\nMsg=same\nMsgUpdateAsk=ask", false},
        {"morvane=x\nMsg=same\nMsgUpdateAsk=ask", true},                  // the key's case is ignored
        {"Morvane=Morvane 1.22\nMsg=same\nMsgUpdateAsk=ask", false},      // a prefix is smaller
        {"Morvane=Morvane 1.22 p1\xB0\xA1\nMsg=same\nMsgUpdateAsk=ask", true},
        {"Morvane=\xB0\nMsg=same\nMsgUpdateAsk=ask", true},               // high bytes are large
        {"Other=9\nMsg=same\nMsgUpdateAsk=ask", false},
    };
    for (const Case& c : cases) {
        rec.log.clear();
        Serve(c.inf);
        EXPECT_TRUE(check.UpdateCheck()) << c.inf;
        EXPECT_EQ(rec.log, std::vector<std::string>{c.newer ? "update:ask" : "no:same"}) << c.inf;
    }
}

TEST_F(UpdateCheckTest, ADescriptionWithCrLfLineEndsReadsAsWithLineFeeds) {
    struct Case {
        std::string inf;
        std::string event;
    } cases[] = {
        {"Morvane=Morvane 1.22 p1\r\nMsg=Newest: ($ver.cur)\r\nMsgUpdateAsk=ask\r\n", "no:Newest: Morvane 1.22 p1"},
        {"\r\nMsgUpdateAsk=Get ($ver.new)\\nnow\r\n\r\nMorvane=Morvane 1.23", "update:Get Morvane 1.23\nnow"},
        {"Msg=\r\nMORVANE=Morvane 1.22 p1\r\n", "no:"},
    };
    for (const Case& c : cases) {
        rec.log.clear();
        Serve(c.inf);
        EXPECT_TRUE(check.UpdateCheck()) << c.inf;
        EXPECT_EQ(check.NewVersion.find('\r'), std::string::npos) << c.inf;
        EXPECT_EQ(rec.log, std::vector<std::string>{c.event}) << c.inf;
    }
}

TEST_F(UpdateCheckTest, AMissingKeyGivesAnEmptyVersionAndTheNoUpdateText) {
    Serve("Something=else\r\n");
    EXPECT_TRUE(check.UpdateCheck());
    EXPECT_EQ(check.NewVersion, "");
    EXPECT_EQ(rec.log, (std::vector<std::string>{"no:"}));
}

TEST_F(UpdateCheckTest, FailuresOfTheCheckAreReported) {
    Serve("");
    EXPECT_FALSE(check.UpdateCheck());
    EXPECT_EQ(rec.log, std::vector<std::string>{"error:" + MsgProgramNotListed()});
    EXPECT_EQ(MsgProgramNotListed(), Cp949("업데이트 정보에 현재 프로그램이 포함되어있지 않습니다."));

    rec.log.clear();
    check.UpdateInfURL = server.Base() + "/gone.inf";   // 404
    EXPECT_FALSE(check.UpdateCheck());
    check.UpdateInfURL = "https://127.0.0.1:" + std::to_string(TestHttpServer::ClosedPort()) + "/update.inf";
    EXPECT_FALSE(check.UpdateCheck());
    const std::string connect = "error:" + Cp949("업데이트 서버에 접속할 수 없습니다.");
    EXPECT_EQ(rec.log, (std::vector<std::string>{connect, connect}));

    // Settings missing: nothing is asked and nothing fired.
    rec.log.clear();
    const size_t requests = server.Targets().size();
    check.CurVersion.clear();
    EXPECT_FALSE(check.UpdateCheck());
    check.CurVersion = "v";
    check.UpdateSession.clear();
    EXPECT_FALSE(check.UpdateCheck());
    EXPECT_TRUE(rec.log.empty());
    EXPECT_EQ(server.Targets().size(), requests);
}

TEST_F(UpdateCheckTest, AValidDownloadIsKeptWithTheProgramsPermissionBits) {
    const std::string image = ElfImage(4096);
    server.Route("/down?file=Morvane", {200, image, {}, -1});
    const std::string target = dir.Path() + "Morvane.tmp";
    ASSERT_TRUE(WriteFileAtomic(target, "an older attempt"));
    int tagDuringTransfer = -1;
    check.OnWork = [&](THttpClient&, TWorkMode, int64_t) { tagDuringTransfer = check.Tag; };

    EXPECT_TRUE(check.UpdateFile(target, 1));
    EXPECT_TRUE(rec.log.empty());
    EXPECT_EQ(tagDuringTransfer, 1);
    EXPECT_EQ(check.Tag, 0);
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(target, bytes));
    EXPECT_TRUE(bytes == image);
    struct stat self, got;
    ASSERT_EQ(stat("/proc/self/exe", &self), 0);
    ASSERT_EQ(stat(target.c_str(), &got), 0);
    EXPECT_EQ(got.st_mode & 0777, self.st_mode & 0777);
    EXPECT_NE(got.st_mode & S_IXUSR, 0u);
}

TEST_F(UpdateCheckTest, ADownloadThatIsNoProgramIsDeleted) {
    const std::string target = dir.Path() + "Morvane.tmp";
    std::string noNul = "\x7F" "ELF" + std::string(400, 'x');
    std::string wrongSignature = ElfImage(1000);
    wrongSignature[1] = 'X';
    const std::string bodies[] = {
        ElfImage(255),                                                // short
        "<html><body>" + std::string(1000, '.') + "</body></html>",  // an error page served as 200
        noNul,
        wrongSignature,
    };
    for (const std::string& body : bodies) {
        rec.log.clear();
        server.Route("/down?file=Morvane", {200, body, {}, -1});
        EXPECT_FALSE(check.UpdateFile(target, 1));
        EXPECT_FALSE(FileExists(target));
        EXPECT_EQ(rec.log, std::vector<std::string>{"error:" + Cp949("수신된 파일에 이상이 있습니다.")});
    }
    // The smallest accepted size.
    rec.log.clear();
    server.Route("/down?file=Morvane", {200, ElfImage(256), {}, -1});
    EXPECT_TRUE(check.UpdateFile(target, 1));
    EXPECT_TRUE(rec.log.empty());

    // Without Verify the body is kept as it came.
    server.Route("/down?file=Morvane", {200, bodies[1], {}, -1});
    EXPECT_TRUE(check.UpdateFile(target, 0));
    EXPECT_EQ(FileSize64(target), static_cast<int64_t>(bodies[1].size()));
}

TEST_F(UpdateCheckTest, AFailedTransferLeavesNoPartialFile) {
    const std::string target = dir.Path() + "Morvane.tmp";
    const std::string connect = "error:" + MsgCannotConnect();

    server.Route("/down?file=Morvane", {200, ElfImage(200000), {}, 50000});
    EXPECT_FALSE(check.UpdateFile(target, 1));
    EXPECT_FALSE(FileExists(target));
    EXPECT_EQ(check.Tag, 0);

    ASSERT_TRUE(WriteFileAtomic(target, "left from before"));
    check.UpdateFileURL = server.Base() + "/nothing";
    EXPECT_FALSE(check.UpdateFile(target, 1));
    EXPECT_FALSE(FileExists(target));

    check.UpdateFileURL = server.Base() + "/down?file=Morvane";
    EXPECT_FALSE(check.UpdateFile(dir.Path() + "no-such-folder/Morvane.tmp", 1));
    EXPECT_EQ(rec.log, (std::vector<std::string>{connect, connect, connect}));

    rec.log.clear();
    EXPECT_FALSE(check.UpdateFile("", 1));
    check.UpdateFileURL.clear();
    EXPECT_FALSE(check.UpdateFile(target, 1));
    EXPECT_TRUE(rec.log.empty());
}

TEST_F(UpdateCheckTest, AnAddressThatIsNotHttpsIsRefusedBeforeAnyTransfer) {
    TestHttpServer plain;
    plain.Route("/update.inf", {200, "Morvane=Morvane 9\nMsgUpdateAsk=ask\n", {}, -1});
    plain.Route("/down?file=Morvane", {200, ElfImage(1000), {}, -1});
    Serve("Morvane=Morvane 9\nMsgUpdateAsk=ask\n");
    const std::string address = plain.Base().substr(std::string("http://").size());
    const std::string connect = "error:" + MsgCannotConnect();
    const std::string target = dir.Path() + "Morvane.tmp";
    const std::string secureInf = check.UpdateInfURL, secureFile = check.UpdateFileURL;

    // libcurl reads an address without a scheme as http://.
    for (const std::string& base : {"http://" + address, "HTTP://" + address, address}) {
        rec.log.clear();
        check.UpdateInfURL = base + "/update.inf";
        EXPECT_FALSE(check.UpdateCheck()) << base;
        check.UpdateInfURL = secureInf;
        check.UpdateFileURL = base + "/down?file=Morvane";
        EXPECT_FALSE(check.UpdateCheck()) << base;
        EXPECT_FALSE(check.UpdateFile(target, 1)) << base;
        EXPECT_FALSE(FileExists(target));
        EXPECT_EQ(rec.log, (std::vector<std::string>{connect, connect, connect})) << base;
        check.UpdateFileURL = secureFile;
    }
    EXPECT_TRUE(plain.Targets().empty());
    EXPECT_TRUE(server.Targets().empty());

    // The scheme's case does not matter to an https:// address.
    rec.log.clear();
    check.UpdateInfURL = "HTTPS" + secureInf.substr(5);
    EXPECT_TRUE(check.UpdateCheck());
    EXPECT_EQ(rec.log, std::vector<std::string>{"update:ask"});
}

TEST_F(UpdateCheckTest, ACertificateThatDoesNotVerifyIsAFailedTransfer) {
    struct Case {
        const char* certificate;
        bool trustTestAuthority;   // else only the system's store is trusted
    } cases[] = {{"wronghost.pem", true}, {"localhost.pem", false}, {"expired.pem", true}};
    const std::string target = dir.Path() + "Morvane.tmp";
    for (const Case& c : cases) {
        TestHttpServer other(c.certificate);
        other.Route("/update.inf", {200, "Morvane=Morvane 9\nMsgUpdateAsk=ask\n", {}, -1});
        other.Route("/down?file=Morvane", {200, ElfImage(1000), {}, -1});
        check.UpdateInfURL = other.Base() + "/update.inf";
        check.UpdateFileURL = other.Base() + "/down?file=Morvane";
        check.TrustedCAFile = c.trustTestAuthority ? TestHttpServer::TlsFile("ca.pem") : "";
        rec.log.clear();
        ASSERT_TRUE(WriteFileAtomic(target, "left from before"));

        EXPECT_FALSE(check.UpdateCheck()) << c.certificate;
        EXPECT_FALSE(check.UpdateFile(target, 1)) << c.certificate;
        EXPECT_FALSE(FileExists(target)) << c.certificate;
        EXPECT_EQ(rec.log, (std::vector<std::string>{"error:" + MsgCannotConnect(), "error:" + MsgCannotConnect()}))
            << c.certificate;
        EXPECT_TRUE(other.Targets().empty()) << c.certificate;
    }
}
