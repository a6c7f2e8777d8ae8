#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "app/notes_form.h"
#include "app/startup.h"
#include "app/texts.h"
#include "app/updater_form.h"
#include "platform/forms/qt/qt_widgets.h"
#include "platform/forms/virtual_loop.h"
#include "tests/forms/qt_offscreen.h"

namespace {

// What the window manager is asked for, read back from the widget.
struct WindowLook {
  QSize size;
  bool fixed_size;
  bool system_menu, minimise, maximise, close, stay_on_top;
  QString title;
  QPoint centre_offset;  // from the centre of the screen area it was centred on
  QString screenshot;
  QSize screenshot_size;
};

WindowLook LookOf(QWidget* window, const QRect& area, const char* name) {
  const Qt::WindowFlags flags = window->windowFlags();
  WindowLook look{};
  look.size = window->size();
  look.fixed_size = window->minimumSize() == window->maximumSize();
  look.system_menu = flags.testFlag(Qt::WindowSystemMenuHint);
  look.minimise = flags.testFlag(Qt::WindowMinimizeButtonHint);
  look.maximise = flags.testFlag(Qt::WindowMaximizeButtonHint);
  look.close = flags.testFlag(Qt::WindowCloseButtonHint);
  look.stay_on_top = flags.testFlag(Qt::WindowStaysOnTopHint);
  look.title = window->windowTitle();
  look.centre_offset = window->geometry().center() - area.center();
  QDir().mkpath(TALVEK_SCREENSHOT_DIR);
  look.screenshot = QString(TALVEK_SCREENSHOT_DIR) + "/" + name + ".png";
  window->grab().save(look.screenshot, "PNG");
  look.screenshot_size = QImage(look.screenshot).size();
  return look;
}

class WindowsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { UseOffscreenQtWindows(); }

  ticks::VirtualClock clock_;
  forms::VirtualLoop loop_{clock_};
};

TEST_F(WindowsTest, BothWindowsAsDesignedOnRealWidgets) {
  QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  WindowLook notes{}, main{};
  bool notes_modal = false, main_hidden_during_notes = false;
  QString notes_text, prompt, button;
  bool banner_drawn = false, label_hides = false, label_shows_again = false;
  int bar_value = -1;

  loop_.After(100, [&] {
    QWidget* window = forms::WidgetOf(*RTFM);
    notes_modal = window->isVisible() && QApplication::activeModalWidget() == window;
    main_hidden_during_notes = !forms::WidgetOf(*Updater)->isVisible();
    notes_text = qobject_cast<QLabel*>(forms::WidgetOf(*RTFM->lbRTFM))->text();
    notes = LookOf(window, screen->geometry(), "release-notes");
    qobject_cast<QPushButton*>(forms::WidgetOf(*RTFM->Button1))->click();
  });
  loop_.After(200, [&] {
    QWidget* window = forms::WidgetOf(*Updater);
    prompt = qobject_cast<QLabel*>(forms::WidgetOf(*Updater->lbInfo))->text();
    button = qobject_cast<QPushButton*>(forms::WidgetOf(*Updater->btStart))->text();
    bar_value = qobject_cast<QProgressBar*>(forms::WidgetOf(*Updater->ProgressBar1))->value();
    main = LookOf(window, screen->virtualGeometry(), "main-window");
    // Inside the banner, away from the lettering: the sky, not the window's grey.
    const QImage shot(main.screenshot);
    banner_drawn = shot.pixelColor(16 + 200, 16 + 5) !=
                   forms::WidgetOf(*Updater)->palette().color(QPalette::Window);
  });
  loop_.After(760, [&] { label_hides = !forms::WidgetOf(*Updater->lbInfo)->isVisible(); });
  loop_.After(860, [&] {
    label_shows_again = forms::WidgetOf(*Updater->lbInfo)->isVisible();
    forms::WidgetOf(*Updater)->close();  // the close box
  });

  EXPECT_EQ(UpdaterMain(), 0);
  EXPECT_FALSE(loop_.Expired());

  EXPECT_TRUE(notes_modal);
  EXPECT_TRUE(main_hidden_during_notes);
  EXPECT_EQ(notes_text, forms::ToQString(kReleaseNotes));
  EXPECT_EQ(notes.title, QString("TALVEK Updater"));
  EXPECT_EQ(notes.size, QSize(640, 409));
  EXPECT_FALSE(notes.fixed_size);
  EXPECT_FALSE(notes.system_menu || notes.minimise || notes.maximise || notes.close);
  EXPECT_TRUE(notes.stay_on_top);
  EXPECT_LE(notes.centre_offset.manhattanLength(), 40);
  EXPECT_EQ(notes.screenshot_size, QSize(640, 409));

  EXPECT_EQ(main.title, QString("TALVEK Updater Velka Version: 4.4"));
  EXPECT_EQ(main.size, QSize(429, 407));
  EXPECT_TRUE(main.fixed_size);
  EXPECT_TRUE(main.system_menu && main.minimise && main.close);
  EXPECT_FALSE(main.maximise);
  EXPECT_FALSE(main.stay_on_top);
  EXPECT_LE(main.centre_offset.manhattanLength(), 40);
  EXPECT_EQ(main.screenshot_size, QSize(429, 407));
  EXPECT_TRUE(banner_drawn);
  EXPECT_EQ(prompt, QString::fromUtf8("Connect update adapter and press START.\n\nUpdate Adaper "
                                      "anschliessen und START drücken."));
  EXPECT_EQ(button, QString("START"));
  EXPECT_EQ(bar_value, 0);
  EXPECT_TRUE(label_hides);
  EXPECT_TRUE(label_shows_again);
}

TEST_F(WindowsTest, ControlsSitWhereTheDesignPutsThem) {
  Application->CreateForm(Updater);
  const auto geometry = [](const TControl* control) {
    return forms::WidgetOf(*control)->geometry();
  };
  EXPECT_EQ(geometry(Updater->imgStart), QRect(16, 16, 400, 150));
  EXPECT_EQ(geometry(Updater->btStart), QRect(16, 176, 400, 57));
  EXPECT_EQ(geometry(Updater->lbInfo), QRect(16, 248, 401, 129));
  EXPECT_EQ(geometry(Updater->ProgressBar1), QRect(8, 376, 409, 25));
  auto* info = qobject_cast<QLabel*>(forms::WidgetOf(*Updater->lbInfo));
  EXPECT_TRUE(info->wordWrap());
  EXPECT_EQ(info->font().pixelSize(), 16);
  EXPECT_TRUE(info->font().bold());
  EXPECT_EQ(info->palette().color(QPalette::WindowText), QColor(0x3A, 0x6E, 0xA5));
  auto* banner = qobject_cast<QLabel*>(forms::WidgetOf(*Updater->imgStart));
  EXPECT_EQ(banner->pixmap().size(), QSize(400, 150));
  EXPECT_FALSE(forms::WidgetOf(*Updater)->windowIcon().isNull());
  Application->DestroyForms();
  Updater = nullptr;
}

}  // namespace
