#include "cli/CCliArgs.h"

#include "cli/CliFormat.h"

namespace kvl::cli {
namespace {

// Options that take a value; every other "--name" is a flag.
const std::set<std::string> kValueOptions{
    "port", "speed", "system", "lang", "retries", "ms", "set", "level", "ch0", "ch1", "sampling", "out",
    "seconds", "expect", "timeout", "axis",
};

} // namespace

bool CCliArgs::Parse(int argc, char **argv, std::string &error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--", 0) != 0 || arg.size() == 2) {
            words.push_back(arg);
            continue;
        }
        std::string name = arg.substr(2);
        std::string value;
        const auto eq = name.find('=');
        const bool inlineValue = eq != std::string::npos;
        if (inlineValue) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        if (!kValueOptions.count(name)) {
            if (inlineValue) {
                error = "option --" + name + " takes no value";
                return false;
            }
            if (name == "trace")
                trace = true;
            else if (name == "json")
                json = true;
            else if (name == "help")
                help = true;
            else if (name == "version")
                version = true;
            else
                m_flags.insert(name);
            continue;
        }
        if (!inlineValue) {
            if (i + 1 >= argc) {
                error = "option --" + name + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (name == "port") {
            port = value;
        } else if (name == "system") {
            systemDir = value;
        } else if (name == "speed") {
            if (!ParseInt(value, speed) || speed <= 0) {
                error = "--speed needs a speed in bit/s, for example 115200";
                return false;
            }
        } else if (name == "lang") {
            if (!ParseInt(value, language) || language < 1 || language > 3) {
                error = "--lang needs 1 (Japanese), 2 (English) or 3 (Chinese)";
                return false;
            }
        } else if (name == "retries") {
            if (!ParseInt(value, tries) || tries < 1 || tries > CRetryingComm::kMaxTries) {
                error = "--retries needs how often a read may be sent, 1 to " +
                        std::to_string(CRetryingComm::kMaxTries) + " (1: never again)";
                return false;
            }
        } else {
            m_options[name] = value;
            m_repeated[name].push_back(value);
        }
    }
    return true;
}

const std::string &CCliArgs::Word(size_t index) const
{
    static const std::string kEmpty;
    return index < words.size() ? words[index] : kEmpty;
}

std::optional<std::string> CCliArgs::Option(const std::string &name) const
{
    const auto it = m_options.find(name);
    if (it == m_options.end())
        return std::nullopt;
    return it->second;
}

std::vector<std::string> CCliArgs::Options(const std::string &name) const
{
    const auto it = m_repeated.find(name);
    return it == m_repeated.end() ? std::vector<std::string>() : it->second;
}

} // namespace kvl::cli
