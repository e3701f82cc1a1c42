#include "tests/app/FindPadHost.h"

#include "editor/model/QzPadSearch.h"
#include "editor/widget/QzPad.h"

struct TTestAdvancedPad::TImpl {
    TQzPad pad;
    TQzPadSearch search{pad.Model()};
};

TTestAdvancedPad::TTestAdvancedPad() : impl_(std::make_unique<TImpl>())
{
    impl_->pad.resize(400, 200);
}

TTestAdvancedPad::~TTestAdvancedPad() = default;

void TTestAdvancedPad::SetText(const std::string& text)
{
    impl_->pad.SetText(text);
    impl_->pad.Model().SetCaretPosition(TPoint(0, 0));
}

bool TTestAdvancedPad::Find(const std::string& text, TQzFindOptions options)
{
    return impl_->search.Find(text, options);
}

std::string TTestAdvancedPad::SelText() const { return impl_->pad.SelText(); }

TPoint TTestAdvancedPad::Caret() const { return impl_->pad.Model().CaretPos(); }

void TTestAdvancedPad::SetCaret(TPoint p) { impl_->pad.Model().SetCaretPosition(p); }
