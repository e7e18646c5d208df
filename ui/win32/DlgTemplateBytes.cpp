#include "ui/win32/DlgTemplateBytes.h"

#include <string>

#include "ui/Logo.h"
#include "ui/win32/WinApi.h"

namespace vorenta::win32ui {

namespace {

// Predefined control classes of the dialog manager, by atom.
constexpr std::uint16_t kButtonAtom = 0x0080;
constexpr std::uint16_t kStaticAtom = 0x0082;
constexpr std::uint16_t kOrdinalMarker = 0xFFFF;

class TemplateWriter {
  public:
    void Word(std::uint32_t value) {
        words_.push_back(static_cast<std::uint16_t>(value & 0xFFFFU));
    }
    void DWord(std::uint32_t value) {
        Word(value);
        Word(value >> 16U);
    }
    // Dialog-unit coordinates are signed 16-bit values.
    void Short(int value) { Word(static_cast<std::uint32_t>(static_cast<std::int16_t>(value))); }
    // A zero-terminated UTF-16 text converted from the system code page.
    void Text(std::string_view text) {
        if (!text.empty()) {
            const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(),
                                                     static_cast<int>(text.size()), nullptr, 0);
            std::wstring wide(static_cast<std::size_t>(length), L'\0');
            ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                  wide.data(), length);
            for (const wchar_t c : wide) {
                Word(static_cast<std::uint32_t>(c));
            }
        }
        Word(0);
    }
    void Ordinal(std::uint32_t value) {
        Word(kOrdinalMarker);
        Word(value);
    }
    // Every item starts on a 32-bit boundary.
    void AlignDWord() {
        if (words_.size() % 2 != 0) {
            Word(0);
        }
    }
    std::vector<std::uint16_t> Take() { return std::move(words_); }

  private:
    std::vector<std::uint16_t> words_;
};

struct ItemClass {
    DWORD style = 0;
    std::uint16_t atom = 0;  // 0: named class
    std::string_view name;
};

ItemClass ClassOf(const ControlTemplate& c) {
    // Static texts show an ampersand as itself, never as a mnemonic.
    switch (c.kind) {
        case ControlKind::StaticLeft:
            return {SS_LEFT | SS_NOPREFIX | WS_GROUP, kStaticAtom, {}};
        case ControlKind::StaticCentred:
            return {SS_CENTER | SS_NOPREFIX | WS_GROUP, kStaticAtom, {}};
        case ControlKind::StaticCentredVertically:
            return {SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX | WS_GROUP, kStaticAtom, {}};
        case ControlKind::GroupBox:
            return {BS_GROUPBOX | WS_GROUP, kButtonAtom, {}};
        case ControlKind::RadioButton:
            // A group runs from its start to the next control with WS_GROUP;
            // only its first member is a tab stop.
            return {static_cast<DWORD>(BS_AUTORADIOBUTTON) |
                        (c.groupStart ? static_cast<DWORD>(WS_GROUP | WS_TABSTOP) : 0U),
                    kButtonAtom,
                    {}};
        case ControlKind::PushButton:
            return {BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, kButtonAtom, {}};
        case ControlKind::DefaultPushButton:
            return {BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, kButtonAtom, {}};
        case ControlKind::Picture:
            // The host gives it the logo once the corners are rounded.
            return {SS_BITMAP | WS_GROUP, kStaticAtom, {}};
        case ControlKind::Icon:
            return {SS_ICON | WS_GROUP, kStaticAtom, {}};
        case ControlKind::LinkText:
            // Never a tab stop: the focus belongs to the buttons.
            return {ES_LEFT | ES_READONLY | ES_AUTOHSCROLL | WS_GROUP, 0, kLinkControlClass};
    }
    return {};
}

}  // namespace

std::vector<std::uint16_t> BuildDlgTemplate(const DialogTemplate& dialog) {
    TemplateWriter w;
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    if (dialog.minimiseBox) {
        style |= WS_MINIMIZEBOX;
    }
    // The update window has no owner and belongs on the task bar.
    const DWORD exStyle = dialog.minimiseBox ? WS_EX_APPWINDOW : 0;
    w.DWord(style);
    w.DWord(exStyle);
    w.Word(static_cast<std::uint32_t>(dialog.controls.size()));
    w.Short(0);
    w.Short(0);
    w.Short(dialog.width);
    w.Short(dialog.height);
    w.Word(0);   // no menu
    w.Word(0);   // the dialog manager's own window class
    w.Text({});  // the logic sets the title
    w.Word(static_cast<std::uint32_t>(dialog.fontPointSize));
    w.Text(dialog.fontFace);

    for (const ControlTemplate& c : dialog.controls) {
        w.AlignDWord();
        const ItemClass cls = ClassOf(c);
        w.DWord(WS_CHILD | WS_VISIBLE | cls.style);
        w.DWord(0);
        w.Short(c.x);
        w.Short(c.y);
        w.Short(c.width);
        w.Short(c.height);
        // Controls the logic never addresses carry the conventional -1.
        w.Word(static_cast<std::uint32_t>(static_cast<std::uint16_t>(c.id)));
        if (cls.atom != 0) {
            w.Ordinal(cls.atom);
        } else {
            w.Text(cls.name);
        }
        if (c.kind == ControlKind::Icon) {
            w.Ordinal(static_cast<std::uint32_t>(kAppIconResource));
        } else {
            w.Text(c.text);
        }
        w.Word(0);  // no creation data
    }
    return w.Take();
}

}  // namespace vorenta::win32ui
