// The library's own definition of a function the pair host defines again: the next one
// after the executable's in the dynamic linker's lookup.
#pragma once

#include <dlfcn.h>

#include <cstdlib>
#include <iostream>

namespace tervane::service::host {

// The host cannot go on without it: a missing one ends the host, naming the function.
template <typename Function> Function LibrarysOwn(const char* mangledName) {
    void* found = ::dlsym(RTLD_NEXT, mangledName);
    if (found == nullptr) {
        std::cerr << "tervane-pair-host: the library's " << mangledName << " is missing\n";
        std::abort();
    }
    return reinterpret_cast<Function>(found);
}

} // namespace tervane::service::host
