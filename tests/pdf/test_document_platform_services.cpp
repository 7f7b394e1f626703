// The system services behind documents: random identifiers, the locale's
// measurement system and replacing a saved file without ever leaving it
// half written.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/measurement_system.h"
#include "platform/random_id.h"
#include "support/test_output.h"
#include "support/scoped_environment.h"

namespace ZavorPlatform {
namespace {

namespace fs = std::filesystem;

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

std::string ReadFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const fs::path &path, const std::string &text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::span<const std::uint8_t> Bytes(const std::string &text) {
    return {reinterpret_cast<const std::uint8_t *>(text.data()), text.size()};
}

// A fresh folder per test so that stray temporary files can be counted.
fs::path FreshFolder(const std::string &name) {
    fs::path folder = ZavorTest::OutputPath("atomic-" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

std::size_t EntryCount(const fs::path &folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(AtomicFile, CommitReplacesTheTargetWithTheWholeContent) {
    fs::path folder = FreshFolder("commit");
    fs::path target = folder / "out.bin";
    WriteText(target, "old content that is longer than the new one");
    std::string big(200000, 'x');  // larger than the write buffer
    {
        AtomicFile file(target);
        EXPECT_EQ(file.TemporaryPath().parent_path(), folder);
        file.Write(Bytes("new "));
        file.Write(Bytes(big));
        EXPECT_EQ(ReadFile(target), "old content that is longer than the new one");
        file.Commit();
    }
    EXPECT_EQ(ReadFile(target), "new " + big);
    EXPECT_EQ(EntryCount(folder), 1u);
}

TEST(AtomicFile, AbandonedWriteLeavesTheOldFileAndNoTemporaryFile) {
    fs::path folder = FreshFolder("abandon");
    fs::path target = folder / "out.bin";
    WriteText(target, "keep me");
    {
        AtomicFile file(target);
        file.Write(Bytes(std::string(100000, 'y')));
    }
    EXPECT_EQ(ReadFile(target), "keep me");
    EXPECT_EQ(EntryCount(folder), 1u);
}

TEST(AtomicFile, FailuresAreReportedAndCleanedUp) {
    fs::path folder = FreshFolder("fail");
    EXPECT_THROW(AtomicFile(folder / "missing" / "out.bin"), std::system_error);

    // The rename over a folder fails after a complete write: the temporary
    // file must still disappear.
    fs::create_directories(folder / "taken");
    fs::create_directories(folder / "taken" / "inside");
    AtomicFile file(folder / "taken");
    file.Write(Bytes("data"));
    EXPECT_THROW(file.Commit(), std::system_error);
    EXPECT_THROW(file.Write(Bytes("more")), std::system_error);
    EXPECT_EQ(EntryCount(folder), 1u);
}

TEST(AtomicFile, ReplacedFileKeepsItsPermissionsAndLinksSurvive) {
    fs::path folder = FreshFolder("mode");
    fs::path target = folder / "out.bin";
    WriteText(target, "old");
    fs::permissions(target, fs::perms(0640));
    WriteFileAtomically(target, Bytes("new"));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::mask, fs::perms(0640));

    fs::path link = folder / "link.bin";
    fs::create_symlink("out.bin", link);
    WriteFileAtomically(link, Bytes("through the link"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(target), "through the link");

    fs::path fresh = folder / "fresh.bin";
    WriteFileAtomically(fresh, Bytes("x"));
    EXPECT_NE(fs::status(fresh).permissions() & fs::perms::others_read, fs::perms::none)
        << "a new file must not keep the private mode of a temporary file";
}

}  // namespace
}  // namespace ZavorPlatform
