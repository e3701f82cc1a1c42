#pragma once
// Text and path helpers shared by the caption document, the caption label, the main window and
// the dialogs.
//
// Texts are byte strings in code page 949. "Ignoring case" means 'a'-'z' compare equal to 'A'-'Z'
// and every other byte (double-byte characters included) compares unchanged. A byte >= 0x80 is a
// lead byte and the byte after it its trail byte. "Blanks" are space, TAB, CR and LF.
//
// Two forms are used: std::string / std::string_view, and NUL-terminated char texts (usually the
// text of a TQzBuf) changed in place. No function limits the length of its texts.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class TQzBuf;
class TStringList;

// ---- Replacing and finding -------------------------------------------------------------------

// Replaces every occurrence ignoring case, matching only at character boundaries (never at the
// trail byte of a double-byte character).
std::string ReplaceAll(std::string_view s, std::string_view find, std::string_view replacement);
// One left-to-right pass: a match (ignoring case, at any byte) is replaced and the scan continues
// after it, so the replacement is never scanned again. all = false stops after the first match.
// An empty `find` returns `s` unchanged.
std::string ReplaceText(std::string_view s, std::string_view find, std::string_view replacement,
                        bool all);
// ReplaceText on the buffer's text, assigned back. 0 (buffer unchanged) when `find` is empty, else
// 1 whether or not anything matched.
int ReplaceInBuffer(TQzBuf& buf, std::string_view find, std::string_view replacement, bool all);
// ReplaceText in place on a NUL-terminated text. Does nothing and returns 0 when `find` is empty
// or shorter than `replacement` (the text could grow); otherwise 1 when something was replaced.
int ReplaceInPlace(char* text, std::string_view find, std::string_view replacement, bool all);
// The first position of `text` at which `pattern`'s first `patternLength` bytes (< 0: all of
// them) match ignoring case; null when there is none. An empty pattern matches at the start.
const char* FindText(const char* text, const char* pattern, int patternLength = -1);
char* FindText(char* text, const char* pattern, int patternLength = -1);
// As FindText on a string_view: the offset of the first match at or after `from`, or npos.
size_t FindTextPos(std::string_view text, std::string_view pattern, size_t from = 0);
// ReplaceText applied to `s` itself from offset `from` on (in place when the replacement is not
// longer than `find`). Returns the number of occurrences replaced.
size_t ReplaceInString(std::string& s, std::string_view find, std::string_view replacement, bool all,
                       size_t from = 0);

// ---- Single bytes and trimming ---------------------------------------------------------------

void RemoveChar(char* text, char c);
std::string RemoveCharStr(std::string_view s, char c);
void ReplaceChar(char* text, char from, char to);
// Keeps only '0'-'9' and '-'.
std::string KeepDigits(std::string_view s);
// Cuts trailing blanks; returns the new length.
int TrimRightInPlace(char* text);
// The first byte that is not a blank (the NUL when all are).
const char* SkipBlanks(const char* text);
// Trims blanks (space, TAB, CR, LF) at both ends, or at the right end only.
std::string TrimBlanks(std::string_view s);
std::string TrimBlanksRight(std::string_view s);
// The path without one trailing '/' (unchanged when it does not end in one).
std::string StripTrailingBackslash(std::string_view path);

// ---- Double-byte text and caption lines ------------------------------------------------------

// 0 single-byte character, 1 lead byte, 2 trail byte at `index`; -1 when the index is outside the
// text. A lead byte at the very end has no trail byte.
int DbcsByteType(std::string_view text, int index);
// Byte offset just after the first n bytes outside tags (a tag runs from '<' through the next
// '>', or to the end); 0 when n < 1.
int TagSkipOffset(std::string_view text, int n);
// Where to break a caption line of `columns` columns (a double-byte character takes two, tags
// none): 0 for no break. hard = true breaks at the column (never inside a double-byte character);
// otherwise after the last space within the columns, or at a space starting exactly at column
// `columns`.
int FindLineBreak(std::string_view s, int columns, bool hard);

// ---- Blocks (a start marker through the next end marker after it, both included) -------------

// From the first start marker (ignoring case) through the first end marker after it; the rest of
// the text from the start marker when no end marker follows; "" without a start marker.
// Negative lengths take the whole marker.
std::string ExtractBetween(std::string_view text, std::string_view start, std::string_view end,
                           int startLength = -1, int endLength = -1);
// The first block; "" when either marker is missing.
std::string ExtractBlock(std::string_view s, std::string_view start, std::string_view end);
// Repeatedly takes the first block and replaces every occurrence of its whole text by
// `replacement`; stops when no block is left or a pass changes nothing.
void RemoveBlocks(TQzBuf& buf, std::string_view start, std::string_view end,
                  std::string_view replacement);
std::string ReplaceBlocks(std::string_view s, std::string_view start, std::string_view end,
                          std::string_view replacement);
// ReplaceBlocks applied to `s` itself.
void ReplaceBlocksInString(std::string& s, std::string_view start, std::string_view end,
                           std::string_view replacement);

// ---- Name and value --------------------------------------------------------------------------

// Everything after the first '=' of the first line whose part before it equals `name` (ignoring
// case); "" when there is none.
std::string ValueOfName(std::string_view name, const TStringList& lines);
// ValueOfName over the lines of a multi-line text.
std::string ValueFromText(std::string_view name, std::string_view text);

// ---- Windows and files -----------------------------------------------------------------------

struct TQzPoint {
    int X = 0;
    int Y = 0;
};

// What CenterOnMainForm needs to know of the screen and the main window, in pixels.
struct TMainFormGeometry {
    bool MainVisible = false;
    int Left = 0, Top = 0, Width = 0, Height = 0;  // the main window's frame
    int ScreenWidth = 0, ScreenHeight = 0;          // the primary display
};
using TMainFormGeometryHook = std::function<TMainFormGeometry()>;
// Set by the application once its main window exists; an empty hook removes it.
void SetMainFormGeometryHook(TMainFormGeometryHook hook);

// Top-left corner for a window of width x height: centred over the visible main window and kept
// on the screen, else centred on the screen without limits. Without a hook: (0, 0).
void CenterOnMainForm(TQzPoint& out, int width, int height);

// The file's lines (CR LF, LF or CR; nothing after a NUL); null when it is missing or unreadable.
std::unique_ptr<TStringList> LoadStringList(const std::string& path);
// The file's size in bytes; -1 when its status cannot be read.
int64_t GetFileLength(const std::string& path);
