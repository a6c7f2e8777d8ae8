#pragma once

// The step of each state that runs in a tick; each sets UpdateState and any message.

void ConnectStep();              // 1
void AskForPowerStep();          // 2
void SynchroniseStep();          // 3
void CalibrationOffStep();       // 4
void CalibrationReplyStep();     // 5
void ProbeStep();                // 6
void ProbeReplyStep();           // 7
void StartDownloadStep();        // 8
void NextChunkStep();            // 9
void ChunkReplyStep();           // 10
void StartLoaderStep();          // 11
void PrepareEraseStep();         // 12
void EraseStep();                // 13
void SecondPassStep();           // 14
void PauseStep();                // 15
void DataModeStep();             // 16
void AnnounceProgrammingStep();  // 17
void ProgramStep();              // 18
void ReportSuccessStep();        // 19
void FinishStep();               // 20
void CleanUpStep();              // 21

// Runs the step of the state held in UpdateState; none for 0 or above 21.
void RunStateStep();
