#include <gtest/gtest.h>

#include "app/notes_form.h"
#include "app/startup.h"
#include "app/updater_form.h"
#include "link/link.h"
#include "platform/forms/virtual_loop.h"
#include "sequencer/sequencer.h"
#include "simulator/sim_backend.h"
#include "simulator/velka.h"
#include "tests/support/recording_adapter.h"

namespace {

// Closing the main window ends the program once the running step has returned; the
// device hears nothing more and the adapter is left to the end of the process.
TEST(WindowClose, MidUpdateEndsTheProgramWithoutFurtherTraffic) {
  for (const std::uint32_t close_at_ms : {4000u, 9500u, 16000u}) {
    SCOPED_TRACE(close_at_ms);
    ticks::VirtualClock clock;
    forms::VirtualLoop loop{clock};
    sim::Velka velka{clock};
    sim::SimBackend adapter{velka};
    RecordingAdapter recorder{adapter};
    velka.SetPower(true);
    loop.After(500, [] { RTFM->Button1->Click(); });
    loop.After(600, [] { Updater->btStart->Click(); });
    std::size_t writes_at_close = 0;
    std::uint8_t state_at_close = 0;
    loop.After(close_at_ms, [&] {
      writes_at_close = recorder.writes.size();
      state_at_close = UpdateState;
      Updater->Close();
    });
    EXPECT_EQ(UpdaterMain(), 0);
    EXPECT_GE(state_at_close, 3);
    EXPECT_LE(state_at_close, 19);
    EXPECT_EQ(recorder.writes.size(), writes_at_close);
    EXPECT_EQ(recorder.closes, 0);
    EXPECT_NE(AdapterHandle, nullptr);
    CloseAdapter();  // what the end of the process would do
  }
}

}  // namespace
