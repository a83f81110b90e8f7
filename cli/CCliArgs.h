#pragma once
// CCliArgs: the command line of kvlctl split into the global options, the command words
// (command, subcommand, positional values) and the command's own "--name value" options and
// flags. A word that starts with "--" is an option; "-", "+" and "-5" are positional values.
// Plain data, filled once on the main thread.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli/CRetryingComm.h"

namespace kvl::cli {

class CCliArgs {
public:
    // Parses argv; false with `error` set for a malformed line (unknown global option value,
    // an option without its value).
    bool Parse(int argc, char **argv, std::string &error);

    // Global options.
    std::string port;        // device path; empty: the settings file decides
    int speed = 0;           // bit/s; 0: the settings file decides
    std::string systemDir;   // the system folder; empty: beside the program
    int language = 0;        // 1 Japanese, 2 English, 3 Chinese; 0: as the settings start
    int tries = CRetryingComm::kDefaultTries;   // how often an idempotent read is sent at most (--retries)
    bool trace = false;
    bool json = false;
    bool help = false;
    bool version = false;    // --version: print it and exit, whatever else is given

    std::vector<std::string> words;   // command and positional values, in order

    const std::string &Word(size_t index) const;   // empty when missing
    // The last value of an option given more than once.
    std::optional<std::string> Option(const std::string &name) const;
    // Every value of an option that may be repeated ("--axis 1 --axis 3"), in order.
    std::vector<std::string> Options(const std::string &name) const;
    bool Flag(const std::string &name) const { return m_flags.count(name) > 0; }

private:
    std::map<std::string, std::string> m_options;
    std::map<std::string, std::vector<std::string>> m_repeated;
    std::set<std::string> m_flags;
};

} // namespace kvl::cli
