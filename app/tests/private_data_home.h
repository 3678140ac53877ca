// The start-up file steps create the per-user and scratch folders under XDG_DATA_HOME. A test
// program must neither touch the user's real folders nor share its scratch folder with
// another test program running at the same time, so each test process gets a data home of
// its own in the temporary directory, removed when the process ends.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace apptest {

inline void UsePrivateDataHome() {
  struct Home {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("kestrin-home-" + std::to_string(::getpid()));
    Home() {
      std::filesystem::create_directories(path);
      ::setenv("XDG_DATA_HOME", path.c_str(), 1);
    }
    ~Home() {
      std::error_code ec;
      std::filesystem::remove_all(path, ec);
    }
  };
  static Home home;
}

}  // namespace apptest
