#pragma once

// The main window's designed controls and actions (`Frm_Principal->ui->Ac_Lock`), for the
// editor, the commands and the windows built on it. Include this rather than the generated
// header, which only this library's build knows how to make.
#include "ui_tfrm_principal.h"
