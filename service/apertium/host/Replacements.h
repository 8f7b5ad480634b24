// The pair host's own definitions of library functions (PlainIntegers, ReusedRegexMatchers,
// DirectWrites) are faster versions of lttoolbox's and Apertium's. The libraries can change
// under them (a package update), so at its start the host compares each with the installed
// library's own on a fixed set of inputs covering their edge cases; on any difference, or a
// library function not found, the library's own functions serve the whole run: slower,
// never a different translation.
#pragma once

#include <apertium/apertium_re.h>
#include <lttoolbox/ustring.h>
#include <unicode/ustdio.h>

#include <string>

namespace tervane::service::host {

// One set of the three functions: the host's own, or the library's.
struct Replacements {
    int (*stoi)(const UString&) = nullptr;
    UString (*match)(const ApertiumRE&, const UString&) = nullptr;
    void (*write)(UStringView, UFILE*) = nullptr;
};

// The host's own definitions, as the libraries' calls reach them.
Replacements HostsOwn();

// The installed libraries' own definitions; nullptr for one not found.
Replacements LibrarysOwnSet();

// Compares `candidates` with the libraries' own and decides for the rest of the run which
// serve: the host's own when every answer was the same, else the libraries'. Gives the line
// that says so (the first difference or the missing function named).
struct CheckOutcome {
    bool ownInUse = false;
    std::string line;
};
CheckOutcome CheckReplacements(const Replacements& candidates = HostsOwn());

// Whether the host's own definitions serve; false until a check passed.
bool OwnDefinitionsInUse();

} // namespace tervane::service::host
