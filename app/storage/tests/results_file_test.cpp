// CAL.DAT (header, sections, simulation blocks, corrupt section B) and ERR.DAT.
#include <cstring>

#include "app/storage/record_codec.h"
#include "app/storage/tests/storage_fixture.h"

using namespace modDataIO;

class ResultsFile : public StorageTest {
 protected:
  std::string Cal() { return ReadAll(dir_ + "CAL.DAT"); }
};

TEST_F(ResultsFile, HeaderWriteLaysOutTheWholeFile) {
  WriteAll(dir_ + "CAL.DAT", std::string(1000000, '\x7F'));  // longer old file: tail stays
  ASSERT_TRUE(bCalcWriteHeaderData(dir_));
  std::string bytes = Cal();
  const float expected[] = {21, 282, 5661, 12624, 50000};
  ASSERT_EQ(bytes.size(), 1000000u);
  EXPECT_EQ(bytes.substr(934735), std::string(1000000 - 934735, '\x7F'));
  // The old file was laid out afresh in place: header, then zeros up to the tail.
  EXPECT_EQ(std::memcmp(bytes.data(), expected, 20), 0);
  EXPECT_EQ(bytes.find_first_not_of('\0', 20), 934735u);
  // So is a file whose sections a run wrote, holes and all: the next run finds no old section.
  PLVSummaryData old;
  old.fPeakLoad = 7;
  auto oldProfile = std::make_unique<PLVProfileData>();
  oldProfile->fPLV = 0.4f;
  ASSERT_TRUE(bCalcWritePLVData(old, *oldProfile, dir_));
  SimMonthData oldBlock;
  oldBlock.Value(0, 1) = 9;
  ASSERT_TRUE(bCalcWriteSimData(4, 12, oldBlock, dir_));
  ASSERT_TRUE(bCalcWriteHeaderData(dir_));
  bytes = Cal();
  EXPECT_EQ(std::memcmp(bytes.data(), expected, 20), 0);
  EXPECT_EQ(bytes.find_first_not_of('\0', 20), 934735u);
  std::filesystem::remove(dir_ + "CAL.DAT");
  ASSERT_TRUE(bCalcWriteHeaderData(dir_));
  bytes = Cal();
  ASSERT_EQ(bytes.size(), 934735u);
  EXPECT_EQ(std::memcmp(bytes.data(), expected, 20), 0);
  EXPECT_EQ(bytes.find_first_not_of('\0', 20), std::string::npos);

  PLVSummaryData a;
  a.fPeakLoad = 1;
  EconSummaryData c;
  c.nNumSystems = 3;
  vb::Array<SystemEconData, 1, 4> d;
  d(2).dLifeCycleCost = 5;
  ASSERT_TRUE(bCalcReadEconData(a, c, d, dir_));
  EXPECT_EQ(a.fPeakLoad, 0.0f);
  EXPECT_EQ(c.nNumSystems, 0);
  EXPECT_EQ(d(2).dLifeCycleCost, 0.0);
  SimMonthData block;
  block.Value(0, 1) = 3;
  ASSERT_TRUE(bCalcReadSimData(4, 12, block, dir_));
  EXPECT_EQ(block.Value(0, 1), 0.0f);
  // Section B of a fresh file is an empty profile: no chiller results, zero numbers.
  a.fPeakLoad = 1;
  auto p = std::make_unique<PLVProfileData>();
  p->fPLV = 0.5f;
  p->nNumChillerResults = 2;
  p->ChillerResults(2).vBinValues(1) = 3.0;
  ASSERT_TRUE(bCalcReadPLVData(a, *p, dir_));
  EXPECT_EQ(a.fPeakLoad, 0.0f);
  EXPECT_EQ(p->fPLV, 0.0f);
  EXPECT_EQ(p->nNumChillerResults, 0);
  EXPECT_FALSE(p->ChillerResults(2).vBinValues(1).has_value());
  EXPECT_EQ(p->Chiller.fFLCapacity, 0.0f);
  EXPECT_TRUE(host_.messages.empty());
}

