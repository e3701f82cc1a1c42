#pragma once
// HTML and RTF export of the editor's text, with the colours of the attached colouriser.
//
// Both exporters take the tab-expanded text of each line. Colouring is used when a colouriser is
// attached and qzoHighlightSyntax is on: each line is parsed with the colouriser state stored on
// the line before it (0 for line 0 or a line without attribute); the states are not stored back.
// Colours are written as plain RGB (system colours resolved through the fixed table).
//
// RTF colour table (13 entries, by position): 0 the font colour, 1 the background Color, then
// the colouriser's CommentColor, DirectiveColor, KeywordColor1..6, NumberColor, OperatorColor and
// StringColor (the font colour for all eleven without a colouriser). Double-byte runs are set in
// font 1, the Korean font "굴림".

#include <string>

class TQzPadModel;
class TStringList;

// Append the document for lines from..to (0-based, inclusive, cut to the lines) to `strings`,
// one output line per string.
void ExportToHTML(const TQzPadModel& pad, TStringList& strings, int from, int to);
void ExportToRTF(const TQzPadModel& pad, TStringList& strings, int from, int to);

// Export all lines and write them to the file, every string followed by CR LF. Throw
// EFCreateError when the file cannot be written (an existing file then stays as it was).
void SaveAsHTML(const TQzPadModel& pad, const std::string& fileName);
void SaveAsRTF(const TQzPadModel& pad, const std::string& fileName);

// The escaped forms of one piece of text.
std::string HtmlEscape(const std::string& text);
std::string RtfEscape(const std::string& text);
// The piece as font runs: "\f1 " before each run of double-byte characters, "\f0 " before each
// run of other bytes, each followed by its escaped bytes.
std::string RtfFontRuns(const std::string& text);
