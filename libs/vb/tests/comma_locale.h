// Test helper: runs the rest of a test under a decimal-comma locale (de_DE.UTF-8) set for
// the whole C library, as the program runs once Qt has applied a German user's locale at
// start-up. The locale is restored when the scope ends.
//
// Where the locale is not installed the test is skipped, unless KESTRIN_REQUIRE_COMMA_LOCALE
// is set (scripts/test.sh sets it after scripts/setup.sh has generated the locale): then the
// missing locale is a failure, so the test suite never passes these tests silently.
#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

namespace kestrin_test {

class CommaLocale {
 public:
  CommaLocale() {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    saved_ = previous ? previous : "C";
    active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    if (active_) active_ = std::string(std::localeconv()->decimal_point) == ",";
  }
  ~CommaLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;
  bool active() const { return active_; }
  static bool Required() { return std::getenv("KESTRIN_REQUIRE_COMMA_LOCALE") != nullptr; }

 private:
  std::string saved_;
  bool active_ = false;
};

}  // namespace kestrin_test

// Declares a kestrin_test::CommaLocale named `name` for the rest of the test body.
#define KESTRIN_USE_COMMA_LOCALE(name)                                                        \
  kestrin_test::CommaLocale name;                                                             \
  if (!name.active()) {                                                                       \
    if (kestrin_test::CommaLocale::Required()) FAIL() << "the locale de_DE.UTF-8 is missing"; \
    GTEST_SKIP() << "the locale de_DE.UTF-8 is not installed";                                \
  }
