#include "config/CSystemFolderUpgrade.h"

#include "config/CIniEx.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace kvl {

namespace {

namespace fs = std::filesystem;

bool EndsWithNoCase(const std::string &text, const std::string &tail)
{
    if (text.size() < tail.size())
        return false;
    for (std::size_t i = 0; i < tail.size(); ++i) {
        char c = text[text.size() - tail.size() + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != tail[i])
            return false;
    }
    return true;
}

bool ReadBytes(const fs::path &path, std::string &bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

void Note(CSystemFolderUpgrade::Report &report, const std::string &problem)
{
    if (report.error.empty())
        report.error = problem;
}

// Copies one file the user's copy lacks; the copy belongs to the user and stays writable by them
// whatever the shipped file's mode is.
void CopyMissing(const fs::path &from, const fs::path &to, CSystemFolderUpgrade::Report &report)
{
    std::error_code ec;
    const bool copied = fs::copy_file(from, to, fs::copy_options::skip_existing, ec);
    if (ec) {
        Note(report, "cannot copy " + from.string() + " to " + to.string() + ": " + ec.message());
        return;
    }
    // Not copied without an error: another of the programs, starting at the same time, was first.
    if (!copied)
        return;
    fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, ec);
    ++report.filesCopied;
}

void MergeKeys(const fs::path &from, const fs::path &to, CSystemFolderUpgrade::Report &report)
{
    std::string shippedBytes;
    if (!ReadBytes(from, shippedBytes)) {
        Note(report, "cannot read " + from.string());
        return;
    }
    const int codePage = CSystemFolderUpgrade::CodePageOfFile(to.filename().string());
    CIniEx shipped;
    shipped.SetCodePage(codePage);
    shipped.LoadText(shippedBytes, true);
    CIniEx mine;
    mine.SetCodePage(codePage);
    if (!mine.Open(to.string(), false, false, true)) {
        Note(report, "cannot open " + to.string() + " for writing");
        return;
    }
    const int added = mine.AddMissing(shipped);
    if (added == 0)
        return;
    if (!mine.Save()) {
        Note(report, "cannot write " + to.string());
        return;
    }
    ++report.filesMerged;
    report.keysAdded += added;
}

} // namespace

int CSystemFolderUpgrade::CodePageOfFile(const std::string &fileName)
{
    if (EndsWithNoCase(fileName, "_jp.ini"))
        return CIniEx::kCodePageShiftJis;
    if (EndsWithNoCase(fileName, "_cn.ini"))
        return CIniEx::kCodePageGbk;
    return CIniEx::kCodePageWestern;
}

bool CSystemFolderUpgrade::Run(const std::string &shipped, const std::string &user, Report &report)
{
    std::error_code ec;
    if (!fs::is_directory(shipped, ec)) {
        Note(report, "the shipped system folder " + shipped + " is missing");
        return false;
    }
    fs::create_directories(user, ec);
    if (!fs::is_directory(user, ec)) {
        Note(report, "cannot make the folder " + user);
        return false;
    }
    const fs::path root(shipped);
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const fs::path target = fs::path(user) / fs::relative(it->path(), root);
        std::error_code entryEc;
        if (it->is_directory(entryEc)) {
            fs::create_directories(target, entryEc);
            if (!fs::is_directory(target, entryEc))
                Note(report, "cannot make the folder " + target.string());
        } else if (it->is_regular_file(entryEc)) {
            if (!fs::exists(target, entryEc))
                CopyMissing(it->path(), target, report);
            else if (EndsWithNoCase(target.filename().string(), ".ini"))
                MergeKeys(it->path(), target, report);
        }
    }
    if (ec)
        Note(report, "cannot read the shipped system folder " + shipped + ": " + ec.message());
    return report.error.empty();
}

} // namespace kvl
