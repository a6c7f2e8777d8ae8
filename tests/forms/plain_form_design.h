#pragma once

#include "platform/forms/forms.h"

// A small fixed window with no controls of its own, for the layer's own tests.
inline const FormDesign kPlainFormDesign{
    .caption = "Probe",
    .client_width = 100,
    .client_height = 100,
    .border_style = bsSingle,
    .border_icons = biSystemMenu,
    .position = poDesigned,
    .form_style = fsNormal,
    .scaled = false,
    .design_text_height = 13,
    .color = clBtnFace,
    .font = {"MS Sans Serif", -11, false, clWindowText},
    .icon = {nullptr, 0},
    .old_create_order = false,
};
