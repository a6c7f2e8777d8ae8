#include <gtest/gtest.h>

#include <functional>

#include "tests/simulator/sim_fixture.h"

namespace {

// How far the run goes before the wrong frame.
enum class Before {
  kSynced,
  kCalibrated,
  kProbed,
  kDownloaded,
  kLoaderStarted,
  kErased,
  kDataMode
};

struct Refusal {
  const char* name;
  Before before;
  std::function<std::vector<Bytes>()> frames;  // the writes of the wrong frame
  const char* says;                            // part of the recorded violation
};

Bytes With(Bytes frame, std::size_t at, std::uint8_t value) {
  frame[at] = value;
  return frame;
}

Bytes LoaderCopyWithOneByteChanged() {
  static Bytes image(LoaderImage, LoaderImage + kLoaderSize);
  image[5] ^= 0x01;
  return frames::Chunk(0, image.data());
}

const Refusal kRefusals[] = {
    {"calibration check byte", Before::kSynced,
     [] { return std::vector<Bytes>{With(frames::kCalibrationOff, 4, 0x77)}; },
     "CalibrationOffFrame check byte 0x77, expected 0x78"},
    {"probe before calibration", Before::kSynced, [] { return std::vector<Bytes>{frames::kProbe}; },
     "ProbeFrame out of order"},
    {"probe check byte", Before::kCalibrated,
     [] { return std::vector<Bytes>{With(frames::kProbe, 5, 0x6F)}; }, "ProbeFrame check byte"},
    {"probe arguments", Before::kCalibrated,
     [] {
       return std::vector<Bytes>{{0x90, 0x00, 0x00, 0xFE, 0x02, 0x6E}};
     },
     "ProbeFrame arguments"},
    {"unknown opcode", Before::kProbed,
     [] { return std::vector<Bytes>{With(frames::Chunk(0), 0, 0x69)}; },
     "unknown boot ROM opcode 0x69"},
    {"Command0C after an 'i' probe", Before::kProbed,
     [] { return std::vector<Bytes>{frames::kCommand0C0}; }, "Command0CFrame out of order"},
    {"chunk header check", Before::kProbed,
     [] { return std::vector<Bytes>{With(frames::Chunk(0), 5, 0x5C)}; },
     "header check 0x5C, expected 0x5B"},
    {"chunk data check", Before::kProbed,
     [] { return std::vector<Bytes>{With(frames::Chunk(0), 262, frames::Chunk(0)[262] ^ 1)}; },
     "data check"},
    {"chunk out of sequence", Before::kProbed, [] { return std::vector<Bytes>{frames::Chunk(1)}; },
     "address 0x5340, expected 0x5240"},
    {"chunk bytes 3 and 4", Before::kProbed,
     [] {
       Bytes frame = With(frames::Chunk(0), 3, 0x01);
       frame[5] = frames::Check(0x12 + 0x40 + 0x52 + 0x01);
       return std::vector<Bytes>{frame};
     },
     "bytes 3 and 4"},
    {"chunk cut short", Before::kProbed,
     [] {
       Bytes frame = frames::Chunk(0);
       frame.resize(200);
       return std::vector<Bytes>{frame};
     },
     "incomplete boot ROM frame: 200 bytes"},
    {"start before the whole loader", Before::kProbed,
     [] {
       return std::vector<Bytes>{frames::Chunk(0), frames::kStart};
     },
     "1 of 12 loader chunks"},
    {"start with another loader", Before::kProbed,
     [] {
       std::vector<Bytes> writes{LoaderCopyWithOneByteChanged()};
       for (int k = 1; k < 12; ++k) writes.push_back(frames::Chunk(k));
       writes.push_back(frames::kStart);
       return writes;
     },
     "RAM differs from the loader image at 0x5245"},
    {"start check byte", Before::kDownloaded,
     [] { return std::vector<Bytes>{With(frames::kStart, 4, 0xCE)}; }, "StartFrame check byte"},
    {"data mode before erase", Before::kLoaderStarted,
     [] { return std::vector<Bytes>{frames::kDataMode}; }, "before the flash was erased"},
    {"unknown loader command", Before::kLoaderStarted,
     [] {
       return std::vector<Bytes>{{'X', '\r'}};
     },
     "unknown command byte 0x58"},
    {"page before data mode", Before::kErased,
     [] {
       return std::vector<Bytes>{frames::PageHeader(0xDF, 0), frames::PageData(0xDF, 0)};
     },
     "unknown command byte 0x04"},
    {"page length", Before::kDataMode,
     [] {
       return std::vector<Bytes>{{0x03, 0xFF, 0xDF, 0x00, 0x00}, Bytes(0x3FF, 0x11)};
     },
     "frame length 0x03FF"},
    {"page bank", Before::kDataMode,
     [] {
       return std::vector<Bytes>{frames::PageHeader(0xFB, 0), Bytes(1024, 0x11)};
     },
     "bank 0xFB, which does not exist"},
    {"page offset inside a page", Before::kDataMode,
     [] {
       return std::vector<Bytes>{frames::PageHeader(0xFC, 0x0200), Bytes(1024, 0x11)};
     },
     "offset 0x0200, not the start of a page"},
    {"page offset past bank 0xDF", Before::kDataMode,
     [] {
       return std::vector<Bytes>{frames::PageHeader(0xDF, 0x8000), Bytes(1024, 0x11)};
     },
     "offset 0x8000"},
    {"page written twice", Before::kDataMode,
     [] {
       return std::vector<Bytes>{frames::PageHeader(0xFC, 0), frames::PageData(0xFC, 0),
                                 frames::PageHeader(0xFC, 0), frames::PageData(0xFC, 0)};
     },
     "written again without an erase"},
    {"closing frame bytes", Before::kDataMode,
     [] {
       return std::vector<Bytes>{frames::ClosingHeader(),
                                 {static_cast<std::uint8_t>(frames::ClosingData()[0] ^ 0xFF), 0}};
     },
     "not the first two bytes of bank 0xDF"},
    {"closing frame bank", Before::kDataMode,
     [] {
       return std::vector<Bytes>{{0x00, 0x02, 0xFC, 0x00, 0x00}, frames::ClosingData()};
     },
     "expected bank 0xDF offset 0x0000"},
};

class RefusalTest : public SimTest, public ::testing::WithParamInterface<Refusal> {
 protected:
  void RunUpTo(Before before) {
    velka->SetPower(true);
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_EQ(Exchange(frames::kSync), Bytes{'F'});
    Line(19200, kFtStopBits1);
    if (before == Before::kSynced) return;
    ASSERT_EQ(Exchange(frames::kCalibrationOff), Bytes{'i'});
    if (before == Before::kCalibrated) return;
    ASSERT_EQ(Exchange(frames::kProbe), Bytes{'i'});
    if (before == Before::kProbed) return;
    ASSERT_NO_FATAL_FAILURE(Download());
    if (before == Before::kDownloaded) return;
    ASSERT_NO_FATAL_FAILURE(StartLoader());
    if (before == Before::kLoaderStarted) return;
    ASSERT_NO_FATAL_FAILURE(Erase());
    if (before == Before::kErased) return;
    ASSERT_EQ(Exchange(frames::kDataMode), Bytes{'d'});
  }
};

// Each wrong frame is recorded once, and the device answers nothing to it (the frames
// before it in the same case are answered as usual).
TEST_P(RefusalTest, WrongFrameIsRefusedAndRecorded) {
  const Refusal& refusal = GetParam();
  ASSERT_NO_FATAL_FAILURE(RunUpTo(refusal.before));
  ASSERT_TRUE(ViolationTexts().empty());
  const std::vector<Bytes> writes = refusal.frames();
  Bytes last_reply;
  for (const Bytes& write : writes) {
    Send(write);
    Wait(write.size() > 5 ? 60 : 0);
    last_reply = Read();
  }
  Wait(100);
  const Bytes late = Read();
  last_reply.insert(last_reply.end(), late.begin(), late.end());
  EXPECT_EQ(last_reply, Bytes{}) << "the wrong frame was answered";
  const auto violations = velka->Violations();
  ASSERT_EQ(violations.size(), 1u);
  EXPECT_NE(violations[0].text.find(refusal.says), std::string::npos) << violations[0].text;
  EXPECT_NE(violations[0].ToString().find(" ms: "), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Frames, RefusalTest, ::testing::ValuesIn(kRefusals), [](const auto& info) {
  std::string name;
  for (const char* c = info.param.name; *c; ++c) {
    if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
  }
  return name;
});

// After a refused frame the device listens again once the line was quiet: the right
// frame is then taken.
TEST_F(SimTest, RightFrameAfterARefusedOneIsTaken) {
  velka->SetPower(true);
  ASSERT_NO_FATAL_FAILURE(Open());
  ASSERT_EQ(Exchange(frames::kSync), Bytes{'F'});
  Line(19200, kFtStopBits1);
  ASSERT_EQ(Exchange(frames::kCalibrationOff), Bytes{'i'});
  ASSERT_EQ(Exchange(frames::kProbe), Bytes{'i'});
  Bytes bad = frames::Chunk(0);
  bad[0] = 0x46;  // a reply read over the frame's opcode, then sent again
  EXPECT_EQ(Exchange(bad, 100), Bytes{});
  EXPECT_EQ(Exchange(frames::Chunk(0), 100), Bytes{'i'});
  EXPECT_EQ(velka->Violations().size(), 1u);
}

}  // namespace

namespace {

// Switched on in the middle of a frame, the boot ROM hears its tail and whatever else
// comes before a whole SyncFrame; none of that is a fault.
TEST_F(SimTest, WaitingForSyncIgnoresFragmentsAndJunk) {
  velka->SetPower(true);
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(Exchange({0x77, 0x88}), Bytes{});
  EXPECT_EQ(Exchange({0x00, 0x55, 0x66, 0x12, 0x9F, 0x90}), Bytes{});
  EXPECT_EQ(Exchange({0x55, 0x00, 0x55, 0x66, 0x77, 0x88}), Bytes{'F'});
  EXPECT_TRUE(ViolationTexts().empty());
  // Sent again (its 'F' was missed), the SyncFrame is answered again.
  EXPECT_EQ(Exchange(frames::kSync), Bytes{'F'});
  EXPECT_TRUE(ViolationTexts().empty());
}

}  // namespace
