#include "ui/DialogTemplate.h"

namespace vorenta {

const ControlTemplate* DialogTemplate::Find(int controlId) const {
    if (controlId == kNoControlId) {
        return nullptr;
    }
    for (const ControlTemplate& c : controls) {
        if (c.id == controlId) {
            return &c;
        }
    }
    return nullptr;
}

}  // namespace vorenta
