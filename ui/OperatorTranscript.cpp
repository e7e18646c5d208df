#include "ui/OperatorTranscript.h"

#include <algorithm>
#include <array>

#include "ui/UpdateDlgIds.h"

namespace vorenta {

namespace {

// The lines of the window that tell the operator how a session goes.
constexpr std::array<int, 6> kInformationLines = {
    ids::kBootLoaderLine, ids::kProgressLine,        ids::kStatusLine,
    ids::kStepLine,       ids::kFirmwareVersionLine, ids::kFirmwareFileLine};

}  // namespace

void OperatorTranscript::SetDlgItemText(int id, std::string_view text) {
    if (!text.empty() && std::find(kInformationLines.begin(), kInformationLines.end(), id) !=
                             kInformationLines.end()) {
        listeners_.OnLineShown(text);
    }
    host_.SetDlgItemText(id, text);
}

void OperatorTranscript::Log(std::string_view line) {
    listeners_.OnNote(line);
    host_.Log(line);
}

}  // namespace vorenta
