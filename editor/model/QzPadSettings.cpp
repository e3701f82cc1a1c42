#include "editor/model/QzPadSettings.h"

#include "controls/common/Qzcommon.h"
#include "editor/model/QzCodeTemplates.h"
#include "editor/model/QzPadModel.h"
#include "platform/core/Cp949.h"
#include "platform/core/IniFile.h"
#include "platform/core/SysUtils.h"

namespace {

const char kEditor[] = "Editor Settings";
const char kPrint[] = "Print Settings";

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
    return FontFromPropText(font, ini.ReadString(section, key, ""));
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
        pad.SetColumnCount(ini.ReadInteger(kEditor, "ColumnCount", 80));
        pad.SetGutterWidth(ini.ReadInteger(kEditor, "GutterWidth", 30));
        pad.SetTabSize(ini.ReadInteger(kEditor, "TabSize", 2));
        pad.SetIndentSize(ini.ReadInteger(kEditor, "IndentSize", 2));
        pad.SetLineSpace(ini.ReadInteger(kEditor, "LineSpace", 2));
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
        po.MarginLeft = ini.ReadInteger(kPrint, "MarginLeft", 15);
        po.MarginTop = ini.ReadInteger(kPrint, "MarginTop", 15);
        po.MarginRight = ini.ReadInteger(kPrint, "MarginRight", 15);
        po.MarginBottom = ini.ReadInteger(kPrint, "MarginBottom", 15);
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
            templates->Width = ini.ReadInteger(kEditor, "CodeTemplatesWidth", 400);
            templates->Height = ini.ReadInteger(kEditor, "CodeTemplatesHeight", 100);
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
    ini.WriteString(kEditor, "NewLineMark", pad.NewLineMark());
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
    ini.WriteString(kPrint, "HeaderLeft", header.TextLeft);
    ini.WriteString(kPrint, "HeaderCenter", header.TextCenter);
    ini.WriteString(kPrint, "HeaderRight", header.TextRight);
    const TQzPrintHeader& footer = pad.PrintFooter();
    WriteBoolName(ini, "PrintFooter", footer.Visible);
    ini.WriteString(kPrint, "FooterLeft", footer.TextLeft);
    ini.WriteString(kPrint, "FooterCenter", footer.TextCenter);
    ini.WriteString(kPrint, "FooterRight", footer.TextRight);
    ini.WriteInteger(kEditor, "CodeTemplatesWidth", templates ? templates->Width : 400);
    ini.WriteInteger(kEditor, "CodeTemplatesHeight", templates ? templates->Height : 100);

    ini.WriteString(kEditor, "Font", FontToPropText(pad.Font()));
    ini.WriteString(kPrint, "PrintFont", FontToPropText(po.Font));
    ini.WriteString(kPrint, "PrintHeaderFont", FontToPropText(header.Font));
    ini.WriteString(kPrint, "PrintFooterFont", FontToPropText(footer.Font));
    if (templates)
        ini.WriteString(kEditor, "CodeTemplatesFont", FontToPropText(templates->Font));
    return ini.UpdateFile();
}
