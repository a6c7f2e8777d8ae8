// talvek-updater.exe as a user meets it: started beside a stand-in FTD2XX.DLL that holds
// the simulated Velka, driven through its windows from outside, on the real clock.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "app/texts.h"
#include "platform/forms/win32/system_text.h"
#include "sequencer/messages.h"
#include "tests/windows/updater_exe/screen_capture.h"
// After <windows.h>, which it needs.
#include <commctrl.h>

namespace {

const std::string kRunFolder = TALVEK_END_TO_END_DIR;
const std::string kScreenshots = TALVEK_SCREENSHOT_DIR;
const std::string kMainTitle =
    kApplicationTitle + " " + kDeviceName + " Version: " + kFirmwareRelease;
constexpr DWORD kPollMs = 50;

std::string TextOf(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

bool ClassIs(HWND window, const char* name) {
  char found[64] = {};
  GetClassNameA(window, found, sizeof found);
  return lstrcmpiA(found, name) == 0;
}

// The program's visible top-level windows.
std::vector<HWND> VisibleForms(DWORD process_id) {
  struct Search {
    DWORD process_id;
    std::vector<HWND> found;
  } search{process_id, {}};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s.process_id && IsWindowVisible(window) && ClassIs(window, "TalvekForm")) {
          s.found.push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The form's child of that window class showing that text, if any.
HWND Child(HWND form, const char* window_class, const std::string& text) {
  struct Search {
    const char* window_class;
    const std::string& text;
    HWND found = nullptr;
  } search{window_class, text};
  EnumChildWindows(
      form,
      [](HWND window, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        if (ClassIs(window, s.window_class) && TextOf(window) == s.text) s.found = window;
        return s.found == nullptr;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindChild(HWND form, const char* window_class) {
  return FindWindowExA(form, nullptr, window_class, nullptr);
}

class UpdaterExe : public ::testing::Test {
 protected:
  // The program in a folder of this test's own, with the stand-in library beside it
  // (where the system looks first) or with none.
  void Start(bool with_library) {
    const std::string folder =
        kRunFolder + "\\" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    exe_ = folder + "\\talvek-updater.exe";
    verdict_ = folder + "\\verdict.txt";
    CreateDirectoryA(kRunFolder.c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA(kScreenshots.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(TALVEK_UPDATER_EXE, exe_.c_str(), FALSE));
    const std::string library = folder + "\\FTD2XX.dll";
    if (with_library) {
      ASSERT_TRUE(CopyFileA(TALVEK_STAND_IN_DLL, library.c_str(), FALSE));
    } else {
      DeleteFileA(library.c_str());
    }
    DeleteFileA(verdict_.c_str());
    SetEnvironmentVariableA("TALVEK_STAND_IN_VERDICT", verdict_.c_str());

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + exe_ + "\"";
    ASSERT_TRUE(CreateProcessA(exe_.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder.c_str(), &startup, &process_));
    CloseHandle(process_.hThread);
  }

  void TearDown() override {
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.hProcess, 99);
      WaitForSingleObject(process_.hProcess, INFINITE);
    }
    CloseHandle(process_.hProcess);
  }

  bool Running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

  // Polls until `done`, the program ends, or `limit_ms` of real time has passed.
  bool WaitUntil(const std::function<bool()>& done, DWORD limit_ms) const {
    const ULONGLONG end = GetTickCount64() + limit_ms;
    while (!done()) {
      if (!Running() || GetTickCount64() > end) return done();
      Sleep(kPollMs);
    }
    return true;
  }

  // The one visible form, once it is the only one and carries `caption`.
  HWND WaitForForm(const std::string& caption, DWORD limit_ms) const {
    HWND form = nullptr;
    WaitUntil(
        [&] {
          const std::vector<HWND> forms = VisibleForms(process_.dwProcessId);
          form = forms.size() == 1 && TextOf(forms[0]) == caption ? forms[0] : nullptr;
          return form != nullptr;
        },
        limit_ms);
    return form;
  }

  std::string ReadVerdict() const {
    std::ifstream in(verdict_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  std::string exe_;
  std::string verdict_;
  PROCESS_INFORMATION process_{};
};

TEST_F(UpdaterExe, NotesStartUpdateQuit) {
  ASSERT_NO_FATAL_FAILURE(Start(true));
  HWND notes = WaitForForm(kApplicationTitle, 30000);
  ASSERT_NE(notes, nullptr) << "the release notes come up alone";
  EXPECT_NE(Child(notes, "Static", forms::SystemText(kReleaseNotes)), nullptr);
  HWND ok = Child(notes, "Button", kNotesButtonCaption);
  ASSERT_NE(ok, nullptr);
  EXPECT_TRUE(CaptureWindow(notes, kScreenshots + "\\exe-release-notes.bmp"));
  PostMessageA(ok, BM_CLICK, 0, 0);

  HWND updater = WaitForForm(kMainTitle, 10000);
  ASSERT_NE(updater, nullptr) << "after OK, the main window alone";
  EXPECT_NE(Child(updater, "Static", forms::SystemText(kConnectPrompt)), nullptr);
  HWND start = Child(updater, "Button", kStartCaption);
  ASSERT_NE(start, nullptr);
  HWND bar = FindChild(updater, PROGRESS_CLASSA);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 0);

  const auto started = std::chrono::steady_clock::now();
  PostMessageA(start, BM_CLICK, 0, 0);
  const bool updated = WaitUntil(
      [&] { return Child(updater, "Static", forms::SystemText(kSuccessText)) != nullptr; }, 180000);
  const auto seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  ASSERT_TRUE(updated) << "after " << seconds << " s the label reads \""
                       << TextOf(FindChild(updater, "Static")) << "\"";
  std::printf("START to success: %.2f s\n", seconds);
  HWND quit = nullptr;
  EXPECT_TRUE(
      WaitUntil([&] { return (quit = Child(updater, "Button", kQuitCaption)) != nullptr; }, 5000));
  EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 100);
  EXPECT_TRUE(CaptureWindow(updater, kScreenshots + "\\exe-main-window.bmp"));
  ASSERT_NE(quit, nullptr);
  PostMessageA(quit, BM_CLICK, 0, 0);

  ASSERT_EQ(WaitForSingleObject(process_.hProcess, 10000), WAIT_OBJECT_0) << "QUIT ends it";
  DWORD exit_code = 1;
  GetExitCodeProcess(process_.hProcess, &exit_code);
  EXPECT_EQ(exit_code, 0u);
  EXPECT_EQ(ReadVerdict(), "flash equals firmware, violations: 0");
}

// Without the vendor's library the program runs on and asks for the adapter, as it does
// when the adapter is unplugged; closing the window ends it normally.
TEST_F(UpdaterExe, WithoutTheLibraryAsksForTheAdapter) {
  ASSERT_NO_FATAL_FAILURE(Start(false));
  HWND notes = WaitForForm(kApplicationTitle, 30000);
  ASSERT_NE(notes, nullptr);
  PostMessageA(Child(notes, "Button", kNotesButtonCaption), BM_CLICK, 0, 0);
  HWND updater = WaitForForm(kMainTitle, 10000);
  ASSERT_NE(updater, nullptr);
  PostMessageA(Child(updater, "Button", kStartCaption), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitUntil(
      [&] {
        return Child(updater, "Static", forms::SystemText(kAdapterNotFoundPrompt)) != nullptr;
      },
      10000));
  PostMessageA(updater, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(process_.hProcess, 10000), WAIT_OBJECT_0);
  DWORD exit_code = 1;
  GetExitCodeProcess(process_.hProcess, &exit_code);
  EXPECT_EQ(exit_code, 0u);
}

}  // namespace
