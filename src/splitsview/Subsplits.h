// Subsplits by the naming runners' split files share: a name that begins with "-" is a
// subsplit, and the subsplits belong to the group closed by the next split that is not one.
// That split names the group: "{Castle} Boss" closes the group "Castle" and is shown as
// "Boss"; a plain name closes a group of its own name. A "{Group} Name" without subsplits
// before it is a group of one.
//
//   "-Gate", "-Hall", "{Castle} Boss", "Bridge", "-Ice", "Caves"
//   -> group "Castle" of splits 0..2, shown "Gate", "Hall", "Boss"
//      split 3 "Bridge" on its own
//      group "Caves" of splits 4..5, shown "Ice", "Caves"
//
// Subsplits at the end of a route with no split to close them are splits on their own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct SplitGroup {
    std::size_t first = 0;  // the first split of the group
    std::size_t last = 0;   // the split that closes it; first == last for a split on its own
    std::string title;      // the group's name; the split's shown name when on its own
    bool braced = false;    // closed by a "{Group} Name"
    bool IsGroup() const { return first != last || braced; }
    bool operator==(const SplitGroup&) const = default;
};

// The groups of a route in order; every split belongs to exactly one.
std::vector<SplitGroup> GroupSplits(const std::vector<std::string>& names);

// A split's name as shown inside its group: "-Gate" -> "Gate", "{Castle} Boss" -> "Boss",
// "Bridge" -> "Bridge".
std::string_view ShownName(std::string_view name);
