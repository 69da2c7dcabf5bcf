// Command lines of the programs that take options (the X11 saver and the headless renderer):
// each program lists its options in a table with a handler apiece, and one loop reads the
// arguments against it. Values come as the next argument ("--seed 7") or after '='
// ("--seed=7"). The loop knows the shape of a command line; what a value means and how a
// mistake is worded stay with each program, whose messages users and scripts already know.
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace mirelune::command_line {

// A command line the loop could not read, for the program to put into words.
struct Mistake {
    enum class Kind {
        NotAnOption,    // an argument that does not start with '-', or a lone "-"
        UnknownOption,  // starts with '-' but names no option of the table
        MissingValue,   // an option that takes a value ends the command line
        UnwantedValue,  // "--flag=value" for an option that takes none
    };
    Kind kind;
    std::string_view argument;  // as given
    std::string_view name;      // the option's name: as in the table, else as given before '='
};

struct Syntax {
    // Whether "-name" is read as "--name", as X programs traditionally accept.
    bool singleDashNames = false;
    // The one-line error message for a mistake.
    std::string (*word)(const Mistake&) = nullptr;
};

enum class Takes { Nothing, Value, Help };  // Help: a flag that ends the reading at once

// The one-line error with which a handler refuses a value; nothing when it takes it.
using Refusal = std::optional<std::string>;

template <typename Target>
struct Option {
    std::string_view name;  // as written in full: "--seed", "-o"
    Takes takes;
    // Stores the value (empty for a flag) into the target. Help options have no handler.
    Refusal (*apply)(Target&, std::string_view name, std::string_view value) = nullptr;
};

struct Outcome {
    bool help = false;  // a help option was given: print the usage and stop
    std::string error;  // one line; empty when the arguments are fine

    bool ok() const { return error.empty(); }
};

template <typename Options>
struct ParseResult : Outcome {
    Options options;
};

// One argument taken apart: the option name it gives and the value after '=', if any.
struct Argument {
    bool option = false;  // false: the argument is not an option at all
    std::string_view name;
    std::optional<std::string_view> value;
};

Argument splitArgument(std::string_view argument, const Syntax& syntax);

// Whether the name given on the command line means the option written `tableName`.
bool namesOption(std::string_view given, std::string_view tableName, const Syntax& syntax);

// Reads the arguments that follow the program name into the target, stopping at the first
// mistake, refused value or help option.
template <typename Target>
Outcome parse(std::span<const std::string_view> args, std::span<const Option<Target>> table,
              const Syntax& syntax, Target& target) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const Argument argument = splitArgument(args[i], syntax);
        const auto mistake = [&](Mistake::Kind kind, std::string_view name) {
            return Outcome{false, syntax.word(Mistake{kind, args[i], name})};
        };
        if (!argument.option) return mistake(Mistake::Kind::NotAnOption, args[i]);
        const auto option = std::ranges::find_if(table, [&](const Option<Target>& candidate) {
            return namesOption(argument.name, candidate.name, syntax);
        });
        if (option == table.end()) return mistake(Mistake::Kind::UnknownOption, argument.name);
        if (option->takes != Takes::Value && argument.value) {
            return mistake(Mistake::Kind::UnwantedValue, option->name);
        }
        if (option->takes == Takes::Help) return Outcome{true, {}};
        std::string_view value = argument.value.value_or(std::string_view{});
        if (option->takes == Takes::Value && !argument.value) {
            if (i + 1 == args.size()) return mistake(Mistake::Kind::MissingValue, option->name);
            value = args[++i];
        }
        if (auto refusal = option->apply(target, option->name, value)) {
            return Outcome{false, std::move(*refusal)};
        }
    }
    return {};
}

}  // namespace mirelune::command_line
