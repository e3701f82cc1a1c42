#include "editor/model/QzSyntax.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <istream>
#include <iterator>
#include <ostream>

#include "editor/model/QzFileError.h"
#include "platform/core/FileUtils.h"
#include "platform/core/SysUtils.h"

namespace {

const char* const kDefaultDelimiter = "'\".,/?:;[](){}|+=-!~@#$%^&*<> ";
const char* const kClearDelimiter = " '\".,/?:;[](){}|+=-!~@#$%^&*<>";

// A hexadecimal colour text ("FF", "1FFFFFFF"); 0 when it is not 1..8 hexadecimal digits.
TColor ParseHexColor(std::string_view text) {
    std::string t = Trim(text);
    if (t.empty() || t.size() > 8)
        return 0;
    uint32_t value = 0;
    for (char c : t) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return 0;
        value = value << 4 | static_cast<uint32_t>(digit);
    }
    return value;
}

std::string HexColor(TColor c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.6X", static_cast<unsigned>(c));
    return buf;
}

void SortList(TStringList& list) {
    std::stable_sort(list.Strings.begin(), list.Strings.end(),
                     [](const std::string& a, const std::string& b) { return CompareStrLocale(a, b) < 0; });
}

bool IsNumberText(const std::string& text) {
    if (text.empty())
        return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == '.'))
            return false;
    return true;
}

}  // namespace

int FindAndString(std::string_view s, std::string_view sub, int start, bool stopAtDoubleByte, int maxLen) {
    int len = static_cast<int>(s.size());
    int p = start;
    for (;;) {
        if (p < 1 || p > len)
            return 0;
        unsigned char c = static_cast<unsigned char>(s[static_cast<size_t>(p - 1)]);
        if (c == 0)
            return 0;
        if (stopAtDoubleByte && c > 0x80)
            return 0;
        if (sub.empty()) {
            if (c == ' ' || c == '>')
                return p + 1;
        } else if (sub.size() == 1 && c == static_cast<unsigned char>(sub[0])) {
            return p + 1;
        }
        ++p;
        if (maxLen > 0 && p >= start + maxLen)
            return 0;
    }
}

int StrPos(std::string_view s, std::string_view sub, int start) { return FindAndString(s, sub, start, false, 0); }

int CompareStrLocale(std::string_view a, std::string_view b) {
    int r = CompareText(a, b);
    if (r != 0)
        return r;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] != b[i])
            return (a[i] >= 'a' && a[i] <= 'z') ? -1 : 1;
    }
    return 0;
}

bool FindCase(const std::vector<std::string>& list, std::string_view word, int& index) {
    int low = 0;
    int high = static_cast<int>(list.size()) - 1;
    bool found = false;
    while (low <= high) {
        int middle = (low + high) / 2;
        int c = CompareStrLocale(list[static_cast<size_t>(middle)], word);
        if (c < 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
            if (c == 0) {
                found = true;
                low = middle;
                break;
            }
        }
    }
    index = low;
    return found;
}

TQzSyntax::TQzSyntax() : delimiter_(kDefaultDelimiter) {}

void TQzSyntax::SetDelimiter(const std::string& value) {
    delimiter_ = value;
    delimSet_ = TCharSet(delimiter_);
}

TCharSet TQzSyntax::GetDelimSet() {
    if (delimSet_.Empty())
        delimSet_ = TCharSet(delimiter_);
    return delimSet_;
}

TStringList& TQzSyntax::Keyword(int n) { return keywords_[std::clamp(n, 1, 6) - 1]; }

const TStringList& TQzSyntax::Keyword(int n) const { return keywords_[std::clamp(n, 1, 6) - 1]; }

void TQzSyntax::SetKeyword(int n, const TStringList& list) {
    Keyword(n).Assign(list);
    RegenWordList();
}

void TQzSyntax::SetOperator(const TStringList& list) {
    operator_.Assign(list);
    RegenWordList();
}

void TQzSyntax::Loaded() { RegenWordList(); }

