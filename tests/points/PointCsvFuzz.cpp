// libFuzzer target for the point-table CSV loader. The first input byte picks the operation type,
// the language (code page of the cut) and online/offline; the rest is the file content.
// Checks: no crash or sanitizer report, every stored text within its width, and a loaded table
// that saves and loads again to the same records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "points/CPointCsv.h"
#include "points/CPointTable.h"

using namespace kvl::points;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    CStepContext context;
    context.operationType = data[0] % 6;
    context.online = (data[0] & 0x40) != 0;
    context.model = (data[0] & 0x80) ? "MDC" : "MDA";
    CStepTexts texts;
    texts.language = 1 + (data[0] >> 3) % 3;
    texts.modeTexts = {"\x90\xe2\x91\xce", "\x91\x8a\x91\xce"};
    const std::string content(reinterpret_cast<const char *>(data + 1), size - 1);

    CPointTable table(CStepRules(context, texts));
    CPointCsv::LoadText(table, content);
    for (int s = 0; s < table.StepCount(); ++s) {
        const CKVL_VER2_ProgData &record = table.Working(s);
        for (int k = kColMode; k < kColComment; ++k) {
            const size_t width = k == kColJump ? CKVL_VER2_ProgData::kJumpWidth : CKVL_VER2_ProgData::kTextWidth;
            if (record.FieldText(k).size() > width)
                std::abort();
        }
    }
    CPointTable again(CStepRules(context, texts));
    CPointCsv::LoadText(again, CPointCsv::Serialise(table));
    for (int s = 0; s < table.StepCount(); ++s) {
        if (!table.Working(s).Equals(again.Working(s)))
            std::abort();
    }
    return 0;
}
