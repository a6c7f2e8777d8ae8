#include "app/updater_form.h"

#include "app/texts.h"
#include "resources/resources.h"
#include "sequencer/messages.h"
#include "sequencer/sequencer.h"

TUpdater* Updater = nullptr;

namespace {

constexpr TFontDesign kFormFont{"MS Sans Serif", -11, false, clWindowText};
constexpr TFontDesign kButtonFont{"MS Sans Serif", -16, true, clWindowText};
constexpr TFontDesign kInfoFont{"MS Sans Serif", -16, true, clBackground};

const FormDesign kDesign{
    .caption = "TALVEK Updater",
    .client_width = 429,
    .client_height = 407,
    .border_style = bsSingle,
    .border_icons = biSystemMenu | biMinimize,
    .position = poDesktopCenter,
    .form_style = fsNormal,
    .scaled = false,
    .design_text_height = 13,
    .color = clBtnFace,
    .font = kFormFont,
    .icon = {talvek_icon_ico, talvek_icon_ico_size},
    .old_create_order = false,
};

const ImageDesign kImgStart{
    .name = "imgStart",
    .left = 16,
    .top = 16,
    .width = 400,
    .height = 150,
    .picture = {talvek_banner_bmp, talvek_banner_bmp_size},
    .center = true,
    .proportional = true,
    .stretch = false,
};

const ButtonDesign kBtStart{
    .name = "btStart",
    .left = 16,
    .top = 176,
    .width = 400,
    .height = 57,
    .font = kButtonFont,
    .caption = "btStart",
    .tab_order = 0,
    .is_default = false,
    .cancel = false,
};

const LabelDesign kLbInfo{
    .name = "lbInfo",
    .left = 16,
    .top = 248,
    .width = 401,
    .height = 129,
    .font = kInfoFont,
    .auto_size = false,
    .word_wrap = true,
    .parent_color = true,
    .color = clBtnFace,
};

const TimerDesign kTimer1{.name = "Timer1", .enabled = false, .interval_ms = 100};

const ProgressBarDesign kProgressBar1{
    .name = "ProgressBar1",
    .left = 8,
    .top = 376,
    .width = 409,
    .height = 25,
    .min = 0,
    .max = 100,
    .smooth = true,
    .step = 1,
    .position = 0,
    .tab_order = 1,
};

const TimerDesign kTimer2{.name = "Timer2", .enabled = true, .interval_ms = 750};

}  // namespace

TUpdater::TUpdater(TComponent* Owner) : TForm(Owner, kDesign) {
  imgStart = new TImage(this, kImgStart);
  btStart = new TButton(this, kBtStart);
  btStart->OnClick = [this](TObject* sender) { btStartClick(sender); };
  lbInfo = new TLabel(this, kLbInfo);
  Timer1 = new TTimer(this, kTimer1);
  Timer1->OnTimer = [this](TObject* sender) { Timer1Timer(sender); };
  ProgressBar1 = new TProgressBar(this, kProgressBar1);
  Timer2 = new TTimer(this, kTimer2);
  Timer2->OnTimer = [this](TObject* sender) { Timer2Timer(sender); };
  OnCreate = [this](TObject* sender) { FormCreate(sender); };

  Updater->lbInfo->SetCaption(kConnectPrompt);
  UpdateState = 0;
}

void TUpdater::FormCreate(TObject* /*Sender*/) {
  Updater->SetCaption(Updater->Caption() + " " + kDeviceName + " Version: " + kFirmwareRelease);
  Updater->btStart->SetCaption(kStartCaption);
}
