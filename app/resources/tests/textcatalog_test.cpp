// The numbered texts: the English table answers until a catalog is installed; the installed
// catalog then answers every id.
#include <gtest/gtest.h>

#include <map>

#include "app/resources/TextCatalog.h"

namespace {

class FixtureCatalog : public textcatalog::TextCatalog {
 public:
  explicit FixtureCatalog(std::map<int32_t, std::string> texts) : texts_(std::move(texts)) {}
  std::string GetString(int32_t id) const override {
    const auto it = texts_.find(id);
    return it == texts_.end() ? textcatalog::kMissingText : it->second;
  }

 private:
  std::map<int32_t, std::string> texts_;
};

class TextCatalogTest : public ::testing::Test {
 protected:
  void SetUp() override { textcatalog::SetEnglishTexts({{101, "Annual Energy Cost"}, {102, "Cash Flow"}}); }
  void TearDown() override {
    textcatalog::Install(nullptr);
    textcatalog::SetEnglishTexts({});
  }
};

TEST_F(TextCatalogTest, EnglishTableAnswersWithoutACatalog) {
  EXPECT_EQ(textcatalog::GetString(101), "Annual Energy Cost");
  EXPECT_EQ(textcatalog::GetString(999), "?????");
}

TEST_F(TextCatalogTest, InstalledCatalogAnswersEveryIdUntilRemoved) {
  FixtureCatalog german({{101, "J\xC3\xA4hrliche Energiekosten"}});
  textcatalog::Install(&german);
  EXPECT_EQ(textcatalog::GetString(101), "J\xC3\xA4hrliche Energiekosten");
  EXPECT_EQ(textcatalog::GetString(102), "?????");  // the translation has no such row

  FixtureCatalog other({});
  textcatalog::Uninstall(&other);  // not the installed one: no change
  EXPECT_EQ(textcatalog::Installed(), &german);
  textcatalog::Uninstall(&german);
  EXPECT_EQ(textcatalog::GetString(102), "Cash Flow");
}

}  // namespace
