// The manifest built into the program (the same resource script as tervane.exe's): common
// controls 6, run as the invoker, and no processor architecture other than the build's.
#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace {

std::string Manifest() {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceW(module, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
    if (!found)
        return {};
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
    return std::string(bytes, SizeofResource(module, found));
}

TEST(Manifest, NamesNoArchitectureButTheBuildsOwn) {
    const std::string manifest = Manifest();
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find(R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")"),
              std::string::npos);
    EXPECT_NE(manifest.find(R"(level="asInvoker")"), std::string::npos);
    // A 64-bit program that names x86 may be refused by 64-bit Windows, and the reverse.
    const std::string own = sizeof(void*) == 8 ? "amd64" : "x86";
    const std::regex architecture(R"(processorArchitecture="([^"]*)\")");
    int named = 0;
    for (std::sregex_iterator it(manifest.begin(), manifest.end(), architecture), end; it != end;
         ++it, ++named) {
        const std::string value = (*it)[1];
        EXPECT_TRUE(value == "*" || value == own) << value;
    }
    EXPECT_EQ(named, 2) << "the program's identity and the common controls'";
}

} // namespace
