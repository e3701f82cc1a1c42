#include "editor/model/QzPadSettings.h"

#include "controls/common/Qzcommon.h"
#include "editor/model/QzCodeTemplates.h"
#include "editor/model/QzPadModel.h"
#include "platform/core/Cp949.h"
#include "platform/core/IniFile.h"
#include "platform/core/SysUtils.h"

#include <algorithm>

namespace {

const char kEditor[] = "Editor Settings";
const char kPrint[] = "Print Settings";

// A text as one INI value: each CR or LF becomes a blank, so that no value writes a line of its
// own, and a text that the reader would trim (a blank or control character at either end) or
// unquote (a double quote at either end) is written inside one pair of double quotes, which the
// reader strips again.
void WriteText(TIniFile& ini, const char* section, const char* key, const std::string& text)
{
    std::string value = text;
    for (char& c : value)
        if (c == '\r' || c == '\n')
            c = ' ';
    auto guarded = [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == '"'; };
    if (!value.empty() && (guarded(value.front()) || guarded(value.back())))
        value = '"' + value + '"';
    ini.WriteString(section, key, value);
}

int ReadNumber(const TIniFile& ini, const char* section, const char* key, int def, TQzSettingRange range)
{
    return std::clamp(ini.ReadInteger(section, key, def), range.Min, range.Max);
}

bool ReadBoolName(const TIniFile& ini, const char* key, const char* def)
{
    return !SameText(ini.ReadString(kPrint, key, def), "False");
}

void WriteBoolName(TIniFile& ini, const char* key, bool value)
{
    ini.WriteString(kPrint, key, value ? "True" : "False");
}

TColor ReadColor(const TIniFile& ini, const char* key, TColor def)
{
    return static_cast<TColor>(ini.ReadInteger(kEditor, key, static_cast<int>(def)));
}

void WriteColor(TIniFile& ini, const char* key, TColor value)
{
    ini.WriteInteger(kEditor, key, static_cast<int>(value));
}

TQzFontDesc ReadFont(const TIniFile& ini, const char* section, const char* key, const TQzFontDesc& font)
{
    TQzFontDesc result = FontFromPropText(font, ini.ReadString(section, key, ""));
    result.Size = std::clamp(result.Size, kQzFontSizeRange.Min, kQzFontSizeRange.Max);
    return result;
}

// The stored form of a font: the Korean character set, pitch 2 for a fixed-pitch font.
TFontValues FontValuesOf(const TQzFontDesc& font)
{
    TFontValues v;
    v.Charset = 129;
    v.Color = font.Color;
    v.Name = font.Name;
    v.Pitch = font.FixedPitch ? 2 : 0;
    v.SetSize(font.Size);
    return v;
}

}  // namespace

const TEnumTypeInfo& QzPadOptionInfo()
{
    static const TEnumTypeInfo info{
        0,
        {"qzoAutoIndent", "qzoHighlightCurrentLine", "qzoFillCurrentLine", "qzoHighlightSyntax",
         "qzoReadOnly", "qzoSelectMatchBrace", "qzoSelectDblClick", "qzoShowColumnIndicator",
         "qzoShowGutter", "qzoShowLineNo", "qzoSmartHome", "qzoShowNewLineMark", "qzoUseSpace",
         "qzoCopyLine", "qzoScrollPastEOL"}};
    return info;
}

std::string FontToPropText(const TQzFontDesc& font)
{
    TFontValues v = FontValuesOf(font);
    return GetClassProp(v);
}

TQzFontDesc FontFromPropText(const TQzFontDesc& font, const std::string& text)
{
    TFontValues v = FontValuesOf(font);
    SetClassProp(v, text);
    TQzFontDesc result = font;
    result.Color = v.Color;
    result.Name = v.Name;
    result.FixedPitch = v.Pitch == 2;
    result.Size = v.Size();
    return result;
}

