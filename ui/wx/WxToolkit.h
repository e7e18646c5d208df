#pragma once

#include <memory>
#include <string>

class wxInitializer;
class wxLog;

namespace vorenta::wxui {

// Why no window can be shown, or empty when a display is named.
std::string MissingDisplayReason();

// The toolkit for the life of this object. The utility parses its own
// command line, so the toolkit's parser never sees "/C5" or "-C5".
class Toolkit {
  public:
    Toolkit(int& argc, char** argv);
    ~Toolkit();
    Toolkit(const Toolkit&) = delete;
    Toolkit& operator=(const Toolkit&) = delete;

    // False when the toolkit could not reach the display.
    bool IsOk() const;

  private:
    std::unique_ptr<wxInitializer> init_;
    // Toolkit diagnostics go to stderr, never into pop-up windows.
    std::unique_ptr<wxLog> log_;
    wxLog* previousLog_ = nullptr;
};

}  // namespace vorenta::wxui
