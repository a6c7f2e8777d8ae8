#include "app/startup.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "app/notes_form.h"
#include "app/texts.h"
#include "app/updater_form.h"
#include "platform/forms/virtual_loop.h"
#include "sequencer/sequencer.h"

namespace {

// Captions of the forms shown.
std::vector<std::string> VisibleForms() {
  std::vector<std::string> visible;
  for (const TForm* form : forms::LiveForms()) {
    if (form->Visible()) visible.push_back(form->Caption());
  }
  return visible;
}

class StartupTest : public ::testing::Test {
 protected:
  ticks::VirtualClock clock_;
  forms::VirtualLoop loop_{clock_};
};

TEST_F(StartupTest, NotesComeAloneAndModalThenTheMainWindowAfterOk) {
  UpdateState = 7;
  struct {
    bool notes_modal = false;
    std::vector<std::string> visible;
    bool main_created_hidden = false;
    std::string notes;
    std::string caption, button, prompt;
    std::uint8_t state = 0xFF;
    bool timer1 = true;
  } during_notes;
  loop_.After(1000, [&] {
    during_notes.notes_modal = RTFM->Modal();
    during_notes.visible = VisibleForms();
    during_notes.main_created_hidden =
        Updater != nullptr && !Updater->Visible() && Application->MainForm() == Updater;
    during_notes.notes = RTFM->lbRTFM->Caption();
    during_notes.caption = Updater->Caption();
    during_notes.button = Updater->btStart->Caption();
    during_notes.prompt = Updater->lbInfo->Caption();
    during_notes.state = UpdateState;
    during_notes.timer1 = Updater->Timer1->Enabled();
    RTFM->Button1->Click();
  });
  struct {
    std::vector<std::string> visible;
    bool notes_modal = true;
    std::string caption, button, prompt;
    int position = -1;
  } after_ok;
  loop_.After(1001, [&] {
    after_ok.visible = VisibleForms();
    after_ok.notes_modal = RTFM->Modal();
    after_ok.caption = Updater->Caption();
    after_ok.button = Updater->btStart->Caption();
    after_ok.prompt = Updater->lbInfo->Caption();
    after_ok.position = Updater->ProgressBar1->Position();
    Updater->Close();
  });

  EXPECT_EQ(UpdaterMain(), 0);

  EXPECT_TRUE(during_notes.notes_modal);
  EXPECT_EQ(during_notes.visible, std::vector<std::string>{"TALVEK Updater"});
  EXPECT_TRUE(during_notes.main_created_hidden);
  EXPECT_EQ(during_notes.notes, kReleaseNotes);
  // The main window is complete before it is first shown.
  EXPECT_EQ(during_notes.caption, "TALVEK Updater Velka Version: 4.4");
  EXPECT_EQ(during_notes.button, "START");
  EXPECT_EQ(during_notes.prompt, kConnectPrompt);
  EXPECT_EQ(during_notes.state, 0);
  EXPECT_FALSE(during_notes.timer1);

  EXPECT_EQ(after_ok.visible, std::vector<std::string>{"TALVEK Updater Velka Version: 4.4"});
  EXPECT_FALSE(after_ok.notes_modal);
  EXPECT_EQ(after_ok.button, "START");
  EXPECT_EQ(after_ok.prompt, kConnectPrompt);
  EXPECT_EQ(after_ok.position, 0);

  EXPECT_FALSE(loop_.Expired());
  EXPECT_TRUE(loop_.ErrorBoxes().empty());
  EXPECT_EQ(GetTickCount(), 1001u);
  EXPECT_EQ(Updater, nullptr) << "the windows go with the program's end";
  EXPECT_TRUE(forms::LiveForms().empty());
}

TEST_F(StartupTest, TheBlinkerRunsWhileTheNotesAreUp) {
  std::vector<std::pair<std::uint32_t, bool>> blinks;
  loop_.After(0, [&] {
    auto blinker = Updater->Timer2->OnTimer;
    Updater->Timer2->OnTimer = [&blinks, blinker](TObject* sender) {
      blinker(sender);
      blinks.emplace_back(GetTickCount(), Updater->lbInfo->Visible());
    };
  });
  loop_.After(2000, [] { RTFM->Button1->Click(); });
  loop_.After(2001, [] { Updater->Close(); });
  EXPECT_EQ(UpdaterMain(), 0);
  const std::vector<std::pair<std::uint32_t, bool>> expected = {
      {750, false}, {850, true}, {1850, false}, {1950, true}};
  EXPECT_EQ(blinks, expected);
}

TEST_F(StartupTest, ClosingTheNotesBySystemRequestAlsoGoesOn) {
  bool main_shown = false;
  loop_.After(500, [] { RTFM->Close(); });
  loop_.After(501, [&] {
    main_shown = Updater->Visible();
    Updater->Close();
  });
  EXPECT_EQ(UpdaterMain(), 0);
  EXPECT_TRUE(main_shown);
}

struct FailureCase {
  const char* name;
  std::function<void()> throw_it;
  std::string text;
};

class StartupFailureTest : public StartupTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(StartupFailureTest, AnErrorBoxIsAllThereIsAndTheExitCodeIsZero) {
  // Building the main window fails after it has been created, before the notes.
  const auto failing = [] {
    Application->CreateForm(Updater);
    GetParam().throw_it();
  };
  EXPECT_EQ(UpdaterMain(failing), 0);
  ASSERT_EQ(loop_.ErrorBoxes().size(), 1u);
  EXPECT_EQ(loop_.ErrorBoxes()[0].caption, "TALVEK Updater");
  EXPECT_EQ(loop_.ErrorBoxes()[0].text, GetParam().text);
  // No message loop ran, so no window was ever shown.
  EXPECT_EQ(clock_.NowUs(), 0u);
  EXPECT_FALSE(loop_.Expired());
  EXPECT_TRUE(forms::LiveForms().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Thrown, StartupFailureTest,
    ::testing::Values(FailureCase{"Exception",
                                  [] { throw Exception("Resource TUpdater not found"); },
                                  "Resource TUpdater not found."},
                      FailureCase{"StandardException", [] { throw std::bad_alloc(); }, ""},
                      FailureCase{"OtherObject", [] { throw 42; }, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