void LoadSettingFromINI(TQzPadModel& pad, TQzCodeTemplates* templates, const std::string& fileName,
                        const std::function<void(const TQzFontDesc&)>& setFont)
{
    pad.BeginUpdate();
    {
        const TIniFile ini(fileName);
        pad.SetColor(ReadColor(ini, "BackColor", 16777215));
        pad.SetGutterColor(ReadColor(ini, "GutterColor", 12566463));
        pad.SetLineNoColor(ReadColor(ini, "LineNoColor", 12566463));
        pad.SetBookmarkColor(ReadColor(ini, "BookmarkColor", 65535));
        pad.SetColumnCount(ReadNumber(ini, kEditor, "ColumnCount", 80, kQzColumnCountRange));
        pad.SetGutterWidth(ReadNumber(ini, kEditor, "GutterWidth", 30, kQzGutterWidthRange));
        pad.SetTabSize(ReadNumber(ini, kEditor, "TabSize", 2, kQzTabSizeRange));
        pad.SetIndentSize(ReadNumber(ini, kEditor, "IndentSize", 2, kQzIndentSizeRange));
        pad.SetLineSpace(ReadNumber(ini, kEditor, "LineSpace", 2, kQzLineSpaceRange));
        pad.SetNewLineMarkColor(ReadColor(ini, "NewLineMarkColor", 8355584));
        pad.SetNewLineMark(ini.ReadString(kEditor, "NewLineMark", Cp949("↓")));
        pad.SetCurrentLineColor(ReadColor(ini, "CurrentLineColor", 65535));

        const uint32_t options = StringToSet(ini.ReadString(kEditor, "Options", ""), QzPadOptionInfo());
        pad.SetOptions(TQzPadOptions::FromWord(static_cast<uint16_t>(options & 0x7FFF)));

        const TQzFontDesc font = ReadFont(ini, kEditor, "Font", pad.Font());
        if (setFont)
            setFont(font);
        else
            pad.SetFont(font);

        TQzPrintOptions& po = pad.PrintOptions();
        po.PrintLineNo = ReadBoolName(ini, "PrintLineNo", "False");
        po.PrintSeperator = ReadBoolName(ini, "PrintSeperator", "True");
        po.WordWrap = ReadBoolName(ini, "PrintWordWrap", "False");
        po.MarginLeft = ReadNumber(ini, kPrint, "MarginLeft", 15, kQzMarginRange);
        po.MarginTop = ReadNumber(ini, kPrint, "MarginTop", 15, kQzMarginRange);
        po.MarginRight = ReadNumber(ini, kPrint, "MarginRight", 15, kQzMarginRange);
        po.MarginBottom = ReadNumber(ini, kPrint, "MarginBottom", 15, kQzMarginRange);
        // A layout outside the three known ones would index past the printing tables.
        const int pages = ini.ReadInteger(kPrint, "PagesPerSheet", 0);
        po.PagesPerSheet = pages >= ppps1 && pages <= ppps4 ? static_cast<TQzPagesPerSheet>(pages) : ppps1;

        TQzPrintHeader& header = pad.PrintHeader();
        header.Visible = ReadBoolName(ini, "PrintHeader", "True");
        header.TextLeft = ini.ReadString(kPrint, "HeaderLeft", "");
        header.TextCenter = ini.ReadString(kPrint, "HeaderCenter", "");
        header.TextRight = ini.ReadString(kPrint, "HeaderRight", "");
        TQzPrintHeader& footer = pad.PrintFooter();
        footer.Visible = ReadBoolName(ini, "PrintFooter", "True");
        footer.TextLeft = ini.ReadString(kPrint, "FooterLeft", "");
        footer.TextCenter = ini.ReadString(kPrint, "FooterCenter", "");
        footer.TextRight = ini.ReadString(kPrint, "FooterRight", "");

        po.Font = ReadFont(ini, kPrint, "PrintFont", po.Font);
        header.Font = ReadFont(ini, kPrint, "PrintHeaderFont", header.Font);
        footer.Font = ReadFont(ini, kPrint, "PrintFooterFont", footer.Font);
        if (templates) {
            templates->Font = ReadFont(ini, kEditor, "CodeTemplatesFont", templates->Font);
            templates->Width = ReadNumber(ini, kEditor, "CodeTemplatesWidth", 400, kQzTemplatesSizeRange);
            templates->Height = ReadNumber(ini, kEditor, "CodeTemplatesHeight", 100, kQzTemplatesSizeRange);
        }
    }
    pad.EndUpdate();
}

