#include <gtest/gtest.h>

#include "tests/simulator/sim_fixture.h"

namespace {

using RunTest = SimTest;

TEST_F(RunTest, WholeUpdateLeavesTheFlashEqualToThePayload) {
  EXPECT_TRUE(velka->FlashDifference().has_value()) << "the old firmware differs";
  ASSERT_NO_FATAL_FAILURE(Handshake());
  EXPECT_EQ(velka->GetStatus().phase, sim::Phase::kBootRom);
  ASSERT_NO_FATAL_FAILURE(Download());
  // A chunk sent again (its acknowledgement was missed) is acknowledged again.
  ASSERT_EQ(Exchange(frames::Chunk(11), 100), Bytes{'i'});
  EXPECT_TRUE(velka->RamHoldsLoader());
  EXPECT_EQ(velka->GetStatus().chunks_received, 12);
  ASSERT_NO_FATAL_FAILURE(StartLoader());
  EXPECT_EQ(velka->GetStatus().listening_baud, 115200u);

  ASSERT_EQ(Exchange(frames::kErase), Bytes{'e'});
  EXPECT_EQ(velka->GetStatus().phase, sim::Phase::kErasing);
  Wait(1900);
  EXPECT_EQ(Read(), Bytes{}) << "the erase takes 2 s";
  Wait(100);
  EXPECT_EQ(Read(), Bytes{'f'});
  EXPECT_EQ(velka->FlashByte(0xFC, 0x1234), 0xFF);

  ASSERT_EQ(Exchange(frames::kDataMode), Bytes{'d'});
  EXPECT_EQ(velka->GetStatus().phase, sim::Phase::kProgramming);
  ASSERT_NO_FATAL_FAILURE(ProgramAll());

  EXPECT_EQ(velka->FlashDifference(), std::nullopt);
  EXPECT_TRUE(ViolationTexts().empty()) << ViolationTexts().front();
  const sim::Status status = velka->GetStatus();
  EXPECT_TRUE(status.closing_received);
  EXPECT_EQ(status.pages_written, status.pages_with_data);
  EXPECT_EQ(status.pages_with_data, 88);
  EXPECT_EQ(status.host_line, (sim::LineSettings{115200, 8, 1, 0}));
}

TEST_F(RunTest, AMissingPageIsNamed) {
  ASSERT_NO_FATAL_FAILURE(ToDataMode());
  ASSERT_NO_FATAL_FAILURE(ProgramAll(0xFC, 0x1400));
  const auto difference = velka->FlashDifference();
  ASSERT_TRUE(difference.has_value());
  EXPECT_NE(difference->find("bank 0xFC offset 0x14"), std::string::npos) << *difference;
  EXPECT_NE(difference->find("found 0xFF"), std::string::npos) << *difference;
  EXPECT_EQ(velka->GetStatus().pages_written, 87);
}

// The device that needs two passes: 0x96 at the first probe, then after the first
// erase silence until it is switched off and on.
TEST_F(RunTest, SecondPassAfterAPowerCycle) {
  for (const bool again_96 : {false, true}) {
    SCOPED_TRACE(again_96 ? "later probes answer 0x96" : "later probes answer 'i'");
    Make({.needs_second_pass = true, .later_probes_answer_96 = again_96});
    velka->SetPower(true);
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_EQ(Exchange(frames::kSync), Bytes{'F'});
    Line(19200, kFtStopBits1);
    ASSERT_EQ(Exchange(frames::kCalibrationOff), Bytes{'i'});
    ASSERT_EQ(Exchange(frames::kProbe), Bytes{0x96});
    ASSERT_EQ(Exchange(frames::kCommand0C0), Bytes{'i'});
    ASSERT_EQ(Exchange(frames::kCommand0C1), Bytes{'i'});
    ASSERT_NO_FATAL_FAILURE(Download());
    ASSERT_NO_FATAL_FAILURE(StartLoader());
    ASSERT_NO_FATAL_FAILURE(Erase());
    EXPECT_TRUE(velka->GetStatus().awaiting_power_cycle);

    // The host looks for the boot ROM again: nothing answers, and that is no fault.
    Line(19200, kFtStopBits2);
    for (int tick = 0; tick < 5; ++tick) EXPECT_EQ(Exchange(frames::kSync, 100), Bytes{});
    EXPECT_TRUE(ViolationTexts().empty());
    velka->SetPower(false);
    EXPECT_FALSE(velka->RamHoldsLoader());
    velka->SetPower(true);

    ASSERT_EQ(Exchange(frames::kSync), Bytes{'F'});
    Line(19200, kFtStopBits1);
    ASSERT_EQ(Exchange(frames::kCalibrationOff), Bytes{'i'});
    if (again_96) {
      ASSERT_EQ(Exchange(frames::kProbe), Bytes{0x96});
      ASSERT_EQ(Exchange(frames::kCommand0C0), Bytes{'i'});
      ASSERT_EQ(Exchange(frames::kCommand0C1), Bytes{'i'});
    } else {
      ASSERT_EQ(Exchange(frames::kProbe), Bytes{'i'});
    }
    ASSERT_NO_FATAL_FAILURE(Download());
    ASSERT_NO_FATAL_FAILURE(StartLoader());
    ASSERT_NO_FATAL_FAILURE(Erase());
    ASSERT_EQ(Exchange(frames::kDataMode), Bytes{'d'});
    ASSERT_NO_FATAL_FAILURE(ProgramAll());
    EXPECT_EQ(velka->FlashDifference(), std::nullopt);
    EXPECT_TRUE(ViolationTexts().empty()) << ViolationTexts().front();
  }
}

TEST_F(RunTest, SkippingTheSecondPassIsRefused) {
  Make({.needs_second_pass = true});
  ASSERT_NO_FATAL_FAILURE(Handshake());
  ASSERT_NO_FATAL_FAILURE(Download());
  ASSERT_NO_FATAL_FAILURE(StartLoader());
  ASSERT_NO_FATAL_FAILURE(Erase());
  EXPECT_EQ(Exchange(frames::kDataMode), Bytes{});
  ASSERT_EQ(ViolationTexts().size(), 1u);
  EXPECT_NE(ViolationTexts()[0].find("switched off and on"), std::string::npos);
}

}  // namespace
