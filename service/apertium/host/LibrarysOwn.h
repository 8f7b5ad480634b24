// The library's own definition of a function the pair host defines again: the next one
// after the executable's in the dynamic linker's lookup.
#pragma once

#include <dlfcn.h>

#include <cstdlib>
#include <iostream>

namespace tervane::service::host {

// The mangled names of the library functions the host defines again.
inline constexpr const char* kStoiName =
    "_ZN11StringUtils4stoiERKNSt7__cxx1112basic_stringIDsSt11char_traitsIDsESaIDsEEE";
inline constexpr const char* kMatchName =
    "_ZNK10ApertiumRE5matchERKNSt7__cxx1112basic_stringIDsSt11char_traitsIDsESaIDsEEE";
inline constexpr const char* kWriteName =
    "_Z5writeSt17basic_string_viewIDsSt11char_traitsIDsEEP5UFILE";

// The library's definition, or nullptr when the library has none by that name.
template <typename Function> Function FindLibrarysOwn(const char* mangledName) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, mangledName));
}

// The host cannot go on without it: a missing one ends the host, naming the function.
// (Only the library's own code calls these names, so one is missing only when nothing
// calls it.)
template <typename Function> Function LibrarysOwn(const char* mangledName) {
    const auto found = FindLibrarysOwn<Function>(mangledName);
    if (found == nullptr) {
        std::cerr << "tervane-pair-host: the library's " << mangledName << " is missing\n";
        std::abort();
    }
    return found;
}

} // namespace tervane::service::host
