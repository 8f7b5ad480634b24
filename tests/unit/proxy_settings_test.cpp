// Proxy discovery over an in-memory registry, and the result applied to the client.
#include "net/ProxySettings.h"
#include "tests/unit/FakeHttpTransport.h"
#include "tests/unit/FakeRegistry.h"

#include <gtest/gtest.h>

using namespace tervane;

namespace {

class ProxySettingsTest : public testing::Test {
  protected:
    FakeRegistry::Values& Values() { return registry.keys[std::string(kInternetSettingsKey)]; }

    struct Result {
        bool found;
        std::string host;
        std::int32_t port;
        bool enabled;
    };
    // Discovery starting from the caller's values "kept" and 7.
    Result Discover() {
        Result r{false, "kept", 7, false};
        r.found = GetProxySettings(registry, r.host, r.port, r.enabled);
        return r;
    }
    std::int32_t PortOf(std::string server) {
        Values()["ProxyServer"] = FakeRegistry::Text(std::move(server));
        return Discover().port;
    }
    bool EnabledBy(RegistryValue value) {
        Values()["ProxyServer"] = FakeRegistry::Text("proxy:8080");
        Values()["ProxyEnable"] = std::move(value);
        return Discover().enabled;
    }

    FakeRegistry registry;
};

TEST_F(ProxySettingsTest, WithoutAServerNothingIsFoundAndHostAndPortStay) {
    Result r = Discover(); // the key is created when absent
    EXPECT_EQ(registry.keys.count(std::string(kInternetSettingsKey)), 1u);
    EXPECT_FALSE(r.found);
    EXPECT_FALSE(r.enabled);

    Values()["ProxyEnable"] = FakeRegistry::Dword(1);
    r = Discover();
    EXPECT_FALSE(r.found);
    EXPECT_TRUE(r.enabled); // decided by ProxyEnable alone
    EXPECT_EQ(r.host, "kept");
    EXPECT_EQ(r.port, 7);

    for (RegistryValue empty : {FakeRegistry::Text(""), FakeRegistry::Binary({}),
                                FakeRegistry::Text("", RegistryType::ExpandString)}) {
        Values()["ProxyServer"] = empty;
        r = Discover();
        EXPECT_FALSE(r.found);
        EXPECT_EQ(r.host, "kept");
    }
}

TEST_F(ProxySettingsTest, TheServerSplitsAtTheFirstColonWithPort80WhenThePortIsNoNumber) {
    Values()["ProxyServer"] = FakeRegistry::Text("proxy.corp:8080", RegistryType::ExpandString);
    Result r = Discover();
    EXPECT_TRUE(r.found);
    EXPECT_TRUE(r.enabled); // ProxyEnable absent
    EXPECT_EQ(r.host, "proxy.corp");
    EXPECT_EQ(r.port, 8080);

    Values()["ProxyServer"] = FakeRegistry::Text(":3128");
    r = Discover();
    EXPECT_EQ(r.host, "");
    EXPECT_EQ(r.port, 3128);
    // A per-protocol list is not taken apart.
    Values()["ProxyServer"] = FakeRegistry::Text("http=a:81;https=b:82");
    r = Discover();
    EXPECT_EQ(r.host, "http=a");
    EXPECT_EQ(r.port, 80);

    Values()["ProxyServer"] = FakeRegistry::Text("proxy.corp");
    EXPECT_EQ(Discover().host, "proxy.corp");
    EXPECT_EQ(PortOf("proxy.corp"), 80);
    EXPECT_EQ(PortOf("p:"), 80);
    EXPECT_EQ(PortOf("p:http"), 80);
    EXPECT_EQ(PortOf("p:80a"), 80);
    EXPECT_EQ(PortOf("p:8080 "), 80);
    EXPECT_EQ(PortOf("p:  8081"), 8081);
    EXPECT_EQ(PortOf("p:+8082"), 8082);
    EXPECT_EQ(PortOf("p: -5"), -5); // no range check
    EXPECT_EQ(PortOf("p:$1F90"), 8080);
    EXPECT_EQ(PortOf("p:0x1f90"), 8080);
    EXPECT_EQ(PortOf("p:0X1F90"), 8080);
    EXPECT_EQ(PortOf("p:$"), 80);
    EXPECT_EQ(PortOf("p:0x"), 80);
    EXPECT_EQ(PortOf("p:1:2"), 80);
    EXPECT_EQ(PortOf("p:2147483647"), 2147483647);
    EXPECT_EQ(PortOf("p:-2147483648"), -2147483647 - 1);
    EXPECT_EQ(PortOf("p:2147483648"), 80);
    EXPECT_EQ(PortOf("p:$80000000"), 80);
    EXPECT_EQ(PortOf("p:99999999999999999999"), 80);
    // At most 999 characters after the colon are converted.
    EXPECT_EQ(PortOf("p:" + std::string(995, ' ') + "8083" + "junk"), 8083);
    EXPECT_EQ(PortOf("p:" + std::string(996, ' ') + "8083"), 808);
}

TEST_F(ProxySettingsTest, ProxyEnableDecidesByItsType) {
    for (const char* on : {"Yes", "TRUE", "t", "1", "enabled", "maybe", "", " 0", "yes true"})
        EXPECT_TRUE(EnabledBy(FakeRegistry::Text(on))) << '"' << on << '"';
    for (const char* off :
         {"No", "False", "f", "none", "Disabled", "0", "none disabled", "false f"})
        EXPECT_FALSE(EnabledBy(FakeRegistry::Text(off, RegistryType::ExpandString)))
            << '"' << off << '"';
    EXPECT_FALSE(EnabledBy(FakeRegistry::Dword(0)));
    EXPECT_TRUE(EnabledBy(FakeRegistry::Dword(2)));
    EXPECT_FALSE(EnabledBy(FakeRegistry::Binary({0})));
    EXPECT_TRUE(EnabledBy(FakeRegistry::Binary({1})));
    EXPECT_TRUE(EnabledBy(FakeRegistry::Binary({})));
    RegistryValue other;
    other.bytes = {0, 0, 0, 0};
    EXPECT_TRUE(EnabledBy(other)); // an unknown type is ignored: the server's true stays
    Values().erase("ProxyServer");
    EXPECT_FALSE(Discover().enabled); // ... and without a server, false stays
}

TEST_F(ProxySettingsTest, ValuesOfTheWrongTypeAreReadErrorsThatChangeNothing) {
    HttpClient http(std::make_unique<FakeHttpTransport>());
    http.Proxy().proxyServer = "before";

    Values()["ProxyServer"] = FakeRegistry::Dword(0);
    EXPECT_THAT([&] { Discover(); }, ThrowsError("Invalid data type for 'ProxyServer'"));
    Values()["ProxyServer"] = FakeRegistry::Binary({'a'});
    EXPECT_THAT([&] { ApplySystemProxy(http, registry); },
                ThrowsError("Invalid data type for 'ProxyServer'"));
    Values()["ProxyServer"] = FakeRegistry::Text("proxy:8080");
    Values()["ProxyEnable"] = FakeRegistry::Binary({0, 0});
    EXPECT_THAT([&] { ApplySystemProxy(http, registry); },
                ThrowsError("Invalid data type for 'ProxyEnable'"));
    EXPECT_EQ(http.Proxy().proxyServer, "before");
}

TEST_F(ProxySettingsTest, TheResultIsAppliedInItsThreeCases) {
    HttpClient http(std::make_unique<FakeHttpTransport>());
    ProxyParams& proxy = http.Proxy();

    // No server yet: nothing changes, not even a later ProxyEnable of 1.
    Values()["ProxyEnable"] = FakeRegistry::Dword(1);
    ApplySystemProxy(http, registry);
    EXPECT_EQ(proxy.proxyServer, "");
    EXPECT_FALSE(proxy.basicAuthentication);

    Values()["ProxyServer"] = FakeRegistry::Text("proxy.corp:3128");
    ApplySystemProxy(http, registry);
    EXPECT_EQ(proxy.proxyServer, "proxy.corp");
    EXPECT_EQ(proxy.proxyPort, 3128);
    EXPECT_TRUE(proxy.basicAuthentication);

    // Removed again: the last proxy found stays in effect.
    Values().erase("ProxyServer");
    ApplySystemProxy(http, registry);
    EXPECT_EQ(proxy.proxyServer, "proxy.corp");

    Values()["ProxyServer"] = FakeRegistry::Text("proxy.corp:3128");
    Values()["ProxyEnable"] = FakeRegistry::Dword(0);
    ApplySystemProxy(http, registry);
    EXPECT_EQ(proxy.proxyServer, "");
    EXPECT_EQ(proxy.proxyPort, 0);
    EXPECT_TRUE(proxy.basicAuthentication); // Clear leaves it on

    // A key that cannot be opened is no error: nothing is found.
    class ClosedRegistry final : public Registry {
        std::unique_ptr<RegistryKey> Open(std::string_view, bool, bool) override { return {}; }
    } closed;
    proxy.proxyServer = "set";
    ApplySystemProxy(http, closed);
    EXPECT_EQ(proxy.proxyServer, "set");
}

} // namespace
