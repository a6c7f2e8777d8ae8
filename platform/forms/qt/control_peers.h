#pragma once

#include <memory>

#include "platform/forms/backend.h"

namespace forms {

std::unique_ptr<ControlPeer> MakeQtLabel(TLabel& label);
std::unique_ptr<ControlPeer> MakeQtButton(TButton& button);
std::unique_ptr<ControlPeer> MakeQtImage(TImage& image);
std::unique_ptr<ControlPeer> MakeQtProgressBar(TProgressBar& bar);

}  // namespace forms
