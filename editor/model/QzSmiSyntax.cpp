#include "editor/model/QzSmiSyntax.h"

#include "controls/common/QzString.h"

namespace {

bool At(const std::string& line, int i, const char* token) {
    return line.compare(static_cast<size_t>(i - 1), std::char_traits<char>::length(token), token) == 0;
}

}  // namespace

TQzSmiSyntax::TQzSmiSyntax() {
    SetDelimiter(" '\"<>/-=&;");
    ForceUpperCase = true;
}

void TQzSmiSyntax::Clear() {
    TQzSyntax::Clear();
    tagPos_ = 0;
    valueFlag_ = false;
    strType_ = 0;
}

void TQzSmiSyntax::GetProperties(std::vector<Property>& props) {
    TQzSyntax::GetProperties(props);
    props.insert(props.end(), {
        {"TagNameColor", PropKind::Color, &TagNameColor},
        {"TagKeyColor", PropKind::Color, &TagKeyColor},
        {"TagValueColor", PropKind::Color, &TagValueColor},
        {"TagAndColor", PropKind::Color, &TagAndColor},
    });
}

void TQzSmiSyntax::SetAttr(const std::string& text, TColor color) {
    if (commentFlag_ == 1)
        color = CommentColor;
    else if (strType_ == 1)
        color = StringColor;
    parsedItems_.push_back({text, color});
}

void TQzSmiSyntax::SetStrType(int type) {
    if (tagPos_ == 0)
        strType_ = 0;
    else if (strType_ == 0)
        strType_ = type;
    else if (strType_ == type)
        strType_ = 0;
}

void TQzSmiSyntax::EmitWord(std::string& word) {
    TColor color = tagPos_ == 0 ? clNone : tagPos_ == 1 ? TagNameColor : valueFlag_ ? TagValueColor : TagKeyColor;
    if (strType_ != 0)
        color = StringColor;
    if (afterStart_)
        color = NumberColor;
    afterStart_ = false;
    valueFlag_ = false;
    std::string upper = AsciiUpperCase(word);
    SetAttr(ForceUpperCase && (color == TagNameColor || color == TagKeyColor) ? upper : word, color);
    if (upper == "START")
        afterStart_ = true;
    word.clear();
    if (tagPos_ > 0)
        ++tagPos_;
}

void TQzSmiSyntax::Parse(const std::string& line, int& state) {
    ClearParsedItems();
    if (line.empty())
        return;
    commentFlag_ = state % 10 == 1 ? 1 : 0;
    strType_ = state / 10;
    if (strType_ < 0 || strType_ > 2)
        strType_ = 0;
    tagPos_ = strType_ != 0 ? 2 : 0;
    valueFlag_ = false;
    afterStart_ = false;
    const TCharSet delims = GetDelimSet();
    const int len = static_cast<int>(line.size());
    std::string word;
    int i = 1;
    while (i <= len) {
        const char c = line[static_cast<size_t>(i - 1)];
        // Inside a comment, a word that starts with the closing token ends the comment even when
        // "-" or "*" is not a delimiter; otherwise a comment would never close with such a set.
        const bool closesComment = commentFlag_ == 1 && word.empty() && (At(line, i, "-->") || At(line, i, "*/"));
        if (!delims.Contains(c) && !closesComment) {
            word += GetStringUntil(line, delims, i);
            continue;
        }
        if (!word.empty())
            EmitWord(word);
        if (tagPos_ == 1 && c == '/') {
            SetAttr("/", TagNameColor);
            ++i;
            continue;
        }
        if (At(line, i, "<!--")) {
            tagPos_ = 0;
            valueFlag_ = false;
            SetAttr("<!--", CommentColor);
            commentFlag_ = 1;
            i += 4;
            continue;
        }
        if (At(line, i, "-->")) {
            SetAttr("-->", CommentColor);
            commentFlag_ = 0;
            i += 3;
            continue;
        }
        if (At(line, i, "/*")) {
            tagPos_ = 0;
            valueFlag_ = false;
            SetAttr("/*", CommentColor);
            commentFlag_ = 1;
            i += 2;
            continue;
        }
        if (At(line, i, "*/")) {
            SetAttr("*/", CommentColor);
            commentFlag_ = 0;
            i += 2;
            continue;
        }
        if (commentFlag_ == 1) {
            SetAttr(std::string(1, c), CommentColor);
            ++i;
            continue;
        }
        if (At(line, i, "//")) {
            SetAttr(line.substr(static_cast<size_t>(i - 1)), CommentColor);
            break;
        }
        if (c == '<') {
            tagPos_ = 1;
            valueFlag_ = false;
            strType_ = 0;
            SetAttr("<", TagNameColor);
            ++i;
            continue;
        }
        if (c == '>') {
            tagPos_ = 0;
            valueFlag_ = false;
            strType_ = 0;
            SetAttr(">", TagNameColor);
            ++i;
            continue;
        }
        if (tagPos_ > 0 && (c == '\'' || c == '"')) {
            SetAttr(std::string(1, c), StringColor);
            SetStrType(c == '\'' ? 1 : 2);
            ++i;
            continue;
        }
        if (strType_ == 0) {
            if (c == '=') {
                valueFlag_ = true;
                SetAttr("=", clNone);
            } else if (c == '&' && tagPos_ == 0) {
                const int p = FindAndString(line, ";", i + 1, true, 10);
                if (p > 0) {
                    SetAttr(line.substr(static_cast<size_t>(i - 1), static_cast<size_t>(p - i)), TagAndColor);
                    i = p;
                    continue;
                }
                SetAttr("&", clNone);
            } else {
                SetAttr(std::string(1, c), clNone);
            }
            ++i;
            continue;
        }
        SetAttr(std::string(1, c), StringColor);
        ++i;
    }
    if (!word.empty()) {
        SetAttr(word, clNone);
        word.clear();
    }
    state = strType_ * 10 + commentFlag_;
}
