// What a save guarantees on every system, with nothing but the standard
// library around it, so that the same cases also check the Windows build:
// the old file stays until the new one is complete, refused targets stay
// untouched, names outside ASCII reach the file system as they are, and
// temporary files left behind are cleared away.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "platform/atomic_file.h"
#include "support/test_output.h"

namespace ZavorPlatform {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const fs::path &path, const std::string &text) { std::ofstream(path, std::ios::binary) << text; }

std::span<const std::uint8_t> Bytes(const std::string &text) {
    return {reinterpret_cast<const std::uint8_t *>(text.data()), text.size()};
}

fs::path FreshFolder(const std::string &name) {
    fs::path folder = ZavorTest::OutputPath("saving-" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

std::size_t EntryCount(const fs::path &folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(SavingEverywhere, NewContentArrivesWholeOrNotAtAll) {
    fs::path folder = FreshFolder("whole");
    fs::path target = folder / "out.bin";
    WriteText(target, "old");
    const std::string big(300000, 'x');  // several times the write buffer
    for (auto kind : {AtomicFile::Temporary::Unnamed, AtomicFile::Temporary::Named}) {
        {
            AtomicFile abandoned(target, kind);
            abandoned.Write(Bytes(big));
        }
        EXPECT_EQ(ReadFile(target), "old");
        EXPECT_EQ(EntryCount(folder), 1u);
    }
    AtomicFile file(target);
    file.Write(Bytes("new "));
    file.Write(Bytes(big));
    EXPECT_EQ(ReadFile(target), "old");
    file.Commit();
    EXPECT_EQ(ReadFile(target), "new " + big);
    EXPECT_EQ(EntryCount(folder), 1u);
    EXPECT_THROW(file.Write(Bytes("more")), std::system_error);
}

TEST(SavingEverywhere, RefusedTargetsStayAsTheyWere) {
    struct Case {
        const char *name;
        std::errc error;
    };
    const Case cases[] = {
        {"folder", std::errc::is_a_directory},
        {"read-only file", std::errc::permission_denied},
        {"missing folder", std::errc::no_such_file_or_directory},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.name);
        fs::path folder = FreshFolder("refused");
        fs::path target = folder / "out.bin";
        if (test.error == std::errc::is_a_directory) fs::create_directory(target);
        if (test.error == std::errc::permission_denied) {
            WriteText(target, "old");
            // On Windows this sets the file's read-only attribute.
            fs::permissions(target, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                            fs::perm_options::remove);
        }
        if (test.error == std::errc::no_such_file_or_directory) target = folder / "fehlt" / "out.bin";
        const std::size_t entries = EntryCount(folder);
        try {
            WriteFileAtomically(target, Bytes("new"));
            ADD_FAILURE() << "saved over it";
        } catch (const std::system_error &error) {
            EXPECT_EQ(error.code(), std::make_error_code(test.error)) << error.what();
        }
        EXPECT_EQ(EntryCount(folder), entries);
        if (fs::is_regular_file(target)) {
            EXPECT_EQ(ReadFile(target), "old");
            fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
        }
    }
}

// Linux names files in UTF-8, Windows in UTF-16: neither may see the name
// in a code page.
TEST(SavingEverywhere, NamesOutsideAsciiAreKept) {
    fs::path folder = FreshFolder(reinterpret_cast<const char *>(u8"\u00e4\u00df"));
    fs::path target = folder / u8"Ausgabe_\u00c4\u20ac\u0142.bin";
    WriteFileAtomically(target, Bytes("erste"));
    WriteFileAtomically(target, Bytes("zweite"));
    EXPECT_EQ(ReadFile(target), "zweite");
    ASSERT_EQ(EntryCount(folder), 1u);
    EXPECT_TRUE(fs::directory_iterator(folder)->path().filename().u16string() == u"Ausgabe_\u00c4\u20ac\u0142.bin");
}

// A save that was killed leaves its temporary file; the next save in the
// folder removes it once it has not been written for a minute. A younger
// one may belong to a save still at work, and other names are not ours.
TEST(SavingEverywhere, TemporaryFilesLeftBehindAreRemoved) {
    fs::path folder = FreshFolder("left");
    const fs::path stale = folder / ".zavor-Ab3dE9.tmp";
    const fs::path young = folder / ".zavor-Zy7xW1.tmp";
    const fs::path foreign = folder / ".zavor-Ab3dE9.tmp.keep";
    for (const fs::path &path : {stale, young, foreign}) WriteText(path, "left");
    const auto anHourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    fs::last_write_time(stale, anHourAgo);
    fs::last_write_time(foreign, anHourAgo);
    WriteFileAtomically(folder / "out.bin", Bytes("saved"));
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(young));
    EXPECT_TRUE(fs::exists(foreign));
    EXPECT_EQ(ReadFile(folder / "out.bin"), "saved");
}

}  // namespace
}  // namespace ZavorPlatform
