// The program's help opener: hands the topic URL to the desktop (the user's browser).
//
// The launchers tried, in order: each command of $BROWSER (a list separated by ":"; "%s" in a
// command stands for the URL, else the URL is added as its last argument), then xdg-open. A
// launcher that cannot be started or ends with a non-zero exit status has failed and the next
// one is tried. A launcher that hands the page off ends quickly (xdg-open does); one that is
// still running after `handOffWait` is taken as the browser itself showing the page: it is left
// running and counts as success, so Help never waits longer than that for a browser to close.
#pragma once

#include <chrono>

#include "platform/help/help.h"

namespace help {

class QtHelpOpener : public Opener {
 public:
  static constexpr std::chrono::milliseconds kHandOffWait{3000};

  explicit QtHelpOpener(std::chrono::milliseconds handOffWait = kHandOffWait) : handOffWait_(handOffWait) {}
  // True when a launcher showed the page or handed it on; false when every launcher failed.
  bool open(const std::string& url) override;

 private:
  std::chrono::milliseconds handOffWait_;
};

}  // namespace help
