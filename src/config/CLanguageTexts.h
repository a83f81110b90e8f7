#pragma once
// CLanguageTexts: the language store, the INI file of the current user language, and the lookups
// every window makes through it (CWindowTexts): a text by (key, section) and tooltips by number.
// Texts come back in UTF-8 (the file's code page is converted here); a missing or empty text is
// the empty string, so the caller keeps its built-in caption.
// Owned by CAppSettings for the whole run; user-interface thread only.
#include <string>
#include <string_view>

#include "config/CCodePageText.h"
#include "config/CIniEx.h"

namespace kvl {

class CLanguageTexts {
public:
    static constexpr char kTooltipSection[] = "TOOLTIPS";
    static constexpr char kCommonSection[] = "Common";
    // Keys (section kCommonSection) of the messages of a file that could not be read or written:
    // it does not exist, another program holds it, or the operation failed.
    static constexpr char kMsgFileNotFound[] = "IDS_ERRMSG_FILENOTFOUND";
    static constexpr char kMsgFileInUse[] = "IDS_ERRMSG_FILEHAVEOPENED";
    static constexpr char kMsgFileOperationFailed[] = "IDS_ERRMSG_FILEOPRATIONFAIL";

    // Reads `fileName` from `systemFolder` as the texts of `language` (1 to 3). The previous
    // texts are dropped first; on failure the store stays empty and every lookup gives "".
    bool Load(const std::string &systemFolder, const std::string &fileName, int language);
    void Unload();
    bool IsLoaded() const { return m_store.IsOpen(); }
    int Language() const { return m_language; }

    // Text of (key, section) as stored, in the file's code page: only for writing into a file of
    // that code page. Everything shown or compared uses Text.
    CCodePageText RawText(std::string_view key, std::string_view section) const;
    // Bytes a device keeps as given, in this language's code page (a device name the tool wrote
    // in this language), so they can be shown.
    CCodePageText DeviceText(std::string bytes) const;
    // Text of (key, section) in UTF-8.
    std::string Text(std::string_view key, std::string_view section) const;
    // ("TOOLTIPS<number>", "TOOLTIPS") in UTF-8.
    std::string Tooltip(int number) const;

    // Direct access for the rare reader that needs the store itself (tests, tools).
    const CIniEx &Store() const { return m_store; }

private:
    CIniEx m_store;
    int m_language = 0;
};

} // namespace kvl
