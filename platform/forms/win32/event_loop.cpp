#include <algorithm>

#include "platform/forms/backend.h"
#include "platform/forms/win32/program_clock.h"
#include "platform/forms/win32/system_text.h"
#include "platform/forms/win32/win32_backend.h"
#include "platform/forms/win32/win32_peer.h"

namespace forms {
namespace {

constexpr const char* kLoopClass = "TalvekLoop";
constexpr UINT_PTR kWakeTimer = 1;
// Timers already due: posted, since a window timer cannot fire sooner than 10 ms.
constexpr UINT kDueNow = WM_APP + 1;
constexpr std::uint64_t kLongestWaitMs = 24u * 3600 * 1000;

// One window timer on a message-only window, always set for the earliest due form
// timer. Its ticks are posted messages, dispatched by whichever loop runs (a modal
// form's, a message box's), so a tick never cuts into a handler.
class Win32EventLoop final : public EventLoop {
 public:
  Win32EventLoop() {
    WNDCLASSEXA window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = kLoopClass;
    RegisterClassExA(&window_class);
    window_ = CreateWindowExA(0, kLoopClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }

  void RunNested(const std::function<bool()>& done) override {
    Schedule();
    while (!done()) {
      MSG message;
      if (GetMessageA(&message, nullptr, 0, 0) <= 0) {
        // WM_QUIT: the session is ending; so does the program.
        Application->Terminate();
        return;
      }
      // Tab and the space bar among a window's controls, as in a dialog.
      HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
      if (root != nullptr && root != window_ && IsDialogMessageA(root, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }

  void Wake() override { PostMessageA(window_, WM_NULL, 0, 0); }

  void TimersChanged() override { Schedule(); }

  void ShowError(const std::string& caption, const std::string& text) override {
    MessageBoxA(GetActiveWindow(), SystemText(text).c_str(), SystemText(caption).c_str(),
                MB_OK | MB_ICONSTOP | MB_TASKMODAL);
  }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* loop = reinterpret_cast<Win32EventLoop*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (loop != nullptr && ((message == WM_TIMER && wparam == kWakeTimer) || message == kDueNow)) {
      if (message == kDueNow) loop->due_now_posted_ = false;
      loop->DispatchDue();
      return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
  }

  void Schedule() {
    const std::optional<std::uint64_t> earliest = EarliestTimerDueUs();
    if (!earliest) {
      KillTimer(window_, kWakeTimer);
      return;
    }
    const std::uint64_t now = ProgramNowUs();
    if (*earliest <= now) {
      KillTimer(window_, kWakeTimer);
      if (!due_now_posted_) due_now_posted_ = PostMessageA(window_, kDueNow, 0, 0) != 0;
      return;
    }
    const std::uint64_t wait_ms = std::min((*earliest - now + 999) / 1000, kLongestWaitMs);
    SetTimer(window_, kWakeTimer, static_cast<UINT>(wait_ms), nullptr);
  }

  void DispatchDue() {
    TickDueTimers();
    Schedule();
  }

  HWND window_ = nullptr;
  bool due_now_posted_ = false;
};

}  // namespace

void UseWin32EventLoop() {
  static Win32EventLoop* loop = new Win32EventLoop();
  InstallLoop(loop);
}

}  // namespace forms
