// libFuzzer target for the backup folder's own text files. The first input byte picks the file:
// even the manifest, odd the raw parameter file; the rest is its text. Checks: no read past the
// input (ASan); a text that reads is written again in the stable form, and that form reads back
// to the same content and is written to the same bytes.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "FuzzCheck.h"
#include "backup/CBackupFolder.h"
#include "backup/CBackupManifest.h"

using kvl::fuzz::Check;

namespace {

void Manifest(const std::string &text)
{
    kvl::CBackupManifest manifest;
    std::string error;
    if (!manifest.FromText(text, error)) {
        Check(!error.empty());
        return;
    }
    const std::string written = manifest.ToText();
    kvl::CBackupManifest again;
    Check(again.FromText(written, error));
    Check(again.ToText() == written);
    Check(again.devices.size() == manifest.devices.size() && again.files.size() == manifest.files.size());
}

void RawParameters(const std::string &text)
{
    std::map<int, std::int32_t> raw;
    int badLine = 0;
    if (!kvl::backup::CBackupFolder::ParseRawParameters(text, raw, badLine)) {
        Check(badLine >= 1);
        return;
    }
    kvl::backup::AxisImage axis;
    for (const auto &[number, value] : raw) {
        Check(number >= 1 && number <= 255);
        axis.parameters[number] = {value, {}, {}};
    }
    const std::string written = kvl::backup::CBackupFolder::RawParametersText(axis);
    std::map<int, std::int32_t> again;
    Check(kvl::backup::CBackupFolder::ParseRawParameters(written, again, badLine));
    Check(again == raw);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const std::string text(reinterpret_cast<const char *>(data + 1), size - 1);
    if (data[0] % 2 == 0)
        Manifest(text);
    else
        RawParameters(text);
    return 0;
}
