#include "tests/updater/UpdaterTestUtil.h"
#include "updater/Process.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

namespace {

using Lines = std::vector<std::string>;

// Time for a program that Kelvoran might have started to show itself.
void Settle() { std::this_thread::sleep_for(std::chrono::milliseconds(400)); }

// The shared-memory name "/MorvaneTest<pid>" that a test publishes under, itself or through the
// stand-in; whatever was created under it is removed at the end, also when the stand-in is
// killed before it removes its own.
class SharedName {
public:
    SharedName() : name_("MorvaneTest" + std::to_string(getpid())) {}
    ~SharedName() { shm_unlink(("/" + name_).c_str()); }
    SharedName(const SharedName&) = delete;
    SharedName& operator=(const SharedName&) = delete;
    const std::string& Name() const { return name_; }

private:
    std::string name_;
};

// Publishes `text` in shared memory "/<name>" with permission bits `mode`, owned by `owner` (-1:
// this process's user), for the lifetime of the object.
class Published {
public:
    Published(const SharedName& name, const std::string& text, mode_t mode = 0600,
              uid_t owner = static_cast<uid_t>(-1))
        : name_("/" + name.Name()) {
        const int fd = shm_open(name_.c_str(), O_RDWR | O_CREAT, 0600);
        if (fd < 0 || ftruncate(fd, 1024) != 0 || fchmod(fd, mode) != 0 || fchown(fd, owner, -1) != 0)
            throw std::runtime_error("shm");
        void* view = mmap(nullptr, 1024, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        std::snprintf(static_cast<char*>(view), 1024, "%s", text.c_str());
        munmap(view, 1024);
        close(fd);
    }
    ~Published() { shm_unlink(name_.c_str()); }

private:
    std::string name_;
};

// True when shared memory "/<name>" exists.
bool SharedObjectExists(const SharedName& name) {
    const int fd = shm_open(("/" + name.Name()).c_str(), O_RDONLY, 0);
    if (fd >= 0) close(fd);
    return fd >= 0;
}

constexpr uid_t kOtherUser = 65534;

void Reap(pid_t pid) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

}  // namespace

TEST(Kelvoran, ReplacesTheProgramWithTheDownloadAndStartsIt) {
    for (const Lines& args : {Lines{"Morvane", "1234"}, Lines{"Morvane"}}) {
        UpdaterFolder dir;
        dir.PutScript("Morvane", "old");
        dir.PutStandIn("Morvane.tmp");
        const std::string download = dir.Read("Morvane.tmp");

        EXPECT_EQ(dir.RunKelvoran(args), 0);
        EXPECT_EQ(dir.WaitForMarker(1), Lines{"started"});
        EXPECT_FALSE(dir.Exists("Morvane.tmp"));
        EXPECT_TRUE(dir.Read("Morvane") == download);
    }
}

TEST(Kelvoran, StopsWithoutChangesWhenThereIsNothingToDo) {
    UpdaterFolder dir;
    dir.PutScript("Morvane", "old");
    EXPECT_EQ(dir.RunKelvoran({}), 0);
    EXPECT_EQ(dir.RunKelvoran({"Morvane", "1"}), 0);   // no download
    dir.PutStandIn("Morvane.tmp");
    // Names that are not a file of its own folder, each with a download that would be installed
    // and started: "sub/Morvane.tmp", "..tmp" for ".", "...tmp" for "..".
    ASSERT_EQ(mkdir((dir.Path() + "sub").c_str(), 0755), 0);
    dir.PutScript("sub/Morvane", "old");
    const std::vector<std::string> downloads{"sub/Morvane.tmp", "..tmp", "...tmp"};
    for (const std::string& download : downloads) dir.PutStandIn(download);
    // "." and ".." name folders, so no rename onto them could succeed anyway: the name is
    // checked directly too.
    for (const char* name : {"sub/Morvane", "../Morvane", ".", "..", ""}) {
        EXPECT_FALSE(IsPlainFileName(name)) << name;
        EXPECT_EQ(dir.RunKelvoran({name}), 0);
        EXPECT_EQ(dir.RunKelvoran({name, "1"}), 0);
    }
    EXPECT_TRUE(IsPlainFileName("Morvane") && IsPlainFileName("..Morvane") && IsPlainFileName("..."));
    Settle();
    EXPECT_TRUE(dir.Marker().empty());
    EXPECT_TRUE(dir.Read("sub/marker").empty());
    for (const std::string& download : downloads) EXPECT_TRUE(dir.Exists(download)) << download;
    EXPECT_TRUE(dir.Exists("Morvane.tmp"));
}

TEST(Kelvoran, AFolderInTheDownloadsPlaceIsNoUpdate) {
    for (const Lines& args : {Lines{"Morvane", "1"}, Lines{"Morvane"}}) {
        UpdaterFolder dir;
        dir.PutScript("Morvane", "old");
        const std::string program = dir.Read("Morvane");
        ASSERT_EQ(mkdir((dir.Path() + "Morvane.tmp").c_str(), 0755), 0);
        dir.PutStandIn("Morvane.tmp/Morvane");
        EXPECT_EQ(dir.RunKelvoran(args), 0);
        Settle();
        EXPECT_TRUE(dir.Marker().empty());
        EXPECT_TRUE(dir.Read("Morvane") == program);
        EXPECT_TRUE(dir.Exists("Morvane.tmp/Morvane"));
    }
}

TEST(Kelvoran, LeavesBothFilesWhileTheOldProgramKeepsRunning) {
    UpdaterFolder dir;
    dir.PutStandIn("Morvane");
    const pid_t old = dir.Start("Morvane", {"--wait"});
    ASSERT_EQ(dir.WaitForMarker(1), Lines{"waiting"});
    dir.PutScript("Morvane.tmp", "new");
    const std::string download = dir.Read("Morvane.tmp");

    EXPECT_EQ(dir.RunKelvoran({"Morvane", std::to_string(old)}), 0);
    Settle();
    EXPECT_EQ(dir.Marker(), Lines{"waiting"});   // not asked to close, nothing started
    EXPECT_TRUE(dir.Read("Morvane.tmp") == download);
    EXPECT_FALSE(dir.Read("Morvane") == download);
    Reap(old);
}

TEST(Kelvoran, AFailedRenameKeepsTheOldProgramAndStartsIt) {
    UpdaterFolder dir;
    dir.PutStandIn("Morvane.tmp");
    // A folder in the program's place cannot be replaced by a file.
    ASSERT_EQ(mkdir((dir.Path() + "Morvane").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((dir.Path() + "Morvane/keep").c_str(), 0755), 0);
    EXPECT_EQ(dir.RunKelvoran({"Morvane", "1"}), 0);
    EXPECT_TRUE(dir.Exists("Morvane.tmp"));
    EXPECT_TRUE(dir.Exists("Morvane/keep"));
}

TEST(Kelvoran, AProgramInAReadOnlyFolderStaysAndIsStarted) {
    if (geteuid() == 0) GTEST_SKIP() << "a read-only folder does not stop root";
    UpdaterFolder locked, out;
    {
        // The old program marks the other folder: nothing can be written into the locked one.
        std::ofstream script(locked.Path() + "Morvane");
        script << "#!/bin/sh\necho old >> " << out.Path() << "marker\n";
    }
    ASSERT_EQ(chmod((locked.Path() + "Morvane").c_str(), 0755), 0);
    locked.PutStandIn("Morvane.tmp");
    ASSERT_EQ(chmod(locked.Path().c_str(), 0555), 0);
    EXPECT_EQ(locked.RunKelvoran({"Morvane", "1"}), 0);
    EXPECT_EQ(out.WaitForMarker(1), Lines{"old"});
    EXPECT_TRUE(locked.Exists("Morvane.tmp"));
    EXPECT_EQ(locked.Read("Morvane").substr(0, 2), "#!");
}

TEST(Kelvoran, AsksAPublishedProgramToCloseThenReplacesIt) {
    UpdaterFolder dir;
    const SharedName shared;
    const std::string& name = shared.Name();
    dir.PutStandIn(name);
    dir.PutStandIn(name + ".tmp");
    const pid_t old = dir.Start(name, {"--publish", name});
    ASSERT_EQ(dir.WaitForMarker(1), Lines{"waiting"});

    EXPECT_EQ(dir.RunKelvoran({name}), 0);
    EXPECT_EQ(dir.WaitForMarker(3), (Lines{"waiting", "terminated", "started"}));
    EXPECT_FALSE(dir.Exists(name + ".tmp"));
    Reap(old);
    EXPECT_FALSE(SharedObjectExists(shared));
}

TEST(Kelvoran, TrustsOnlyAnObjectOfItsOwnUserAndSignalsOnlyItsProgram) {
    // Who published: this user (mode 0600) or anyone (group or others may write, or another
    // owner). What: this test process's id (no program of the name), "1", or the id of a running
    // program of the name. Kelvoran acts on a trusted object only, signals only the program, and
    // goes on as if nothing were published when the object is not trusted.
    enum What { kSelf, kOne, kProgram };
    struct Case {
        What what;
        mode_t mode;
        bool otherOwner;
        bool updated;   // the download installed and started
    } cases[] = {
        {kSelf, 0600, false, false},  // waits in vain for the id to go, changes nothing
        {kOne, 0622, false, true},     {kOne, 0666, false, true}, {kOne, 0600, true, true},
        {kProgram, 0666, false, false},  // not asked to close: the update waits for it in vain
    };
    for (const Case& c : cases) {
        if (c.otherOwner && geteuid() != 0) continue;   // only root can give an object away
        UpdaterFolder dir;
        const SharedName shared;
        const std::string& name = shared.Name();
        pid_t running = -1;
        if (c.what == kProgram) {
            dir.PutStandIn(name);
            running = dir.Start(name, {"--wait"});
            ASSERT_EQ(dir.WaitForMarker(1), Lines{"waiting"});
        } else {
            dir.PutScript(name, "old");
        }
        dir.PutStandIn(name + ".tmp");
        const std::string id = c.what == kSelf ? std::to_string(getpid()) : c.what == kOne ? "1" : std::to_string(running);
        {
            Published published(shared, id, c.mode, c.otherOwner ? kOtherUser : static_cast<uid_t>(-1));
            EXPECT_EQ(dir.RunKelvoran({name}), 0);
        }
        const std::string what = std::to_string(c.what) + " " + std::to_string(c.mode) + " " + std::to_string(c.otherOwner);
        if (c.updated) {
            EXPECT_EQ(dir.WaitForMarker(1), Lines{"started"}) << what;
            EXPECT_FALSE(dir.Exists(name + ".tmp")) << what;
        } else {
            Settle();
            EXPECT_EQ(dir.Marker(), c.what == kProgram ? Lines{"waiting"} : Lines{}) << what;
            EXPECT_TRUE(dir.Exists(name + ".tmp")) << what;
        }
        if (running > 0) Reap(running);
    }
}

TEST(Kelvoran, ANumericNameIsAProcessToCloseWhenItRunsThatProgram) {
    UpdaterFolder dir;
    dir.PutStandIn("placeholder");
    const pid_t old = dir.Start("placeholder", {"--wait"});
    ASSERT_EQ(dir.WaitForMarker(1), Lines{"waiting"});
    // The running program's file takes the name of its process id.
    const std::string name = std::to_string(old);
    ASSERT_EQ(std::rename((dir.Path() + "placeholder").c_str(), (dir.Path() + name).c_str()), 0);
    dir.PutStandIn(name + ".tmp");

    EXPECT_EQ(dir.RunKelvoran({name, "x"}), 0);
    const Lines marker = dir.WaitForMarker(3);
    EXPECT_EQ(marker.size(), 3u);
    EXPECT_EQ(std::count(marker.begin(), marker.end(), "terminated"), 1);
    EXPECT_EQ(std::count(marker.begin(), marker.end(), "started"), 1);
    EXPECT_FALSE(dir.Exists(name + ".tmp"));
    Reap(old);

    // The id of this test process under a name that is not its program: no signal, but the
    // update goes on.
    UpdaterFolder other;
    const std::string self = std::to_string(getpid());
    other.PutScript(self, "old");
    other.PutStandIn(self + ".tmp");
    EXPECT_EQ(other.RunKelvoran({self, "x"}), 0);
    EXPECT_EQ(other.WaitForMarker(1), Lines{"started"});

    // A process whose status cannot be read (here: one that has ended) is none of this user's.
    EXPECT_TRUE(ProcessOfOwnUser(getpid()));
    const pid_t gone = fork();
    if (gone == 0) _exit(0);
    ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
    EXPECT_FALSE(ProcessOfOwnUser(gone));

    // The program run as a process not wholly of Kelvoran's user (real, effective and saved user
    // ids): no signal, but the update goes on.
    if (geteuid() != 0) GTEST_SKIP() << "only root can start a process of other user ids";
    const std::string otherId = std::to_string(kOtherUser);
    const struct {
        uid_t startAs;   // -1: Kelvoran's user
        Lines ids;       // the real, effective and saved user ids the process then takes
    } foreigners[] = {
        {kOtherUser, {}},
        {static_cast<uid_t>(-1), {otherId, "0", "0"}},
        {static_cast<uid_t>(-1), {"0", otherId, "0"}},
        {static_cast<uid_t>(-1), {"0", "0", otherId}},
    };
    for (const auto& f : foreigners) {
        SCOPED_TRACE(f.ids.empty() ? "started as " + otherId : f.ids[0] + " " + f.ids[1] + " " + f.ids[2]);
        UpdaterFolder shared;
        ASSERT_EQ(chmod(shared.Path().c_str(), 0777), 0);
        shared.PutStandIn("placeholder");
        Lines args{"--wait"};
        if (!f.ids.empty()) args = {"--ids", f.ids[0], f.ids[1], f.ids[2]};
        const pid_t foreign = shared.Start("placeholder", args, f.startAs);
        ASSERT_EQ(shared.WaitForMarker(1), Lines{"waiting"});
        const std::string foreignName = std::to_string(foreign);
        ASSERT_EQ(std::rename((shared.Path() + "placeholder").c_str(), (shared.Path() + foreignName).c_str()), 0);
        shared.PutStandIn(foreignName + ".tmp");
        EXPECT_EQ(shared.RunKelvoran({foreignName, "x"}), 0);
        EXPECT_EQ(shared.WaitForMarker(2), (Lines{"waiting", "started"}));
        Settle();
        EXPECT_EQ(shared.Marker(), (Lines{"waiting", "started"}));
        Reap(foreign);
    }
}
