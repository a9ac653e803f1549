// A windowed program that ends the way the bridge does when something
// inside it fails: built with the bridge's own terminate code. The tests
// see how it ends, and that no box holds it up.
//   fail-fast-probe --how terminate|throw

#include "peer_args.h"

#include <exception>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const std::string how = peers::Option("--how", "terminate");
    if (how == "throw") {
        // The library's own throw for an index out of range.
        const std::string empty;
        return empty.at(static_cast<std::size_t>(::GetTickCount() | 1u));
    }
    std::terminate();
}
