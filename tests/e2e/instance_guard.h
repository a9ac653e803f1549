#pragma once
// The tests work in the real instance folders of the local application data
// (WSJT-X's, JTDX's). On a machine where an operator's WSJT-X keeps its log
// there they must not run: each folder they make is marked as theirs, and a
// run starts only where every such folder is theirs or empty.

#include <string>

namespace e2e {

// Makes the folder if need be and marks it as the tests'. False when it
// cannot be made.
bool MakeInstanceFolder(const std::string& folder);

// Why the tests must not run in `appData` (naming the first instance folder
// there that holds what they did not make, and one thing in it); "" when
// they may.
std::string ForeignInstanceFolder(const std::string& appData);

} // namespace e2e
