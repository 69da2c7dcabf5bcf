#include "command_line/option_table.h"

namespace mirelune::command_line {

Argument splitArgument(std::string_view argument, const Syntax& syntax) {
    if (argument.size() < 2 || argument.front() != '-') return {false, argument, std::nullopt};
    // Without single-dash names, "-o=x" is one strange short option, not "-o" with a value.
    if (!argument.starts_with("--") && !syntax.singleDashNames) {
        return {true, argument, std::nullopt};
    }
    const auto equals = argument.find('=');
    if (equals == std::string_view::npos) return {true, argument, std::nullopt};
    return {true, argument.substr(0, equals), argument.substr(equals + 1)};
}

bool namesOption(std::string_view given, std::string_view tableName, const Syntax& syntax) {
    if (given == tableName) return true;
    return syntax.singleDashNames && tableName.starts_with("--") && !given.starts_with("--") &&
           given == tableName.substr(1);
}

}  // namespace mirelune::command_line
