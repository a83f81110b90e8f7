#pragma once
// CIniEx: reader and writer of the system's INI-style text files (settings, language texts,
// waveform settings, parameter files). The whole file is read into memory when it is opened; all
// lookups and changes work on that copy, and the file is rewritten from it by Save() or, with
// save-on-close, by the destructor. Texts are byte strings in the file's code page and are never
// converted here; the code page set with SetCodePage() only tells which bytes start a double-byte
// character, so that case folding and the ";" search never look at a trail byte.
// Owned by the window or service that uses the file; one thread at a time, no locking.
#include <string>
#include <string_view>
#include <vector>

#include "base/TextNumber.h"

namespace kvl {

class CIniEx {
public:
    // Code pages whose lead bytes the engine knows; any other value means single-byte text.
    static constexpr int kCodePageShiftJis = ::kvl::kCodePageShiftJis;
    static constexpr int kCodePageGbk = ::kvl::kCodePageGbk;
    static constexpr int kCodePageWestern = ::kvl::kCodePageWestern;

    CIniEx() = default;
    ~CIniEx();
    CIniEx(const CIniEx &) = delete;
    CIniEx &operator=(const CIniEx &) = delete;
    CIniEx(CIniEx &&other) noexcept;
    CIniEx &operator=(CIniEx &&other) noexcept;

    // Saves (if changed) and clears a file already open, then reads `path`. The file must be
    // readable and writable; with createIfMissing a missing file is created empty. On failure the
    // store stays closed and empty and the result is false.
    bool Open(const std::string &path, bool saveOnClose, bool createIfMissing, bool ignoreCase);
    // Open on <systemFolder>[/subFolder]/fileName; the system folder is the one its owner
    // (CAppSettings) was given. An empty `fileName` saves and closes an open store and fails.
    bool OpenInSystemFolder(const std::string &systemFolder, const std::string &fileName,
                            const std::string &subFolder, bool saveOnClose, bool createIfMissing,
                            bool ignoreCase);

    // Value of the last entry `key` in the first section `section`, cut at its last ";";
    // `def` when the section or key is missing.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view def) const;
    // GetString with an empty default; empty gives `def`, else a decimal conversion that stops at
    // the first unusable character (no digits gives 0; out-of-range values are clamped).
    int GetInt(std::string_view section, std::string_view key, int def) const;
    // The same for a real number (LeadingFiniteReal: "." point, "nan" and "inf" are no numbers);
    // a value too large for a double gives 0.
    double GetDouble(std::string_view section, std::string_view key, double def) const;

    // Replaces or appends the entry; appends the section when missing. Does nothing while no
    // file is open, and refuses texts that would not read back as the same entry (a line break
    // anywhere, "=" in the key).
    void SetString(std::string_view section, std::string_view key, std::string_view value);

    // Adds what `newer` has and this store lacks: a missing section with its entries at the end,
    // a missing key of a section both have after that section's last entry, each with the value
    // bytes of `newer` as they are. Entries already here are never changed, nor are comment or
    // blank lines copied. Marks the store changed when something was added; returns how many
    // keys were added. Both stores should use the same code page.
    int AddMissing(const CIniEx &newer);

    // Writes the file when the store was changed: to a temporary file in the same folder that is
    // then renamed over the old one, so a failure part-way leaves the old file whole. Returns false
    // when writing failed (the store stays changed); nothing is shown to anybody.
    bool Save();
    // Drops every section and entry and closes the store, without writing.
    void Clear();

    // Reads `bytes` as file content into a closed store (path stays empty, so changes are
    // ignored). For tools and the fuzz target that have the content in memory.
    void LoadText(std::string_view bytes, bool ignoreCase);
    // The text Save() writes: headers and entries in stored order, CR LF line ends.
    std::string Serialize() const;

    void SetCodePage(int codePage) { m_codePage = codePage; }
    int CodePage() const { return m_codePage; }
    const std::string &Path() const { return m_path; }
    bool IsOpen() const { return !m_path.empty(); }
    bool IsChanged() const { return m_changed; }
    // Section names in file order; index 0 is the unnamed part before the first header.
    std::vector<std::string> SectionNames() const;
    // Keys of the first section named `section`, in file order (duplicates included).
    std::vector<std::string> KeyNames(std::string_view section) const;

    // The folder of the running executable.
    static std::string ProgramFolder();
    // <program folder>/system: the system folder a face uses unless it is given another one
    // (tests, the command line's --system option).
    static std::string DefaultSystemFolder();

private:
    struct Entry {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };

    void Parse(std::string_view bytes);
    const Section *FindSection(std::string_view name) const;
    Section *FindSection(std::string_view name);
    const Entry *FindEntry(const Section &section, std::string_view key) const;
    bool NamesEqual(std::string_view a, std::string_view b) const;
    bool IsLeadByte(unsigned char c) const;
    std::string_view CutAtLastSemicolon(std::string_view value) const;

    std::string m_path;
    bool m_saveOnClose = false;
    bool m_ignoreCase = false;
    bool m_changed = false;
    int m_codePage = kCodePageWestern;
    std::vector<Section> m_sections;
};

} // namespace kvl
