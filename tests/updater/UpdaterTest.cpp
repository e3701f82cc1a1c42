#include "tests/updater/UpdaterTestUtil.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
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

// Publishes `text` in shared memory "/<name>" for the lifetime of the object.
class Published {
public:
    Published(std::string name, const std::string& text) : name_("/" + std::move(name)) {
        const int fd = shm_open(name_.c_str(), O_RDWR | O_CREAT, 0600);
        if (fd < 0 || ftruncate(fd, 1024) != 0) throw std::runtime_error("shm");
        void* view = mmap(nullptr, 1024, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        std::snprintf(static_cast<char*>(view), 1024, "%s", text.c_str());
        munmap(view, 1024);
        close(fd);
    }
    ~Published() { shm_unlink(name_.c_str()); }

private:
    std::string name_;
};

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
    EXPECT_EQ(dir.RunKelvoran({"../Morvane"}), 0);     // not a name of its own folder
    EXPECT_EQ(dir.RunKelvoran({""}), 0);
    Settle();
    EXPECT_TRUE(dir.Marker().empty());
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
    const std::string name = "MorvaneTest" + std::to_string(getpid());
    dir.PutStandIn(name);
    dir.PutStandIn(name + ".tmp");
    const pid_t old = dir.Start(name, {"--publish", name});
    ASSERT_EQ(dir.WaitForMarker(1), Lines{"waiting"});

    EXPECT_EQ(dir.RunKelvoran({name}), 0);
    EXPECT_EQ(dir.WaitForMarker(3), (Lines{"waiting", "terminated", "started"}));
    EXPECT_FALSE(dir.Exists(name + ".tmp"));
    Reap(old);
}

TEST(Kelvoran, NeverSignalsAProcessThatRunsAnotherProgram) {
    // This test process publishes its own id: Kelvoran must not close it, waits for it in vain
    // and gives up without changes.
    UpdaterFolder dir;
    const std::string name = "MorvaneTest" + std::to_string(getpid());
    dir.PutScript(name, "old");
    dir.PutStandIn(name + ".tmp");
    {
        Published self(name, std::to_string(getpid()));
        EXPECT_EQ(dir.RunKelvoran({name}), 0);
    }
    Settle();
    EXPECT_TRUE(dir.Marker().empty());
    EXPECT_TRUE(dir.Exists(name + ".tmp"));
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
}
