#include "editor/model/QzPadExport.h"

#include "editor/model/QzFileError.h"
#include "editor/model/QzPadModel.h"
#include "editor/model/QzSyntax.h"
#include "platform/core/Cp949.h"
#include "platform/core/StringList.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

std::string Hex2(unsigned char b)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\'%.2x", b);
    return buf;
}

bool Colouring(const TQzPadModel& pad)
{
    return pad.Syntax() && pad.HasOption(qzoHighlightSyntax);
}

// The colouriser's pieces of line i, parsed with the state stored on the line before it.
std::vector<TQzSyntaxItem> ParseLine(const TQzPadModel& pad, int i)
{
    int state = 0;
    if (i > 0)
        if (const TQzLineAttribute* a = pad.Lines().Attribute(i - 1))
            state = a->SyntaxState;
    TQzSyntax* syntax = pad.Syntax();
    syntax->Parse(pad.ExpandedLine(i), state);
    return syntax->ParsedItems();
}

bool ClampRange(const TQzPadModel& pad, int& from, int& to)
{
    from = std::max(from, 0);
    to = std::min(to, pad.Lines().Count() - 1);
    return from <= to;
}

std::array<TColor, 13> ColorTable(const TQzPadModel& pad)
{
    std::array<TColor, 13> t;
    const TColor font = pad.Font().Color;
    t.fill(font);
    t[1] = pad.Color();
    if (const TQzSyntax* s = pad.Syntax()) {
        t[2] = s->CommentColor;
        t[3] = s->DirectiveColor;
        t[4] = s->KeywordColor1;
        t[5] = s->KeywordColor2;
        t[6] = s->KeywordColor3;
        t[7] = s->KeywordColor4;
        t[8] = s->KeywordColor5;
        t[9] = s->KeywordColor6;
        t[10] = s->NumberColor;
        t[11] = s->OperatorColor;
        t[12] = s->StringColor;
    }
    for (TColor& c : t)
        c = ColorToRGB(c);
    return t;
}

void SaveStrings(const TStringList& strings, const std::string& fileName)
{
    errno = 0;
    if (!strings.SaveToFile(fileName))
        throw EFCreateError(fileName, std::strerror(errno ? errno : EIO));
}

}  // namespace

std::string HtmlEscape(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '\t': out += "&nbsp;"; break;
        case '"': out += "&quot;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out.push_back(c);
        }
    }
    return out;
}

std::string RtfEscape(const std::string& text)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        switch (b) {
        case '\\': out += "\\\\"; break;
        case '{': out += "\\{"; break;
        case '}': out += "\\}"; break;
        case '\'': out += "\\'27"; break;
        case 0: break;
        case '\t': out += "\\tab "; break;
        case 12: out += "\\page "; break;
        case 13: out += "\\line "; break;
        default:
            if (IsDbcsLeadByte(b)) {
                out += Hex2(b);
                if (i + 1 < text.size())
                    out += Hex2(static_cast<unsigned char>(text[++i]));
            } else {
                out.push_back(static_cast<char>(b));
            }
        }
    }
    return out;
}

std::string RtfFontRuns(const std::string& text)
{
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        const bool dbcs = IsDbcsLeadByte(static_cast<unsigned char>(text[i]));
        size_t j = i;
        while (j < text.size() && IsDbcsLeadByte(static_cast<unsigned char>(text[j])) == dbcs)
            j += dbcs ? 2 : 1;
        j = std::min(j, text.size());
        out += dbcs ? "\\f1 " : "\\f0 ";
        out += RtfEscape(text.substr(i, j - i));
        i = j;
    }
    return out;
}

void ExportToHTML(const TQzPadModel& pad, TStringList& strings, int from, int to)
{
    strings.Add("<HTML><HEAD>");
    strings.Add("<META NAME=\"Generator\" CONTENT=\"Pendrix\">");
    strings.Add("<TITLE>" + pad.FileName() + "</TITLE>");
    strings.Add("</HEAD>");
    strings.Add("<BODY>");
    strings.Add("<PRE>");
    if (ClampRange(pad, from, to)) {
        const bool colouring = Colouring(pad);
        for (int i = from; i <= to; ++i) {
            if (!colouring) {
                strings.Add(HtmlEscape(pad.ExpandedLine(i)));
                continue;
            }
            std::string line;
            for (const TQzSyntaxItem& item : ParseLine(pad, i)) {
                if (item.Color == clNone) {
                    line += HtmlEscape(item.Text);
                    continue;
                }
                const TColor rgb = ColorToRGB(item.Color);
                char tag[32];
                std::snprintf(tag, sizeof tag, "<FONT COLOR=\"#%.6x\">",
                              static_cast<unsigned>((GetRValue(rgb) << 16) | (GetGValue(rgb) << 8) | GetBValue(rgb)));
                line += tag + HtmlEscape(item.Text) + "</FONT>";
            }
            strings.Add(line);
        }
    }
    strings.Add("</PRE>");
    strings.Add("</BODY>");
    strings.Add("</HTML>");
}

void ExportToRTF(const TQzPadModel& pad, TStringList& strings, int from, int to)
{
    strings.Add("{\\rtf1\\ansi\\deff0{\\fonttbl {\\f0\\fnil " + RtfEscape(pad.Font().Name) +
                ";}{\\f1\\fnil\\fcharset129 " + RtfEscape(Cp949("굴림")) + ";}}");
    const std::array<TColor, 13> table = ColorTable(pad);
    std::string colors = "{\\colortbl";
    for (TColor c : table) {
        char buf[48];
        std::snprintf(buf, sizeof buf, "\\red%d\\green%d\\blue%d;", GetRValue(c), GetGValue(c), GetBValue(c));
        colors += buf;
    }
    strings.Add(colors + "}");
    strings.Add("{\\fs" + std::to_string(pad.Font().Size * 2) + "\\cf0\\cb1 ");
    if (ClampRange(pad, from, to)) {
        const bool colouring = Colouring(pad);
        for (int i = from; i <= to; ++i) {
            std::string line;
            if (!colouring) {
                line = "\\cf0 " + RtfFontRuns(pad.ExpandedLine(i));
            } else {
                for (const TQzSyntaxItem& item : ParseLine(pad, i)) {
                    int index = 0;
                    if (item.Color != clNone) {
                        const TColor rgb = ColorToRGB(item.Color);
                        const auto it = std::find(table.begin(), table.end(), rgb);
                        index = it == table.end() ? 0 : static_cast<int>(it - table.begin());
                    }
                    line += "\\cf" + std::to_string(index) + " " + RtfFontRuns(item.Text);
                }
            }
            strings.Add(line + "\\line ");
        }
    }
    strings.Add("}");
    strings.Add("}");
}

void SaveAsHTML(const TQzPadModel& pad, const std::string& fileName)
{
    TStringList strings;
    ExportToHTML(pad, strings, 0, pad.Lines().Count() - 1);
    SaveStrings(strings, fileName);
}

void SaveAsRTF(const TQzPadModel& pad, const std::string& fileName)
{
    TStringList strings;
    ExportToRTF(pad, strings, 0, pad.Lines().Count() - 1);
    SaveStrings(strings, fileName);
}
