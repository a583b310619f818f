// A fresh folder per test, removed with everything in it afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/WideString.h"

class TempFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = ::testing::TempDir() + "hostplat-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(folder_, ignored);
    }
    std::string Path(const std::string& name) const { return folder_ + "/" + name; }
    WString WidePath(const std::string& name) const { return FromUtf8(Path(name)); }
    void Write(const std::string& name, const std::string& contents) const {
        std::ofstream(Path(name), std::ios::binary) << contents;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    bool Exists(const std::string& name) const {
        std::error_code ignored;
        return std::filesystem::symlink_status(Path(name), ignored).type() !=
               std::filesystem::file_type::not_found;
    }

    std::string folder_;
};
