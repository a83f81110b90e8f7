#pragma once
// Shared pieces of the parameter tests: a small parameter file of an MDB axis that has one
// parameter of each kind the rules treat apart, the raw values a controller holding the file's
// values answers with, a scratch folder, and whole-file reads and writes.
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

#include "params/CParamList.h"
#include "params/ParamTypes.h"

namespace kvl::test {

// Definitions (and "Value"s) of parameters 1-5, 9, 12, 16, 20-22, 31, 36, 45, 100 (the name),
// 102, 151 and 182 of an MDB axis; every other number is undefined.
std::string MdbDefinitions();
// The raw values of those parameters as the controller holds them (the name is not one).
std::map<int, std::int32_t> MdbRawValues();
// The definitions loaded offline for `target`'s model into a list.
params::CParamList LoadList(const params::ParamTarget &target, const std::string &ini = MdbDefinitions());
// An MDB axis at address 3 with version "1305" (182 parameters), level 0, decimals setting 0.
params::ParamTarget MdbTarget();

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::filesystem::path &Path() const { return m_path; }
    std::string File(const std::string &name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

void WriteBytes(const std::string &path, const std::string &bytes);
std::string ReadBytes(const std::string &path);

} // namespace kvl::test