TEST_F(ResultsFile, PlvSectionsRoundTripPastSectionC) {
  ASSERT_TRUE(bCalcWriteHeaderData(dir_));
  PLVSummaryData a;
  a.sCityName = "Chicago IAP";
  a.nNumPeriods = 1;
  auto p = std::make_unique<PLVProfileData>();
  p->sSystemName = "System 1";
  p->nNumChillerResults = 30;
  for (long i = 1; i <= 30; ++i) {
    p->ChillerResults(i).sChillerName = "Chiller " + std::to_string(i);
    p->ChillerResults(i).fWeightingFactor(4) = 0.25f * static_cast<float>(i % 4);
    for (long b = 1; b <= 24; b += static_cast<long>(i % 3) + 1) p->ChillerResults(i).vBinValues(b) = 100.0 + i + b;
  }
  p->Chiller.sName = "Copy";
  p->Chiller.fPowerMap(14, 28) = 42;
  ASSERT_TRUE(bCalcWritePLVData(a, *p, dir_));
  const std::string b = codec::Encode(*p);
  EXPECT_GT(281 + b.size(), 5661u + 80000u);  // B runs far past the place of C
  EXPECT_EQ(Cal().substr(281, b.size()), b);
  EXPECT_EQ(Cal().size(), 934735u);

  PLVSummaryData a2;
  auto p2 = std::make_unique<PLVProfileData>();
  ASSERT_TRUE(bCalcReadPLVData(a2, *p2, dir_));
  EXPECT_EQ(codec::Encode(a2), codec::Encode(a));
  EXPECT_EQ(codec::Encode(*p2), codec::Encode(*p));
  EXPECT_EQ(p2->ChillerResults(30).vBinValues(1), 131.0);
  EXPECT_EQ(p2->Chiller.fPowerMap(14, 28), 42.0f);
}

TEST_F(ResultsFile, CorruptSectionBIsRejectedAndTheRecordsStay) {
  ASSERT_TRUE(bCalcWriteHeaderData(dir_));
  PLVSummaryData a;
  auto p = std::make_unique<PLVProfileData>();
  p->ChillerResults(1).vBinValues(3) = 1.0;
  ASSERT_TRUE(bCalcWritePLVData(a, *p, dir_));
  struct Case {
    const char* what;
    std::size_t offset;  // 0-based in the file
    std::string bytes;
    const char* message;
  };
  const std::size_t results = 281 + 1609;  // the array header
  const Case cases[] = {
      {"dimension count", results, std::string("\x03\x00", 2), "invalid array header"},
      {"element count", results + 2, std::string("\x1E\x01\x00\x00", 4), "invalid array header"},
      {"Variant type", results + 10 + 511 + 4, std::string("\x08\x00", 2), "invalid Variant type 8"},
  };
  for (const auto& c : cases) {
    std::string bytes = Cal();
    const std::string good = bytes;
    bytes.replace(c.offset, c.bytes.size(), c.bytes);
    WriteAll(dir_ + "CAL.DAT", bytes);
    PLVSummaryData a2;
    a2.sCityName = "unchanged";
    auto p2 = std::make_unique<PLVProfileData>();
    p2->fPLV = 0.5f;
    EXPECT_FALSE(bCalcReadPLVData(a2, *p2, dir_)) << c.what;
    const std::string text = TakeMessage();
    EXPECT_NE(text.find(c.message), std::string::npos) << text;
    EXPECT_NE(text.find(dir_ + "CAL.DAT"), std::string::npos) << text;
    EXPECT_EQ(a2.sCityName, "unchanged");
    EXPECT_EQ(p2->fPLV, 0.5f);
    WriteAll(dir_ + "CAL.DAT", good);
  }
  // A file cut inside section B is refused before the section is read.
  WriteAll(dir_ + "CAL.DAT", Cal().substr(0, 40000));
  EXPECT_FALSE(bCalcReadPLVData(a, *p, dir_));
  EXPECT_NE(TakeMessage().find("cut short (40000 of 934735 bytes)"), std::string::npos);
  // A file without the header is neither read nor written.
  WriteAll(dir_ + "CAL.DAT", std::string(934735, '\x01'));
  EXPECT_FALSE(bCalcWritePLVData(a, *p, dir_));
  EXPECT_NE(TakeMessage().find("no valid header"), std::string::npos);
  EXPECT_EQ(Cal(), std::string(934735, '\x01'));
}

