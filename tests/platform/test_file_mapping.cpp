// A file read where it lies mapped: what cannot be mapped is left to the
// ordinary read, and a file shortened by someone else under the mapping
// reads as zeros there instead of ending the process.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/file_mapping.h"
#include "support/platform_support.h"
#include "support/test_output.h"

namespace ZavorPlatform {
namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path &path, const std::string &text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

TEST(FileMapping, WhatCannotBeMappedIsLeftToTheOrdinaryRead) {
    const fs::path empty = ZavorTest::OutputPath("mapping_empty.bin");
    WriteFile(empty, "");
    const fs::path folder = ZavorTest::OutputPath("mapping_folder");
    fs::create_directories(folder);
    const fs::path cases[] = {empty, folder, ZavorTest::OutputPath("mapping_missing.bin")};
    for (const fs::path &path : cases) {
        SCOPED_TRACE(path.string());
        EXPECT_EQ(FileMapping::Map(path), nullptr);
    }
}

TEST(FileMapping, AFileShortenedUnderTheMappingReadsAsZerosThere) {
    ZAVOR_SKIP_ON_WINDOWS("Windows refuses to shorten a mapped file");
    const fs::path path = ZavorTest::OutputPath("mapping_shortened.bin");
    const std::string text(3 * 65536, 'x');
    WriteFile(path, text);
    std::unique_ptr<FileMapping> mapping = FileMapping::Map(path);
    ASSERT_NE(mapping, nullptr);
    ASSERT_EQ(mapping->Bytes().size(), text.size());
    EXPECT_EQ(mapping->Bytes()[10], 'x');
    EXPECT_FALSE(mapping->Shortened());

    fs::resize_file(path, 100);
    auto bytes = mapping->Bytes();
    EXPECT_EQ(bytes[10], 'x');
    EXPECT_TRUE(std::all_of(bytes.begin() + 65536, bytes.end(), [](std::uint8_t byte) { return byte == 0; }));
    EXPECT_TRUE(mapping->Shortened());

    // A mapping made afterwards starts unmarked.
    mapping.reset();
    std::unique_ptr<FileMapping> again = FileMapping::Map(path);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Bytes().size(), 100u);
    EXPECT_FALSE(again->Shortened());
}

}  // namespace
}  // namespace ZavorPlatform
