// The in-memory dialog templates read back word by word, as the dialog
// manager reads them.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "ui/AboutDlgIds.h"
#include "ui/AboutDlgTemplate.h"
#include "ui/Logo.h"
#include "ui/UpdateDlgIds.h"
#include "ui/UpdateDlgTemplate.h"
#include "ui/win32/DlgTemplateBytes.h"
#include "ui/win32/WinApi.h"

namespace vorenta::win32ui {
namespace {

struct Item {
    std::size_t byteOffset = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;
    std::uint16_t classAtom = 0;
    std::string className;
    std::uint16_t titleOrdinal = 0;
    std::string title;
};

struct Parsed {
    DWORD style = 0;
    DWORD exStyle = 0;
    int count = 0;
    int cx = 0, cy = 0;
    std::string title;
    int pointSize = 0;
    std::string face;
    std::vector<Item> items;
    std::size_t words = 0;
};

class Reader {
  public:
    explicit Reader(const std::vector<std::uint16_t>& w) : w_(w) {}
    std::uint16_t Word() { return pos_ < w_.size() ? w_[pos_++] : 0xDEAD; }
    DWORD DWord() {
        const DWORD lo = Word();
        return lo | (static_cast<DWORD>(Word()) << 16U);
    }
    int Short() { return static_cast<std::int16_t>(Word()); }
    std::string Text() {
        std::string s;
        for (std::uint16_t c = Word(); c != 0 && pos_ <= w_.size(); c = Word()) {
            s.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        }
        return s;
    }
    // A class or title: an ordinal after 0xFFFF, else a text.
    std::string OrdinalOrText(std::uint16_t& ordinal) {
        if (pos_ < w_.size() && w_[pos_] == 0xFFFF) {
            ++pos_;
            ordinal = Word();
            return {};
        }
        ordinal = 0;
        return Text();
    }
    void Align() {
        if (pos_ % 2 != 0) {
            ++pos_;
        }
    }
    std::size_t Pos() const { return pos_; }

