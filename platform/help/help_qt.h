// The program's help opener: hands the topic URL to the desktop (the user's browser).
#pragma once

#include "platform/help/help.h"

namespace help {

class QtHelpOpener : public Opener {
 public:
  bool open(const std::string& url) override;
};

}  // namespace help
