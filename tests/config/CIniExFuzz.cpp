// libFuzzer target for the INI reader: any bytes must load without a crash or a sanitizer
// report, every lookup must stay inside the stored value, the written text must read back
// as the same text, and merging the keys of a store into another adds each missing key once.
// Built only with clang (scripts/fuzz-all).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "config/CCodePage.h"
#include "config/CIniEx.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// Lookups are linear searches, so every key of a big input would make each run quadratic; a
// bounded number per section keeps the fuzzer fast without losing the paths.
constexpr std::size_t kKeysLookedUpPerSection = 32;
constexpr char kNotFound[] = "\n";
// Each added key is looked up in its section first, so the merge is quadratic as well.
constexpr std::size_t kLargestMergedInput = 1024;

void ExerciseStore(std::string_view bytes, int codePage, bool ignoreCase)
{
    kvl::CIniEx ini;
    ini.SetCodePage(codePage);
    ini.LoadText(bytes, ignoreCase);
    for (const std::string &section : ini.SectionNames()) {
        const auto keys = ini.KeyNames(section);
        for (std::size_t i = 0; i < keys.size() && i < kKeysLookedUpPerSection; ++i) {
            const std::string &key = keys[i];
            // A stored value never holds a line break, so this default cannot be a found value.
            const std::string value = ini.GetString(section, key, kNotFound);
            Check(value != kNotFound); // a listed key is always found
            Check(value.size() <= bytes.size());
            ini.GetInt(section, key, 0);
            ini.GetDouble(section, key, 0.0);
        }
    }
    if (bytes.size() <= kLargestMergedInput) {
        kvl::CIniEx merged;
        merged.SetCodePage(codePage);
        merged.LoadText("[RS485]\r\nPort=1\r\n", ignoreCase);
        merged.AddMissing(ini);
        Check(merged.AddMissing(ini) == 0);
        Check(merged.GetString("RS485", "Port", "") == "1");
    }
    const std::string once = ini.Serialize();
    kvl::CIniEx again;
    again.SetCodePage(codePage);
    again.LoadText(once, ignoreCase);
    Check(again.Serialize() == once);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    for (int codePage : {kvl::CIniEx::kCodePageShiftJis, kvl::CIniEx::kCodePageGbk,
                         kvl::CIniEx::kCodePageWestern}) {
        ExerciseStore(bytes, codePage, true);
        std::string utf8;
        kvl::CCodePage::ToUtf8(bytes, codePage, utf8);
        std::string back;
        kvl::CCodePage::FromUtf8(utf8, codePage, back, true);
    }
    ExerciseStore(bytes, kvl::CIniEx::kCodePageWestern, false);
    return 0;
}
