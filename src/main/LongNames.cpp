#include "LongNames.h"

#include "PathLookup.h"

#include <algorithm>

std::optional<std::string> LongNames::firstArgument(const std::vector<std::string> &arguments)
{
    const auto first = std::ranges::find_if(
        arguments, [](const std::string &argument) { return !argument.empty(); });
    if (first == arguments.end())
        return std::nullopt;
    return *first;
}

std::string LongNames::ExpandShortName(const std::string &path)
{
    if (path.empty() || path.ends_with('/'))
        return path;
    std::string expanded = path.starts_with('/') ? "/" : "";
    bool looking = true;
    std::size_t start = path.find_first_not_of('/');
    while (start != std::string::npos) {
        const std::size_t end = path.find('/', start);
        const std::string typed = path.substr(start, end - start);
        if (!expanded.empty() && !expanded.ends_with('/'))
            expanded += '/';
        // Below a name that is not there nothing can be found either.
        std::optional<std::string> stored;
        if (looking)
            stored = PathLookup::findFirstEntry(expanded + typed);
        looking = stored.has_value();
        expanded += stored.value_or(typed);
        start = path.find_first_not_of('/', end);
    }
    return expanded;
}