TEST_F(ResultsFile, SimulationBlocksSitAtTheirPositions) {
  ASSERT_TRUE(bCalcWriteHeaderData(dir_));
  SimMonthData block;
  for (int k = 0; k < 192; ++k) {
    for (int b = 1; b <= 24; ++b) block.Value(k, b) = static_cast<float>(k * 100 + b);
  }
  ASSERT_TRUE(bCalcWriteSimData(4, 12, block, dir_));
  std::string bytes = Cal();
  EXPECT_EQ(bytes.substr(916304 - 1, 18432), codec::Encode(block));
  EXPECT_EQ(bytes.size(), 934735u);
  const std::string before = bytes;
  ASSERT_TRUE(bCalcWriteSimData(2, 1, block, dir_));
  bytes = Cal();
  EXPECT_EQ(bytes.substr(0, 271184 - 1), before.substr(0, 271184 - 1));
  EXPECT_EQ(bytes.substr(289615), before.substr(289615));
  EXPECT_EQ(bytes.substr(271184 - 1, 18432), codec::Encode(block));
  SimMonthData back;
  ASSERT_TRUE(bCalcReadSimData(2, 1, back, dir_));
  EXPECT_EQ(back, block);
  EXPECT_FALSE(bCalcWriteSimData(5, 1, block, dir_));
  EXPECT_EQ(host_.messages.at(0).title, "bCalcWriteSimData");
}

TEST_F(ResultsFile, EconomicSectionsRoundTrip) {
  ASSERT_TRUE(bCalcWriteHeaderData(dir_));
  PLVSummaryData a;
  a.sLoadProfileName = "Office";
  EconSummaryData c;
  c.nNumSystems = 2;
  c.Cases(3).fSIR(50) = 1.5f;
  auto d = std::make_unique<vb::Array<SystemEconData, 1, 4>>();
  for (long n = 1; n <= 4; ++n) (*d)(n).nSysIndex = static_cast<std::int16_t>(n);
  (*d)(4).MonthlyHeatingGasCost(12) = 9;
  ASSERT_TRUE(bCalcWriteEconData(a, c, *d, dir_));
  const std::string bytes = Cal();
  EXPECT_EQ(bytes.substr(5661 - 1, 6963), codec::Encode(c));
  EXPECT_EQ(bytes.substr(12624 - 1 + 3 * 9344, 9344), codec::Encode((*d)(4)));
  PLVSummaryData a2;
  EconSummaryData c2;
  auto d2 = std::make_unique<vb::Array<SystemEconData, 1, 4>>();
  ASSERT_TRUE(bCalcReadEconData(a2, c2, *d2, dir_));
  EXPECT_EQ(c2.Cases(3).fSIR(50), 1.5f);
  EXPECT_EQ((*d2)(3).nSysIndex, 3);
  EXPECT_EQ((*d2)(4).MonthlyHeatingGasCost(12), 9.0);
}

TEST_F(ResultsFile, ErrorLinesAppendReadAndDelete) {
  std::vector<std::string> lines;
  std::int32_t count = -1;
  EXPECT_FALSE(bErrorRead(lines, count, dir_));
  EXPECT_EQ(host_.messages.at(0).title, "bErrorRead");
  host_.messages.clear();
  EXPECT_TRUE(bErrorDelete(dir_));  // nothing to delete
  WriteAll(dir_ + "ERR.DAT", "");
  ASSERT_TRUE(bErrorRead(lines, count, dir_));
  EXPECT_EQ(count, 0);
  EXPECT_EQ(lines, std::vector<std::string>{""});
  ASSERT_TRUE(bErrorWrite({"Errors in Calculation for System:", "[System 1]"}, dir_));
  ASSERT_TRUE(bErrorWrite({"None", ""}, dir_));
  EXPECT_EQ(ReadAll(dir_ + "ERR.DAT"), "Errors in Calculation for System:\r\n[System 1]\r\nNone\r\n\r\n");
  ASSERT_TRUE(bErrorRead(lines, count, dir_));
  EXPECT_EQ(count, 4);
  EXPECT_EQ(lines, (std::vector<std::string>{"Errors in Calculation for System:", "[System 1]", "None", ""}));
  EXPECT_TRUE(bErrorDelete(dir_));
  EXPECT_FALSE(std::filesystem::exists(dir_ + "ERR.DAT"));
  EXPECT_TRUE(host_.messages.empty());
}