  private:
    const std::vector<std::uint16_t>& w_;
    std::size_t pos_ = 0;
};

Parsed Parse(const std::vector<std::uint16_t>& words) {
    Reader r(words);
    Parsed p;
    p.style = r.DWord();
    p.exStyle = r.DWord();
    p.count = r.Word();
    r.Short();
    r.Short();
    p.cx = r.Short();
    p.cy = r.Short();
    EXPECT_EQ(r.Word(), 0) << "menu";
    EXPECT_EQ(r.Word(), 0) << "class";
    p.title = r.Text();
    p.pointSize = r.Word();
    p.face = r.Text();
    for (int i = 0; i < p.count; ++i) {
        r.Align();
        Item it;
        it.byteOffset = r.Pos() * 2;
        it.style = r.DWord();
        it.exStyle = r.DWord();
        it.x = r.Short();
        it.y = r.Short();
        it.cx = r.Short();
        it.cy = r.Short();
        it.id = static_cast<std::int16_t>(r.Word());
        it.className = r.OrdinalOrText(it.classAtom);
        it.title = r.OrdinalOrText(it.titleOrdinal);
        EXPECT_EQ(r.Word(), 0) << "creation data of item " << i;
        p.items.push_back(it);
    }
    p.words = r.Pos();
    return p;
}

const Item& ById(const Parsed& p, int id) {
    for (const Item& it : p.items) {
        if (it.id == id) {
            return it;
        }
    }
    static const Item none;
    ADD_FAILURE() << "no item " << id;
    return none;
}

TEST(DlgTemplateBytes, UpdateWindowHeaderIsAModalFramedDialogInTheShellFont) {
    const Parsed p = Parse(BuildDlgTemplate(UpdateDlgTemplate()));
    EXPECT_EQ(p.cx, 647);
    EXPECT_EQ(p.cy, 392);
    EXPECT_EQ(p.pointSize, 8);
    EXPECT_EQ(p.face, "MS Shell Dlg");
    EXPECT_EQ(p.title, "");
    EXPECT_EQ(p.count, static_cast<int>(UpdateDlgTemplate().controls.size()));
    for (const DWORD bit : std::initializer_list<DWORD>{
             WS_POPUP, WS_CAPTION, WS_SYSMENU, static_cast<DWORD>(DS_MODALFRAME),
             static_cast<DWORD>(DS_SETFONT), WS_MINIMIZEBOX}) {
        EXPECT_EQ(p.style & bit, bit) << std::hex << bit;
    }
    EXPECT_EQ(p.style & WS_THICKFRAME, 0U) << "not resizable";
    EXPECT_EQ(p.exStyle & WS_EX_APPWINDOW, static_cast<DWORD>(WS_EX_APPWINDOW));
}

TEST(DlgTemplateBytes, AboutDialogHasNoMinimiseBoxAndStaysOffTheTaskBar) {
    const Parsed p = Parse(BuildDlgTemplate(AboutDlgTemplate()));
    EXPECT_EQ(p.cx, 318);
    EXPECT_EQ(p.cy, 241);
    EXPECT_EQ(p.style & WS_MINIMIZEBOX, 0U);
    EXPECT_EQ(p.exStyle & WS_EX_APPWINDOW, 0U);
}

TEST(DlgTemplateBytes, EveryItemIsDwordAlignedAndKeepsItsTemplatePlaceIdAndText) {
    for (const DialogTemplate* t : {&UpdateDlgTemplate(), &AboutDlgTemplate()}) {
        const std::vector<std::uint16_t> words = BuildDlgTemplate(*t);
        const Parsed p = Parse(words);
        ASSERT_EQ(p.items.size(), t->controls.size());
        EXPECT_EQ(p.words, words.size()) << "nothing after the last item";
        for (std::size_t i = 0; i < p.items.size(); ++i) {
            const Item& it = p.items[i];
            const ControlTemplate& c = t->controls[i];
            EXPECT_EQ(it.byteOffset % 4, 0U) << "item " << i;
            EXPECT_EQ(it.id, c.id) << "item " << i;
            EXPECT_EQ(it.x, c.x);
            EXPECT_EQ(it.y, c.y);
            EXPECT_EQ(it.cx, c.width);
            EXPECT_EQ(it.cy, c.height);
            EXPECT_EQ(it.style & (WS_CHILD | WS_VISIBLE),
                      static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
            if (c.kind != ControlKind::Icon) {
                EXPECT_EQ(it.title, c.text) << "item " << i;
            }
        }
    }
}

TEST(DlgTemplateBytes, ControlKindsBecomeThePredefinedClassesAndStyles) {
    const Parsed p = Parse(BuildDlgTemplate(UpdateDlgTemplate()));
    const Item& done = ById(p, ids::IDCANCEL);
    EXPECT_EQ(done.classAtom, 0x0080) << "button";
    EXPECT_EQ(done.style & 0x0FU, static_cast<DWORD>(BS_PUSHBUTTON)) << "no default button";
    EXPECT_NE(done.style & WS_TABSTOP, 0U);
    EXPECT_EQ(p.items.front().id, ids::IDCANCEL) << "the focus starts on Done";

    const Item& notice = ById(p, ids::kLabelNotice);
    EXPECT_EQ(notice.classAtom, 0x0082) << "static";
    EXPECT_NE(notice.style & SS_CENTERIMAGE, 0U) << "centred top to bottom";
    EXPECT_EQ(notice.style & SS_TYPEMASK, static_cast<DWORD>(SS_LEFT));
    EXPECT_EQ(ById(p, ids::kUseForLine).style & SS_TYPEMASK, static_cast<DWORD>(SS_CENTER));
    for (const int id :
         {ids::kUseForLine, ids::kLabelNotice, ids::kInstructions, ids::kStatusLine}) {
        EXPECT_NE(ById(p, id).style & SS_NOPREFIX, 0U) << "an ampersand shows in " << id;
    }
    EXPECT_EQ(ById(p, ids::kLogo).style & SS_TYPEMASK, static_cast<DWORD>(SS_BITMAP));
    EXPECT_EQ(ById(p, ids::kLogo).title, "");
}

TEST(DlgTemplateBytes, PortButtonsAreOneAutomaticRadioGroupClosedByTheNextButton) {
    const Parsed p = Parse(BuildDlgTemplate(UpdateDlgTemplate()));
    for (int id = ids::kFirstPortButton; id <= ids::kLastPortButton; ++id) {
        const Item& radio = ById(p, id);
        EXPECT_EQ(radio.classAtom, 0x0080);
        EXPECT_EQ(radio.style & 0x0FU, static_cast<DWORD>(BS_AUTORADIOBUTTON));
        const DWORD starts = id == ids::kFirstPortButton ? WS_GROUP | WS_TABSTOP : 0;
        EXPECT_EQ(radio.style & (WS_GROUP | WS_TABSTOP), starts) << id;
    }
    EXPECT_NE(ById(p, ids::kRefreshPorts).style & WS_GROUP, 0U);
}

TEST(DlgTemplateBytes, AboutLinksAreReadOnlyRichEditsOutsideTheTabOrderAndTheIconIsResource128) {
    const Parsed p = Parse(BuildDlgTemplate(AboutDlgTemplate()));
    for (const int id : {about_ids::kWebLink, about_ids::kSalesLink, about_ids::kSupportLink}) {
        const Item& link = ById(p, id);
        EXPECT_EQ(link.classAtom, 0);
        EXPECT_EQ(link.className, "RichEdit20A");
        EXPECT_NE(link.style & ES_READONLY, 0U);
        EXPECT_NE(link.style & ES_AUTOHSCROLL, 0U) << "scrolls instead of wrapping";
        EXPECT_EQ(link.style & (WS_TABSTOP | WS_BORDER), 0U);
    }
    const Item& ok = ById(p, about_ids::IDOK);
    EXPECT_EQ(ok.style & 0x0FU, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    int tabStops = 0;
    for (const Item& it : p.items) {
        tabStops += (it.style & WS_TABSTOP) != 0 ? 1 : 0;
        if (it.classAtom == 0x0082 && (it.style & SS_TYPEMASK) == SS_ICON) {
            EXPECT_EQ(it.titleOrdinal, kAppIconResource);
        }
    }
    EXPECT_EQ(tabStops, 1) << "OK is the only tab stop";
}

TEST(DlgTemplateBytes, TextsOutsideAsciiAreWidenedFromTheCodePage) {
    DialogTemplate t;
    t.width = 10;
    t.height = 10;
    t.fontFace = kDialogFontFace;
    t.fontPointSize = 8;
    t.Add(5, ControlKind::StaticLeft, 0, 0, 5, 5, "A\xE9");  // e acute in code page 1252
    const std::vector<std::uint16_t> words = BuildDlgTemplate(t);
    std::wstring expected(2, L'\0');
    ASSERT_EQ(::MultiByteToWideChar(CP_ACP, 0, "A\xE9", 2, expected.data(), 2), 2);
    bool found = false;
    for (std::size_t i = 0; i + 2 < words.size(); ++i) {
        if (words[i] == 'A' && words[i + 1] == static_cast<std::uint16_t>(expected[1]) &&
            words[i + 2] == 0) {
            found = true;
        }
    }
    EXPECT_TRUE(found);
}

}  // namespace
}  // namespace vorenta::win32ui
