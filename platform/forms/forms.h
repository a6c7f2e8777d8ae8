#pragma once

// The window toolkit as the program uses it: the application object, forms built from
// a design kept as data, and the label, button, picture, progress-bar and timer
// controls. Captions are code page 1252 byte strings, compared byte for byte; only the
// backend converts them for display (each LF CR pair becoming one line break).
//
// Properties are read with `Name()` and written with `SetName(value)`. Events are
// plain function objects taking the sender.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

class TObject {
 public:
  virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* sender)>;

// Owns the components created with it as owner and destroys them with itself.
class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }

 protected:
  // Destroys the owned components now, newest first; a form does this before its
  // own window goes, so that no control outlives the window it sits in.
  void DestroyComponents();

 private:
  void Release(TComponent* owned);

  TComponent* owner_;
  std::vector<TComponent*> owned_;
};

// The toolkit's exception class; its message is shown by TApplication::ShowException.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// System colours, resolved by the backend.
enum TColor { clBtnFace, clWindowText, clBackground };

struct TFontDesign {
  const char* name;
  int height;  // negative: character height in pixels, as designed
  bool bold;
  TColor color;
};

enum TBorderStyle { bsSingle, bsSizeable };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
using TBorderIcons = unsigned;
enum TPosition { poDesigned, poScreenCenter, poDesktopCenter };
enum TFormStyle { fsNormal, fsStayOnTop };

inline constexpr int mrNone = 0;
inline constexpr int mrCancel = 2;

// Bytes of a resource built into the program (a bitmap, an icon).
struct ResourceBytes {
  const unsigned char* data;
  std::size_t size;
};

struct FormDesign {
  const char* caption;
  int client_width;
  int client_height;
  TBorderStyle border_style;
  TBorderIcons border_icons;
  TPosition position;
  TFormStyle form_style;
  bool scaled;  // scale to the system font size from 96 pixels per inch
  int design_text_height;
  TColor color;
  TFontDesign font;
  ResourceBytes icon;
  bool old_create_order;  // always off: OnCreate runs after the constructor body
};

struct LabelDesign {
  const char* name;
  int left, top, width, height;
  TFontDesign font;
  bool auto_size;
  bool word_wrap;
  bool parent_color;
  TColor color;  // used when parent_color is off
};

struct ButtonDesign {
  const char* name;
  int left, top, width, height;
  TFontDesign font;
  const char* caption;
  int tab_order;
  bool is_default;
  bool cancel;
};

struct ImageDesign {
  const char* name;
  int left, top, width, height;
  ResourceBytes picture;  // a device-independent bitmap file
  bool center;
  bool proportional;
  bool stretch;
};

struct ProgressBarDesign {
  const char* name;
  int left, top, width, height;
  int min, max;
  bool smooth;
  int step;
  int position;
  int tab_order;
};

struct TimerDesign {
  const char* name;
  bool enabled;
  std::uint32_t interval_ms;
};

namespace forms {
class FormPeer;
class ControlPeer;
}  // namespace forms

class TForm;

class TControl : public TComponent {
 public:
  TControl(TForm* owner, const char* name, int left, int top, int width, int height);
  ~TControl() override;

  const std::string& Name() const { return name_; }
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  TForm* Form() const { return form_; }
  forms::ControlPeer* Peer() const { return peer_.get(); }

 protected:
  void AttachPeer(std::unique_ptr<forms::ControlPeer> peer);
  void Changed();  // tells the peer that a property changed

 private:
  TForm* form_;
  std::string name_;
  int left_, top_, width_, height_;
  bool visible_ = true;
  std::unique_ptr<forms::ControlPeer> peer_;
};

class TLabel : public TControl {
 public:
  TLabel(TForm* owner, const LabelDesign& design);
  const LabelDesign& Design() const { return design_; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);

 private:
  LabelDesign design_;
  std::string caption_;
};

class TButton : public TControl {
 public:
  TButton(TForm* owner, const ButtonDesign& design);
  const ButtonDesign& Design() const { return design_; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  // A press of the button by the user: runs OnClick.
  void Click();

  TNotifyEvent OnClick;

 private:
  ButtonDesign design_;
  std::string caption_;
};

class TImage : public TControl {
 public:
  TImage(TForm* owner, const ImageDesign& design);
  const ImageDesign& Design() const { return design_; }

