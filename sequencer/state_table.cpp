#include <cstdint>

#include "sequencer/sequencer.h"
#include "sequencer/state_steps.h"

namespace {

using Step = void (*)();

constexpr Step kSteps[] = {
    nullptr,          ConnectStep,        AskForPowerStep,
    SynchroniseStep,  CalibrationOffStep, CalibrationReplyStep,
    ProbeStep,        ProbeReplyStep,     StartDownloadStep,
    NextChunkStep,    ChunkReplyStep,     StartLoaderStep,
    PrepareEraseStep, EraseStep,          SecondPassStep,
    PauseStep,        DataModeStep,       AnnounceProgrammingStep,
    ProgramStep,      ReportSuccessStep,  FinishStep,
    CleanUpStep,
};
static_assert(sizeof kSteps / sizeof kSteps[0] == 22);

}  // namespace

void RunStateStep() {
  if (UpdateState >= sizeof kSteps / sizeof kSteps[0]) return;
  if (const Step step = kSteps[UpdateState]) step();
}
