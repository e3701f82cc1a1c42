#include "updater/QzExec.h"

#include "tests/ChildRun.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace {

// A shared-memory object "/<name>" of `size` bytes starting with `bytes`, with permission bits
// `mode` and owned by `owner` (-1: this process's user), removed at the end.
class SharedBlock {
public:
    SharedBlock(const std::string& name, const std::string& bytes, size_t size, mode_t mode = 0600,
                uid_t owner = static_cast<uid_t>(-1))
        : name_("/" + name) {
        const int fd = shm_open(name_.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
        if (fd < 0) throw std::runtime_error("shm_open");
        if (ftruncate(fd, static_cast<off_t>(size)) != 0 || fchmod(fd, mode) != 0 || fchown(fd, owner, -1) != 0)
            throw std::runtime_error("ftruncate, fchmod or fchown");
        if (!bytes.empty() && pwrite(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
            throw std::runtime_error("pwrite");
        close(fd);
    }
    ~SharedBlock() { shm_unlink(name_.c_str()); }

private:
    std::string name_;
};

std::string UniqueName() { return "QzExecTest" + std::to_string(getpid()); }

}  // namespace

TEST(QzExec, LeadingNumber) {
    EXPECT_EQ(LeadingNumber("1234"), 1234);
    EXPECT_EQ(LeadingNumber("1234abc"), 1234);
    EXPECT_EQ(LeadingNumber("Morvane"), 0);
    EXPECT_EQ(LeadingNumber("-5"), 0);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber("2147483647"), 2147483647);
    EXPECT_EQ(LeadingNumber("2147483648"), 0);
    EXPECT_EQ(LeadingNumber("99999999999999999999999"), 0);
}

TEST(QzExec, ReadsThePublishedNumber) {
    const std::string name = UniqueName();
    TQzExec exec(name);
    EXPECT_EQ(exec.GetHandle(), 0);   // nothing published
    {
        SharedBlock block(name, std::string("4321\0" "99", 7), 1024);
        EXPECT_EQ(exec.GetHandle(), 4321);
        EXPECT_EQ(exec.Value(), 4321);
        EXPECT_EQ(exec.ReadMapping(), "4321");
    }
    EXPECT_EQ(exec.GetHandle(), 0);
    EXPECT_EQ(exec.ReadMapping(), "");

    // Anyone may create an object under the name: only a regular one of this user that nobody
    // else may write is read. A FIFO would hold a blocking open for ever, so each row runs in a
    // child under a deadline.
    struct Case {
        mode_t mode;
        bool otherOwner;
        long value;
        bool fifo = false;
    } cases[] = {{0400, false, 4321}, {0644, false, 4321}, {0620, false, 0},     {0602, false, 0},
                 {0666, false, 0},    {0600, true, 0},     {0644, true, 0},      {0644, false, 0, true},
                 {0600, false, 0, true}};
    const std::string fifoPath = "/dev/shm/" + name;
    for (const Case& c : cases) {
        if (c.otherOwner && geteuid() != 0) continue;   // only root can give an object away
        std::unique_ptr<SharedBlock> block;
        if (c.fifo)
            ASSERT_TRUE(mkfifo(fifoPath.c_str(), c.mode) == 0 && chmod(fifoPath.c_str(), c.mode) == 0);
        else
            block = std::make_unique<SharedBlock>(name, "4321", 1024, c.mode, c.otherOwner ? 65534 : static_cast<uid_t>(-1));
        const auto read = [&] { EXPECT_EQ(exec.GetHandle(), c.value); };
        EXPECT_TRUE(RunInChild(read, 5000))
            << std::oct << c.mode << " " << c.otherOwner << " " << c.fifo;
        if (c.fifo) unlink(fifoPath.c_str());
    }
}

TEST(QzExec, OddBlocksReadSafely) {
    const std::string name = UniqueName();
    TQzExec exec(name);
    {
        SharedBlock empty(name, "", 0);
        EXPECT_EQ(exec.GetHandle(), 0);
    }
    {
        SharedBlock small(name, "77", 2);   // shorter than a block and without a NUL
        EXPECT_EQ(exec.GetHandle(), 77);
    }
    {
        // Only 255 characters are read, so a long run of digits never overflows into a number.
        SharedBlock longText(name, "12" + std::string(400, '0'), 1024);
        EXPECT_EQ(exec.GetHandle(), 0);
        EXPECT_EQ(exec.ReadMapping().size(), 255u);
    }
    {
        SharedBlock words(name, "pid=12", 1024);
        EXPECT_EQ(exec.GetHandle(), 0);
    }
    TQzExec slash("a/b");
    EXPECT_EQ(slash.GetHandle(), 0);
}
