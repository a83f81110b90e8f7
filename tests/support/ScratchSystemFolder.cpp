#include "support/ScratchSystemFolder.h"

#include <stdlib.h>
#include <string>


namespace kvl::test {

namespace fs = std::filesystem;

fs::path ScratchSystemFolder::Shipped()
{
    return KVL_PRISTINE_SYSTEM_DIR;
}

ScratchSystemFolder::ScratchSystemFolder()
{
    std::string pattern = (fs::temp_directory_path() / "kvl_test_XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        return;
    m_folder = pattern;
    std::error_code error;
    if (!fs::exists(Shipped() / "kvl_motor.ini", error))
        return;
    fs::copy(Shipped(), System(), fs::copy_options::recursive, error);
    if (error)
        return;
    m_ok = true;
}

ScratchSystemFolder::~ScratchSystemFolder()
{
    std::error_code ignored;
    if (!m_folder.empty())
        fs::remove_all(m_folder, ignored);
}

} // namespace kvl::test
