#pragma once

#include "platform/forms/forms.h"

// The main window: banner, the one button, the prompt label and the progress bar.
class TUpdater : public TForm {
 public:
  explicit TUpdater(TComponent* Owner);

  TImage* imgStart;
  TButton* btStart;
  TLabel* lbInfo;
  TTimer* Timer1;
  TProgressBar* ProgressBar1;
  TTimer* Timer2;

  void btStartClick(TObject* Sender);  // sequencer/
  void FormCreate(TObject* Sender);
  void Timer1Timer(TObject* Sender);  // sequencer/
  void Timer2Timer(TObject* Sender);  // the prompt blinker
};

// Set before the window's constructor body runs, which reaches the window through it.
extern TUpdater* Updater;