void TQzSyntax::RegenWordList() {
    wordList_.clear();
    for (TStringList& list : keywords_)
        SortList(list);
    const TStringList* lists[] = {&operator_,    &keywords_[5], &keywords_[4], &keywords_[3],
                                  &keywords_[2], &keywords_[1], &keywords_[0]};
    const TColor colors[] = {OperatorColor, KeywordColor6, KeywordColor5, KeywordColor4,
                             KeywordColor3, KeywordColor2, KeywordColor1};
    for (int l = 0; l < 7; ++l) {
        for (const std::string& word : lists[l]->Strings) {
            bool present = std::any_of(wordList_.begin(), wordList_.end(),
                                       [&](const WordEntry& e) { return SameText(e.word, word); });
            if (!present)
                wordList_.push_back({word, colors[l]});
        }
    }
    std::stable_sort(wordList_.begin(), wordList_.end(),
                     [](const WordEntry& a, const WordEntry& b) { return CompareStrLocale(a.word, b.word) < 0; });
}

const TQzSyntax::WordEntry* TQzSyntax::FindWordIgnoreCase(std::string_view word) const {
    auto it = std::lower_bound(wordList_.begin(), wordList_.end(), word,
                               [](const WordEntry& e, std::string_view w) { return CompareText(e.word, w) < 0; });
    if (it != wordList_.end() && SameText(it->word, word))
        return &*it;
    return nullptr;
}

bool TQzSyntax::ListContainsIgnoreCase(const TStringList& list, std::string_view word) {
    auto it = std::lower_bound(list.Strings.begin(), list.Strings.end(), word,
                               [](const std::string& e, std::string_view w) { return CompareText(e, w) < 0; });
    if (it != list.Strings.end() && SameText(*it, word))
        return true;
    // A list edited in place may be unsorted: fall back to a scan.
    return std::any_of(list.Strings.begin(), list.Strings.end(),
                       [&](const std::string& e) { return SameText(e, word); });
}

TColor TQzSyntax::GetColor(const std::string& word) {
    if (inString_)
        return StringColor;
    if (InComment())
        return CommentColor;
    TColor result = clNone;
    if (CaseSensitive) {
        auto it = std::lower_bound(wordList_.begin(), wordList_.end(), word, [](const WordEntry& e, const std::string& w) {
            return CompareStrLocale(e.word, w) < 0;
        });
        if (it != wordList_.end() && it->word == word)
            result = it->color;
    } else if (!(insideTag_ && wordCounter_ == 1)) {
        if (const WordEntry* e = FindWordIgnoreCase(word))
            result = e->color;
    } else if (ListContainsIgnoreCase(keywords_[0], word)) {
        result = KeywordColor1;
    } else if (const WordEntry* e = FindWordIgnoreCase(word)) {
        result = e->color;
    }
    ++wordCounter_;
    return result;
}

void TQzSyntax::Clear() {
    SyntaxName.clear();
    Extensions.clear();
    LineComment1.clear();
    LineComment2.clear();
    BlockCommentStart1.clear();
    BlockCommentEnd1.clear();
    BlockCommentStart2.clear();
    BlockCommentEnd2.clear();
    BlockCommentStart3.clear();
    BlockCommentEnd3.clear();
    DirectiveStart.clear();
    StringChar.clear();
    BlockBegin.clear();
    BlockEnd.clear();
    CaseSensitive = false;
    CommentColor = clBlue;
    DirectiveColor = clBlue;
    for (TStringList& list : keywords_)
        list.Clear();
    operator_.Clear();
    KeywordColor1 = clGreen;
    KeywordColor2 = clNavy;
    KeywordColor3 = KeywordColor4 = KeywordColor5 = KeywordColor6 = clBlack;
    OperatorColor = clBlack;
    StringColor = clAqua;
    NumberColor = clPurple;
    // The set itself is rebuilt lazily by GetDelimSet; it is emptied so that it follows the text.
    delimiter_ = kClearDelimiter;
    delimSet_.Clear();
}

