#pragma once

// The main window's designed controls and actions (`Frm_Principal->ui->Ac_Lock`) and the dive
// editor's pages (`Frm_Principal->editor()->general()->bt_chk_op`), for the editor, the
// commands and the windows built on it. Include this rather than the generated headers, which
// only this library's build knows how to make.
#include "ui/main/dive_editor.h"
#include "ui_dive_editor_conditions.h"
#include "ui_dive_editor_dc_profile.h"
#include "ui_dive_editor_gear.h"
#include "ui_dive_editor_general.h"
#include "ui_dive_editor_simple.h"
#include "ui_tfrm_principal.h"
