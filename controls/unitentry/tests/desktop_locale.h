// Test helper: runs the rest of a test as on a desktop of the given locale: Qt's default
// locale (what QLocale::system() gives a program started under LANG=<name>) and the C
// library's locale, which QApplication takes from the same environment. Both are restored
// when the scope ends. A locale the C library lacks skips the test, or fails it when
// KESTRIN_REQUIRE_COMMA_LOCALE is set (scripts/test.sh generates de_DE.UTF-8).
#pragma once

#include <gtest/gtest.h>

#include <QLocale>
#include <clocale>
#include <cstdlib>
#include <string>

namespace kestrin_test {

class DesktopLocale {
 public:
  explicit DesktopLocale(const char* name) : savedQt_(QLocale()) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    savedC_ = previous ? previous : "C";
    // en_US is rarely generated; the C library's "C" locale writes numbers as it does.
    active_ = std::setlocale(LC_ALL, name) != nullptr || std::string(name).rfind("en_US", 0) == 0;
    QLocale::setDefault(QLocale(QString::fromLatin1(name).section(u'.', 0, 0)));
  }
  ~DesktopLocale() {
    std::setlocale(LC_ALL, savedC_.c_str());
    QLocale::setDefault(savedQt_);
  }
  DesktopLocale(const DesktopLocale&) = delete;
  DesktopLocale& operator=(const DesktopLocale&) = delete;
  bool active() const { return active_; }

 private:
  QLocale savedQt_;
  std::string savedC_;
  bool active_ = false;
};

}  // namespace kestrin_test

// Declares a kestrin_test::DesktopLocale named `var` for `name` for the rest of the test body.
#define KESTRIN_USE_DESKTOP_LOCALE(var, name)                                                          \
  kestrin_test::DesktopLocale var(name);                                                               \
  if (!var.active()) {                                                                                 \
    if (std::getenv("KESTRIN_REQUIRE_COMMA_LOCALE")) FAIL() << "the locale " << name << " is missing"; \
    GTEST_SKIP() << "the locale " << name << " is not installed";                                      \
  }
