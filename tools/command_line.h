// The command-line rules the tools share, kept as GNU tools keep them. --help prints the usage
// and --version the tool's name and the project's version, on standard output, with exit 0. A
// usage error (an unknown option, a missing value, a wrong count of files) is one line on
// standard error and exit 2; a failure while working is exit 1. A word that starts with '-' is an
// option, never a file name, unless it comes after "--"; "-" alone is standard output.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

constexpr int exit_failure = 1;
constexpr int exit_usage = 2;

struct ToolOption {
    std::string name;     // "--size"
    std::string argument; // "WxH"; empty for a switch
    std::string help;     // one line, ending with the default where there is one
};

struct Tool {
    std::string name;                  // what it calls itself in every line it prints
    std::vector<std::string> synopsis; // each way to call it, after the name
    std::string purpose;               // one line under the synopsis
    std::vector<ToolOption> options;   // --help and --version come with every tool
};

struct CommandLine {
    bool help = false, version = false;
    std::vector<std::pair<std::string, std::string>> options; // in order; a switch's value is ""
    std::vector<std::string> operands;
};

// Splits ARGS (argv without the program's name) by TOOL's options; --help and --version end it.
// An option's value is the next word, whatever it is. On a usage error returns false and sets
// *error to one line.
bool split_command_line(const Tool &tool, const std::vector<std::string> &args, CommandLine *line,
                        std::string *error);

// What main does first: splits its arguments, and answers --help, --version or a usage error.
// Returns the exit code for main to return then, or nullopt, with *LINE filled, to go on.
std::optional<int> read_command_line(const Tool &tool, int argc, char **argv, CommandLine *line);

// Prints "NAME: MESSAGE" on standard error and returns EXIT_CODE, for main to return.
int tool_error(const Tool &tool, const std::string &message, int exit_code);

// What --help prints.
std::string usage_text(const Tool &tool);
