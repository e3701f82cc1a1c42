#include "app/model/FindLogic.h"

#include <algorithm>

#include "app/model/CaptionRows.h"
#include "platform/core/Cp949.h"

namespace {

unsigned char FoldAscii(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c; }

// Whether `word` matches `text` at `at` (which the caller keeps on a character boundary). The
// trail byte of a double-byte character in the word is compared exactly; a lead byte never folds.
bool MatchesAt(std::string_view text, size_t at, std::string_view word, bool matchCase)
{
    if (text.size() - at < word.size())
        return false;
    if (matchCase)
        return text.compare(at, word.size(), word) == 0;
    for (size_t k = 0; k < word.size(); ++k) {
        const auto w = static_cast<unsigned char>(word[k]);
        const auto t = static_cast<unsigned char>(text[at + k]);
        if (IsDbcsLeadByte(w) && k + 1 < word.size()) {
            if (w != t || word[k + 1] != text[at + k + 1])
                return false;
            ++k;
            continue;
        }
        if (FoldAscii(w) != FoldAscii(t))
            return false;
    }
    return true;
}

}  // namespace

bool TFindHistory::Record(const std::string& word)
{
    if (word.empty())
        return false;
    const int at = items_.IndexOf(word);
    if (at >= 0)
        items_.Delete(at);
    items_.Insert(0, word);
    while (items_.Count() > FindHistoryMax)
        items_.Delete(items_.Count() - 1);
    return true;
}

bool TFindHistory::LoadFromFile(const std::string& path) { return items_.LoadFromFile(path); }

bool TFindHistory::SaveToFile(const std::string& path) const { return items_.SaveToFile(path); }

std::string TFindHistory::Completion(std::string_view typed) const
{
    if (typed.empty())
        return std::string();
    for (const std::string& item : items_.Strings) {
        if (item.size() > typed.size() && item.compare(0, typed.size(), typed) == 0)
            return item.substr(typed.size());
    }
    return std::string();
}

bool TextContainsWord(std::string_view text, std::string_view word, bool matchCase)
{
    if (word.empty())
        return false;
    size_t i = 0;
    while (i < text.size()) {
        if (MatchesAt(text, i, word, matchCase))
            return true;
        // Step over a whole character; a lead byte at the very end stands alone.
        i += IsDbcsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    }
    return false;
}

int FindCaptionRow(const TCaptionRows& rows, std::string_view word, int start, bool up, bool matchCase)
{
    const int last = rows.Count() - 1;
    if (last < 1 || word.empty())
        return -1;
    start = std::clamp(start, 0, last);
    if (up) {
        for (int row = start > 0 ? start - 1 : last; row >= 1; --row)
            if (TextContainsWord(rows[row].Text, word, matchCase))
                return row;
    } else {
        for (int row = start + 1; row <= last; ++row)
            if (TextContainsWord(rows[row].Text, word, matchCase))
                return row;
    }
    return -1;
}