void TQzSyntax::AddMerged(const std::string& text, TColor color) {
    if (!parsedItems_.empty() && parsedItems_.back().Color == color)
        parsedItems_.back().Text += text;
    else
        parsedItems_.push_back({text, color});
}

bool TQzSyntax::MatchAt(const std::string& line, int i, const std::string& token) const {
    return !token.empty() && line.compare(static_cast<size_t>(i - 1), token.size(), token) == 0;
}

void TQzSyntax::NewDelimItem(const std::string& text) {
    TColor color = inString_ ? StringColor : InComment() ? CommentColor : clNone;
    AddMerged(text, color);
}

void TQzSyntax::NewItem(const std::string& text) {
    const bool isValue = valueExpected_;
    const bool savedInString = inString_;
    bool isNumber = false;
    if (valueExpected_) {
        isNumber = IsNumberText(text);
        if (!isNumber)
            inString_ = true;
    }
    TColor color;
    if (inString_) {
        color = StringColor;
    } else if (InComment()) {
        color = CommentColor;
    } else if (isNumber) {
        color = NumberColor;
    } else if (valueExpected_) {
        color = StringColor;
        valueExpected_ = false;
    } else {
        color = GetColor(Trim(text));
    }
    const bool special = isValue || InComment() || isNumber || inString_;
    if (!parsedItems_.empty() && parsedItems_.back().Color == color) {
        parsedItems_.back().Text += text;
    } else {
        const bool inKeyword6 = ListContainsIgnoreCase(keywords_[5], Trim(text));
        if (!insideTag_ && !inKeyword6 && !special)
            color = clNone;
        std::string shown = text;
        if (ForceUpperCase && insideTag_ && !special && !inKeyword6)
            shown = AsciiUpperCase(shown);
        parsedItems_.push_back({shown, color});
    }
    valueExpected_ = false;
    inString_ = savedInString;
}

void TQzSyntax::Parse(const std::string& line, int& state) {
    ClearParsedItems();
    if (line.empty())
        return;
    const TCharSet delims = GetDelimSet();
    inString_ = false;
    blockComment_ = state != 0 ? 1 : 0;
    lineComment_ = false;
    valueExpected_ = false;
    insideTag_ = false;
    wordCounter_ = 0;
    const int len = static_cast<int>(line.size());
    int i = 1;
    std::string pending;
    while (i <= len) {
        const char c = line[static_cast<size_t>(i - 1)];
        if (!delims.Contains(c)) {
            pending += GetStringUntil(line, delims, i);
            continue;
        }
        if (!pending.empty()) {
            NewItem(pending);
            pending.clear();
        }
        if (StringChar.size() == 1 && StringChar[0] == c) {
            if (InComment()) {
                NewItem(StringChar);
            } else {
                AddMerged(StringChar, StringColor);
                inString_ = !inString_;
            }
            ++i;
            continue;
        }
        if (c == ' ') {
            NewDelimItem(" ");
            ++i;
            continue;
        }
        if (!blockComment_) {
            const std::string* lc = MatchAt(line, i, LineComment1)   ? &LineComment1
                                    : MatchAt(line, i, LineComment2) ? &LineComment2
                                                                     : nullptr;
            if (lc) {
                NewDelimItem(*lc);
                if (!inString_)
                    lineComment_ = true;
                i += static_cast<int>(lc->size());
                continue;
            }
            if (MatchAt(line, i, BlockCommentStart1)) {
                if (!inString_)
                    blockComment_ = 1;
                NewDelimItem(BlockCommentStart1);
                i += static_cast<int>(BlockCommentStart1.size());
                continue;
            }
            if (insideTag_) {
                const std::string* bc = MatchAt(line, i, BlockCommentStart2)   ? &BlockCommentStart2
                                        : MatchAt(line, i, BlockCommentStart3) ? &BlockCommentStart3
                                                                               : nullptr;
                if (bc) {
                    if (!inString_)
                        blockComment_ = 1;
                    inString_ = true;
                    NewItem(*bc);
                    i += static_cast<int>(bc->size());
                    continue;
                }
            }
        }
        if (MatchAt(line, i, BlockCommentEnd1)) {
            NewDelimItem(BlockCommentEnd1);
            blockComment_ = 0;
            valueExpected_ = false;
            i += static_cast<int>(BlockCommentEnd1.size());
            continue;
        }
        if (insideTag_) {
            const std::string* be = MatchAt(line, i, BlockCommentEnd2)   ? &BlockCommentEnd2
                                    : MatchAt(line, i, BlockCommentEnd3) ? &BlockCommentEnd3
                                                                         : nullptr;
            if (be) {
                NewItem(*be);
                blockComment_ = 0;
                inString_ = false;
                valueExpected_ = false;
                i += static_cast<int>(be->size());
                continue;
            }
        }
        valueExpected_ = false;
        if (c == '<') {
            insideTag_ = true;
            wordCounter_ = 0;
        } else if (c == '/' && insideTag_) {
            wordCounter_ = 0;
        }
        NewItem(std::string(1, c));
        if (c == '>') {
            insideTag_ = false;
            wordCounter_ = 0;
            inString_ = false;
            blockComment_ = 0;
            lineComment_ = false;
        }
        valueExpected_ = insideTag_ && c == '=';
        ++i;
    }
    if (!pending.empty())
        NewItem(pending);
    state = blockComment_;
}

