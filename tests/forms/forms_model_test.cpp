#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "platform/forms/forms.h"
#include "platform/forms/virtual_loop.h"
#include "tests/forms/plain_form_design.h"

namespace {

const FormDesign& kFormDesign = kPlainFormDesign;

class TProbe;
TProbe* Probe = nullptr;
std::vector<std::string> events;
bool throw_in_constructor = false;
bool throw_in_create = false;

class TProbe : public TForm {
 public:
  explicit TProbe(TComponent* owner) : TForm(owner, kFormDesign) {
    button = new TButton(
        this, ButtonDesign{"button", 0, 0, 10, 10, kFormDesign.font, "OK", 0, false, false});
    events.push_back(Probe == this ? "constructor sees Probe" : "constructor without Probe");
    if (throw_in_constructor) throw Exception("no design");
    OnCreate = [](TObject* sender) {
      events.push_back(sender == Probe ? "OnCreate" : "OnCreate with another sender");
      if (throw_in_create) throw Exception("Create failed");
    };
  }
  ~TProbe() override { events.push_back("destroyed"); }
  TButton* button;
};

class FormsModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    events.clear();
    throw_in_constructor = throw_in_create = false;
    Application->SetTitle("TALVEK Updater");
  }
  void TearDown() override { Application->DestroyForms(); }

  ticks::VirtualClock clock_;
  forms::VirtualLoop loop_{clock_};
};

TEST_F(FormsModelTest, CreateFormSetsTheReferenceBeforeTheConstructorAndRunsOnCreateAfter) {
  Application->CreateForm(Probe);
  ASSERT_NE(Probe, nullptr);
  EXPECT_EQ(events, (std::vector<std::string>{"constructor sees Probe", "OnCreate"}));
  EXPECT_EQ(Application->MainForm(), Probe);
  EXPECT_FALSE(Probe->Visible());

  TProbe* first = Probe;
  Application->CreateForm(Probe);
  EXPECT_EQ(Application->MainForm(), first) << "the first form created stays the main form";

  Application->DestroyForms();
  EXPECT_EQ(std::count(events.begin(), events.end(), "destroyed"), 2);
  EXPECT_EQ(Application->MainForm(), nullptr);
  EXPECT_TRUE(forms::LiveForms().empty());
}

TEST_F(FormsModelTest, AnExceptionInOnCreateIsShownAndTheFormStays) {
  throw_in_create = true;
  Application->CreateForm(Probe);
  ASSERT_NE(Probe, nullptr);
  EXPECT_EQ(Application->MainForm(), Probe);
  ASSERT_EQ(loop_.ErrorBoxes().size(), 1u);
  EXPECT_EQ(loop_.ErrorBoxes()[0].caption, "TALVEK Updater");
  EXPECT_EQ(loop_.ErrorBoxes()[0].text, "Create failed.");
}

TEST_F(FormsModelTest, AnExceptionInTheConstructorPropagatesAndLeavesNoForm) {
  throw_in_constructor = true;
  EXPECT_THROW(Application->CreateForm(Probe), Exception);
  EXPECT_EQ(Probe, nullptr);
  EXPECT_EQ(Application->MainForm(), nullptr);
  EXPECT_TRUE(forms::LiveForms().empty());
  EXPECT_TRUE(loop_.ErrorBoxes().empty());
}

struct ErrorTextCase {
  std::function<void()> handler;
  std::string text;
};

class ErrorBoxTextTest : public FormsModelTest,
                         public ::testing::WithParamInterface<ErrorTextCase> {};

TEST_P(ErrorBoxTextTest, HandlerExceptionsBecomeErrorBoxesAndTheLoopCarriesOn) {
  Application->CreateForm(Probe);
  Probe->button->OnClick = [](TObject*) { GetParam().handler(); };
  int later = 0;
  loop_.After(10, [] { Probe->button->Click(); });
  loop_.After(20, [&] { ++later; });
  loop_.RunFor(30);
  ASSERT_EQ(loop_.ErrorBoxes().size(), 1u);
  EXPECT_EQ(loop_.ErrorBoxes()[0].caption, "TALVEK Updater");
  EXPECT_EQ(loop_.ErrorBoxes()[0].text, GetParam().text);
  EXPECT_EQ(later, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ErrorBoxTextTest,
    ::testing::Values(
        ErrorTextCase{[] { throw Exception("Disk full"); }, "Disk full."},
        ErrorTextCase{[] { throw Exception("Done."); }, "Done."},
        ErrorTextCase{[] { throw Exception("Stop!"); }, "Stop!"},  // '!' sorts before '.'
        ErrorTextCase{[] { throw Exception("Version 4"); }, "Version 4."},
        ErrorTextCase{[] { throw Exception("L\xF6"); }, "L\xF6."},  // a byte above 0x7F
        ErrorTextCase{[] { throw Exception(""); }, ""},
        ErrorTextCase{[] { throw std::runtime_error("bad"); }, "bad."},
        ErrorTextCase{[] { throw 42; }, ""}));

TEST_F(FormsModelTest, CloseEndsModalLoopsRunAndHidesOtherForms) {
  Application->CreateForm(Probe);
  TProbe* main = Probe;
  Application->CreateForm(Probe);
  TProbe* other = Probe;

  other->Show();
  other->Close();
  EXPECT_FALSE(other->Visible());
  EXPECT_FALSE(Application->Terminated());

  bool rest_of_handler_ran = false;
  loop_.After(100, [&] {
    main->Close();
    rest_of_handler_ran = true;
  });
  Application->Run();
  EXPECT_TRUE(main->Visible());
  EXPECT_TRUE(rest_of_handler_ran);
  EXPECT_TRUE(Application->Terminated());
  EXPECT_FALSE(loop_.Expired());
  EXPECT_EQ(GetTickCount(), 100u);
}

TEST_F(FormsModelTest, ControlsKeepTheirPropertiesWithoutABackend) {
  TForm form(nullptr, kFormDesign);
  auto* bar = new TProgressBar(&form, ProgressBarDesign{"bar", 1, 2, 3, 4, 0, 100, true, 1, 5, 0});
  auto* label = new TLabel(
      &form, LabelDesign{"label", 5, 6, 7, 8, kFormDesign.font, false, true, true, clBtnFace});
  EXPECT_EQ(form.Controls(), (std::vector<TControl*>{bar, label}));
  EXPECT_EQ(bar->Position(), 5);
  bar->SetPosition(101);
  EXPECT_EQ(bar->Position(), 100);
  bar->SetPosition(-1);
  EXPECT_EQ(bar->Position(), 0);
  label->SetCaption("a\n\rb");
  label->SetVisible(false);
  EXPECT_EQ(label->Caption(), "a\n\rb");
  EXPECT_FALSE(label->Visible());
  EXPECT_EQ(form.Peer(), nullptr);
  EXPECT_EQ(label->Peer(), nullptr);
  delete label;
  EXPECT_EQ(form.Controls(), (std::vector<TControl*>{bar}));
}

TEST_F(FormsModelTest, DestroyedTimersNoLongerTick) {
  auto form = std::make_unique<TForm>(nullptr, kFormDesign);
  int ticks_seen = 0;
  (new TTimer(form.get(), TimerDesign{"t", true, 100}))->OnTimer = [&](TObject*) { ++ticks_seen; };
  loop_.RunFor(250);
  form.reset();
  loop_.RunFor(1000);
  EXPECT_EQ(ticks_seen, 2);
}

}  // namespace
