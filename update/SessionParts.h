#pragma once

#include "firmware/FirmwareDescription.h"
#include "firmware/PageImage.h"
#include "platform/FileAccess.h"
#include "platform/PortTable.h"
#include "platform/TickSource.h"
#include "platform/WindowServices.h"
#include "serial/CRS232.h"
#include "serial/PortHandoff.h"
#include "serial/PortSelection.h"
#include "update/SessionDisplay.h"
#include "update/SessionReporter.h"

namespace vorenta {

// What an update session works with, all owned by the update window.
struct SessionParts {
    CRS232& serialPort;
    ITickSource& clock;
    IWindowServices& window;  // the wait cursor, the colour rule, the operator's log
    ISessionDisplay& display;
    SessionReporter& reporter;
    IPortTable& portTable;
    IFileSystem& files;
    FirmwareDescription& firmware;
    PageImage& pageImage;
    PortSelection& ports;
    PortHandoff& handoff;
};

}  // namespace vorenta
