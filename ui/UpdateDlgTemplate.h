#pragma once

#include "ui/DialogTemplate.h"

namespace vorenta {

// Template 102: the update window, 647 x 392 dialog units.
const DialogTemplate& UpdateDlgTemplate();

}  // namespace vorenta
