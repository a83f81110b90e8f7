#pragma once
// A private copy of the shipped system folder (of the pristine copy the build writes for the
// tests, not of build/bin/system, which the programs rewrite as they run) in a new temporary
// folder, removed with the object, so that a test may change settings and files without touching
// the build. The test hands System() to what it starts (CAppSettings, the application's options,
// kvlctl's --system). One per test.
#include <filesystem>

namespace kvl::test {

class ScratchSystemFolder {
public:
    ScratchSystemFolder();
    ~ScratchSystemFolder();
    ScratchSystemFolder(const ScratchSystemFolder &) = delete;
    ScratchSystemFolder &operator=(const ScratchSystemFolder &) = delete;

    // False when the shipped folder is missing or could not be copied (the test should stop).
    bool Ok() const { return m_ok; }
    // The temporary folder; the copy is its "system" subfolder.
    const std::filesystem::path &Folder() const { return m_folder; }
    std::filesystem::path System() const { return m_folder / "system"; }
    // The pristine shipped folder the copy was made from.
    static std::filesystem::path Shipped();

private:
    std::filesystem::path m_folder;
    bool m_ok = false;
};

} // namespace kvl::test
