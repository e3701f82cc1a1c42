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
    // Swaps two lines with their attributes.
    void Exchange(int a, int b);

    TQzLineAttribute* Attribute(int i) const;
    // The attribute of line i, made with (bookmark, wrapped) when it has none; null outside.
    TQzLineAttribute* EnsureAttribute(int i, int32_t bookmark, bool wrapped);
    void SetAttribute(int i, std::unique_ptr<TQzLineAttribute> attr);
    std::unique_ptr<TQzLineAttribute> TakeAttribute(int i);
    void FreeAttributes();

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

    std::vector<TLine> lines_;
    int updateCount_ = 0;
};
