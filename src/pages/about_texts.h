// The texts of the about box that are built when it loads: the version
// label and the feature list.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tessel {

struct ComponentVersion {
  WORD major = 0;
  WORD minor = 0;
  WORD revision = 0;
};

// The component's version numbers from the module's version resource:
// major and minor from the file version's first two numbers, the revision
// from its fourth. All 0 when the module has no version resource.
ComponentVersion component_version();

// "Version: " major "." minor (at least two digits) "." revision (at least
// two digits): 1, 2, 5 gives "Version: 1.02.05"; 1, 2, 12 "Version: 1.02.12".
std::wstring version_label(const ComponentVersion& version);

// The lines of the feature list, in order; the box shows each followed by
// CR LF.
const std::vector<std::wstring>& feature_lines();

}  // namespace tessel
