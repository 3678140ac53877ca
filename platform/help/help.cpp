#include "platform/help/help.h"

namespace help {
namespace {
Opener* gOpener = nullptr;

bool Unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
         c == '.' || c == '~' || c == '/';
}
}  // namespace

std::string TopicUrl(const std::string& helpFile, long contextId) {
  static const char* kHex = "0123456789ABCDEF";
  std::string url = "file://";
  for (unsigned char c : helpFile) {
    if (Unreserved(c)) {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += kHex[c >> 4];
      url += kHex[c & 0x0F];
    }
  }
  return url + "#ctx" + std::to_string(contextId);
}

void setOpener(Opener* o) { gOpener = o; }
Opener* opener() { return gOpener; }

bool ShowTopic(const std::string& helpFile, long contextId) {
  return gOpener == nullptr || gOpener->open(TopicUrl(helpFile, contextId));
}

}  // namespace help
