#include "backup/CBackupManifest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using kvl::CBackupManifest;

namespace {

CBackupManifest Sample()
{
    CBackupManifest m;
    m.date = "2026-12-11T00:20:00Z";
    m.toolVersion = "1.0.0";
    m.busSpeed = 115200;
    m.devices = {{0, "MODEL-A"}, {3, "MODEL B 2"}};
    m.AddFile("axis00/params.prm", "a=1\n");
    m.AddFile("axis 03/points.csv", "1,2,3\n");
    return m;
}

std::filesystem::path FreshFolder(const char *name)
{
    const auto dir = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

void WriteFile(const std::filesystem::path &path, const std::string &bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

TEST(CBackupManifest, Crc32MatchesTheKnownCheckValues)
{
    EXPECT_EQ(CBackupManifest::Crc32(""), 0x00000000U);
    EXPECT_EQ(CBackupManifest::Crc32("123456789"), 0xCBF43926U);
    EXPECT_EQ(CBackupManifest::Crc32("The quick brown fox jumps over the lazy dog"), 0x414FA339U);
}

TEST(CBackupManifest, TextIsReadableAndReadsBackTheSame)
{
    const CBackupManifest m = Sample();
    const std::string text = m.ToText();
    EXPECT_EQ(text, "KVL bus backup 1\n"
                    "date 2026-12-11T00:20:00Z\n"
                    "tool 1.0.0\n"
                    "speed 115200\n"
                    "device 0 MODEL-A\n"
                    "device 3 MODEL B 2\n"
                    "file axis00/params.prm " + [] {
                        char hex[9];
                        std::snprintf(hex, sizeof hex, "%08x", CBackupManifest::Crc32("a=1\n"));
                        return std::string(hex);
                    }() + "\n"
                    "file axis 03/points.csv " + [] {
                        char hex[9];
                        std::snprintf(hex, sizeof hex, "%08x", CBackupManifest::Crc32("1,2,3\n"));
                        return std::string(hex);
                    }() + "\n");

    CBackupManifest back;
    std::string error;
    ASSERT_TRUE(back.FromText(text, error)) << error;
    EXPECT_EQ(back.ToText(), text);
    ASSERT_NE(back.FindDevice(3), nullptr);
    EXPECT_EQ(back.FindDevice(3)->model, "MODEL B 2");
    EXPECT_EQ(back.FindDevice(1), nullptr);
    ASSERT_NE(back.FindFile("axis 03/points.csv"), nullptr);
    EXPECT_EQ(back.FindFile("axis 03/points.csv")->crc, CBackupManifest::Crc32("1,2,3\n"));

    // CR LF line ends (a manifest edited on another system) and unknown keys still read.
    std::string crlf;
    for (char ch : text) {
        if (ch == '\n')
            crlf += '\r';
        crlf += ch;
    }
    crlf += "note taken before the service\r\n";
    ASSERT_TRUE(back.FromText(crlf, error)) << error;
    EXPECT_EQ(back.ToText(), text);
}

TEST(CBackupManifest, AddingAFileAgainReplacesItsChecksum)
{
    CBackupManifest m = Sample();
    m.AddFile("axis00/params.prm", "a=2\n");
    ASSERT_EQ(m.files.size(), 2U);
    EXPECT_EQ(m.FindFile("axis00/params.prm")->crc, CBackupManifest::Crc32("a=2\n"));
}

TEST(CBackupManifest, RefusesDamagedText)
{
    struct Case {
        const char *text;
        const char *error;
    };
    const Case cases[] = {
        {"", "line 1: not a bus backup manifest"},
        {"KVL bus backup 2\n", "line 1: not a bus backup manifest"},
        {"KVL bus backup 1\nspeed fast\n", "line 2: bad bus speed"},
        {"KVL bus backup 1\nspeed 0\n", "line 2: bad bus speed"},
        {"KVL bus backup 1\ndevice x MODEL\n", "line 2: bad device line"},
        {"KVL bus backup 1\ndevice 2\n", "line 2: bad device line"},
        {"KVL bus backup 1\ndate d\nfile a.csv 1234\n", "line 3: bad file line"},
        {"KVL bus backup 1\nfile a.csv 1234567g\n", "line 2: bad file line"},
        {"KVL bus backup 1\nfile 12345678\n", "line 2: bad file line"},
        {"KVL bus backup 1\ndate d\ntool 1\n", "no bus speed"},
        {"KVL bus backup 1\r\nnteed 0\r\n", "no bus speed"},
        {"KVL bus backup 1\ndevice 0 MDA\ndevice 0 MDC\n", "line 3: device 0 is given twice"},
        {"KVL bus backup 1\nfile ../a.csv 12345678\n", "line 2: the file name ../a.csv leads out of the backup folder"},
        {"KVL bus backup 1\nfile axis00/../../a 12345678\n",
         "line 2: the file name axis00/../../a leads out of the backup folder"},
        {"KVL bus backup 1\nfile /etc/passwd 12345678\n",
         "line 2: the file name /etc/passwd leads out of the backup folder"},
        {"KVL bus backup 1\nfile axis00//a 12345678\n", "line 2: the file name axis00//a leads out of the backup folder"},
        {"KVL bus backup 1\nfile a.csv 12345678\nfile a.csv 12345678\n", "line 3: the file a.csv is given twice"},
    };
    for (const Case &c : cases) {
        CBackupManifest m;
        std::string error;
        EXPECT_FALSE(m.FromText(c.text, error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

TEST(CBackupManifest, SavedFolderChecksWholeAndNamesChangedOrMissingFiles)
{
    const auto dir = FreshFolder("kvl_backup_manifest_test");
    CBackupManifest m = Sample();
    WriteFile(dir / "axis00/params.prm", "a=1\n");
    WriteFile(dir / "axis 03/points.csv", "1,2,3\n");
    ASSERT_TRUE(m.Save(dir.string()));

    CBackupManifest loaded;
    std::string error;
    ASSERT_TRUE(loaded.Load(dir.string(), error)) << error;
    EXPECT_EQ(loaded.ToText(), m.ToText());
    EXPECT_TRUE(loaded.CheckFiles(dir.string()).empty());

    WriteFile(dir / "axis00/params.prm", "a=9\n");
    std::filesystem::remove(dir / "axis 03/points.csv");
    EXPECT_EQ(loaded.CheckFiles(dir.string()),
              (std::vector<std::string>{"axis00/params.prm", "axis 03/points.csv"}));

    std::filesystem::remove(dir / CBackupManifest::kFileName);
    EXPECT_FALSE(loaded.Load(dir.string(), error));
    EXPECT_NE(error.find("cannot read"), std::string::npos);
    std::filesystem::remove_all(dir);
}