bool SaveSettingToINI(TQzPadModel& pad, const TQzCodeTemplates* templates, const std::string& fileName)
{
    TIniFile ini(fileName);
    WriteColor(ini, "BackColor", pad.Color());
    WriteColor(ini, "GutterColor", pad.GutterColor());
    WriteColor(ini, "LineNoColor", pad.LineNoColor());
    WriteColor(ini, "BookmarkColor", pad.BookmarkColor());
    ini.WriteInteger(kEditor, "ColumnCount", pad.ColumnCount());
    ini.WriteInteger(kEditor, "GutterWidth", pad.GutterWidth());
    ini.WriteInteger(kEditor, "TabSize", pad.TabSize());
    ini.WriteInteger(kEditor, "IndentSize", pad.IndentSize());
    ini.WriteInteger(kEditor, "LineSpace", pad.LineSpace());
    WriteColor(ini, "CurrentLineColor", pad.CurrentLineColor());
    ini.WriteString(kEditor, "Options", SetToString(pad.Options().Word(), QzPadOptionInfo()));
    WriteText(ini, kEditor, "NewLineMark", pad.NewLineMark());
    WriteColor(ini, "NewLineMarkColor", pad.NewLineMarkColor());

    const TQzPrintOptions& po = pad.PrintOptions();
    WriteBoolName(ini, "PrintLineNo", po.PrintLineNo);
    WriteBoolName(ini, "PrintSeperator", po.PrintSeperator);
    WriteBoolName(ini, "PrintWordWrap", po.WordWrap);
    ini.WriteInteger(kPrint, "MarginLeft", po.MarginLeft);
    ini.WriteInteger(kPrint, "MarginTop", po.MarginTop);
    ini.WriteInteger(kPrint, "MarginRight", po.MarginRight);
    ini.WriteInteger(kPrint, "MarginBottom", po.MarginBottom);
    ini.WriteInteger(kPrint, "PagesPerSheet", po.PagesPerSheet);
    const TQzPrintHeader& header = pad.PrintHeader();
    WriteBoolName(ini, "PrintHeader", header.Visible);
    WriteText(ini, kPrint, "HeaderLeft", header.TextLeft);
    WriteText(ini, kPrint, "HeaderCenter", header.TextCenter);
    WriteText(ini, kPrint, "HeaderRight", header.TextRight);
    const TQzPrintHeader& footer = pad.PrintFooter();
    WriteBoolName(ini, "PrintFooter", footer.Visible);
    WriteText(ini, kPrint, "FooterLeft", footer.TextLeft);
    WriteText(ini, kPrint, "FooterCenter", footer.TextCenter);
    WriteText(ini, kPrint, "FooterRight", footer.TextRight);
    ini.WriteInteger(kEditor, "CodeTemplatesWidth", templates ? templates->Width : 400);
    ini.WriteInteger(kEditor, "CodeTemplatesHeight", templates ? templates->Height : 100);

    WriteText(ini, kEditor, "Font", FontToPropText(pad.Font()));
    WriteText(ini, kPrint, "PrintFont", FontToPropText(po.Font));
    WriteText(ini, kPrint, "PrintHeaderFont", FontToPropText(header.Font));
    WriteText(ini, kPrint, "PrintFooterFont", FontToPropText(footer.Font));
    if (templates)
        WriteText(ini, kEditor, "CodeTemplatesFont", FontToPropText(templates->Font));
    return ini.UpdateFile();
}
