#pragma once

// The designed controls of the profile windows (`dialog.form()->bt_ok`), for tests and the
// screenshot renderer. Include this rather than the generated headers, which only this
// library's build knows how to make.
#include "ui_tdlg_register_user.h"
#include "ui_tfrm_certificate.h"
#include "ui_tfrm_diver_info.h"
#include "ui_tfrm_invite.h"
