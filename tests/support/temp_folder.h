#pragma once
// A fresh folder for the files of one test, removed with everything in it at the end (POSIX
// tests only: FIFOs and links are what they are about).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace velmaro::testing {

struct TempFolder {
    TempFolder() {
        char name[] = "/tmp/velmaro-test-XXXXXX";
        path = ::mkdtemp(name);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The full path of name, with its folders made.
    std::string Place(const std::string& name) const {
        const std::string full = path + "/" + name;
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        return full;
    }
    std::string Write(const std::string& name, const std::string& content) const {
        const std::string full = Place(name);
        std::ofstream(full, std::ios::binary) << content;
        return full;
    }
    std::string Link(const std::string& name, const std::string& target) const {
        const std::string full = Place(name);
        EXPECT_EQ(::symlink(target.c_str(), full.c_str()), 0) << name;
        return full;
    }
    std::string Fifo(const std::string& name) const {
        const std::string full = Place(name);
        EXPECT_EQ(::mkfifo(full.c_str(), 0600), 0) << name;
        return full;
    }
    std::string path;
};

}  // namespace velmaro::testing
