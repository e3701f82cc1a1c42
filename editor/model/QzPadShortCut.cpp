#include "editor/model/QzPadShortCut.h"

#include <cerrno>
#include <cstring>

#include "controls/common/QzString.h"
#include "editor/model/QzFileError.h"
#include "platform/core/FileUtils.h"
#include "platform/core/StringList.h"
#include "platform/core/SysUtils.h"

namespace {

struct DefaultBinding {
    TQzPadCommand command;
    TShortCut shortCut;
};

// The default bindings in table order; the second bindings of Cut, Copy and Paste come last.
const DefaultBinding kDefaults[] = {
    {qzcMoveLeft, 37},           {qzcMoveWordLeft, 16421},     {qzcMoveRight, 39},
    {qzcMoveWordRight, 16423},   {qzcMoveUp, 38},              {qzcScrollUp, 16422},
    {qzcMoveDown, 40},           {qzcScrollDown, 16424},       {qzcPageUp, 33},
    {qzcPageDown, 34},           {qzcLineBegin, 36},           {qzcLineEnd, 35},
    {qzcTop, 16420},             {qzcBottom, 16419},           {qzcGotoLine, 16455},
    {qzcMoveBottomScreen, 16418}, {qzcMoveTopScreen, 16417},   {qzcSelLeft, 8229},
    {qzcSelWordLeft, 24613},     {qzcSelRight, 8231},          {qzcSelWordRight, 24615},
    {qzcSelUp, 8230},            {qzcSelDown, 8232},           {qzcSelPageUp, 8225},
    {qzcSelPageDown, 8226},      {qzcSelLineBegin, 8228},      {qzcSelLineEnd, 8227},
    {qzcSelTop, 24612},          {qzcSelBottom, 24611},        {qzcSelectAll, 16449},
    {qzcDeleteChar, 46},         {qzcDeletePrevChar, 8},       {qzcDeleteWord, 16468},
    {qzcDeletePrevWord, 16392},  {qzcDeleteLine, 16473},       {qzcDeleteEOL, 24665},
    {qzcDeleteSelBlock, 16430},  {qzcInsertCR, 13},            {qzcInsertTab, 9},
    {qzcInsertNewLine, 8205},    {qzcUndo, 16474},             {qzcRedo, 24666},
    {qzcCut, 16472},             {qzcCopy, 16451},             {qzcPaste, 16470},
    {qzcToggleBlockMode, 16450}, {qzcToggleEditMode, 45},      {qzcBlockIndent, 24649},
    {qzcBlockUnindent, 24661},   {qzcSetBookmark0, 24624},     {qzcSetBookmark1, 24625},
    {qzcSetBookmark2, 24626},    {qzcSetBookmark3, 24627},     {qzcSetBookmark4, 24628},
    {qzcSetBookmark5, 24629},    {qzcSetBookmark6, 24630},     {qzcSetBookmark7, 24631},
    {qzcSetBookmark8, 24632},    {qzcSetBookmark9, 24633},     {qzcGotoBookmark0, 16432},
    {qzcGotoBookmark1, 16433},   {qzcGotoBookmark2, 16434},    {qzcGotoBookmark3, 16435},
    {qzcGotoBookmark4, 16436},   {qzcGotoBookmark5, 16437},    {qzcGotoBookmark6, 16438},
    {qzcGotoBookmark7, 16439},   {qzcGotoBookmark8, 16440},    {qzcGotoBookmark9, 16441},
    {qzcSelectNone, 27},         {qzcOpenFile, 16397},         {qzcForwardMatchBrace, 16477},
    {qzcBackwardMatchBrace, 16475}, {qzcShowCodeTemplates, 16458}, {qzcToggleImeInputMode, 8224},
    {qzcCut, 8238},              {qzcCopy, 16429},             {qzcPaste, 8237},
};
static_assert(sizeof(kDefaults) / sizeof(kDefaults[0]) == 78, "78 default bindings");

// The command of a binding line's first field: a decimal number or a value name. False when the
// field names no command of 0..81.
bool ParseCommand(const std::string& field, TQzPadCommand& command) {
    if (field.empty())
        return false;
    if (field[0] >= '0' && field[0] <= '9') {
        int value = StrToIntDef(field, 0);
        if (value < 0 || value >= QzPadCommandCount)
            return false;
        command = static_cast<TQzPadCommand>(value);
        return true;
    }
    return EditorCommandFromName(field, command);
}

}  // namespace

std::string TQzShortCutItem::DisplayName() const {
    const char* name = EditorCommandString[EditorCommand < QzPadCommandCount ? EditorCommand : 0];
    return name;
}

void TQzShortCutItem::Assign(const TQzShortCutItem& other) {
    SetShortCut(other.GetShortCut());
    EditorCommand = other.EditorCommand;
}

TQzShortCutItem& TQzShortCut::Add() {
    items_.push_back(std::make_unique<TQzShortCutItem>());
    return *items_.back();
}

TQzShortCutItem& TQzShortCut::AddShortCut(TQzPadCommand command, TVirtualKey key, TShiftState shift) {
    TQzShortCutItem& item = Add();
    item.EditorCommand = command;
    item.Key = key;
    item.ShiftState = shift;
    return item;
}

void TQzShortCut::Assign(const TQzShortCut& other) {
    if (&other == this)
        return;
    items_.clear();
    items_.reserve(other.items_.size());
    for (const auto& item : other.items_)
        Add().Assign(*item);
}

TQzPadCommand TQzPadShortCut::FindShortCut(TVirtualKey key, TShiftState shift) const {
    TShortCut word = ::ShortCut(key, shift);
    if ((word & 0xFF) == 0)
        return qzcNone;
    for (int i = 0; i < shortCut_.Count(); ++i) {
        const TQzShortCutItem& item = shortCut_.Items(i);
        if (item.GetShortCut() == word)
            return item.EditorCommand;
    }
    return qzcNone;
}

void TQzPadShortCut::ResetToDefaultShortCut() {
    shortCut_.Clear();
    for (const DefaultBinding& d : kDefaults) {
        TVirtualKey key;
        TShiftState shift;
        ShortCutToKey(d.shortCut, key, shift);
        shortCut_.AddShortCut(d.command, key, shift);
    }
}

bool TQzPadShortCut::LoadFromFile(const std::string& fileName) {
    if (!FileExists(fileName))
        return false;
    TStringList lines;
    if (!lines.LoadFromFile(fileName))
        return false;
    const TCharSet comma{','};
    TQzShortCut table;
    for (const std::string& line : lines.Strings) {
        TQzPadCommand command = qzcNone;
        if (!ParseCommand(GetWord(line, 1, comma), command))
            continue;
        TVirtualKey key;
        TShiftState shift;
        ShortCutToKey(TextToShortCut(GetWord(line, 2, comma)), key, shift);
        table.AddShortCut(command, key, shift);
    }
    shortCut_.Assign(table);
    return true;
}

void TQzPadShortCut::SaveToFile(const std::string& fileName) const {
    std::string text;
    for (int i = 0; i < shortCut_.Count(); ++i) {
        const TQzShortCutItem& item = shortCut_.Items(i);
        text += EditorCommandName(item.EditorCommand);
        text += ',';
        text += ShortCutToText(item.GetShortCut());
        text += "\r\n";
    }
    if (!WriteFileAtomic(fileName, text))
        throw EFCreateError(fileName, errno ? std::strerror(errno) : "The file could not be written.");
}
