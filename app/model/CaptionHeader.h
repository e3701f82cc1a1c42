#pragma once
// The header of a caption file written by the editor: the templates of the open document, filling
// their placeholders from the document's information on saving, and taking the information back
// out of the first comment block on reading.

#include <cstdint>
#include <string>

#include "app/model/CaptionInfo.h"
#include "platform/core/StringList.h"

// The open document's header (28 lines), body ("<SYNC START=($sync)><P CLASS=KALO_KRCC>($text)")
// and tail ("", "</BODY>", "</SAMI>") templates, in code page 949.
TStringList MainCaptionHead();
TStringList MainCaptionBody();
TStringList MainCaptionTail();

// Fills the header placeholders in `buffer` (any ASCII letter case, every occurrence). Sets
// info.ModifyTime to `now` ("%Y/%m/%d %H:%M") before "($smi.mtime)" is filled.
void FillCaptionHead(std::string& buffer, TCaptionInfo& info, const std::string& now);

// Takes the maker, the times and the notice out of a file's first comment block. A time is taken
// only when it has the "%Y/%m/%d %H:%M" form the writer writes (so a saved header's times come
// back); otherwise it is left empty and the caller falls back to the file's own times.
void ReadCaptionInfo(std::string& buffer, TCaptionInfo& info);

// "movie.avi 700.00MB(716,800KB)" for a file of 734,003,200 bytes; empty for a missing or empty
// file.
std::string MovieDescription(const std::string& path);
// 1234 -> "1,234"; 123456 -> "123,456"; negative numbers keep their sign in front.
std::string FormatThousands(int64_t n);