// ---- definition file ------------------------------------------------------------------------

void TQzSyntax::GetProperties(std::vector<Property>& props) {
    props.insert(props.end(), {
        {"Name", PropKind::String, &Name},
        {"Tag", PropKind::Integer, &Tag},
        {"CaseSensitive", PropKind::Bool, &CaseSensitive},
        {"ForceUpperCase", PropKind::Bool, &ForceUpperCase},
        {"LineComment1", PropKind::String, &LineComment1},
        {"LineComment2", PropKind::String, &LineComment2},
        {"SyntaxName", PropKind::String, &SyntaxName},
        {"Extensions", PropKind::String, &Extensions},
        {"BlockCommentStart1", PropKind::String, &BlockCommentStart1},
        {"BlockCommentEnd1", PropKind::String, &BlockCommentEnd1},
        {"BlockCommentStart2", PropKind::String, &BlockCommentStart2},
        {"BlockCommentEnd2", PropKind::String, &BlockCommentEnd2},
        {"BlockCommentStart3", PropKind::String, &BlockCommentStart3},
        {"BlockCommentEnd3", PropKind::String, &BlockCommentEnd3},
        {"CommentColor", PropKind::Color, &CommentColor},
        {"Delimiter", PropKind::Delimiter, &delimiter_},
        {"DirectiveStart", PropKind::String, &DirectiveStart},
        {"DirectiveColor", PropKind::Color, &DirectiveColor},
        {"StringChar", PropKind::String, &StringChar},
        {"StringColor", PropKind::Color, &StringColor},
        {"NumberColor", PropKind::Color, &NumberColor},
        {"BlockBegin", PropKind::String, &BlockBegin},
        {"BlockEnd", PropKind::String, &BlockEnd},
        {"Keyword1", PropKind::StringList, &keywords_[0]},
        {"Keyword2", PropKind::StringList, &keywords_[1]},
        {"Keyword3", PropKind::StringList, &keywords_[2]},
        {"Keyword4", PropKind::StringList, &keywords_[3]},
        {"Keyword5", PropKind::StringList, &keywords_[4]},
        {"Keyword6", PropKind::StringList, &keywords_[5]},
        {"KeywordColor1", PropKind::Color, &KeywordColor1},
        {"KeywordColor2", PropKind::Color, &KeywordColor2},
        {"KeywordColor3", PropKind::Color, &KeywordColor3},
        {"KeywordColor4", PropKind::Color, &KeywordColor4},
        {"KeywordColor5", PropKind::Color, &KeywordColor5},
        {"KeywordColor6", PropKind::Color, &KeywordColor6},
        {"Operator", PropKind::StringList, &operator_},
        {"OperatorColor", PropKind::Color, &OperatorColor},
    });
}