 private:
  ImageDesign design_;
};

class TProgressBar : public TControl {
 public:
  TProgressBar(TForm* owner, const ProgressBarDesign& design);
  const ProgressBarDesign& Design() const { return design_; }
  int Min() const { return design_.min; }
  int Max() const { return design_.max; }
  int Position() const { return position_; }
  // Clamped to Min..Max; painted at once, also while a handler holds the GUI thread.
  void SetPosition(int position);

 private:
  ProgressBarDesign design_;
  int position_;
};

// Ticks as a window message: never inside a running handler; ticks that fell due
// while a handler ran are not made up. Enabling it or setting its interval starts
// its count afresh.
class TTimer : public TComponent {
 public:
  TTimer(TForm* owner, const TimerDesign& design);
  ~TTimer() override;
  const std::string& Name() const { return name_; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  std::uint32_t Interval() const { return interval_ms_; }
  void SetInterval(std::uint32_t interval_ms);
  // Counts only when enabled and with a non-zero interval; a tick without OnTimer does nothing.
  bool Active() const { return enabled_ && interval_ms_ > 0; }

  TNotifyEvent OnTimer;

  // For the event loops: when the next tick falls due, on the clock's microsecond line.
  std::uint64_t DueUs() const { return due_us_; }
  // For the event loops: runs one tick and counts the next from `now_us`.
  void Tick(std::uint64_t now_us);

 private:
  void Restart();

  std::string name_;
  bool enabled_;
  std::uint32_t interval_ms_;
  std::uint64_t due_us_ = 0;
};

class TForm : public TComponent {
 public:
  TForm(TComponent* owner, const FormDesign& design);
  ~TForm() override;

  const FormDesign& Design() const { return design_; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  bool Visible() const { return visible_; }
  void Show();
  void Hide();
  // Shows the form modally: every other window of the program is disabled and a
  // nested message loop runs until ModalResult is set. Returns ModalResult.
  int ShowModal();
  int ModalResult() const { return modal_result_; }
  void SetModalResult(int result);
  // On a modal form: ModalResult becomes mrCancel. On the main form: the application
  // ends once the running handler has returned. Otherwise the form is hidden.
  void Close();
  bool Modal() const { return modal_; }

  TNotifyEvent OnCreate;

  forms::FormPeer* Peer() const { return peer_.get(); }
  // Controls of this form in creation order; for backends and tests.
  const std::vector<TControl*>& Controls() const { return controls_; }
  const std::vector<TTimer*>& Timers() const { return timers_; }

 private:
  friend class TControl;
  friend class TTimer;

  FormDesign design_;
  std::string caption_;
  bool visible_ = false;
  bool modal_ = false;
  int modal_result_ = mrNone;
  std::unique_ptr<forms::FormPeer> peer_;
  std::vector<TControl*> controls_;
  std::vector<TTimer*> timers_;
};

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;

  void Initialize();
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);

  // Creates a form of class T owned by the application. `reference` holds the new
  // form before its constructor body runs; OnCreate runs after the constructor. The
  // first form created becomes the main form.
  template <class T>
  void CreateForm(T*& reference);

  // Shows the main form and dispatches messages until the main form is closed.
  void Run();
  // An error box: the title as caption, the message (with "." appended when it is not
  // empty and its last character sorts after "."), a stop icon and an OK button.
  void ShowException(const Exception& e);

  TForm* MainForm() const { return main_form_; }
  // Ends Run once the running handler has returned (the main form's Close).
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Destroys every form; the program's end, or a test starting afresh.
  void DestroyForms();

 private:
  void Adopt(TForm* form);

  std::string title_;
  TForm* main_form_ = nullptr;
  bool terminated_ = false;
};

// The application object; valid for the whole program.
extern TApplication* Application;

namespace forms {
// Runs an event handler as the message loop does: an exception escaping it is shown
// with Application->ShowException and the program carries on.
void RunHandler(const std::function<void()>& handler);
}  // namespace forms

template <class T>
void TApplication::CreateForm(T*& reference) {
  void* memory = ::operator new(sizeof(T));
  reference = static_cast<T*>(memory);
  T* form = nullptr;
  try {
    form = new (memory) T(this);
  } catch (...) {
    reference = nullptr;
    ::operator delete(memory);
    throw;
  }
  reference = form;
  Adopt(form);
  if (form->OnCreate) forms::RunHandler([form] { form->OnCreate(form); });
}
