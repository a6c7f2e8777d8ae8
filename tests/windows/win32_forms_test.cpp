#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/notes_form.h"
#include "app/texts.h"
#include "app/updater_form.h"
#include "platform/forms/forms.h"
#include "platform/forms/virtual_loop.h"
#include "platform/forms/win32/system_text.h"
#include "platform/forms/win32/win32_backend.h"
#include "tests/windows/window_probe.h"

namespace {

constexpr TFontDesign kFont{"MS Sans Serif", -16, true, clWindowText};

const FormDesign kFormDesign{
    .caption = "Probe",
    .client_width = 300,
    .client_height = 200,
    .border_style = bsSingle,
    .border_icons = biSystemMenu,
    .position = poScreenCenter,
    .form_style = fsNormal,
    .scaled = false,
    .design_text_height = 13,
    .color = clBtnFace,
    .font = kFont,
    .icon = {nullptr, 0},
    .old_create_order = false,
};

class Win32BackendTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { forms::UseWin32Windows(); }
  void TearDown() override { Application->DestroyForms(); }

  ticks::VirtualClock clock_;
  forms::VirtualLoop loop_{clock_};
  std::unique_ptr<TForm> form_ = std::make_unique<TForm>(nullptr, kFormDesign);
};

TEST_F(Win32BackendTest, WindowsMirrorTheModel) {
  auto* label = new TLabel(
      form_.get(), LabelDesign{"label", 10, 20, 200, 60, kFont, false, true, true, clBtnFace});
  auto* bar = new TProgressBar(form_.get(),
                               ProgressBarDesign{"bar", 5, 150, 290, 20, 0, 100, true, 1, 0, 1});
  auto* button = new TButton(
      form_.get(), ButtonDesign{"button", 10, 90, 100, 30, kFont, "START", 0, false, false});

  EXPECT_TRUE(probe::ChildOf(*label, *form_));
  EXPECT_EQ(probe::Place(*label), (probe::Box{10, 20, 200, 60}));
  EXPECT_EQ(probe::Text(*button), "START");
  const probe::Font font = probe::FontOf(*button);
  EXPECT_EQ(font.face, "MS Sans Serif");
  EXPECT_EQ(font.height, -16);
  EXPECT_TRUE(font.bold);

  // Bytes go to the system unchanged, with each LF CR as the CR LF a static control shows.
  form_->SetCaption(
      "Fl\xFC"
      "gel");
  EXPECT_EQ(probe::Text(*form_), "Fl\xFCgel");
  label->SetCaption("Empf\xE4nger\n\r\n\rzwei \x80");
  EXPECT_EQ(probe::Text(*label), "Empf\xE4nger\r\n\r\nzwei \x80");
  EXPECT_EQ(label->Caption(), "Empf\xE4nger\n\r\n\rzwei \x80");

  EXPECT_FALSE(probe::Visible(*form_));
  form_->Show();
  EXPECT_TRUE(probe::Visible(*form_));
  EXPECT_TRUE(probe::Visible(*label));
  label->SetVisible(false);
  EXPECT_FALSE(probe::Visible(*label));
  label->SetVisible(true);
  EXPECT_TRUE(probe::Visible(*label));

  bar->SetPosition(42);
  EXPECT_EQ(probe::ProgressPosition(*bar), 42);
  bar->SetPosition(250);
  EXPECT_EQ(probe::ProgressPosition(*bar), 100);

  button->SetCaption("STOP");
  EXPECT_EQ(probe::Text(*button), "STOP");
  form_->Hide();
  EXPECT_FALSE(probe::Visible(*form_));
}

TEST_F(Win32BackendTest, AClickOnTheButtonRunsOnClickAndReportsItsException) {
  auto* button = new TButton(form_.get(),
                             ButtonDesign{"button", 10, 90, 100, 30, kFont, "Go", 0, false, false});
  int clicks = 0;
  button->OnClick = [&](TObject* sender) {
    EXPECT_EQ(sender, button);
    if (++clicks == 2) throw Exception("Adapter gone");
  };
  form_->Show();
  probe::Click(*button);
  probe::Click(*button);
  EXPECT_EQ(clicks, 2);
  ASSERT_EQ(loop_.ErrorBoxes().size(), 1u);
  EXPECT_EQ(loop_.ErrorBoxes()[0].text, "Adapter gone.");
}

TEST_F(Win32BackendTest, AModalFormDisablesTheOtherWindowsAndASystemCloseCancelsIt) {
  TForm other(nullptr, kFormDesign);
  other.Show();
  bool modal_on_screen = false;
  loop_.After(10, [&] {
    modal_on_screen = probe::Visible(*form_) && probe::Enabled(*form_) && !probe::Enabled(other);
    probe::SystemClose(*form_);
  });
  EXPECT_EQ(form_->ShowModal(), mrCancel);
  EXPECT_TRUE(modal_on_screen);
  EXPECT_FALSE(probe::Visible(*form_));
  EXPECT_TRUE(probe::Enabled(other));
}

