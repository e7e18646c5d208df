#pragma once

#include "ui/DialogTemplate.h"

namespace vorenta {

// Template 100: the About and contact-information dialog, 318 x 241 dialog units.
const DialogTemplate& AboutDlgTemplate();

}  // namespace vorenta
