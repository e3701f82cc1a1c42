#include "app/update/QzUpdateCheck.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "tests/ChildRun.h"
#include "tests/net/TempDir.h"
#include "tests/net/TestHttpServer.h"

#include <elf.h>
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <link.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <functional>

namespace {

struct Recorder {
    std::vector<std::string> log;   // "update:<msg>", "no:<msg>", "error:<msg>"
    void Attach(TQzUpdateCheck& c) {
        c.OnUpdate = [this](TQzUpdateCheck&, const std::string& m) { log.push_back("update:" + m); };
        c.OnUpdateNo = [this](TQzUpdateCheck&, const std::string& m) { log.push_back("no:" + m); };
        c.OnErrorMsg = [this](TQzUpdateCheck&, const std::string& m) { log.push_back("error:" + m); };
    }
};

using Ehdr = ElfW(Ehdr);
using Phdr = ElfW(Phdr);
using Shdr = ElfW(Shdr);

template <class T>
void Put(std::string& image, size_t offset, T value) {
    std::memcpy(&image[offset], &value, sizeof value);
}

// The smallest program the download checks accept, `size` bytes: this test program's own ELF
// header (class, byte order, machine) made ET_EXEC, with two program headers, one segment that
// loads the whole file and one PT_NULL that a case may turn into PT_INTERP, and no sections.
std::string ElfImage(size_t size) {
    std::string image;
    EXPECT_TRUE(ReadFileHead("/proc/self/exe", sizeof(Ehdr), image));
    image.resize(std::max(size, sizeof(Ehdr) + 2 * sizeof(Phdr)), 'p');
    Put<uint16_t>(image, offsetof(Ehdr, e_type), ET_EXEC);
    Put<ElfW(Off)>(image, offsetof(Ehdr, e_phoff), sizeof(Ehdr));
    Put<uint16_t>(image, offsetof(Ehdr, e_phnum), 2);
    Put<ElfW(Off)>(image, offsetof(Ehdr, e_shoff), 0);
    Put<uint16_t>(image, offsetof(Ehdr, e_shnum), 0);
    Put<uint16_t>(image, offsetof(Ehdr, e_shstrndx), 0);
    Phdr load{};
    load.p_type = PT_LOAD;
    load.p_filesz = load.p_memsz = size;
    Put(image, sizeof(Ehdr), load);
    Put(image, sizeof(Ehdr) + sizeof(Phdr), Phdr{});
    image.resize(size);
    return image;
}

// From now on the system call `call` fails with EIO in this process without being made: for any
// first argument, or only when that is `fd`. False when the system refuses the filter.
bool FailSystemCall(long call, int fd) {
    const uint32_t argument = offsetof(seccomp_data, args[0]) + (__BYTE_ORDER__ == __ORDER_BIG_ENDIAN__ ? 4 : 0);
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<uint32_t>(call), 0, 3),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, argument),
        // Without `fd`, both ways lead on to the failure.
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<uint32_t>(fd), 0, static_cast<__u8>(fd >= 0)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EIO),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program{static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
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
    mode_t modeDuringTransfer = 0;   // no other user may read or write the file while it arrives
    check.OnWork = [&](THttpClient&, TWorkMode, int64_t) {
        tagDuringTransfer = check.Tag;
        struct stat st;
        if (stat(target.c_str(), &st) == 0) modeDuringTransfer = st.st_mode & 07777;
    };

    EXPECT_TRUE(check.UpdateFile(target, 1));
    EXPECT_TRUE(rec.log.empty());
    EXPECT_EQ(tagDuringTransfer, 1);
    EXPECT_EQ(modeDuringTransfer, 0600u);
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

TEST_F(UpdateCheckTest, ADownloadThatIsNoProgramForThisMachineIsDeleted) {
    const std::string target = dir.Path() + "Morvane.tmp";
    const std::string errorPage = "<html><body>" + std::string(1000, '.') + "</body></html>";
    const auto type = [](uint16_t t) { return [t](std::string& s) { Put(s, offsetof(Ehdr, e_type), t); }; };
    // A position-independent program: ET_DYN with an interpreter named at `at`, 20 bytes.
    const auto pie = [](size_t at) {
        return [at](std::string& s) {
            Put<uint16_t>(s, offsetof(Ehdr, e_type), ET_DYN);
            Phdr ph{};
            ph.p_type = PT_INTERP;
            ph.p_offset = at;
            ph.p_filesz = 20;
            Put(s, sizeof(Ehdr) + sizeof(Phdr), ph);
        };
    };
    // The second program header made a dynamic segment at 800 holding `entries` (tag, value);
    // `type` is the file's type.
    const auto dynamic = [](uint16_t type, std::vector<std::pair<int64_t, uint64_t>> entries) {
        return [type, entries](std::string& s) {
            Put<uint16_t>(s, offsetof(Ehdr, e_type), type);
            Phdr ph{};
            ph.p_type = PT_DYNAMIC;
            ph.p_offset = 800;
            ph.p_filesz = entries.size() * sizeof(ElfW(Dyn));
            Put(s, sizeof(Ehdr) + sizeof(Phdr), ph);
            for (size_t i = 0; i < entries.size(); ++i) {
                ElfW(Dyn) d{};
                d.d_tag = entries[i].first;
                d.d_un.d_val = entries[i].second;
                Put(s, 800 + i * sizeof d, d);
            }
        };
    };
    const auto field = [](size_t offset, auto value) {
        return [offset, value](std::string& s) { Put(s, offset, value); };
    };
    struct Case {
        const char* what;
        std::string body;
        std::function<void(std::string&)> change;
        bool accepted;
    } cases[] = {
        {"short", ElfImage(255), nullptr, false},
        {"smallest", ElfImage(256), nullptr, true},
        {"error page served as 200", errorPage, nullptr, false},
        {"no NUL", "\x7F" "ELF" + std::string(400, 'x'), nullptr, false},
        {"signature", ElfImage(1000), [](std::string& s) { s[1] = 'X'; }, false},
        {"class", ElfImage(1000), [](std::string& s) { s[EI_CLASS] ^= 3; }, false},
        {"byte order", ElfImage(1000), [](std::string& s) { s[EI_DATA] ^= 3; }, false},
        {"machine", ElfImage(1000),
         [](std::string& s) { s[offsetof(Ehdr, e_machine)] = static_cast<char>(s[offsetof(Ehdr, e_machine)] ^ 0x40); },
         false},
        {"object file", ElfImage(1000), type(ET_REL), false},
        {"core file", ElfImage(1000), type(ET_CORE), false},
        {"shared library", ElfImage(1000), type(ET_DYN), false},
        {"position-independent program", ElfImage(1000), pie(980), true},
        {"interpreter outside", ElfImage(1000), pie(990), false},
        {"program headers outside", ElfImage(1000),
         [](std::string& s) { Put<uint16_t>(s, offsetof(Ehdr, e_phnum), 20); }, false},
        {"section headers outside", ElfImage(1000),
         [](std::string& s) {
             Put<ElfW(Off)>(s, offsetof(Ehdr, e_shoff), 1000 - 2 * sizeof(Shdr));
             Put<uint16_t>(s, offsetof(Ehdr, e_shentsize), sizeof(Shdr));
             Put<uint16_t>(s, offsetof(Ehdr, e_shnum), 3);
         },
         false},
        {"stripped and cut short", ElfImage(1000), [](std::string& s) { s.resize(900); }, false},
        {"real shared library", ElfImage(1000), dynamic(ET_DYN, {{DT_FLAGS_1, DF_1_NOW}, {DT_NULL, 0}}), false},
        {"static position-independent program", ElfImage(1000),
         dynamic(ET_DYN, {{DT_FLAGS_1, DF_1_NOW | DF_1_PIE}, {DT_NULL, 0}}), true},
        {"the PIE flag after the dynamic section's end", ElfImage(1000),
         dynamic(ET_DYN, {{DT_NULL, 0}, {DT_FLAGS_1, DF_1_PIE}}), false},
        {"dynamic segment past the end", ElfImage(1000),
         [](std::string& s) {
             Phdr ph{};
             ph.p_type = PT_DYNAMIC;
             ph.p_offset = 1000 - 8;
             ph.p_filesz = 2 * sizeof(ElfW(Dyn));
             Put(s, sizeof(Ehdr) + sizeof(Phdr), ph);
         },
         false},
        {"cut short before a segment's start", ElfImage(1000),
         [](std::string& s) {
             Phdr ph{};
             ph.p_type = PT_LOAD;
             ph.p_offset = 1100;
             Put(s, sizeof(Ehdr) + sizeof(Phdr), ph);
         },
         false},
        {"no loadable segment", ElfImage(1000), field(sizeof(Ehdr) + offsetof(Phdr, p_type), uint32_t{PT_NULL}),
         false},
        {"foreign program header size", ElfImage(1000),
         field(offsetof(Ehdr, e_phentsize), static_cast<uint16_t>(sizeof(Phdr) + 8)), false},
        {"foreign section header size", ElfImage(1000),
         [](std::string& s) {
             Put<ElfW(Off)>(s, offsetof(Ehdr, e_shoff), 1000 - sizeof(Shdr));
             Put<uint16_t>(s, offsetof(Ehdr, e_shentsize), sizeof(Shdr) - 1);
             Put<uint16_t>(s, offsetof(Ehdr, e_shnum), 1);
         },
         false},
        {"header version", ElfImage(1000), [](std::string& s) { s[EI_VERSION] = 2; }, false},
        {"file version", ElfImage(1000), field(offsetof(Ehdr, e_version), uint32_t{2}), false},
        {"header size", ElfImage(1000), field(offsetof(Ehdr, e_ehsize), static_cast<uint16_t>(sizeof(Ehdr) + 1)),
         false},
        // Large enough to hold all 0xFFFF program headers, so that only their count refuses it.
        {"extended program header count", ElfImage(sizeof(Ehdr) + 0xFFFF * sizeof(Phdr)),
         field(offsetof(Ehdr, e_phnum), uint16_t{0xFFFF}), false},
        {"a real program", RealProgram(), nullptr, true},
        {"a real program cut short", RealProgram(), [](std::string& s) { s.resize(s.size() - 100); }, false},
    };
    for (Case& c : cases) {
        if (c.change) c.change(c.body);
        rec.log.clear();
        server.Route("/down?file=Morvane", {200, c.body, {}, -1});
        EXPECT_EQ(check.UpdateFile(target, 1), c.accepted) << c.what;
        EXPECT_EQ(FileExists(target), c.accepted) << c.what;
        if (c.accepted) {
            EXPECT_TRUE(rec.log.empty()) << c.what;
        } else {
            EXPECT_EQ(rec.log, std::vector<std::string>{"error:" + Cp949("수신된 파일에 이상이 있습니다.")}) << c.what;
        }
    }

    // Without Verify the body is kept as it came.
    server.Route("/down?file=Morvane", {200, errorPage, {}, -1});
    EXPECT_TRUE(check.UpdateFile(target, 0));
    EXPECT_EQ(FileSize64(target), static_cast<int64_t>(errorPage.size()));
}

TEST_F(UpdateCheckTest, AFailedTransferLeavesNoPartialFile) {
    const std::string target = dir.Path() + "Morvane.tmp";
    const std::string connect = "error:" + MsgCannotConnect();
    using Framing = TestHttpServer::Framing;
    // A program cut short still passes the simple checks: its head is whole.
    TestHttpServer::Response cutShort{200, ElfImage(200000), {}, 50000};
    const auto with = [&](Framing framing, bool abrupt) {
        TestHttpServer::Response r = cutShort;
        r.framing = framing;
        r.abrupt = abrupt;
        return r;
    };
    TestHttpServer::Response whole = with(Framing::Close, false);
    whole.truncateAt = -1;
    const TestHttpServer::Response program{200, ElfImage(4096), {}, -1};
    struct Case {
        const char* what;
        TestHttpServer::Response response;
        long failingCall = -1;   // a system call made to fail in a child process that downloads
    } cases[] = {
        {"before the announced length", cutShort},
        {"before the announced length, TCP close", with(Framing::Length, true)},
        {"chunked, before the last chunk", with(Framing::Chunked, false)},
        {"no length, TLS close", with(Framing::Close, false)},
        {"no length, TCP close", with(Framing::Close, true)},
        {"whole, but no length", whole},
        {"larger than allowed", {200, ElfImage(200001), {}, -1}},
        {"larger than allowed, no length", {200, ElfImage(200001), {}, -1, Framing::Chunked}},
        {"its mode cannot be set", program, SYS_fchmod},
        {"it cannot be put on disk", program, SYS_fsync},
        {"its close reports an error", program, SYS_close},
    };
    check.MaxStreamSize = 200000;
    for (const Case& c : cases) {
        rec.log.clear();
        server.Route("/down?file=Morvane", c.response);
        const auto download = [&] {
            EXPECT_FALSE(check.UpdateFile(target, 1)) << c.what;
            EXPECT_FALSE(FileExists(target)) << c.what;
            EXPECT_EQ(check.Tag, 0);
            EXPECT_EQ(rec.log, std::vector<std::string>{connect}) << c.what;
        };
        if (c.failingCall < 0) {
            download();
            continue;
        }
        EXPECT_TRUE(RunInChild(
            [&] {
                // Only the download's file fails to close: it takes the lowest free descriptor.
                int fd = -1;
                if (c.failingCall == SYS_close) {
                    fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
                    close(fd);
                }
                ASSERT_TRUE(FailSystemCall(c.failingCall, fd)) << "no seccomp filter: " << std::strerror(errno);
                download();
            },
            30000))
            << c.what;
    }
    // The demand for a marked end was the download's own: a later check takes a description
    // that the close ends.
    server.Route("/update.inf", {200, "Morvane=Morvane 1.22 p1\nMsg=same\n", {}, -1, Framing::Close});
    rec.log.clear();
    EXPECT_TRUE(check.UpdateCheck());
    EXPECT_EQ(rec.log, std::vector<std::string>{"no:same"});
    // A chunked body marks its own end; the limit is inclusive.
    server.Route("/down?file=Morvane", {200, ElfImage(200000), {}, -1, Framing::Chunked});
    EXPECT_TRUE(check.UpdateFile(target, 1));
    EXPECT_EQ(FileSize64(target), 200000);

    rec.log.clear();
    ASSERT_TRUE(WriteFileAtomic(target, "left from before"));
    check.UpdateFileURL = server.Base() + "/nothing";
    EXPECT_FALSE(check.UpdateFile(target, 1));
    EXPECT_FALSE(FileExists(target));

    check.UpdateFileURL = server.Base() + "/down?file=Morvane";
    EXPECT_FALSE(check.UpdateFile(dir.Path() + "no-such-folder/Morvane.tmp", 1));
    EXPECT_EQ(rec.log, (std::vector<std::string>{connect, connect}));

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

TEST_F(UpdateCheckTest, ALinkAtTheDownloadsNameIsNeverWrittenThrough) {
    const std::string image = ElfImage(4096);
    server.Route("/down?file=Morvane", {200, image, {}, -1});
    // The download goes into a folder of its own, which a row makes read-only; an ordinary user
    // must reach it.
    const std::string folder = dir.Path() + "app/", target = folder + "Morvane.tmp";
    const std::string victim = dir.Path() + "victim", planted = dir.Path() + "planted";
    ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    enum When { Before, InPlaceOfTheDownload, NotRemovable };
    enum Left { Download, Nothing, TheLink, AFolder };
    enum Kind { Link, HardLink, Fifo, Folder };
    struct Case {
        const char* what;
        When when;
        Left left;          // what stands at the name afterwards
        Kind kind = Link;   // what is put at the name
        int verify = 0;
    } cases[] = {
        {"there before the download", Before, Download},
        {"put in the download's place before its mode is set", InPlaceOfTheDownload, Nothing},
        {"there, in a folder where the user cannot remove it", NotRemovable, TheLink},
        {"a hard link there, in a folder where the user cannot remove it", NotRemovable, TheLink, HardLink},
        // What the checks and the finish see is the file the download wrote, never what is put at
        // its name: a FIFO there is never opened (it would block), a program linked there is
        // neither checked nor made executable.
        {"a FIFO put in the download's place before its mode is set", InPlaceOfTheDownload, Nothing, Fifo},
        {"a folder put in the download's place before its mode is set", InPlaceOfTheDownload, AFolder, Folder},
        {"a FIFO put at the name between the checks", InPlaceOfTheDownload, Nothing, Fifo, 1},
        {"a program linked at the name between the checks", InPlaceOfTheDownload, Nothing, HardLink, 1},
    };
    // The link's target: a program file that anyone may write.
    const std::string victimBytes = ElfImage(1000);
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteFileAtomic(victim, victimBytes));
        ASSERT_EQ(chmod(victim.c_str(), 0666), 0);
        rmdir(target.c_str());
        unlink(target.c_str());
        // Makes what the case puts at `at`.
        const auto plant = [&](const std::string& at) {
            switch (c.kind) {
            case Link: return symlink(victim.c_str(), at.c_str());
            case HardLink: return link(victim.c_str(), at.c_str());
            case Fifo: return mkfifo(at.c_str(), 0666);
            case Folder: return mkdir(at.c_str(), 0777);
            }
            return -1;
        };
        check.OnWorkEnd = nullptr;
        if (c.when == InPlaceOfTheDownload) {
            check.OnWorkEnd = [&](THttpClient&, TWorkMode) {
                EXPECT_EQ(plant(planted), 0);
                // A folder takes the place of no file.
                if (c.kind == Folder) unlink(target.c_str());
                EXPECT_EQ(rename(planted.c_str(), target.c_str()), 0);
            };
        } else {
            ASSERT_EQ(plant(target), 0);
        }
        // Rows without the checks of the downloaded file go straight on to its finish.
        const auto download = [&] { EXPECT_EQ(check.UpdateFile(target, c.verify), c.left == Download) << c.what; };
        if (c.kind == Fifo) {
            // In a child with a deadline: a FIFO opened by its name blocks until a writer comes.
            EXPECT_TRUE(RunInChild(download, 30000)) << c.what;
        } else if (c.when == NotRemovable) {
            ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
            // A read-only folder does not stop root: the download runs as another user then.
            EXPECT_TRUE(RunInChild(
                [&] {
                    if (geteuid() == 0) {
                        ASSERT_TRUE(setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0);
                    }
                    download();
                },
                30000))
                << c.what;
            ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
        } else {
            download();
        }
        std::string bytes;
        ASSERT_TRUE(ReadFileBytes(victim, bytes));
        EXPECT_TRUE(bytes == victimBytes) << c.what;
        struct stat st;
        ASSERT_EQ(stat(victim.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0666u) << c.what;
        const ino_t victimInode = st.st_ino;
        const bool present = lstat(target.c_str(), &st) == 0;
        EXPECT_EQ(present, c.left != Nothing) << c.what;
        if (c.left == TheLink) {
            EXPECT_TRUE(present && (c.kind == HardLink ? st.st_ino == victimInode : S_ISLNK(st.st_mode))) << c.what;
        }
        if (c.left == AFolder) {
            EXPECT_TRUE(present && S_ISDIR(st.st_mode)) << c.what;
        }
        if (c.left == Download) {
            EXPECT_TRUE(present && S_ISREG(st.st_mode)) << c.what;
            EXPECT_TRUE(ReadFileBytes(target, bytes) && bytes == image) << c.what;
        }
    }
}
