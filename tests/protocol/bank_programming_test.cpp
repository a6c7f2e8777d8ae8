#include "protocol/bank_programming.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "app/updater_form.h"
#include "payload/firmware.h"
#include "sequencer/sequencer.h"
#include "simulator/faults.h"
#include "tests/support/update_rig.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The writes ProgramBanks made, from the first write at or after `first`.
std::vector<Bytes> WritesFrom(const UpdateRig& rig, std::size_t first) {
  return {rig.recorder.writes.begin() + static_cast<std::ptrdiff_t>(first),
          rig.recorder.writes.end()};
}

TEST(ProgramBanks, WritesThePayloadPageByPage) {
  UpdateRig rig;
  ASSERT_TRUE(rig.RunTo(18)) << rig.Trace();
  const std::size_t first = rig.recorder.writes.size();
  Updater->ProgressBar1->SetPosition(5);
  TargetAddress = 0x7777;
  ASSERT_TRUE(ProgramBanks()) << rig.Trace();

  const std::vector<Bytes> writes = WritesFrom(rig, first);
  ASSERT_EQ(writes.size(), 2u * 88u + 2u) << "88 pages and the closing frame, two writes each";
  EXPECT_EQ(writes.front(), (Bytes{0x04, 0x00, 0xDF, 0x00, 0x00}));
  const std::uint8_t* df = BankImages[0].data;
  EXPECT_EQ(writes[1], Bytes(df, df + kPageSize));
  EXPECT_EQ(writes[writes.size() - 4], (Bytes{0x04, 0x00, 0xFF, 0xFC, 0x00}));
  EXPECT_EQ(writes[writes.size() - 2], (Bytes{0x00, 0x02, 0xDF, 0x00, 0x00}));
  EXPECT_EQ(writes.back(), (Bytes{df[0], df[1]}));
  // The closing frame's first read comes 50 ms after its data.
  const std::uint64_t closing_data = rig.recorder.write_times_us.back();
  const auto next_poll = std::upper_bound(rig.recorder.poll_times_us.begin(),
                                          rig.recorder.poll_times_us.end(), closing_data);
  ASSERT_NE(next_poll, rig.recorder.poll_times_us.end());
  EXPECT_GE(*next_poll - closing_data, 50000u);

  EXPECT_EQ(Updater->ProgressBar1->Position(), (5 + 288) % 100);
  EXPECT_EQ(TargetAddress, 0);
  EXPECT_EQ(rig.velka.FlashDifference(), std::nullopt);
  EXPECT_TRUE(rig.velka.Violations().empty()) << rig.velka.Violations().front().ToString();
}

TEST(ProgramBanks, WaitsFiftyMillisecondsAfterEveryPageOfBankFC) {
  UpdateRig rig;
  ASSERT_TRUE(rig.RunTo(18));
  const std::size_t first = rig.recorder.writes.size();
  ASSERT_TRUE(ProgramBanks());
  std::vector<std::uint64_t> fc_headers;
  for (std::size_t i = first; i < rig.recorder.writes.size(); ++i) {
    const Bytes& w = rig.recorder.writes[i];
    if (w.size() == 5 && w[2] == 0xFC) fc_headers.push_back(rig.recorder.write_times_us[i]);
  }
  ASSERT_EQ(fc_headers.size(), 64u);
  for (std::size_t i = 1; i < fc_headers.size(); ++i) {
    EXPECT_GE(fc_headers[i] - fc_headers[i - 1], 50000u + 89000u)
        << "page " << i << ": its wire time and 50 ms";
  }
}

TEST(ProgramBanks, AnUnacknowledgedPageEndsItAtOnce) {
  struct Case {
    std::uint8_t bank;
    int page;
  };
  for (const Case c : {Case{0xDF, 0}, Case{0xFC, 5}, Case{0xFF, 63}}) {
    UpdateRig rig;
    ASSERT_TRUE(rig.RunTo(18));
    rig.velka.Arm({sim::at::Page(c.bank, c.page), sim::FaultKind::kNoReply});
    const int position = 30;
    Updater->ProgressBar1->SetPosition(position);
    ASSERT_FALSE(ProgramBanks());
    const Bytes& last = rig.recorder.writes.back();
    ASSERT_EQ(last.size(), kPageSize) << "nothing after the page's data";
    const Bytes& header = rig.recorder.writes[rig.recorder.writes.size() - 2];
    EXPECT_EQ(header, (Bytes{0x04, 0x00, c.bank, static_cast<std::uint8_t>(c.page * 4), 0x00}));
    EXPECT_EQ(TargetAddress, c.page * 0x400);
  }
}

TEST(ProgramBanks, AnEmptyPayloadSendsOnlyTheClosingFrame) {
  static std::array<std::uint8_t, 0x10000> erased;
  erased.fill(0xFF);
  const BankImage empty[kBankCount] = {{0xDF, erased.data(), 0x8000},
                                       {0xFC, erased.data(), 0x10000},
                                       {0xFD, erased.data(), 0x10000},
                                       {0xFE, erased.data(), 0x10000},
                                       {0xFF, erased.data(), 0x10000}};
  UpdateRig rig;
  ASSERT_TRUE(rig.RunTo(18));
  BankImages = empty;
  const std::size_t first = rig.recorder.writes.size();
  const std::uint64_t start = rig.clock.NowUs();
  const int position = Updater->ProgressBar1->Position();
  const bool ok = ProgramBanks();
  BankImages = BuiltInBankImages();
  EXPECT_TRUE(ok);
  EXPECT_EQ(WritesFrom(rig, first),
            (std::vector<Bytes>{{0x00, 0x02, 0xDF, 0x00, 0x00}, {0xFF, 0xFF}}));
  EXPECT_EQ(Updater->ProgressBar1->Position(), (position + 288) % 100);
  EXPECT_GE(rig.clock.NowUs() - start, 64u * 50000u) << "bank 0xFC still waits per page";
}

}  // namespace
