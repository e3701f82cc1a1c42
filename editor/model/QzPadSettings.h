#pragma once
// The editor control's look and print settings in an INI file: sections "Editor Settings" and
// "Print Settings". Colours are written as their 32-bit values in decimal (system colours come out
// negative, as the platform's integer form has them), Booleans as "True"/"False", the option set
// as "[qzoAutoIndent,...]" and fonts as one property text "Charset|Color|Height|Name|Pitch|Size|Style".
//
// Reading: a missing file or key gives the documented default; an integer key whose text is not a
// number reads as its default, and a number outside its range below is clamped into it; a Boolean
// reads false only for "False" (any case); an empty font text leaves that font as it is. Nothing
// is reported.
//
// Writing: no value writes a line of its own (a CR or LF inside a text or font name is written as
// a blank); a text that begins or ends with a blank, a control character or a double quote is
// written inside one pair of double quotes, so it reads back with them.

#include "editor/model/QzPadTypes.h"

#include <functional>
#include <string>

// The ranges of the numbers read from the file (inclusive): sizes in characters, pixels, points
// and millimetres that the control can lay out and paint.
struct TQzSettingRange {
    int Min;
    int Max;
};
constexpr TQzSettingRange kQzTabSizeRange{1, 64};
constexpr TQzSettingRange kQzIndentSizeRange{1, 64};
constexpr TQzSettingRange kQzColumnCountRange{1, 2048};
constexpr TQzSettingRange kQzGutterWidthRange{0, 1000};
constexpr TQzSettingRange kQzLineSpaceRange{0, 100};
constexpr TQzSettingRange kQzMarginRange{0, 200};
constexpr TQzSettingRange kQzTemplatesSizeRange{16, 4096};
constexpr TQzSettingRange kQzFontSizeRange{1, 500};

class TQzCodeTemplates;
class TQzPadModel;
struct TEnumTypeInfo;

// The value names of TQzPadOption, for the set text of "Options".
const TEnumTypeInfo& QzPadOptionInfo();

// A font as its property text, and back (starting from `font`; an empty text changes nothing).
std::string FontToPropText(const TQzFontDesc& font);
TQzFontDesc FontFromPropText(const TQzFontDesc& font, const std::string& text);

// `templates` may be null (its keys are then skipped on reading and written with their
// defaults). `setFont`, when given, applies the editor font (the widget measures it again);
// otherwise the model's SetFont is used. The control is in an update bracket while it reads.
void LoadSettingFromINI(TQzPadModel& pad, TQzCodeTemplates* templates, const std::string& fileName,
                        const std::function<void(const TQzFontDesc&)>& setFont = nullptr);
// False when the file could not be written (an existing file then stays as it was).
bool SaveSettingToINI(TQzPadModel& pad, const TQzCodeTemplates* templates, const std::string& fileName);
