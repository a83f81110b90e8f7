#include "params/CParamPrintout.h"

#include "params/CParamFile.h"
#include "params/CParamRules.h"

namespace kvl::params {

std::vector<std::string> CParamPrintout::Lines(const CParamList &file, const ParamTarget &target,
                                               const ParamDate &date)
{
    const int count =
        CParamRules::ParameterCount(target.model, CParamRules::VersionText(target.version));
    std::vector<std::string> lines{CParamFile::DateLine(date), std::string()};
    for (const int number : CParamFile::SavedNumbers(file, count, target.accessLevel))
        lines.push_back(CParamFile::ParameterLine(file.At(number), number, kNumberDigits).ToUtf8());
    return lines;
}

} // namespace kvl::params
