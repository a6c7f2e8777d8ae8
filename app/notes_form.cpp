#include "app/notes_form.h"

#include "app/texts.h"
#include "resources/resources.h"

TRTFM* RTFM = nullptr;

namespace {

const FormDesign kDesign{
    .caption = "TALVEK Updater",
    // Outer 648 x 443 with the classic frame of 4 px borders and a 30 px caption.
    .client_width = 640,
    .client_height = 409,
    .border_style = bsSizeable,
    .border_icons = 0,
    .position = poScreenCenter,
    .form_style = fsStayOnTop,
    .scaled = true,
    .design_text_height = 37,
    .color = clBtnFace,
    .font = {"MS Sans Serif", -32, true, clWindowText},
    .icon = {talvek_icon_ico, talvek_icon_ico_size},
    .old_create_order = false,
};

const LabelDesign kLbRTFM{
    .name = "lbRTFM",
    .left = 12,
    .top = 24,
    .width = 613,
    .height = 321,
    .font = {"MS Sans Serif", -16, true, clBackground},
    .auto_size = false,
    .word_wrap = true,
    .parent_color = false,
    .color = clBtnFace,
};

const ButtonDesign kButton1{
    .name = "Button1",
    .left = 184,
    .top = 360,
    .width = 297,
    .height = 41,
    .font = {"MS Sans Serif", -16, true, clWindowText},
    .caption = "OK",
    .tab_order = 0,
    .is_default = false,
    .cancel = false,
};

}  // namespace

TRTFM::TRTFM(TComponent* Owner) : TForm(Owner, kDesign) {
  Button1 = new TButton(this, kButton1);
  Button1->OnClick = [this](TObject* sender) { Button1Click(sender); };
  lbRTFM = new TLabel(this, kLbRTFM);
  OnCreate = [this](TObject* sender) { FormCreate(sender); };
}

void TRTFM::FormCreate(TObject* /*Sender*/) {
  RTFM->lbRTFM->SetCaption(kReleaseNotes);
  RTFM->ShowModal();
}

void TRTFM::Button1Click(TObject* /*Sender*/) { RTFM->Close(); }
