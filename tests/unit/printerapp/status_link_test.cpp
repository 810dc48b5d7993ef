#include <gtest/gtest.h>

#include <map>

#include "printerapp/status_link.h"

namespace krv::app {
namespace {

TEST(StatusSettings, ServerOptionsInSecondsAndTheirRefusals) {
    std::map<std::string, std::string> given = {
        {"status-interval", "0.2"}, {"status-timeout", "2.5"}, {"drawer-open-level", "low"}};
    const ServerOptionLookup lookup = [&](const char* name) -> std::optional<std::string> {
        const auto it = given.find(name);
        return it == given.end() ? std::nullopt : std::optional<std::string>(it->second);
    };
    std::string error;
    const auto s = ReadStatusSettings(lookup, &error);
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->intervalMs, 200);
    EXPECT_EQ(s->timeoutMs, 2500);
    EXPECT_EQ(s->drawerOpen, DrawerOpenLevel::Low);

    for (const auto& [name, value] : {std::pair{"status-interval", "0.01"},
                                      {"status-interval", "nan"},
                                      {"status-timeout", "31"},
                                      {"status-timeout", "1s"},
                                      {"drawer-open-level", "middle"}}) {
        given = {{name, value}};
        EXPECT_FALSE(ReadStatusSettings(lookup, &error).has_value()) << name << "=" << value;
        EXPECT_NE(error.find(name), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace krv::app
