// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>

class TempFolder {
 public:
  TempFolder() {
    static std::atomic<unsigned> made{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("tolvane-form-test-" + std::to_string(now) + "-" + std::to_string(made++));
    if (!std::filesystem::create_directory(path_)) throw std::runtime_error("temporary folder exists");
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};
