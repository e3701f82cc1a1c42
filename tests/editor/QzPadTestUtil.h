#pragma once
// A recording window for the editor model and a fixture that drives it with keys.

#include "editor/model/QzPadModel.h"
#include "editor/model/QzPadShortCut.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class RecorderView : public IQzPadView {
public:
    int invalidateAll = 0;
    std::vector<TRect> invalidated;
    std::string clipboard;
    bool clipboardHasText = false;
    bool focus = true;
    bool dragStarted = false;
    TPoint caretPixel{-1, -1};
    int caretWidth = 0;
    TQzImeInputMode ime = imEnglish;
    struct Bar {
        int min = -1, max = -1, page = -1, pos = -1;
    } bars[2];

    void InvalidateRect(const TRect& r) override { invalidated.push_back(r); }
    void InvalidateAll() override { ++invalidateAll; }
    void SetScrollBar(TQzScrollBarKind bar, int min, int max, int page, int pos) override {
        bars[bar] = Bar{min, max, page, pos};
    }
    bool HasFocus() override { return focus; }
    bool IsVisible() override { return true; }
    void CreateCaret(int w, int) override { caretWidth = w; }
    void SetCaretPos(int x, int y) override { caretPixel = TPoint(x, y); }
    bool ClipboardGetText(std::string& text) override {
        text = clipboard;
        return clipboardHasText;
    }
    void ClipboardSetText(const std::string& text) override {
        clipboard = text;
        clipboardHasText = true;
    }
    void ClipboardClear() override {
        clipboard.clear();
        clipboardHasText = false;
    }
    void BeginDrag() override { dragStarted = true; }
    TQzImeInputMode GetImeInputMode() override { return ime; }
    void SetImeInputMode(TQzImeInputMode m) override { ime = m; }
};

// A model with the default key bindings, a 8 x 13 pixel font and a view of 10 lines by 95 columns
// (the gutter takes the first 34 pixels).
class PadTest : public ::testing::Test {
protected:
    void SetUp() override {
        keys.ResetToDefaultShortCut();
        pad.SetView(&view);
        pad.SetShortCut(&keys);
        pad.SetFontMetrics(8, 13);
        pad.SetClientSize(34 + 95 * 8, 4 + 10 * 17 + 3);
        pad.FocusIn();
    }

    void SetText(const std::vector<std::string>& lines) { pad.SetLines(lines); }
    std::vector<std::string> Lines() const {
        std::vector<std::string> v;
        for (int i = 0; i < pad.Lines().Count(); ++i) v.push_back(pad.Lines()[i]);
        return v;
    }
    void Key(TVirtualKey key, TShiftState shift = TShiftState()) { pad.KeyDown(key, shift); }
    void Type(const std::string& s) {
        for (char c : s) {
            char k = c;
            pad.KeyPress(k, TShiftState());
        }
    }
    void Caret(int x, int y) { pad.SetCaretPosition(TPoint(x, y)); }
    void Select(TPoint a, TPoint b) {
        pad.SetSelStart(a);
        pad.SetSelEnd(b);
        pad.SetCaretPosition(b);
    }

    RecorderView view;
    TQzPadShortCut keys;
    TQzPadModel pad;
};
