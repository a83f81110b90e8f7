#include "sim/ModelInfo.h"

#include <cstdlib>

#include "protocol/CommandCodes.h"

namespace kvl::sim {
namespace {

constexpr int kLastLowParameter = 49;
constexpr int kFirstHighParameter = 100;
constexpr int kGatewayLastParameter = 19;
constexpr double kLastOldVersion = 1.07;

const std::vector<ModelInfo> &Models()
{
    static const std::vector<ModelInfo> models = {
        {"MDA", cmd::kModelCodeMDA, false, false, false, 10},
        {"MDB", cmd::kModelCodeMDB, true, false, true, 1000},
        {"MDC", cmd::kModelCodeMDC, true, false, true, 1000},
        {"MDC-X", cmd::kModelCodeMDCX, true, false, false, 10000},
        {"MDA-Y", cmd::kModelCodeMDAY, false, false, false, 10},
        {"MDA-Z", cmd::kModelCodeMDAZ, false, true, false, 10},
    };
    return models;
}

} // namespace

bool IsOldVersion(const std::string &version)
{
    if (version.empty())
        return false;
    const char first = version[0];
    if (first >= 'A' && first <= 'G')
        return true;
    if (first != '0' && first != '1')
        return false;
    // The controller's version "1305" reads as 1.30: first digit, then the next two as decimals.
    std::string text(1, first);
    text += '.';
    text += version.substr(1, 2);
    const double value = std::atof(text.c_str());
    return value >= 0.0 && value <= kLastOldVersion;
}

std::string ModelInfo::FileKey() const
{
    // The variant models put their letter in front: "MDC-X" is "XMDC".
    const auto dash = text.find('-');
    if (dash == std::string::npos)
        return text;
    return text.substr(dash + 1) + text.substr(0, dash);
}

int ModelInfo::LastParameter(const std::string &version) const
{
    if (IsGateway())
        return kGatewayLastParameter;
    if (text == "MDB" || text == "MDC")
        return IsOldVersion(version) ? 151 : 182;
    if (text == "MDC-X")
        return 168;
    if (text == "MDA-Y")
        return 113;
    if (text == "MDA-Z")
        return 115;
    return 111;
}

bool ModelInfo::HasParameter(int number, const std::string &version) const
{
    if (IsGateway())
        return number >= 1 && number <= kGatewayLastParameter;
    if (number >= 1 && number <= kLastLowParameter)
        return true;
    return number >= kFirstHighParameter && number <= LastParameter(version);
}

std::optional<ModelInfo> FindModel(const std::string &text)
{
    for (const auto &model : Models())
        if (model.text == text)
            return model;
    if (text == "GWX")
        return GatewayModel();
    return std::nullopt;
}

std::vector<ModelInfo> ControllerModels()
{
    return Models();
}

ModelInfo GatewayModel()
{
    return {"GWX", cmd::kModelCodeGWX, false, false, false, 1};
}

} // namespace kvl::sim
