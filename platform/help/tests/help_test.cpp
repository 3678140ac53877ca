#include "platform/help/help.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct RecordingOpener : help::Opener {
  std::vector<std::string> urls;
  bool open(const std::string& url) override {
    urls.push_back(url);
    return true;
  }
};

TEST(Help, TopicUrlEncodesPathAndAnchorsTheContextId) {
  EXPECT_EQ(help::TopicUrl("/opt/kestrin/VEXON.html", 10000), "file:///opt/kestrin/VEXON.html#ctx10000");
  EXPECT_EQ(help::TopicUrl("/home/a b/#x%/VEXON.html", 31020), "file:///home/a%20b/%23x%25/VEXON.html#ctx31020");
}

TEST(Help, ShowTopicGoesThroughTheInstalledOpenerOnly) {
  help::setOpener(nullptr);
  help::ShowTopic("/x/VEXON.html", 1);  // nothing installed: nothing happens
  RecordingOpener rec;
  help::setOpener(&rec);
  help::ShowTopic("/x/VEXON.html", 31010);
  help::setOpener(nullptr);
  ASSERT_EQ(rec.urls.size(), 1u);
  EXPECT_EQ(rec.urls[0], "file:///x/VEXON.html#ctx31010");
}

}  // namespace
