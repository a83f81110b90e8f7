// What a failed save tells the user: the cause of each failure of the safe file writer in words
// (a missing folder, a folder or file that may not be written, a read-only or full disk, a folder
// in the file's place), the message naming the file, and kvlctl's line.
#include <gtest/gtest.h>

#include <cerrno>
#include <ostream>
#include <sys/stat.h>
#include <unistd.h>

#include "TestFiles.h"
#include "config/CFileReplace.h"
#include "config/CSaveFailure.h"
#include "support/Immutable.h"

namespace kvl {
namespace {

struct CauseCase {
    const char *name;
    int error;
    bool target;
    CSaveFailure::Cause cause;
    const char *words;
};

void PrintTo(const CauseCase &c, std::ostream *out)
{
    *out << c.name;
}

class SaveFailureCause : public ::testing::TestWithParam<CauseCase> {};

TEST_P(SaveFailureCause, NamesTheCause)
{
    const CauseCase &c = GetParam();
    const CSaveFailure failure("/data/axis1.dat", CSaveFailure::CauseOf({c.error, c.target}), c.error);
    EXPECT_EQ(failure.GetCause(), c.cause);
    EXPECT_EQ(failure.Message(nullptr),
              std::string("The file /data/axis1.dat could not be saved: ") + c.words +
                  ". A file that was there before is unchanged.");
    EXPECT_EQ(failure.CliText(), std::string("cannot save /data/axis1.dat: ") + c.words);
}

const CauseCase kCauses[] = {
    {"MissingFolder", ENOENT, false, CSaveFailure::Cause::kNoFolder, "its folder does not exist"},
    {"PathThroughAFile", ENOTDIR, false, CSaveFailure::Cause::kNoFolder, "its folder does not exist"},
    {"FolderNotWritable", EACCES, false, CSaveFailure::Cause::kFolderReadOnly, "you may not write in its folder"},
    {"FolderImmutable", EPERM, false, CSaveFailure::Cause::kFolderReadOnly, "you may not write in its folder"},
    {"FileNotWritable", EACCES, true, CSaveFailure::Cause::kFileReadOnly, "the file is read-only for you"},
    {"ReadOnlyDisk", EROFS, false, CSaveFailure::Cause::kDiskReadOnly, "the disk is read-only"},
    {"FullDisk", ENOSPC, false, CSaveFailure::Cause::kDiskFull, "the disk is full"},
    {"QuotaExceeded", EDQUOT, false, CSaveFailure::Cause::kDiskFull, "the disk is full"},
    {"FolderInTheWay", EISDIR, true, CSaveFailure::Cause::kIsFolder, "a folder has that name"},
    {"InputOutputError", EIO, false, CSaveFailure::Cause::kOther, "the system refused (Input/output error)"},
};

INSTANTIATE_TEST_SUITE_P(Causes, SaveFailureCause, ::testing::ValuesIn(kCauses),
                         [](const auto &info) { return std::string(info.param.name); });

// The writer's own failures reach the words: each real failure is told by its cause.
TEST(CSaveFailure, TheWritersFailuresAreToldByTheirCause)
{
    test::TempDir dir;
    const std::string locked = dir.File("locked");
    ASSERT_EQ(::mkdir(locked.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(dir.File("taken.dat").c_str(), 0755), 0);
    const bool root = ::geteuid() == 0;
    ASSERT_TRUE(root ? test::SetImmutable(locked, true) : ::chmod(locked.c_str(), 0555) == 0);
    const struct {
        const char *what;
        std::string path;
        CSaveFailure::Cause cause;
    } cases[] = {
        {"missing folder", dir.File("no/such/axis1.dat"), CSaveFailure::Cause::kNoFolder},
        {"folder not writable", locked + "/axis1.dat", CSaveFailure::Cause::kFolderReadOnly},
        {"a folder in the way", dir.File("taken.dat"), CSaveFailure::Cause::kIsFolder},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_FALSE(CFileReplace::Write(c.path, "bytes"));
        const CSaveFailure failure = CSaveFailure::Last(c.path);
        EXPECT_EQ(failure.GetCause(), c.cause) << failure.CliText();
        EXPECT_EQ(failure.Path(), c.path);
        EXPECT_EQ(CSaveFailure::Probed(c.path).GetCause(), c.cause);
    }
    if (root)
        test::SetImmutable(locked, false);
    else
        ::chmod(locked.c_str(), 0755);
}

} // namespace
} // namespace kvl
