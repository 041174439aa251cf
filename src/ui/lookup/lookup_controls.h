#pragma once

// The look-up dialogs' designed controls (`dialog.ui->tlist`), for tests and the screenshot
// renderer. Include this rather than the generated headers, which only this library's build
// knows how to make.
#include "ui_tfrm_buddy_list.h"
#include "ui_tfrm_select_buddy.h"
#include "ui_tfrm_select_location.h"
#include "ui_tfrm_select_operator.h"
