#include "Args.h"

#include <algorithm>
#include <ostream>

#include "Cli.h"

namespace cli {

CommandArgs::CommandArgs(const char* command, bool positionalOnly)
    : command_(command), positionalOnly_(positionalOnly), app_(command)
{
    app_.set_help_flag();  // help is the command's own text, printed before parsing
    app_.allow_extras();   // unknown options are named by our own message
    app_.add_option("arguments", positional_);
}

void CommandArgs::option(const std::string& names, std::string& value, std::string missing)
{
    app_.add_option(names, value)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    std::string first = names.substr(0, names.find(','));
    missing_.emplace_back(std::move(first), std::move(missing));
    for (std::size_t at = names.find(','); at != std::string::npos; at = names.find(',', at + 1)) {
        const std::size_t end = names.find(',', at + 1);
        missing_.emplace_back(names.substr(at + 1, end == std::string::npos ? end : end - at - 1),
                              missing_.back().second);
    }
}

void CommandArgs::repeated(const std::string& names, std::vector<std::string>& values, std::string missing)
{
    app_.add_option(names, values)
        ->expected(1)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    missing_.emplace_back(names.substr(0, names.find(',')), std::move(missing));
}

void CommandArgs::flag(const std::string& names, bool& value)
{
    app_.add_flag(names, value);
}

bool CommandArgs::parse(const std::vector<std::string>& args, std::ostream& err)
{
    // CLI11 reads the arguments from the back.
    std::vector<std::string> reversed(args.rbegin(), args.rend() - (args.empty() ? 0 : 1));
    if (positionalOnly_) reversed.push_back("--");
    try {
        app_.parse(reversed);
    } catch (const CLI::ParseError&) {
        // An option without its value: name the one that lacks it.
        for (std::size_t i = 1; i < args.size(); ++i)
            for (const auto& [name, message] : missing_)
                if (args[i] == name && (i + 1 >= args.size() || args[i + 1].rfind('-', 0) == 0)) {
                    std::string text = message;
                    if (const std::size_t at = text.find("{}"); at != std::string::npos)
                        text.replace(at, 2, name);
                    usageError(err, text, command_);
                    return false;
                }
        usageError(err, "cannot read the arguments", command_);
        return false;
    }
    bool marker = positionalOnly_;  // CLI11 keeps the "--" given above among the extras
    for (const std::string& extra : app_.remaining()) {
        if (marker && extra == "--") {
            marker = false;
            continue;
        }
        if (extra.size() > 1 && extra[0] == '-') {
            usageError(err, "unknown option '" + extra + "'", command_);
            return false;
        }
    }
    return true;
}

int usageError(std::ostream& err, const std::string& message, const char* command)
{
    err << "quarndb-cli: " << message << "\n";
    err << "Run 'quarndb-cli" << (command ? std::string(" ") + command : std::string())
        << " --help' for usage.\n";
    return kExitError;
}

}  // namespace cli