// CAL.DAT and ERR.DAT are our own files: a link put in their place is never followed, a
// file cut short never reads as zeros, and nothing but our own file is removed.
TEST_F(ResultsFile, ALinkedResultsFileLeavesItsTargetAlone) {
  const std::string target = root_.string() + "/elsewhere.txt";
  WriteAll(target, "the user's data");
  std::filesystem::create_symlink(target, dir_ + "CAL.DAT");
  EXPECT_FALSE(bCalcWriteHeaderData(dir_));
  EXPECT_NE(TakeMessage().find("Not a regular file: " + dir_ + "CAL.DAT"), std::string::npos);
  SimMonthData block;
  EXPECT_FALSE(bCalcWriteSimData(1, 1, block, dir_));
  EXPECT_NE(TakeMessage().find(dir_ + "CAL.DAT"), std::string::npos);
  EXPECT_EQ(ReadAll(target), "the user's data");
  EXPECT_TRUE(std::filesystem::is_symlink(dir_ + "CAL.DAT"));
}

TEST_F(ResultsFile, ACutResultsFileIsRefused) {
  ASSERT_TRUE(bCalcWriteHeaderData(dir_));
  SimMonthData block;
  block.Value(0, 1) = 9;
  ASSERT_TRUE(bCalcWriteSimData(4, 12, block, dir_));
  std::filesystem::resize_file(dir_ + "CAL.DAT", 60000);  // a run cut short, or a full disk
  block.Value(0, 1) = 3;
  EXPECT_FALSE(bCalcReadSimData(4, 12, block, dir_));
  EXPECT_NE(TakeMessage().find("cut short (60000 of 934735 bytes)"), std::string::npos);
  EXPECT_EQ(block.Value(0, 1), 3.0f);  // the record is left as it was
  PLVSummaryData a;
  auto p = std::make_unique<PLVProfileData>();
  EXPECT_FALSE(bCalcReadPLVData(a, *p, dir_));
  EXPECT_NE(TakeMessage().find("cut short"), std::string::npos);
  // Cut inside the header: the header read itself fails.
  std::filesystem::resize_file(dir_ + "CAL.DAT", 10);
  EXPECT_FALSE(bCalcReadPLVData(a, *p, dir_));
  EXPECT_NE(TakeMessage().find("Input past end of file"), std::string::npos);
}

TEST_F(ResultsFile, OnlyOurOwnErrorFileIsDeleted) {
  std::filesystem::create_directory(dir_ + "ERR.DAT");
  EXPECT_FALSE(bErrorDelete(dir_));
  EXPECT_NE(TakeMessage().find("Not a regular file: " + dir_ + "ERR.DAT"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_directory(dir_ + "ERR.DAT"));
  EXPECT_FALSE(bErrorWrite({"line"}, dir_));
  EXPECT_NE(TakeMessage().find(dir_ + "ERR.DAT"), std::string::npos);
  std::filesystem::remove(dir_ + "ERR.DAT");

  const std::string target = root_.string() + "/kept.txt";
  WriteAll(target, "kept");
  std::filesystem::create_symlink(target, dir_ + "ERR.DAT");
  EXPECT_FALSE(bErrorWrite({"line"}, dir_));
  EXPECT_NE(TakeMessage().find("Not a regular file"), std::string::npos);
  EXPECT_FALSE(bErrorDelete(dir_));
  TakeMessage();
  EXPECT_TRUE(std::filesystem::is_symlink(dir_ + "ERR.DAT"));
  EXPECT_EQ(ReadAll(target), "kept");
}
