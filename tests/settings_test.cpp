#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "shell/numbers.h"
#include "shell/settings.h"

namespace tavo {
namespace {

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tavo_settings_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    path_ = (dir_ / "Marvolen" / "TAVO.ini").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  void Write(const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path());
    std::ofstream(path_) << text;
  }
  std::filesystem::path dir_;
  std::string path_;
};

TEST_F(SettingsTest, FreshProfileGivesTheDefaultsInRecordOrder) {
  SolverSettings s = LoadSettings(path_);
  EXPECT_EQ(s.PMCMP, 0);
  EXPECT_EQ(s.BB_LENGTH, 90000);
  EXPECT_EQ(s.ICODE, 1);
  EXPECT_EQ(s.ROUND, 1);
  EXPECT_EQ(s.SENSITIVITY, 0);
  EXPECT_EQ(s.NOINVERT, 200);
  EXPECT_EQ(s.MAXITERATE, 90000);
  EXPECT_EQ(s.ETOL, 5.0e-13);
  EXPECT_EQ(s.ZTOL, 5.0e-12);
  EXPECT_EQ(s.CTOL, -5.0e-11);
  Write("");
  SolverSettings empty = LoadSettings(path_);
  EXPECT_EQ(empty.MAXITERATE, 90000);
  EXPECT_EQ(empty.CTOL, -5.0e-11);
}

TEST_F(SettingsTest, RoundTripKeepsEveryValueAndOtherSections) {
  Write("[Window size]\nRect=0010 0020 0300 0400\n");
  SolverSettings s = DefaultSettings();
  s.PMCMP = 7;
  s.NOINVERT = -3;  // no range check: stored unchanged
  s.MAXITERATE = 0;
  s.ETOL = 1.234567891e-9;
  ASSERT_TRUE(SaveSettings(path_, s));
  SolverSettings back = LoadSettings(path_);
  EXPECT_EQ(back.PMCMP, 7);
  EXPECT_EQ(back.NOINVERT, -3);
  EXPECT_EQ(back.MAXITERATE, 0);
  EXPECT_EQ(back.ETOL, 1.234567891e-9);
  EXPECT_EQ(back.ZTOL, 5.0e-12);
  EXPECT_EQ(back.CTOL, -5.0e-11);

  std::ifstream in(path_);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(all.find("Rect=0010 0020 0300 0400"), std::string::npos);
  EXPECT_NE(all.find("ZTOL=5.e-012"), std::string::npos) << all;  // written in the report form
  EXPECT_NE(all.find("ETOL=1.234567891e-009"), std::string::npos);
  EXPECT_NE(all.find("CTOL=-5.e-011"), std::string::npos);
  // Integers precede the tolerances.
  EXPECT_LT(all.find("BB_LENGTH="), all.find("ETOL="));
}

TEST_F(SettingsTest, TolerancesReadAsStrtodDoesAndMissingKeysDefault) {
  Write("[Init]\nETOL=abc\nZTOL=1e-9junk\nMAXITERATE=12abc\n");
  SolverSettings s = LoadSettings(path_);
  EXPECT_EQ(s.ETOL, 0.0);
  EXPECT_EQ(s.ZTOL, 1e-9);
  EXPECT_EQ(s.CTOL, -5.0e-11);
  EXPECT_EQ(s.MAXITERATE, 12);
  EXPECT_EQ(s.BB_LENGTH, 90000);
}

TEST(SettingByName, AcceptsOnlyWholeValuesOfKnownKeys) {
  SolverSettings s = DefaultSettings();
  EXPECT_TRUE(SetSettingByName(s, "MAXITERATE", "10"));
  EXPECT_EQ(s.MAXITERATE, 10);
  EXPECT_TRUE(SetSettingByName(s, "ZTOL", "1e-8"));
  EXPECT_EQ(s.ZTOL, 1e-8);
  EXPECT_FALSE(SetSettingByName(s, "MAXITERATE", "10x"));
  EXPECT_FALSE(SetSettingByName(s, "MAXITERATE", "1.5"));
  EXPECT_FALSE(SetSettingByName(s, "ZTOL", ""));
  EXPECT_FALSE(SetSettingByName(s, "NOPE", "1"));
  EXPECT_FALSE(SetSettingByName(s, "BB_LENGTH", "99999999999"));
}

}  // namespace
}  // namespace tavo
