#pragma once

#include "platform/forms/forms.h"

// The release-notes window, shown modally at every start until OK.
class TRTFM : public TForm {
 public:
  explicit TRTFM(TComponent* Owner);

  TButton* Button1;
  TLabel* lbRTFM;

  void FormCreate(TObject* Sender);
  void Button1Click(TObject* Sender);
};

// Set before the window's constructor body runs; its handlers reach the window through it.
extern TRTFM* RTFM;
