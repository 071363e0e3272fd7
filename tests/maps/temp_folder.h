#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

namespace vexa {

// A fresh folder for one test, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "vexa_" + std::string(test->test_suite_name()) + "_" + test->name() + "_" +
                           std::to_string(getpid());
        std::replace(name.begin(), name.end(), '/', '_');
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path Write(const std::string& name, const std::string& text) const {
        const auto file = path_ / name;
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }

private:
    std::filesystem::path path_;
};

}  // namespace vexa
