#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "shell/numbers.h"
#include "shell/settings.h"

namespace tavo {
namespace {

// The settings in record order: PMCMP, BB_LENGTH, ICODE, ROUND, SENSITIVITY,
// NOINVERT, MAXITERATE, ETOL, ZTOL, CTOL.
auto Fields(const SolverSettings& s) {
  return std::tuple(s.PMCMP, s.BB_LENGTH, s.ICODE, s.ROUND, s.SENSITIVITY, s.NOINVERT, s.MAXITERATE, s.ETOL, s.ZTOL,
                    s.CTOL);
}
const auto kDefaults = std::tuple(0, 90000, 1, 1, 0, 200, 90000, 5.0e-13, 5.0e-12, -5.0e-11);

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
  EXPECT_EQ(Fields(DefaultSettings()), kDefaults);
  EXPECT_EQ(Fields(LoadSettings(path_)), kDefaults);
  Write("");
  EXPECT_EQ(Fields(LoadSettings(path_)), kDefaults);
}

TEST_F(SettingsTest, RoundTripKeepsEveryValueAndOtherSections) {
  Write("[Window size]\nRect=0010 0020 0300 0400\n");
  SolverSettings s = DefaultSettings();
  s.PMCMP = 7;
  s.NOINVERT = -3;  // no range check: stored unchanged
  s.MAXITERATE = 0;
  s.ETOL = 1.234567891e-9;
  ASSERT_TRUE(SaveSettings(path_, s));
  EXPECT_EQ(Fields(LoadSettings(path_)), std::tuple(7, 90000, 1, 1, 0, -3, 0, 1.234567891e-9, 5.0e-12, -5.0e-11));

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
  EXPECT_EQ(Fields(LoadSettings(path_)), std::tuple(0, 90000, 1, 1, 0, 200, 12, 0.0, 1e-9, -5.0e-11));
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
