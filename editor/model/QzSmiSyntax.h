#pragma once
// The colouriser of SAMI caption text and HTML-like markup: tag names, attribute keys and
// values, quoted values, character entities, the sync time after "START", and comments.
//
// Line state handed between lines: string type x 10 + comment flag, where the string type is
// 0 (none), 1 (inside a quote-delimited value) or 2 (inside a double-quote-delimited value) and
// the comment flag is 1 inside "<!--" .. "-->" or "/*" .. "*/".

#include "editor/model/QzSyntax.h"

class TQzSmiSyntax : public TQzSyntax {
public:
    TQzSmiSyntax();

    TColor TagNameColor = clYellow;   // "<", ">", "/" after "<", and a tag's first word
    TColor TagKeyColor = clFuchsia;   // later words of a tag (attribute keys)
    TColor TagValueColor = clSilver;  // a word right after "=" inside a tag
    TColor TagAndColor = clLime;      // a character entity ("&" through ";") outside a tag

    // The result depends only on the line and the incoming state: a line that starts inside a
    // quoted value starts inside a tag, every other line outside one.
    void Parse(const std::string& line, int& state) override;
    void Clear() override;

protected:
    void GetProperties(std::vector<Property>& props) override;

private:
    // Appends one item (never merged): CommentColor inside a comment, StringColor inside a
    // quote-delimited value, else `color`.
    void SetAttr(const std::string& text, TColor color);
    // A quote (1) or double quote (2) inside a tag opens a value string, or closes the open one
    // when it is the same quote character.
    void SetStrType(int type);
    void EmitWord(std::string& word);

    int commentFlag_ = 0;
    int strType_ = 0;
    int tagPos_ = 0;
    bool valueFlag_ = false;
    bool afterStart_ = false;
};
