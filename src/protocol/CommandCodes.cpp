#include "protocol/CommandCodes.h"

#include <array>
#include <utility>

namespace kvl::cmd {
namespace {

constexpr std::array<std::pair<int, const char *>, 7> kModelTable{{
    {kModelCodeMDA, "MDA"},
    {kModelCodeMDB, "MDB"},
    {kModelCodeMDC, "MDC"},
    {kModelCodeGWX, "GWX"},
    {kModelCodeMDCX, "MDC-X"},
    {kModelCodeMDAY, "MDA-Y"},
    {kModelCodeMDAZ, "MDA-Z"},
}};

} // namespace

const char *ModelTextFromCode(int code)
{
    for (const auto &[modelCode, text] : kModelTable)
        if (modelCode == code)
            return text;
    return "MDA";
}

int ModelCodeFromText(const std::string &model)
{
    for (const auto &[modelCode, text] : kModelTable)
        if (model == text)
            return modelCode;
    return kModelCodeMDA;
}

bool UsesLongRecord(const std::string &model)
{
    return model == "MDB" || model == "MDC" || model == "MDC-X";
}

int NormalizeDeviceListCode(int code)
{
    switch (code) {
    case kModelCodeMDA:
    case kModelCodeMDB:
    case kModelCodeMDC:
    case kModelCodeMDCX:
    case kModelCodeMDAY:
    case kModelCodeMDAZ:
    case kDeviceListAny:
        return code;
    default:
        return kDeviceListNone;
    }
}

} // namespace kvl::cmd
