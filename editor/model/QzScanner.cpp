#include "editor/model/QzScanner.h"

TQzScanner::TQzScanner(std::istream* stream) : stream_(stream)
{
    if (!stream_)
        return;
    stream_->clear();
    stream_->seekg(0, std::ios::end);
    const std::streamoff end = stream_->tellg();
    size_ = end > 0 ? static_cast<int64_t>(end) : 0;
    stream_->seekg(0, std::ios::beg);
}

int64_t TQzScanner::Position()
{
    if (!stream_)
        return 0;
    stream_->clear();
    const std::streamoff p = stream_->tellg();
    return p > 0 ? static_cast<int64_t>(p) : 0;
}

bool TQzScanner::QzEOF()
{
    return !stream_ || Position() >= size_;
}

unsigned char TQzScanner::GetChar()
{
    if (QzEOF())
        return 0;
    const int c = stream_->get();
    return c == std::char_traits<char>::eof() ? 0 : static_cast<unsigned char>(c);
}

void TQzScanner::GoBack(int64_t n)
{
    if (!stream_)
        return;
    int64_t p = Position() - n;
    if (p < 0)
        p = 0;
    stream_->clear();
    stream_->seekg(static_cast<std::streamoff>(p), std::ios::beg);
}

std::string TQzScanner::ReadString(const TCharSet& set, bool include, bool stopInSet)
{
    std::string result;
    while (!QzEOF()) {
        const unsigned char c = GetChar();
        if (set.Contains(c) == stopInSet) {
            if (include)
                result.push_back(static_cast<char>(c));
            else
                GoBack(1);
            break;
        }
        result.push_back(static_cast<char>(c));
    }
    return result;
}

std::string TQzScanner::ReadStringUntil(const TCharSet& set, bool include)
{
    return ReadString(set, include, true);
}

std::string TQzScanner::ReadStringWhile(const TCharSet& set, bool include)
{
    return ReadString(set, include, false);
}

void TQzScanner::SkipOver(const TCharSet& set)
{
    ReadStringUntil(set, false);
}

void TQzScanner::SkipWhiteSpace()
{
    SkipOver(TCharSet{'\t', '\n', '\r', ' '});
}
