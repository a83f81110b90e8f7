// The simulated controllers start with the values of the shipped parameter files: every number a
// file defines is one the model has, and the raw value converts back to the file's "Value".
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "sim/ParameterStore.h"

namespace kvl::sim {
namespace {

using Section = std::map<std::string, std::string>;

// Sections of a UTF-8 parameter source, with the English texts for tagged keys.
std::map<int, Section> ReadSource(const std::string &key)
{
    std::ifstream in(std::string(KVL_PARAM_SOURCES) + "/" + key + ".ini");
    std::map<int, Section> out;
    std::string line;
    int current = -1;
    const std::regex header(R"(^\[(\d+)\]\s*$)");
    std::smatch m;
    while (std::getline(in, line)) {
        if (std::regex_match(line, m, header)) {
            current = std::stoi(m[1]);
            out[current];
            continue;
        }
        const auto eq = line.find('=');
        if (current < 0 || eq == std::string::npos)
            continue;
        std::string name = line.substr(0, eq);
        if (name.find('@') != std::string::npos && name.substr(name.find('@')) != "@en")
            continue;
        name = name.substr(0, name.find('@'));
        out[current][name] = line.substr(eq + 1);
    }
    return out;
}

// Raw units per shown unit of a real parameter, by number and model.
double RealFactor(int number, const std::string &key, int precision)
{
    const bool longModel = key == "MDB" || key == "MDC" || key == "XMDC";
    if (number == 1 || number == 2 || number == 3 || number == 4 || number == 6 || number == 10)
        return 10000;
    if (number == 9 && longModel)
        return 10;
    if (number == 26 || number == 30 || number == 44 || number == 104 || (number >= 108 && number <= 110) ||
        number == 112 || number == 115 || number == 119 || number == 121 || number == 122 ||
        (number >= 124 && number <= 147))
        return 1000;
    if (number == 31)
        return key == "XMDC" ? 10000 : (longModel ? 1000 : 10);
    if (number == 49 && key != "MDC" && key != "XMDC")
        return 100;
    if (number == 107)
        return key == "MDB" || key == "MDC" ? 10000000 : 100000;
    if (number == 113 || number == 116)
        return 1000000;
    return std::pow(10.0, precision);
}

TEST(SimParameterDefaults, MatchTheShippedParameterFiles)
{
    int checked = 0;
    for (const ModelInfo &model : ControllerModels()) {
        const std::string key = model.FileKey();
        SCOPED_TRACE(key);
        const auto source = ReadSource(key);
        ASSERT_FALSE(source.empty()) << "no source for " << key;
        const ParameterStore store(model, "2105");
        for (int number = 1; number <= 200; ++number)
            EXPECT_EQ(store.Has(number), source.count(number) != 0) << number;
        for (const auto &[number, keys] : source) {
            const int type = std::stoi(keys.at("Type"));
            const std::string value = keys.count("Value") ? keys.at("Value") : "";
            const int32_t raw = store.Get(number);
            if (type == 1) {
                EXPECT_EQ(raw, std::stoi(value)) << number;
            } else if (type == 2) {
                const int precision = keys.count("DisplayPrecision") ? std::stoi(keys.at("DisplayPrecision")) : 0;
                EXPECT_NEAR(raw / RealFactor(number, key, precision), std::stod(value), 1e-9) << number;
            } else if (type == 3) {
                const int count = std::stoi(keys.at("SelItemCount"));
                int index = -1;
                for (int i = 1; i <= count; ++i)
                    if (keys.count("SelItem" + std::to_string(i)) && keys.at("SelItem" + std::to_string(i)) == value)
                        index = i - 1;
                ASSERT_GE(index, 0) << number;
                if (number == 45)
                    EXPECT_EQ(raw, std::stoi(value));
                else if (number == 36 && model.rotary)
                    EXPECT_EQ(raw, (std::array<int, 4>{0, 2, 4, 5}[static_cast<size_t>(index)])) << value;
                else
                    EXPECT_EQ(raw, index) << number;
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 500);
}

TEST(SimParameterDefaults, FileKeysOfTheModels)
{
    const std::map<std::string, std::string> keys = {{"MDA", "MDA"}, {"MDC-X", "XMDC"}, {"MDA-Y", "YMDA"},
                                                     {"MDA-Z", "ZMDA"}, {"GWX", "GWX"}};
    for (const auto &[text, key] : keys)
        EXPECT_EQ(FindModel(text)->FileKey(), key);
}

} // namespace
} // namespace kvl::sim
