#include "document/QzBuf.h"

#include <cstring>

TQzBuf::TQzBuf() { store_[0] = '\0'; }

TQzBuf::TQzBuf(std::string_view text) : TQzBuf() { Assign(text); }

TQzBuf::~TQzBuf() { Release(); }

void TQzBuf::Assign(const char* text, int length) {
    if (text == nullptr) {
        Release();
        return;
    }
    size_t n = length < 0 ? std::strlen(text) : static_cast<size_t>(length);
    Release();
    length_ = static_cast<int>(n);
    isInline_ = n < static_cast<size_t>(InlineSize);
    if (isInline_) {
        text_ = store_;
    } else {
        heapSize_ = n + 10;
        heap_ = new char[heapSize_];
        text_ = heap_;
    }
    std::memcpy(text_, text, n);
    text_[n] = '\0';
}

void TQzBuf::Assign(std::string_view text) {
    // A string_view carries no NUL of its own: copy exactly its bytes.
    Release();
    size_t n = text.size();
    length_ = static_cast<int>(n);
    isInline_ = n < static_cast<size_t>(InlineSize);
    if (isInline_) {
        text_ = store_;
    } else {
        heapSize_ = n + 10;
        heap_ = new char[heapSize_];
        text_ = heap_;
    }
    if (n > 0) std::memcpy(text_, text.data(), n);
    text_[n] = '\0';
}

void TQzBuf::Reset() {
    text_ = nullptr;
    heap_ = nullptr;
    heapSize_ = 0;
    length_ = 0;
    store_[0] = '\0';
    isInline_ = false;
}

void TQzBuf::Release() {
    delete[] heap_;
    Reset();
}
