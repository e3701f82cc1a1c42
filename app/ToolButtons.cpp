#include "app/ToolButtons.h"

#include <QString>

#include "controls/TransBtn.h"
#include "platform/core/Cp949.h"
#include "platform/gui/ImageList.h"

namespace {

// One glyph: 16 rows of 16 pixels by the palette below; '.' is the mask colour, which the button
// leaves out (the bitmap's bottom-left pixel names it).
using TGlyphMap = const char* const[16];

// Magenta is in no drawing, and no colour of the palette turns into its grey (104), so the grey
// image masks exactly the background too.
constexpr TColor kMaskColor = RGB(255, 0, 255);

TColor PaletteColor(char c) {
    switch (c) {
    case 'k': return RGB(0, 0, 0);
    case 'd': return RGB(72, 72, 72);
    case 'g': return RGB(128, 128, 128);
    case 's': return RGB(192, 192, 192);
    case 'w': return RGB(255, 255, 255);
    case 'y': return RGB(255, 216, 64);
    case 'o': return RGB(208, 150, 16);
    case 'b': return RGB(24, 72, 184);
    case 'l': return RGB(136, 192, 240);
    case 'r': return RGB(208, 32, 32);
    case 'n': return RGB(24, 150, 56);
    case 't': return RGB(168, 112, 48);
    default: return kMaskColor;
    }
}

// In TToolGlyph order up to tgExit; tgRedo is tgUndo mirrored.
const TGlyphMap kGlyphs[] = {
    // tgOpen
    {"................",
     "................",
     "................",
     "................",
     ".kkkk...........",
     "kooook..........",
     "koooookkkkkkk...",
     "koooooooooook...",
     "kooookkkkkkkkkkk",
     "kookyyyyyyyyyyk.",
     "kokyyyyyyyyyyk..",
     "kkyyyyyyyyyyk...",
     "kkkkkkkkkkkk....",
     "................",
     "................",
     "................"},
    // tgSave
    {"................",
     ".kkkkkkkkkkkkkk.",
     ".kbkwwwwwwwwkbk.",
     ".kbkwwwwwwwwkbk.",
     ".kbkwggggggwkbk.",
     ".kbkwwwwwwwwkbk.",
     ".kbkwggggggwkbk.",
     ".kbkwwwwwwwwkbk.",
     ".kbbkkkkkkkkbbk.",
     ".kbbbbbbbbbbbbk.",
     ".kbbsssssssbbbk.",
     ".kbbssbbsssbbbk.",
     ".kbbssbbsssbbbk.",
     ".kbbsssssssbbbk.",
     ".kkkkkkkkkkkkkk.",
     "................"},
    // tgReload
    {"................",
     "................",
     ".....nnnnnn.....",
     "...nnnnnnnnn.n..",
     "..nnn.....nnnn..",
     ".nnn.......nnn..",
     ".nn.......nnnn..",
     ".nn.............",
     ".nn.............",
     ".nn..........nn.",
     ".nnn........nnn.",
     "..nnn......nnn..",
     "...nnnnnnnnnn...",
     ".....nnnnnn.....",
     "................",
     "................"},
    // tgOptions
    {"................",
     "..kkk...........",
     "..kbk...........",
     "ddkbkddddddddddd",
     "..kbk...........",
     "..kkk...........",
     ".........kkk....",
     ".........kbk....",
     "dddddddddkbkdddd",
     ".........kbk....",
     ".........kkk....",
     ".....kkk........",
     ".....kbk........",
     "dddddkbkdddddddd",
     ".....kbk........",
     ".....kkk........"},
    // tgStripTag
    {"................",
     "...bb....b.bb...",
     "..bb.....b..bb..",
     ".bb.....b....bb.",
     "bb......b.....bb",
     ".bb....b.....bb.",
     "..bb...b....bb..",
     "...bb.b....bb...",
     "................",
     ".....rr...rr....",
     "......rr.rr.....",
     ".......rrr......",
     ".......rrr......",
     "......rr.rr.....",
     ".....rr...rr....",
     "................"},
    // tgFind
    {"................",
     "...kkkk.........",
     ".kkwwllkk.......",
     ".kwlllllk.......",
     "kwlllllllk......",
     "kllllllllk......",
     "kllllllllk......",
     ".kllllllk.......",
     ".kkllllkkd......",
     "...kkkk..dd.....",
     ".........ddd....",
     "..........ddd...",
     "...........ddd..",
     "............ddd.",
     ".............dd.",
     "................"},
    // tgMovie
    {"................",
     "................",
     "dddddddddddddddd",
     "dwdwdwdwdwdwdwdd",
     "dddddddddddddddd",
     "dlllllwlllllllld",
     "dlllllwwllllllld",
     "dlllllwwwlllllld",
     "dlllllwwwlllllld",
     "dlllllwwllllllld",
     "dlllllwlllllllld",
     "dddddddddddddddd",
     "dwdwdwdwdwdwdwdd",
     "dddddddddddddddd",
     "................",
     "................"},
    // tgCapInfo
    {"................",
     ".....bbbbbb.....",
     "...bbbbbbbbbb...",
     "..bbbbbwwbbbbb..",
     ".bbbbbbwwbbbbbb.",
     ".bbbbbbbbbbbbbb.",
     "bbbbbbwwwbbbbbbb",
     "bbbbbbbwwbbbbbbb",
     "bbbbbbbwwbbbbbbb",
     "bbbbbbbwwbbbbbbb",
     ".bbbbbbwwbbbbbb.",
     ".bbbbbwwwwbbbbb.",
     "..bbbbbbbbbbbb..",
     "...bbbbbbbbbb...",
     ".....bbbbbb.....",
     "................"},
    // tgSort
    {"................",
     "................",
     "................",
     "................",
     "...b............",
     "...b....ddd.....",
     "...b....ddd.....",
     "...b............",
     "...b....ddddd...",
     "...b....ddddd...",
     "...b............",
     ".bbbbb..ddddddd.",
     "..bbb...ddddddd.",
     "...b............",
     "................",
     "................"},
    // tgAdvanceMode
    {"................",
     ".kkkkkkkkkkk....",
     ".kwwwwwwwwwk....",
     ".kwdddddddwk....",
     ".kwwwwwwwwwk....",
     ".kwdddddwwwk....",
     ".kwwwwwwwwwk....",
     ".kwddddddwwk..rr",
     ".kwwwwwwwwwk.oo.",
     ".kwdddddwwwkoo..",
     ".kwwwwwwwwwoo...",
     ".kwddddwwwoo....",
     ".kwwwwwwwssk....",
     ".kkkkkkkkkkk....",
     "................",
     "................"},
    // tgCut
    {"................",
     "...d.......d....",
     "...d.......d....",
     "...dd.....dd....",
     "....d.....d.....",
     "....dd...dd.....",
     ".....d...d......",
     ".....dd.dd......",
     "......kkk.......",
     ".....dd.dd......",
     "....rrr.rrr.....",
     "...r..r.r..r....",
     "..r...r.r...r...",
     "..r...r.r...r...",
     "...rrr...rrr....",
     "................"},
    // tgCopy
    {"................",
     ".kkkkkkkk.......",
     ".kwwwwwwk.......",
     ".kwdddbwk.......",
     ".kwwwwwwk.......",
     ".kwddwkkkkkkkkk.",
     ".kwwwwkwwwwwwwk.",
     ".kwddwkwbbbbbwk.",
     ".kwwwwkwwwwwwwk.",
     ".kwddwkwbbbbbwk.",
     ".kkkkkkwwwwwwwk.",
     "......kwbbbbbwk.",
     "......kwwwwwwwk.",
     "......kwbbbbwwk.",
     "......kkkkkkkkk.",
     "................"},
    // tgPaste
    {"................",
     "....kkkkk.......",
     ".kttkssskttk....",
     ".kttkkkkkttk....",
     ".ktttttttttk....",
     ".ktttttttttk....",
     ".ktttkkkkkkkkk..",
     ".ktttkwwwwwwwk..",
     ".ktttkwdddddwk..",
     ".ktttkwwwwwwwk..",
     ".ktttkwdddddwk..",
     ".ktttkwwwwwwwk..",
     ".ktttkwddddwwk..",
     ".kkkkkwwwwwwwk..",
     ".....kkkkkkkkk..",
     "................"},
    // tgUndo
    {"................",
     "................",
     "................",
     "....b...........",
     "...bb...........",
     "..bbbbbbbbb.....",
     ".bbbbbbbbbbbb...",
     "..bbb.......bbb.",
     "...bb........bb.",
     "....b........bb.",
     ".............bb.",
     "............bbb.",
     "..........bbbb..",
     ".......bbbbbb...",
     "................",
     "................"},
    // tgExit
    {"................",
     ".kkkkkkkk.......",
     ".kttttttk.......",
     ".kttttttk.......",
     ".kttttttk.......",
     ".kttttttk....n..",
     ".kttttttk....nn.",
     ".kttttttknnnnnnn",
     ".kttttytknnnnnnn",
     ".kttttttk....nn.",
     ".kttttttk....n..",
     ".kttttttk.......",
     ".kttttttk.......",
     ".kttttttk.......",
     ".kkkkkkkk.......",
     "................"},
};

static_assert(sizeof(kGlyphs) / sizeof(kGlyphs[0]) == tgExit + 1, "one map per glyph up to tgExit");

// The glyph as a bitmap of `size` square (16 or more), the drawing centred on the mask colour.
void PaintGlyph(TToolGlyph glyph, TBitmap& out, int size = kToolButtonSize) {
    const bool mirrored = glyph == tgRedo;
    const TGlyphMap& map = kGlyphs[mirrored ? tgUndo : glyph];
    out.SetSize(size, size);
    out.Canvas()->Brush->Color = kMaskColor;
    out.Canvas()->FillRect(Rect(0, 0, size, size));
    out.Canvas()->Flush();
    const int margin = (size - kGlyphSize) / 2;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const char c = map[y][mirrored ? 15 - x : x];
            if (c != '.') out.SetPixel(margin + x, margin + y, PaletteColor(c));
        }
}

}  // namespace

TTransparentButton* CreateToolButton(QWidget* bar, TToolGlyph glyph, const char* hint) {
    auto* b = new TTransparentButton(bar);
    TBitmap image;
    PaintGlyph(glyph, image);
    b->SetGlyph(image);
    b->SetSpacing(0);
    b->SetCursor(crHandPoint);
    b->setFixedSize(kToolButtonSize, kToolButtonSize);
    if (hint && *hint) {
        b->Hint = Cp949(hint);
        b->ShowHint = true;
        b->setToolTip(QString::fromUtf8(hint));
    }
    return b;
}

TImageList* CreateGlyphImages(TComponent* owner) {
    auto* list = new TImageList(owner, kGlyphSize, kGlyphSize);
    for (int g = 0; g <= tgRedo; ++g) {
        TBitmap image;
        PaintGlyph(static_cast<TToolGlyph>(g), image, kGlyphSize);
        list->AddMasked(image, kMaskColor);
    }
    return list;
}
