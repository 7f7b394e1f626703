// The system services behind documents: random identifiers and the
// locale's measurement system. Replacing a saved file is tested with the
// platform.
#include <gtest/gtest.h>

#include <set>

#include "platform/measurement_system.h"
#include "platform/random_id.h"
#include "support/platform_support.h"
#include "support/scoped_environment.h"

namespace ZavorPlatform {
namespace {

TEST(RandomId, GuidsAreDistinctVersionFourIdentifiers) {
    std::set<std::array<std::uint8_t, 16>> seen;
    for (int i = 0; i < 1000; ++i) {
        auto guid = NewGuid();
        EXPECT_EQ(guid[6] & 0xF0, 0x40);
        EXPECT_EQ(guid[8] & 0xC0, 0x80);
        EXPECT_TRUE(seen.insert(guid).second) << "repeated GUID after " << i;
    }
}

using ZavorTest::ScopedEnvironment;

TEST(MeasurementSystem, LocaleNamesAnswerMetricOrImperial) {
    EXPECT_EQ(MeasurementSystemOfLocale("en_US.UTF-8"), MeasurementSystem::Imperial);
    EXPECT_EQ(MeasurementSystemOfLocale("de_DE.UTF-8"), MeasurementSystem::Metric);
    EXPECT_EQ(MeasurementSystemOfLocale("en_GB.UTF-8"), MeasurementSystem::Metric);
    EXPECT_EQ(MeasurementSystemOfLocale("C"), MeasurementSystem::Metric);
    EXPECT_EQ(MeasurementSystemOfLocale("xx_NOWHERE.UTF-8"), MeasurementSystem::Metric);
    EXPECT_EQ(MeasurementSystemOfLocale(""), MeasurementSystem::Metric);
    EXPECT_EQ(MeasurementSystemOfLocale(nullptr), MeasurementSystem::Metric);
}

TEST(MeasurementSystem, EnvironmentDecidesWithLcAllFirstAndMetricWhenUnset) {
    ZAVOR_SKIP_ON_WINDOWS("locales come from the environment (Windows reads the regional settings)");
    ScopedEnvironment all("LC_ALL", nullptr);
    ScopedEnvironment lang("LANG", nullptr);
    {
        ScopedEnvironment measurement("LC_MEASUREMENT", nullptr);
        EXPECT_EQ(CurrentMeasurementSystem(), MeasurementSystem::Metric);
    }
    {
        ScopedEnvironment measurement("LC_MEASUREMENT", "en_US.UTF-8");
        EXPECT_EQ(CurrentMeasurementSystem(), MeasurementSystem::Imperial);
        ScopedEnvironment overriding("LC_ALL", "de_DE.UTF-8");
        EXPECT_EQ(CurrentMeasurementSystem(), MeasurementSystem::Metric);
    }
    {
        ScopedEnvironment measurement("LC_MEASUREMENT", nullptr);
        ScopedEnvironment fallback("LANG", "en_US.UTF-8");
        EXPECT_EQ(CurrentMeasurementSystem(), MeasurementSystem::Imperial);
    }
}

}  // namespace
}  // namespace ZavorPlatform
