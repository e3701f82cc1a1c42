#pragma once
// The buttons of the main window's tool bar and of the advanced-mode page's bar: transparent
// buttons of 20 x 20 pixels that show a glyph, grey until the mouse is over them, with the hand
// cursor and a tool tip. The glyphs are the program's own pixel drawings; the menus show them too.

#include <string>

class QWidget;
class TComponent;
class TImageList;
class TTransparentButton;

enum TToolGlyph {
    tgOpen, tgSave, tgReload, tgOptions, tgStripTag, tgFind, tgMovie, tgCapInfo, tgSort, tgAdvanceMode,
    tgCut, tgCopy, tgPaste, tgUndo, tgExit, tgRedo
};

// Side of a tool-bar button and of its glyph bitmap, in pixels.
constexpr int kToolButtonSize = 20;
// Side of a glyph's drawing, and of a menu item's picture, in pixels.
constexpr int kGlyphSize = 16;

// A tool-bar button on `bar` showing `glyph`; `hint` (UTF-8) is its tool tip, none when empty.
// The caller places it and assigns OnClick.
TTransparentButton* CreateToolButton(QWidget* bar, TToolGlyph glyph, const char* hint);

// Every glyph as a menu item's picture: a list of kGlyphSize square images, image i being glyph i
// of TToolGlyph, with the background transparent. Owned by `owner`.
TImageList* CreateGlyphImages(TComponent* owner);