std::vector<TQzSyntax::Property> TQzSyntax::SortedProperties() {
    std::vector<Property> props;
    GetProperties(props);
    std::stable_sort(props.begin(), props.end(),
                     [](const Property& a, const Property& b) { return CompareText(a.name, b.name) < 0; });
    return props;
}

void TQzSyntax::LoadFromStrings(const TStringList& lines) {
    const std::vector<Property> props = SortedProperties();
    TStringList* current = nullptr;
    for (const std::string& raw : lines.Strings) {
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '#') {
            const size_t eq = line.find('=');
            const std::string name = line.substr(1, eq == std::string::npos ? std::string::npos : eq - 1);
            const Property* prop = nullptr;
            for (const Property& p : props)
                if (SameText(p.name, name))
                    prop = &p;
            if (!prop || eq == std::string::npos) {
                if (current)
                    current->Add(line);
                continue;
            }
            // The value keeps its trailing blanks: a delimiter text may end in a blank.
            const std::string leftTrimmed = TrimLeft(raw);
            const std::string value = leftTrimmed.substr(leftTrimmed.find('=') + 1);
            switch (prop->kind) {
            case PropKind::Color:
                *static_cast<TColor*>(prop->field) = ParseHexColor(value);
                break;
            case PropKind::Integer:
                *static_cast<int*>(prop->field) = StrToIntDef(Trim(value), 0);
                break;
            case PropKind::Bool:
                // A text that names neither value leaves the flag as it was.
                if (SameText(Trim(value), "True"))
                    *static_cast<bool*>(prop->field) = true;
                else if (SameText(Trim(value), "False"))
                    *static_cast<bool*>(prop->field) = false;
                break;
            case PropKind::String:
                *static_cast<std::string*>(prop->field) = value;
                break;
            case PropKind::Delimiter:
                SetDelimiter(value);
                break;
            case PropKind::StringList:
                current = static_cast<TStringList*>(prop->field);
                break;
            }
            continue;
        }
        if (current)
            current->Add(line);
    }
}

void TQzSyntax::LoadFromStream(std::istream& stream) {
    std::string data((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    TStringList lines;
    lines.SetText(data);
    LoadFromStrings(lines);
    SortList(operator_);
    RegenWordList();
}

void TQzSyntax::LoadFromFile(const std::string& fileName) {
    std::string data;
    if (!ReadFileBytes(fileName, data))
        throw EFOpenError(fileName, errno ? std::strerror(errno) : "The file could not be read.");
    TStringList lines;
    lines.SetText(data);
    LoadFromStrings(lines);
    SortList(operator_);
    RegenWordList();
}

void TQzSyntax::SaveToStrings(TStringList& lines) {
    lines.Clear();
    for (const Property& p : SortedProperties()) {
        if (SameText(p.name, "Name") || SameText(p.name, "Tag"))
            continue;
        const std::string head = std::string("#") + p.name + "=";
        switch (p.kind) {
        case PropKind::Color:
            lines.Add(head + HexColor(*static_cast<TColor*>(p.field)));
            break;
        case PropKind::Integer:
            lines.Add(head + IntToStr(*static_cast<int*>(p.field)));
            break;
        case PropKind::Bool:
            lines.Add(head + (*static_cast<bool*>(p.field) ? "True" : "False"));
            break;
        case PropKind::String:
        case PropKind::Delimiter:
            lines.Add(head + *static_cast<std::string*>(p.field));
            break;
        case PropKind::StringList:
            lines.Add("");
            lines.Add(head);
            for (const std::string& s : static_cast<TStringList*>(p.field)->Strings)
                lines.Add(s);
            break;
        }
    }
}

void TQzSyntax::SaveToStream(std::ostream& stream) {
    TStringList lines;
    SaveToStrings(lines);
    stream << lines.Text();
}

void TQzSyntax::SaveToFile(const std::string& fileName) {
    TStringList lines;
    SaveToStrings(lines);
    if (!WriteFileAtomic(fileName, lines.Text()))
        throw EFCreateError(fileName, errno ? std::strerror(errno) : "The file could not be written.");
}
