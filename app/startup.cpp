#include "app/startup.h"

#include "app/notes_form.h"
#include "app/texts.h"
#include "app/updater_form.h"
#include "platform/forms/forms.h"

void CreateWindows() {
  Application->CreateForm(Updater);
  Application->CreateForm(RTFM);
}

int UpdaterMain() { return UpdaterMain(CreateWindows); }

int UpdaterMain(const std::function<void()>& create_windows) {
  try {
    Application->Initialize();
    Application->SetTitle(kApplicationTitle);
    create_windows();
    Application->Run();
  } catch (const Exception& e) {
    Application->ShowException(e);
  } catch (...) {
    Application->ShowException(Exception(""));
  }
  // The program's end: the application object takes its windows down.
  Application->DestroyForms();
  Updater = nullptr;
  RTFM = nullptr;
  return 0;
}
