// libFuzzer target for the user parameter file loader. The first input byte picks the access
// level; the rest is the file, loaded into the test axis' list (an MDB axis with one parameter of
// each kind). Checks: no read past the input (ASan), every loaded value within its range and a
// selection on one of its choices, the reported numbers exist, and the loaded list saved and
// loaded again saves to the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "ParamFixture.h"
#include "params/CParamFile.h"
#include "params/CParamRules.h"

using kvl::fuzz::Check;
using namespace kvl::params;

namespace {

const ParamDate kDate{2010, 9, 28};
constexpr int kAccessLevels = 3;

void CheckRanges(const CParamList &list, int count)
{
    for (int n = 1; n <= count; ++n) {
        if (!CParamRules::NumberExists(n, count))
            continue;
        const CParamData &record = list.At(n);
        switch (record.GetType()) {
        case CParamData::kTypeInteger:
            Check(record.IntValue() >= record.IntMin() && record.IntValue() <= record.IntMax());
            break;
        case CParamData::kTypeReal:
            Check(record.RealValue() >= record.RealMin() && record.RealValue() <= record.RealMax());
            break;
        case CParamData::kTypeSelection:
            Check(record.SelectedIndex() >= -1 && record.SelectedIndex() < record.ChoiceCount());
            break;
        default:
            break;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static const ParamTarget base = kvl::test::MdbTarget();
    static const CParamList pristine = kvl::test::LoadList(base);
    ParamTarget target = base;
    target.accessLevel = data[0] % kAccessLevels;
    const std::string content(reinterpret_cast<const char *>(data + 1), size - 1);
    const int count = CParamRules::ParameterCount(target.model, CParamRules::VersionText(target.version));

    CParamList list = pristine;
    const ParamLoadReport report = CParamFile::LoadText(list, content, target);
    for (int n : report.numbers)
        Check(CParamRules::NumberExists(n, count));
    if (report.status != ParamFileStatus::Loaded) {
        Check(report.numbers.empty());
        return 0;
    }
    CheckRanges(list, count);

    const std::string once = CParamFile::Serialise(list, target, kDate).Bytes();
    CParamList again = pristine;
    Check(CParamFile::LoadText(again, once, target).status == ParamFileStatus::Loaded);
    Check(CParamFile::Serialise(again, target, kDate).Bytes() == once);
    return 0;
}
