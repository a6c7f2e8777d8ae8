#pragma once

namespace forms {

// Creates the one QApplication, unless one exists; it lives until the process ends.
void EnsureQtApplication();

}  // namespace forms
