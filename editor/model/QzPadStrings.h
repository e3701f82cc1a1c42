#pragma once
// The editor's line store: the lines of the text as code page 949 byte strings, each with an
// optional attribute record (bookmark, soft-wrap mark, colouriser state), and the file form of
// the lines.
//
// Contract:
// - Lines are indexed 0 .. Count() - 1; every index argument outside that range is ignored
//   (Put, Delete, attribute access) or clamped (Insert, InsertLines) as documented below.
// - OnInserted / OnDeleted fire after lines were inserted or deleted (index of the first line and
//   the number of lines). OnChange fires after every change made outside an update bracket and at
//   the end of every outermost bracket, whether or not anything changed in it.
// - Bulk operations (InsertLines, DeleteLines, Assign, SetStr) are single splices: linear in the
//   number of lines they touch plus the lines after them, never quadratic.
// - Attributes are owned by the store; deleting a line frees its attribute.

#include "editor/model/QzPadTypes.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TStringList;

// Per-line record, made on demand.
class TQzLineAttribute {
public:
    TQzLineAttribute(int32_t bookmark, bool wrapped) : Bookmark(bookmark), Wrapped(wrapped) {}

    int32_t Bookmark = -2;     // -2 none, -1 unnumbered, 0..9 numbered
    bool Wrapped = false;      // a soft-wrap continuation of the line above
    int32_t SyntaxState = 0;   // colouriser state at the end of this line
};

// One change of the lines, kept so that it can be taken back (TQzPadStrings::Revert).
struct TQzLineChange {
    enum TKind : uint8_t { lcPut, lcInserted, lcDeleted, lcAttribute };
    TQzLineChange(TKind kind, int index, int count = 0) : Kind(kind), Index(index), Count(count) {}
    TKind Kind = lcPut;
    int Index = 0;
    int Count = 0;                   // lcInserted: the lines that went in
    std::vector<std::string> Texts;  // lcPut: the old text; lcDeleted: the lines taken out
    // lcDeleted: their attributes; lcAttribute: the line's old attribute (null: none)
    std::vector<std::unique_ptr<TQzLineAttribute>> Attrs;
    // lcAttribute: the bookmark the change left on the line (-2 none). Another one there when the
    // change is taken back was set since, which no edit does, and stays.
    int32_t Bookmark = -2;
};

class TQzPadStrings;

// Stops the journal of a line store for as long as it lives (changes that are no edit).
class TJournalPause {
public:
    explicit TJournalPause(TQzPadStrings& lines);
    ~TJournalPause();
    TJournalPause(const TJournalPause&) = delete;
    TJournalPause& operator=(const TJournalPause&) = delete;

private:
    TQzPadStrings& lines_;
    std::vector<TQzLineChange>* journal_;
};

class TQzPadStrings {
public:
    using TIndexEvent = std::function<void(TQzPadStrings& sender, int index, int count)>;
    using TNotifyEvent = std::function<void(TQzPadStrings& sender)>;

    TQzPadStrings() = default;
    TQzPadStrings(const TQzPadStrings&) = delete;
    TQzPadStrings& operator=(const TQzPadStrings&) = delete;

    TQzPadSaveFormat SaveFormat = qzsfDos;
    bool ConvertNullToSpace = true;

    TIndexEvent OnInserted;
    TIndexEvent OnDeleted;
    TNotifyEvent OnChange;
    // Fired once per SetStr/LoadFromFile, before the first NUL byte is turned into a blank.
    std::function<void()> OnConfirmConvert;

    int Count() const { return static_cast<int>(lines_.size()); }
    bool IsLine(int i) const { return i >= 0 && i < Count(); }
    // The raw text of line i (tabs unexpanded); the empty text for an index outside the lines.
    const std::string& Get(int i) const;
    const std::string& operator[](int i) const { return Get(i); }
    // Replaces the text of line i (keeps its attribute); ignored outside the lines.
    void Put(int i, std::string s);

