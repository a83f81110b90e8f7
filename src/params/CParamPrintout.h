#pragma once
// CParamPrintout: the text lines of a parameter printout, the date of printing, an empty line and
// one line "NN.  name = value unit" per parameter saved at the access level, from the file list.
// The shared print job lays them out on pages. Lines are UTF-8. Stateless; any thread.
#include <string>
#include <vector>

#include "params/CParamList.h"
#include "params/ParamTypes.h"

namespace kvl::params {

class CParamPrintout {
public:
    static constexpr int kNumberDigits = 2;

    static std::vector<std::string> Lines(const CParamList &file, const ParamTarget &target,
                                          const ParamDate &date);
};

} // namespace kvl::params
