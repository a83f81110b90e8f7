#include "config/CSaveFailure.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "config/CLanguageTexts.h"

namespace kvl {

namespace {

namespace fs = std::filesystem;

struct CauseWords {
    CSaveFailure::Cause cause;
    const char *key;
    const char *builtIn;
};

constexpr CauseWords kCauseWords[] = {
    {CSaveFailure::Cause::kNoFolder, "IDS_ERRMSG_SAVE_NOFOLDER", "its folder does not exist"},
    {CSaveFailure::Cause::kFolderReadOnly, "IDS_ERRMSG_SAVE_FOLDERDENIED", "you may not write in its folder"},
    {CSaveFailure::Cause::kFileReadOnly, "IDS_ERRMSG_SAVE_FILEDENIED", "the file is read-only for you"},
    {CSaveFailure::Cause::kDiskReadOnly, "IDS_ERRMSG_SAVE_READONLYDISK", "the disk is read-only"},
    {CSaveFailure::Cause::kDiskFull, "IDS_ERRMSG_SAVE_DISKFULL", "the disk is full"},
    {CSaveFailure::Cause::kIsFolder, "IDS_ERRMSG_SAVE_ISFOLDER", "a folder has that name"},
    {CSaveFailure::Cause::kOther, "IDS_ERRMSG_SAVE_OTHER", "the system refused"},
};
constexpr char kMessageKey[] = "IDS_ERRMSG_SAVEFAILED";
constexpr char kMessageBuiltIn[] = "The file %1 could not be saved: %2. A file that was there before is unchanged.";

std::string TextOf(const CSaveFailure::Lookup &lookup, const char *key, const char *builtIn)
{
    std::string text = lookup ? lookup(key) : std::string();
    return text.empty() ? builtIn : text;
}

CSaveFailure::Lookup LookupIn(const CLanguageTexts *texts)
{
    if (texts == nullptr)
        return {};
    return [texts](const std::string &key) { return texts->Text(key, CLanguageTexts::kCommonSection); };
}

void ReplaceAll(std::string &text, const std::string &what, const std::string &with)
{
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

} // namespace

CSaveFailure::CSaveFailure(std::string path, Cause cause, int error)
    : m_path(std::move(path)), m_cause(cause), m_error(error)
{
}

CSaveFailure CSaveFailure::Last(const std::string &path)
{
    const CFileReplace::Failure failure = CFileReplace::LastFailure();
    return CSaveFailure(path, CauseOf(failure), failure.error);
}

CSaveFailure::Cause CSaveFailure::CauseOf(const CFileReplace::Failure &failure)
{
    switch (failure.error) {
    case ENOENT:
    case ENOTDIR:
        return Cause::kNoFolder;
    case EACCES:
    case EPERM:
        return failure.target ? Cause::kFileReadOnly : Cause::kFolderReadOnly;
    case EROFS:
        return Cause::kDiskReadOnly;
    case ENOSPC:
    case EDQUOT:
        return Cause::kDiskFull;
    case EISDIR:
        return Cause::kIsFolder;
    default:
        return Cause::kOther;
    }
}

CSaveFailure CSaveFailure::Probed(const std::string &path)
{
    std::error_code error;
    const fs::path file(path);
    if (fs::is_directory(file, error))
        return CSaveFailure(path, Cause::kIsFolder);
    fs::path folder = file.parent_path();
    if (folder.empty())
        folder = ".";
    if (!fs::is_directory(folder, error))
        return CSaveFailure(path, Cause::kNoFolder);
    if (fs::exists(file, error) && ::access(file.c_str(), W_OK) != 0) {
        const int why = errno;
        return CSaveFailure(path, CauseOf({why, true}), why);
    }
    if (::access(folder.c_str(), W_OK) != 0) {
        const int why = errno;
        return CSaveFailure(path, CauseOf({why, false}), why);
    }
    return CSaveFailure(path, Cause::kOther);
}

std::string CSaveFailure::CauseText(const CLanguageTexts *texts) const
{
    return CauseText(LookupIn(texts));
}

std::string CSaveFailure::Message(const CLanguageTexts *texts) const
{
    return Message(LookupIn(texts));
}

std::string CSaveFailure::CauseText(const Lookup &lookup) const
{
    for (const CauseWords &words : kCauseWords) {
        if (words.cause != m_cause)
            continue;
        std::string text = TextOf(lookup, words.key, words.builtIn);
        if (m_cause == Cause::kOther && m_error != 0)
            text += std::string(" (") + std::strerror(m_error) + ")";
        return text;
    }
    return {};
}

std::string CSaveFailure::Message(const Lookup &lookup) const
{
    std::string text = TextOf(lookup, kMessageKey, kMessageBuiltIn);
    ReplaceAll(text, "%1", m_path);
    ReplaceAll(text, "%2", CauseText(lookup));
    return text;
}

std::string CSaveFailure::CliText() const
{
    return "cannot save " + m_path + ": " + CauseText(Lookup());
}

} // namespace kvl
