// kvl_sysgen SOURCE LANGUAGE CODEPAGE OUTPUT
// Writes the language's form of a UTF-8 system-folder source (see SysGen.h); exits with 1 and a
// message naming the source line when the source cannot be written in that code page.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "system/tools/SysGen.h"

int main(int argc, char **argv)
{
    if (argc != 5) {
        std::cerr << "usage: kvl_sysgen SOURCE ja|en|zh 932|936|1252 OUTPUT\n";
        return 2;
    }
    const std::string sourcePath = argv[1];
    std::ifstream in(sourcePath, std::ios::binary);
    if (!in) {
        std::cerr << sourcePath << ": cannot be read\n";
        return 1;
    }
    const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const kvl::sysgen::Result result =
        kvl::sysgen::Generate(source, sourcePath, argv[2], std::atoi(argv[3]));
    if (!result.ok) {
        std::cerr << result.error << "\n";
        return 1;
    }
    // Written beside the target and renamed, so an interrupted build leaves no half file.
    const std::string outputPath = argv[4];
    const std::string temporary = outputPath + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << result.output;
        if (!out.flush()) {
            std::cerr << outputPath << ": cannot be written\n";
            std::remove(temporary.c_str());
            return 1;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, outputPath, ec);
    if (ec) {
        std::cerr << outputPath << ": " << ec.message() << "\n";
        std::remove(temporary.c_str());
        return 1;
    }
    return 0;
}
