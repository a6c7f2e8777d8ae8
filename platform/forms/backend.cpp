#include "platform/forms/backend.h"

namespace forms {
namespace {

Toolkit* toolkit = nullptr;
EventLoop* loop = nullptr;

}  // namespace

void InstallToolkit(Toolkit* kit) { toolkit = kit; }
Toolkit* CurrentToolkit() { return toolkit; }
void InstallLoop(EventLoop* l) { loop = l; }
EventLoop* CurrentLoop() { return loop; }

}  // namespace forms
