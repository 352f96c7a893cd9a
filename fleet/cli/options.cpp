#include "fleet/cli/options.h"

#include <algorithm>

namespace {

const OptionSpec help_option = {"--help", nullptr, "Shows this help (also -h, -? and /?)."};

const OptionSpec* find_option(const CommandSpec& command, const std::string& name)
{
    for (const OptionSpec& option : command.options) {
        if (name == option.name) {
            return &option;
        }
    }
    return name == help_option.name ? &help_option : nullptr;
}

// Breaks `text` into lines of at most `width` characters, each after `indent` blanks.
std::string wrapped(const std::string& text, size_t indent, size_t width)
{
    std::string out, line;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string word = text.substr(start, end - start);
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            out += std::string(indent, ' ') + line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        start = end + 1;
    }
    if (!line.empty()) {
        out += std::string(indent, ' ') + line + "\n";
    }
    return out;
}

}  // namespace

bool is_help_request(const std::string& arg)
{
    return arg == "--help" || arg == "-h" || arg == "-?" || arg == "/?";
}

std::string ParsedOptions::value(const char* option, const char* otherwise) const
{
    auto found = values.find(option);
    return found != values.end() ? found->second : otherwise;
}

bool parse_options(const CommandSpec& command, const std::vector<std::string>& args, ParsedOptions& parsed,
                   std::string& error)
{
    bool options_ended = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!options_ended && is_help_request(arg)) {
            parsed.help = true;
            continue;
        }
        if (options_ended || arg.size() < 2 || arg[0] != '-') {
            parsed.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            options_ended = true;
            continue;
        }
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const OptionSpec* option = arg.compare(0, 2, "--") == 0 ? find_option(command, name) : nullptr;
        if (option == nullptr) {
            error = "unknown option '" + name + "'";
            return false;
        }
        if (option == &help_option) {
            parsed.help = true;
            continue;
        }
        const bool given = parsed.values.count(name) > 0;
        if (given && !option->repeatable) {
            error = "option '" + name + "' is given twice";
            return false;
        }
        if (option->value_name == nullptr) {
            if (equals != std::string::npos) {
                error = "option '" + name + "' takes no value";
                return false;
            }
            parsed.values[name] = "";
            continue;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            error = "option '" + name + "' needs a value (" + option->value_name + ")";
            return false;
        }
        if (value.find_first_not_of(" \t") == std::string::npos) {
            error = "option '" + name + "' has an empty value; it needs " + option->value_name;
            return false;
        }
        parsed.values[name] = given ? parsed.values[name] + "," + value : value;
    }
    return true;
}

std::vector<std::string> comma_list(const std::string& text)
{
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string item = text.substr(start, end - start);
        const size_t first = item.find_first_not_of(" \t");
        if (first != std::string::npos) {
            items.push_back(item.substr(first, item.find_last_not_of(" \t") - first + 1));
        }
        start = end + 1;
    }
    return items;
}

std::string command_help(const CommandSpec& command)
{
    std::string help = std::string("usage: zantor-fleet ") + command.name + " " + command.synopsis + "\n\n";
    help += wrapped(command.description, 0, 78) + "\nOptions:\n";
    std::vector<OptionSpec> options = command.options;
    options.push_back(help_option);
    for (const OptionSpec& option : options) {
        std::string name = std::string("  ") + option.name;
        if (option.value_name != nullptr) {
            name += std::string(" ") + option.value_name;
        }
        help += name + "\n" + wrapped(option.help, 6, 72);
    }
    return help + "\n" + wrapped(command.exit_status, 0, 78);
}

void usage_error(const CommandSpec& command, const std::string& reason, CommandOutput& output)
{
    output.err += std::string("zantor-fleet ") + command.name + ": " + reason + "\nTry 'zantor-fleet " + command.name +
                  " --help'.\n";
    output.status = exit_trouble;
}

UsageRule format_rule(const std::string& format, std::initializer_list<const char*> formats)
{
    std::string names;
    size_t i = 0;
    for (const char* name : formats) {
        names += std::string(i == 0 ? "" : i + 1 == formats.size() ? " or " : ", ") + name;
        ++i;
    }
    const bool known = std::find(formats.begin(), formats.end(), format) != formats.end();
    return {!known, "unknown format '" + format + "' (" + names + ")"};
}

bool usage_followed(const CommandSpec& command, std::initializer_list<UsageRule> rules, CommandOutput& output)
{
    for (const UsageRule& rule : rules) {
        if (rule.broken) {
            usage_error(command, rule.reason, output);
            return false;
        }
    }
    return true;
}
