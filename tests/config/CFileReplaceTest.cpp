// The safe file writer: a save removes the temporary files that interrupted saves of the same
// target left behind, and leaves alone those of a save still in progress and of other files.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestFiles.h"
#include "config/CFileReplace.h"

namespace kvl {
namespace {

namespace fs = std::filesystem;

// A temporary file as a save killed part-way leaves it: created and locked by a process that was
// then killed, with part of the content in it.
void LeaveInterruptedSave(const std::string &temporary)
{
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0 || ::flock(fd, LOCK_EX) != 0 || ::write(fd, "half", 4) != 4)
            ::_exit(1);
        ::raise(SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the save was not interrupted";
}

TEST(CFileReplace, ASaveRemovesTheLeftoversOfInterruptedSavesOfItsTarget)
{
    test::TempDir dir;
    const std::string target = dir.File("axis1.dat");
    test::WriteBytes(target, "previous");
    LeaveInterruptedSave(dir.File(".axis1.dat.k3Xq9Z"));
    LeaveInterruptedSave(dir.File(".axis1.dat.AAAAAA"));
    // Another save of the same target still writing: its lock is held.
    const std::string inProgress = dir.File(".axis1.dat.Wr1t1n");
    test::WriteBytes(inProgress, "writing");
    const int held = ::open(inProgress.c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    // Not temporary files of this target.
    const std::vector<std::string> others = {".axis2.dat.k3Xq9Z", ".axis1.dat.tmp", "axis1.dat.k3Xq9Z",
                                             ".axis1.dat.k3Xq9Z7", ".axis1.dat.k3-q9Z"};
    for (const std::string &name : others)
        test::WriteBytes(dir.File(name), "other");

    ASSERT_TRUE(CFileReplace::Write(target, "new content"));
    EXPECT_EQ(test::ReadBytes(target), "new content");
    EXPECT_FALSE(fs::exists(dir.File(".axis1.dat.k3Xq9Z")));
    EXPECT_FALSE(fs::exists(dir.File(".axis1.dat.AAAAAA")));
    EXPECT_EQ(test::ReadBytes(inProgress), "writing") << "a save in progress keeps its file";
    for (const std::string &name : others)
        EXPECT_EQ(test::ReadBytes(dir.File(name)), "other") << name;
    ::close(held);

    std::size_t entries = 0;
    for ([[maybe_unused]] const auto &entry : fs::directory_iterator(dir.Path()))
        ++entries;
    EXPECT_EQ(entries, 2u + others.size()) << "the target, the save in progress and the others";
}

} // namespace
} // namespace kvl
