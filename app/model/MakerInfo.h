#pragma once
// The caption maker's details that the information and options dialogs edit: the part of a
// TCaptionInfo they read and write back.

#include <string>

#include "app/model/CaptionInfo.h"

struct TMakerInfo {
    std::string Name;
    std::string Mail;
    std::string Home;
    std::string Notice;  // lines separated by CR LF
};

TMakerInfo MakerInfoOf(const TCaptionInfo& info);
// Writes the four fields as they stand (nothing trimmed or checked); every other field, Modified
// included, is left alone.
void ApplyMakerInfo(TCaptionInfo& info, const TMakerInfo& maker);

// The notice of an editor's text (lines joined by LF): lines joined by CR LF.
std::string NoticeFromLines(const std::string& lfText);
// The line count shown by the information dialog for a caption list of `listRows` rows, the
// banner row included: the caption rows and " 줄" ("12 줄"), code page 949.
std::string CaptionLineCountText(int listRows);
