// The tools' shared command-line rules: splitting the words, --help and --version, usage errors.
#include "command_line.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Options up to this wide share one column for their help; a wider one has its help below it.
constexpr size_t widest_in_column = 24;

} // namespace

bool split_command_line(const Tool &tool, const std::vector<std::string> &args, CommandLine *line,
                        std::string *error) {
    *line = CommandLine{};
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (arg == "--") {
            line->operands.insert(line->operands.end(), args.begin() + i + 1, args.end());
            return true;
        }
        if (arg.size() < 2 || arg[0] != '-') {
            line->operands.push_back(arg);
            continue;
        }
        if (arg == "--help" || arg == "--version") {
            (arg == "--help" ? line->help : line->version) = true;
            return true;
        }
        const auto option = std::find_if(tool.options.begin(), tool.options.end(),
                                         [&](const ToolOption &o) { return o.name == arg; });
        if (option == tool.options.end()) {
            *error = "unknown option '" + arg + "'; see --help";
            return false;
        }
        std::string value;
        if (!option->argument.empty()) {
            if (i + 1 == args.size()) {
                *error = arg + " needs " + option->argument;
                return false;
            }
            value = args[++i];
        }
        line->options.emplace_back(arg, value);
    }
    return true;
}

std::optional<int> read_command_line(const Tool &tool, int argc, char **argv, CommandLine *line) {
    std::string error;
    const std::vector<std::string> args(argc > 1 ? argv + 1 : argv, argc > 1 ? argv + argc : argv);
    if (!split_command_line(tool, args, line, &error))
        return tool_error(tool, error, exit_usage);
    if (!line->help && !line->version)
        return std::nullopt;
    const std::string text = line->help ? usage_text(tool) : tool.name + " " HELICOID_VERSION "\n";
    // Standard output closed or full: the answer was not given, which is a failure.
    if (std::fputs(text.c_str(), stdout) == EOF || std::fflush(stdout) != 0)
        return tool_error(tool,
                          std::string("cannot write standard output: ") + std::strerror(errno),
                          exit_failure);
    return 0;
}

int tool_error(const Tool &tool, const std::string &message, int exit_code) {
    std::fprintf(stderr, "%s: %s\n", tool.name.c_str(), message.c_str());
    return exit_code;
}

std::string usage_text(const Tool &tool) {
    std::string text;
    for (size_t i = 0; i < tool.synopsis.size(); ++i)
        text += (i == 0 ? "Usage: " : "  or:  ") + tool.name + " " + tool.synopsis[i] + "\n";
    text += tool.purpose + "\n\n";
    std::vector<ToolOption> options = tool.options;
    options.push_back({"--help", "", "print this and exit"});
    options.push_back({"--version", "", "print the name and version and exit"});
    const auto left = [](const ToolOption &o) {
        return o.argument.empty() ? o.name : o.name + " " + o.argument;
    };
    size_t column = 0;
    for (const ToolOption &o : options)
        if (left(o).size() <= widest_in_column)
            column = std::max(column, left(o).size());
    for (const ToolOption &o : options) {
        const std::string words = left(o);
        text += "  " + words;
        text += words.size() > column ? "\n" + std::string(column + 2, ' ')
                                      : std::string(column - words.size(), ' ');
        text += "  " + o.help + "\n";
    }
    return text + "\nExit status: 0 done, 1 failed, 2 wrong usage.\n";
}
