#pragma once
// The colouriser base: splits one line into coloured pieces for painting, printing and export.
//
// It holds a configurable language description (keyword lists with colours, comment and string
// delimiters, a delimiter set) that can be read from and written to a definition file, and a
// tokenizer tuned to tag-structured text. A derived colouriser may replace the tokenizer. The
// editor hands an integer state from the end of one line to the start of the next; it is opaque
// to the editor.

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "controls/common/QzString.h"
#include "editor/model/QzColor.h"
#include "platform/core/StringList.h"

// One piece of a parsed line. clNone means the editor's default text colour.
struct TQzSyntaxItem {
    std::string Text;
    TColor Color = clNone;
};

// Scans `s` from the 1-based position `start` for the one-character `sub` (an empty `sub`
// matches a blank or ">") and returns the position after the match. 0 when the end of the text
// is reached first, when `stopAtDoubleByte` and a byte above 0x80 comes first, or when
// `maxLen` > 0 and `maxLen` bytes were passed without a match.
int FindAndString(std::string_view s, std::string_view sub, int start, bool stopAtDoubleByte, int maxLen);
// FindAndString without the double-byte stop and the length limit.
int StrPos(std::string_view s, std::string_view sub, int start);
// Binary search of a list sorted by CompareStrLocale, comparing case-sensitively; `index`
// receives the position found or the insertion point.
bool FindCase(const std::vector<std::string>& list, std::string_view word, int& index);
// The locale's case-sensitive order: letters compare ignoring case first, and where two texts
// differ only in case, the lower-case letter comes first.
int CompareStrLocale(std::string_view a, std::string_view b);

class TQzSyntax {
public:
    TQzSyntax();
    virtual ~TQzSyntax() = default;
    TQzSyntax(const TQzSyntax&) = delete;
    TQzSyntax& operator=(const TQzSyntax&) = delete;

    std::string Name;
    int Tag = 0;

    bool CaseSensitive = false;
    bool ForceUpperCase = true;
    std::string LineComment1, LineComment2;
    std::string SyntaxName;
    std::string Extensions;
    std::string BlockCommentStart1, BlockCommentEnd1;
    std::string BlockCommentStart2, BlockCommentEnd2;
    std::string BlockCommentStart3, BlockCommentEnd3;
    TColor CommentColor = clBlue;
    std::string DirectiveStart;
    TColor DirectiveColor = clBlue;
    std::string StringChar;
    TColor StringColor = clAqua;
    TColor NumberColor = clPurple;
    std::string BlockBegin, BlockEnd;
    TColor KeywordColor1 = clGreen;
    TColor KeywordColor2 = clNavy;
    TColor KeywordColor3 = clBlack;
    TColor KeywordColor4 = clBlack;
    TColor KeywordColor5 = clBlack;
    TColor KeywordColor6 = clBlack;
    TColor OperatorColor = clBlack;

    const std::string& Delimiter() const { return delimiter_; }
    // Sets the text and rebuilds the delimiter set from its bytes.
    void SetDelimiter(const std::string& value);

    // Keyword lists 1..6. Editing a list in place does not rebuild the word list; the setters
    // and RegenWordList do.
    TStringList& Keyword(int n);
    const TStringList& Keyword(int n) const;
    void SetKeyword(int n, const TStringList& list);
    TStringList& Operator() { return operator_; }
    const TStringList& Operator() const { return operator_; }
    void SetOperator(const TStringList& list);

    // Fills ParsedItems for one line. `state` comes in as the state at the end of the previous
    // line (0 for the first) and goes out as the state at the end of this one; an empty line
    // hands it on unchanged.
    virtual void Parse(const std::string& line, int& state);
    // The colour of one word by the word lists (and the tokenizer's string and comment state).
    virtual TColor GetColor(const std::string& word);
    // Resets the description to the base values (ForceUpperCase and the word list stay).
    virtual void Clear();
    // Rebuilds the word list after the properties were set from a stored layout.
    virtual void Loaded();

    // The delimiter set, rebuilt from Delimiter() when it is empty.
    TCharSet GetDelimSet();
    // The result of the last Parse; the pieces joined give the line (tag names may be
    // upper-cased by ForceUpperCase).
    const std::vector<TQzSyntaxItem>& ParsedItems() const { return parsedItems_; }

    // Definition file. LoadFromFile throws EFOpenError when the file cannot be read;
    // SaveToFile throws EFCreateError when it cannot be written. The file and stream forms sort
    // the lists and rebuild the word list after reading; LoadFromStrings does neither.
    void LoadFromFile(const std::string& fileName);
    void LoadFromStream(std::istream& stream);
    void LoadFromStrings(const TStringList& lines);
    void SaveToFile(const std::string& fileName);
    void SaveToStream(std::ostream& stream);
    void SaveToStrings(TStringList& lines);

    void RegenWordList();
    void ClearWordList() { wordList_.clear(); }
    void ClearParsedItems() { parsedItems_.clear(); }

protected:
    enum class PropKind { Color, Integer, Bool, String, Delimiter, StringList };
    struct Property {
        const char* name;
        PropKind kind;
        void* field;  // TColor*, int*, bool*, std::string* or TStringList* by kind
    };
    // The published properties of the definition file; a derived colouriser adds its own.
    virtual void GetProperties(std::vector<Property>& props);

    // Appends an item, merging it into the last one when that has the same colour.
    void AddMerged(const std::string& text, TColor color);

    std::vector<TQzSyntaxItem> parsedItems_;

private:
    struct WordEntry {
        std::string word;
        TColor color;
    };

    std::vector<Property> SortedProperties();
    const WordEntry* FindWordIgnoreCase(std::string_view word) const;
    static bool ListContainsIgnoreCase(const TStringList& sortedList, std::string_view word);
    bool InComment() const { return blockComment_ != 0 || lineComment_; }
    bool MatchAt(const std::string& line, int i, const std::string& token) const;
    void NewItem(const std::string& text);
    void NewDelimItem(const std::string& text);

    std::string delimiter_;
    TCharSet delimSet_;
    TStringList keywords_[6];
    TStringList operator_;
    std::vector<WordEntry> wordList_;  // sorted by CompareStrLocale

    bool inString_ = false;
    int blockComment_ = 0;
    bool lineComment_ = false;
    bool valueExpected_ = false;
    bool insideTag_ = false;
    int wordCounter_ = 0;
};
