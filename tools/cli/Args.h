#pragma once

// The arguments of one quarndb-cli command, read with CLI11. Help and the
// messages for bad arguments stay the program's own: every command prints
// its help for --help or -h anywhere, and a bad argument gives one line
// and a pointer to that help, exit status 2.

#include <CLI/CLI.hpp>
#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

namespace cli {

class CommandArgs {
public:
    // `positionalOnly`: the command takes no options, so every argument
    // (one starting with '-' too) is a positional one.
    CommandArgs(const char* command, bool positionalOnly);

    // An option with a value; `missing` is the message when the value is
    // ("{}" in it stands for the option as typed).
    void option(const std::string& names, std::string& value, std::string missing);
    // An option that may be given several times, each time with one value,
    // kept in the order given.
    void repeated(const std::string& names, std::vector<std::string>& values, std::string missing);
    void flag(const std::string& names, bool& value);

    // Reads `args` (the command's name first). False after the usage message
    // is written to `err`.
    bool parse(const std::vector<std::string>& args, std::ostream& err);

    const std::vector<std::string>& positional() const { return positional_; }
    const char* command() const { return command_; }

private:
    const char* command_;
    bool positionalOnly_;
    CLI::App app_;
    std::vector<std::string> positional_;
    std::vector<std::pair<std::string, std::string>> missing_;  // option name, message
};

// "quarndb-cli: MESSAGE" and where to find the usage; returns kExitError.
int usageError(std::ostream& err, const std::string& message, const char* command);

}  // namespace cli
