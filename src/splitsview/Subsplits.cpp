#include "Subsplits.h"

namespace {

// "{Castle} Boss" -> true, with the group "Castle" and the name "Boss".
bool BraceName(std::string_view name, std::string_view* group, std::string_view* rest) {
    if (!name.starts_with('{')) {
        return false;
    }
    const auto close = name.find('}');
    if (close == std::string_view::npos) {
        return false;
    }
    *group = name.substr(1, close - 1);
    *rest = name.substr(close + 1);
    while (rest->starts_with(' ')) {
        rest->remove_prefix(1);
    }
    return true;
}

}  // namespace

std::string_view ShownName(std::string_view name) {
    std::string_view group;
    std::string_view rest;
    if (BraceName(name, &group, &rest)) {
        return rest;
    }
    if (name.starts_with('-')) {
        name.remove_prefix(1);
    }
    return name;
}

std::vector<SplitGroup> GroupSplits(const std::vector<std::string>& names) {
    std::vector<SplitGroup> groups;
    std::size_t first = 0;  // the first subsplit waiting for its group
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string_view name = names[i];
        if (name.starts_with('-')) {
            continue;
        }
        // The subsplits first..i-1 and split i make one group.
        std::string_view group;
        std::string_view rest;
        const bool braced = BraceName(name, &group, &rest);
        groups.push_back({first, i, std::string(braced ? group : name), braced});
        first = i + 1;
    }
    for (std::size_t i = first; i < names.size(); ++i) {  // left over at the end
        groups.push_back({i, i, std::string(ShownName(names[i])), false});
    }
    return groups;
}