TEST_F(Win32BackendTest, TheUpdaterWindowsAsDesigned) {
  Application->CreateForm(Updater);
  Updater->Show();
  EXPECT_EQ(probe::Text(*Updater), "TALVEK Updater Velka Version: 4.4");
  EXPECT_EQ(probe::Client(*Updater), (probe::Box{0, 0, 429, 407}));
  const probe::Frame main = probe::FrameOf(*Updater);
  EXPECT_FALSE(main.resizable);
  EXPECT_TRUE(main.system_menu && main.minimize_box);
  EXPECT_FALSE(main.maximize_box);
  const probe::Box outer = probe::Outer(*Updater);
  EXPECT_NEAR(2 * outer.left + outer.width, probe::DesktopWidth(), 1) << "centred";
  EXPECT_EQ(probe::Text(*Updater->lbInfo), forms::SystemText(kConnectPrompt));
  EXPECT_EQ(probe::FontOf(*Updater->lbInfo).face, "MS Sans Serif");
  EXPECT_EQ(probe::Text(*Updater->btStart), "START");

  // The notes come up modally while they are created; OK ends them.
  bool shown_modally = false;
  std::string notes_text;
  loop_.After(10, [&] {
    shown_modally = probe::Visible(*RTFM) && !probe::Enabled(*Updater);
    notes_text = probe::Text(*RTFM->lbRTFM);
    probe::Click(*RTFM->Button1);
  });
  Application->CreateForm(RTFM);
  EXPECT_TRUE(shown_modally);
  EXPECT_TRUE(probe::Enabled(*Updater));
  EXPECT_FALSE(probe::Visible(*RTFM));
  EXPECT_EQ(notes_text, forms::SystemText(kReleaseNotes));
  std::size_t breaks = 0;
  for (std::size_t at = notes_text.find("\r\n"); at != std::string::npos;
       at = notes_text.find("\r\n", at + 2)) {
    ++breaks;
  }
  EXPECT_EQ(breaks, 15u);
  // Resizable, on top, no system menu and so no close box.
  const probe::Frame notes = probe::FrameOf(*RTFM);
  EXPECT_TRUE(notes.resizable);
  EXPECT_FALSE(notes.system_menu);
  EXPECT_TRUE(notes.top_most);
  Updater = nullptr;
  RTFM = nullptr;
}

// The real-time loop, driven here by handlers that let virtual time go by, so nothing
// waits on the wall clock.
class Win32EventLoopTest : public Win32BackendTest {
 protected:
  void SetUp() override {
    ticks::Use(clock_);
    forms::UseWin32EventLoop();
  }
  void TearDown() override {
    forms::InstallLoop(&loop_);
    Win32BackendTest::TearDown();
  }
};

TEST_F(Win32EventLoopTest, ModalLoopDispatchesTimersOneAtATime) {
  TForm modal(nullptr, kFormDesign);
  int ticks_seen = 0;
  bool in_handler = false;
  std::vector<std::uint32_t> at;
  auto* timer = new TTimer(form_.get(), TimerDesign{"timer", true, 100});
  timer->OnTimer = [&](TObject*) {
    EXPECT_FALSE(in_handler);
    in_handler = true;
    at.push_back(clock_.TickMs());
    clock_.Pass(350'000);  // longer than the interval: no tick is made up
    if (++ticks_seen == 3) modal.Close();
    in_handler = false;
  };
  auto* other = new TTimer(form_.get(), TimerDesign{"other", true, 100});
  other->OnTimer = [&](TObject*) { EXPECT_FALSE(in_handler); };
  clock_.AdvanceTo(100'000);
  EXPECT_EQ(modal.ShowModal(), mrCancel);
  EXPECT_EQ(at, (std::vector<std::uint32_t>{100, 450, 800}));
}

class TMainProbe : public TForm {
 public:
  explicit TMainProbe(TComponent* owner) : TForm(owner, kFormDesign) {}
};
TMainProbe* MainProbe = nullptr;

TEST_F(Win32EventLoopTest, ASystemCloseOfTheMainFormEndsRun) {
  Application->CreateForm(MainProbe);
  int ticks_seen = 0;
  (new TTimer(MainProbe, TimerDesign{"timer", true, 100}))->OnTimer = [&](TObject*) {
    clock_.Pass(100'000);
    if (++ticks_seen == 2) probe::PostSystemClose(*MainProbe);
  };
  clock_.AdvanceTo(100'000);
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_EQ(ticks_seen, 2);
}

}  // namespace
