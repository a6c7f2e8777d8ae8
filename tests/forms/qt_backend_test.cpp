#include "platform/forms/qt/qt_backend.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <memory>

#include "platform/forms/forms.h"
#include "platform/forms/qt/qt_widgets.h"
#include "platform/forms/virtual_loop.h"
#include "tests/forms/qt_offscreen.h"

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

class QtBackendTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { UseOffscreenQtWindows(); }
  void TearDown() override { Application->DestroyForms(); }

  ticks::VirtualClock clock_;
  forms::VirtualLoop loop_{clock_};
  std::unique_ptr<TForm> form_ = std::make_unique<TForm>(nullptr, kFormDesign);
};

TEST_F(QtBackendTest, WidgetsMirrorTheModel) {
  auto* label = new TLabel(
      form_.get(), LabelDesign{"label", 10, 20, 200, 60, kFont, false, true, true, clBtnFace});
  auto* bar = new TProgressBar(form_.get(),
                               ProgressBarDesign{"bar", 5, 150, 290, 20, 0, 100, true, 1, 0, 1});
  auto* button = new TButton(
      form_.get(), ButtonDesign{"button", 10, 90, 100, 30, kFont, "START", 0, false, false});
  QWidget* window = forms::WidgetOf(*form_);
  auto* qlabel = qobject_cast<QLabel*>(forms::WidgetOf(*label));
  auto* qbar = qobject_cast<QProgressBar*>(forms::WidgetOf(*bar));
  auto* qbutton = qobject_cast<QPushButton*>(forms::WidgetOf(*button));
  ASSERT_TRUE(window && qlabel && qbar && qbutton);

  EXPECT_EQ(qlabel->parentWidget(), window);
  EXPECT_EQ(qlabel->geometry(), QRect(10, 20, 200, 60));
  EXPECT_TRUE(qlabel->wordWrap());
  EXPECT_EQ(qbutton->text(), QString("START"));

  form_->SetCaption(
      "Fl\xFC"
      "gel");
  EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Flügel"));
  label->SetCaption("Empf\xE4nger\n\r\n\rzwei \x80");
  EXPECT_EQ(qlabel->text(), QString::fromUtf8("Empfänger\n\nzwei €"));

  form_->Show();
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(qlabel->isVisible());
  label->SetVisible(false);
  EXPECT_FALSE(qlabel->isVisible());
  label->SetVisible(true);
  EXPECT_TRUE(qlabel->isVisible());

  bar->SetPosition(42);
  EXPECT_EQ(qbar->value(), 42);
  bar->SetPosition(250);
  EXPECT_EQ(qbar->value(), 100);

  button->SetCaption("STOP");
  EXPECT_EQ(qbutton->text(), QString("STOP"));
  form_->Hide();
  EXPECT_FALSE(window->isVisible());
}

TEST_F(QtBackendTest, AClickOnTheWidgetRunsOnClickAndReportsItsException) {
  auto* button = new TButton(form_.get(),
                             ButtonDesign{"button", 10, 90, 100, 30, kFont, "Go", 0, false, false});
  int clicks = 0;
  button->OnClick = [&](TObject* sender) {
    EXPECT_EQ(sender, button);
    if (++clicks == 2) throw Exception("Adapter gone");
  };
  auto* qbutton = qobject_cast<QPushButton*>(forms::WidgetOf(*button));
  ASSERT_NE(qbutton, nullptr);
  form_->Show();
  qbutton->click();
  qbutton->click();
  EXPECT_EQ(clicks, 2);
  ASSERT_EQ(loop_.ErrorBoxes().size(), 1u);
  EXPECT_EQ(loop_.ErrorBoxes()[0].text, "Adapter gone.");
}

TEST_F(QtBackendTest, AModalFormIsApplicationModalAndASystemCloseCancelsIt) {
  QWidget* window = forms::WidgetOf(*form_);
  bool modal_on_screen = false;
  loop_.After(10, [&] {
    modal_on_screen =
        window->isVisible() && window->isModal() && QApplication::activeModalWidget() == window;
    window->close();  // as the window manager asks
  });
  EXPECT_EQ(form_->ShowModal(), mrCancel);
  EXPECT_TRUE(modal_on_screen);
  EXPECT_FALSE(window->isVisible());
}

// The real-time loop, driven here by handlers that let virtual time go by, so nothing
// waits on the wall clock.
class QtEventLoopTest : public QtBackendTest {
 protected:
  void SetUp() override {
    ticks::Use(clock_);
    forms::UseQtEventLoop();
  }
  void TearDown() override {
    forms::InstallLoop(&loop_);
    QtBackendTest::TearDown();
  }
};

TEST_F(QtEventLoopTest, ModalLoopDispatchesTimersOneAtATime) {
  TForm modal(nullptr, kFormDesign);
  int ticks_seen = 0;
  bool in_handler = false;
  std::vector<std::uint32_t> at;
  auto* timer = new TTimer(form_.get(), TimerDesign{"timer", true, 100});
  timer->OnTimer = [&](TObject*) {
    EXPECT_FALSE(in_handler);
    in_handler = true;
    at.push_back(GetTickCount());
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

TEST_F(QtEventLoopTest, ASystemCloseOfTheMainFormEndsRun) {
  Application->CreateForm(MainProbe);
  int ticks_seen = 0;
  (new TTimer(MainProbe, TimerDesign{"timer", true, 100}))->OnTimer = [&](TObject*) {
    clock_.Pass(100'000);
    if (++ticks_seen == 2) forms::WidgetOf(*MainProbe)->close();
  };
  clock_.AdvanceTo(100'000);
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_EQ(ticks_seen, 2);
}

}  // namespace
