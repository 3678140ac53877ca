// Context help: the program's help page (HTML, in the program folder) opened at the anchor
// of a help context id ("ctx<id>", e.g. "VEXON.html#ctx10000"). The page opens through
// the installed opener (the desktop's browser in the program, a recorder in tests); with
// no opener installed a help request does nothing.
#pragma once

#include <string>

namespace help {

// The file URL of the topic: "file://<path, percent-encoded>#ctx<contextId>".
std::string TopicUrl(const std::string& helpFile, long contextId);

class Opener {
 public:
  virtual ~Opener() = default;
  // True when the page was handed to a browser, or is being handed on by a launcher that runs
  // on (an opener that learns the outcome later reports it its own way); false when it is known
  // at once that the page cannot be shown (no launcher could be started, every launcher failed).
  virtual bool open(const std::string& url) = 0;
};

// Installs the opener (not owned); nullptr removes it.
void setOpener(Opener* opener);
Opener* opener();

// Opens the help file at the topic of the context id through the installed opener. False
// only when the opener said at once that it could not show the page (no opener installed:
// nothing, true).
bool ShowTopic(const std::string& helpFile, long contextId);

}  // namespace help