    // Index of the new line.
    int Add(std::string s);
    // index is clamped into 0 .. Count().
    void Insert(int index, std::string s);
    void Delete(int index);
    // Inserts the lines before `index` (clamped into 0 .. Count()); `attrs`, when given, has one
    // entry per line (null for none).
    void InsertLines(int index, std::vector<std::string> lines,
                     std::vector<std::unique_ptr<TQzLineAttribute>> attrs = {});
    // Deletes `count` lines from `index` (the range is cut to the lines).
    void DeleteLines(int index, int count);
    void Clear();
    void Assign(std::vector<std::string> lines);
    void Assign(const TStringList& source);
    // Assign of the lines of a text, made straight from it: CR LF, LF and CR each end a line, and
    // a final line end leaves an empty last line.
    void AssignSplit(std::string_view text);
    // Swaps two lines with their attributes.
    void Exchange(int a, int b);

    TQzLineAttribute* Attribute(int i) const;
    // The attribute of line i, made with (bookmark, wrapped) when it has none; null outside.
    TQzLineAttribute* EnsureAttribute(int i, int32_t bookmark, bool wrapped);
    void SetAttribute(int i, std::unique_ptr<TQzLineAttribute> attr);
    std::unique_ptr<TQzLineAttribute> TakeAttribute(int i);
    void FreeAttributes();
    // Marks line i as a soft-wrap continuation or not (making its attribute when needed).
    void SetWrapped(int i, bool wrapped);

    // While a journal is set, every change of a line's text, every insertion and deletion of
    // lines and every attribute set, taken or re-marked (SetAttribute, TakeAttribute, SetWrapped)
    // is appended to it. Clear, Assign, SetStr, Exchange and SortBy are not: they replace or
    // reorder the text, and the owner empties its undo list for them.
    void SetJournal(std::vector<TQzLineChange>* journal) { journal_ = journal; }
    std::vector<TQzLineChange>* Journal() const { return journal_; }
    // Takes `changes` back, newest first, consuming them; nothing is logged meanwhile. Restored
    // lines and attributes come back without a numbered bookmark that another line holds now, and
    // a line whose bookmark was set or cleared since the change keeps that bookmark.
    void Revert(std::vector<TQzLineChange>& changes);

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    // All lines, each followed by CR LF.
    std::string Text() const;
    // All lines, each followed by the line end of SaveFormat.
    std::string FormattedText() const;
    // Replaces the lines with the lines of a byte buffer: CR LF, CR and LF each end a line, a
    // final line end adds no empty line, an empty buffer gives no lines. The first CR decides
    // between qzsfDos and qzsfMac; any LF not preceded by CR makes it qzsfUnix. NUL bytes become
    // blanks with ConvertNullToSpace.
    void SetStr(const char* buffer, size_t length);
    void SetStr(std::string_view text) { SetStr(text.data(), text.size()); }
    // Takes over the lines of `source` and its SaveFormat; `source` is left with the lines this
    // store had. Allocates nothing, so it cannot fail halfway.
    void TakeLines(TQzPadStrings& source);
    // A missing file leaves the lines alone and answers false; so does an unreadable one.
    bool LoadFromFile(const std::string& fileName);
    // Writes FormattedText() in one atomic replacement; false when it cannot be written.
    bool SaveToFile(const std::string& fileName) const;

    // Sorts lines FromLine..ToLine (clamped) ignoring ASCII case; fewer than 2 lines: nothing.
    void SortBy(int fromLine, int toLine, bool ascending);

private:
    struct TLine {
        std::string Text;
        std::unique_ptr<TQzLineAttribute> Attr;
    };
    void Changed();
    void QuickSort(int l, int r, bool ascending);

    void Log(TQzLineChange change);
    // Whether a line other than `except` holds the bookmark `number`.
    bool HoldsBookmark(int32_t number, int except) const;
    std::unique_ptr<TQzLineAttribute> CopyAttribute(int i) const;

    std::vector<TLine> lines_;
    int updateCount_ = 0;
    std::vector<TQzLineChange>* journal_ = nullptr;
};

inline TJournalPause::TJournalPause(TQzPadStrings& lines) : lines_(lines), journal_(lines.Journal())
{
    lines_.SetJournal(nullptr);
}

inline TJournalPause::~TJournalPause()
{
    lines_.SetJournal(journal_);
}
