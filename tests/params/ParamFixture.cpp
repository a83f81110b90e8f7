#include "ParamFixture.h"

#include <fstream>
#include <iterator>

#include <unistd.h>

#include "config/CIniEx.h"

namespace kvl::test {

std::string MdbDefinitions()
{
    std::string ini;
    const auto real = [&ini](int n, const char *name, const char *unit, const char *min,
                             const char *max, int precision, int tab, const char *value,
                             int caution = 0) {
        ini += "[" + std::to_string(n) + "]\nDisplayName=" + name + "\nType=2\nUnitName=" + unit +
               "\nMin=" + min + "\nMax=" + max + "\nDisplayPrecision=" +
               std::to_string(precision) + "\nMode=" + std::to_string(tab) +
               "\nWRITE=1\nHIDE=0\nServoW=" + std::to_string(caution) + "\nValue=" + value + "\n";
    };
    const auto integer = [&ini](int n, const char *name, const char *unit, int min, int max,
                                int tab, int hide, int caution, int value) {
        ini += "[" + std::to_string(n) + "]\nDisplayName=" + name + "\nType=1\nUnitName=" + unit +
               "\nMin=" + std::to_string(min) + "\nMax=" + std::to_string(max) +
               "\nMode=" + std::to_string(tab) + "\nWRITE=1\nHIDE=" + std::to_string(hide) +
               "\nServoW=" + std::to_string(caution) + "\nValue=" + std::to_string(value) + "\n";
    };
    real(1, "Soft limit +", "mm", "-100", "500", 2, 1, "400.00");
    real(2, "Soft limit -", "mm", "-100", "500", 2, 1, "-10.00");
    real(3, "Zone +", "mm", "-100", "500", 2, 1, "300.00");
    real(4, "Zone -", "mm", "-100", "500", 2, 1, "0.00");
    ini += "[5]\nDisplayName=Direction\nType=3\nUnitName=-\nSelItemCount=2\nSelItem1=CW\n"
           "SelItem2=CCW\nRange=CW/CCW\nMode=2\nWRITE=1\nHIDE=0\nServoW=0\nValue=CW\n";
    real(9, "Acceleration", "G", "0", "3", 1, 2, "1.0", 2);
    integer(12, "Position range", "pulse", 0, 5000, 2, 0, 1, 100);
    real(16, "Jog speed", "mm/s", "0", "1000", 2, 2, "10.00");
    integer(20, "Gain A", "-", 0, 100, 3, 2, 0, 50);
    integer(21, "Gain B", "-", 0, 100, 3, 3, 0, 60);
    integer(22, "Factory code", "-", 0, 100, 3, 1, 0, 7);
    real(31, "Inching distance", "mm", "0", "100", 2, 2, "1.00");
    ini += "[36]\nDisplayName=Operation type\nType=3\nUnitName=-\nSelItemCount=6\n"
           "SelItem1=Type 0\nSelItem2=Type 1\nSelItem3=Type 2\nSelItem4=Type 3\nSelItem5=Type 4\n"
           "SelItem6=Type 5\nRange=0-5\nMode=4\nWRITE=1\nHIDE=0\nServoW=2\nValue=Type 0\n";
    ini += "[45]\nDisplayName=Pulse resolution\nType=3\nUnitName=-\nSelItemCount=17\n";
    const char *pulses[] = {"2500",   "3125",   "4000",   "5000",   "6250",   "8000",
                            "10000",  "20000",  "30000",  "40000",  "50000",  "62500",
                            "100000", "125000", "200000", "1000000", "4000000"};
    for (int i = 0; i < 17; ++i)
        ini += "SelItem" + std::to_string(i + 1) + "=" + pulses[i] + "\n";
    ini += "Range=-\nMode=4\nWRITE=1\nHIDE=0\nServoW=0\nValue=2500\n";
    ini += "[100]\nDisplayName=Axis name\nType=4\nUnitName=-\nMode=4\nWRITE=1\nHIDE=0\n"
           "ServoW=2\nValue=AXIS\n";
    integer(102, "Stroke", "mm", 0, 5000, 4, 0, 0, 5000);
    integer(151, "Push limit", "%", 0, 100, 4, 0, 0, 70);
    integer(182, "Push check", "-", 0, 10, 4, 0, 2, 0);
    return ini;
}

std::map<int, std::int32_t> MdbRawValues()
{
    return {{1, 4000000}, {2, -100000}, {3, 3000000}, {4, 0}, {5, 0},     {9, 10},
            {12, 100},    {16, 1000},   {20, 50},     {21, 60}, {22, 7},  {31, 1000},
            {36, 0},      {45, 2500},   {102, 5000},  {151, 70}, {182, 0}};
}

params::CParamList LoadList(const params::ParamTarget &target, const std::string &ini)
{
    CIniEx store;
    store.LoadText(ini, true);
    params::CParamList list;
    params::CParamList::Axis axis{target.model, target.version, "", target.decimalsSetting};
    list.Load(store, axis, nullptr);
    return list;
}

params::ParamTarget MdbTarget()
{
    params::ParamTarget target;
    target.address = 3;
    target.model = "MDB";
    target.version = "1305";
    return target;
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kvl_params_XXXXXX").string();
    if (::mkdtemp(pattern.data()))
        m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

void WriteBytes(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string ReadBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace kvl::test
