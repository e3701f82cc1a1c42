#include "app/model/CaptionHeader.h"

#include <cinttypes>
#include <cstdio>

#include "document/QzText.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"

namespace {

const std::string kDashes65(65, '-');

// The value after the first occurrence of `key` whose text up to the next line feed satisfies
// `accept`; every occurrence of the key and every line feed removed from it. Empty when none.
template <typename Accept>
std::string HeaderValue(const std::string& buffer, const std::string& key, Accept accept) {
    size_t from = 0;
    while (true) {
        size_t at = FindTextPos(buffer, key, from);
        if (at == std::string::npos) break;
        size_t lf = buffer.find('\n', at);
        std::string value = buffer.substr(at, lf == std::string::npos ? std::string::npos : lf - at);
        value = ReplaceText(value, key, "", true);
        value = RemoveCharStr(value, '\n');
        if (accept(value)) return value;
        from = at + key.size();
    }
    return std::string();
}

}  // namespace

TStringList MainCaptionHead() {
    TStringList h;
    h.Add("<SAMI>");
    h.Add("<!--" + kDashes65);
    h.Add(" * Morvane 1.0 (Update: ($update) / Create: ($date) )");
    h.Add(std::string(" *     Official distribution site : ") + kMakerSite);
    h.Add(" *" + kDashes65);
    h.Add(" *     Caption Maker: ($maker.name)");
    h.Add(" *                    mail: ($maker.mail)");
    h.Add(" *                    home: ($maker.home)");
    h.Add(" *" + kDashes65);
    h.Add(" *     Movie   File : ($movie)");
    h.Add(" *     Caption File : ($smi)");
    h.Add(" *                    Create: ($smi.ctime)");
    h.Add(" *                    modify: ($smi.mtime)");
    h.Add("($notice)");
    h.Add(" " + std::string(66, '-') + ">");
    h.Add("<HEAD>");
    h.Add("<TITLE>($title)</TITLE>");
    h.Add("<STYLE TYPE=\"text/css\">");
    h.Add("<!--");
    h.Add("  P  { margin-left:8pt; margin-right:8pt; margin-bottom:2pt;");
    h.Add("       margin-top:2pt; text-align:center; color:orange;");
    h.Add(Cp949("       font-family:굴림,sans-serif; font-size:18pt; font-weight:bold; }"));
    h.Add(Cp949("  .KALO_KRCC  { Name:한국어; lang:kr-KR; SAMIType:CC; }"));
    h.Add(Cp949("  .KALO_EGCC  { Name:영어;   lang:us-US; SAMIType:CC; }"));
    h.Add("-->");
    h.Add("</STYLE>");
    h.Add("</HEAD>");
    h.Add("<BODY>");
    return h;
}

TStringList MainCaptionBody() {
    TStringList b;
    b.Add("<SYNC START=($sync)><P CLASS=KALO_KRCC>($text)");
    return b;
}

TStringList MainCaptionTail() {
    TStringList t;
    t.Add("");
    t.Add("</BODY>");
    t.Add("</SAMI>");
    return t;
}

std::string FormatThousands(int64_t n) {
    char buf[32];
    snprintf(buf, sizeof buf, "%" PRId64, n);
    std::string digits = buf;
    std::string sign;
    if (!digits.empty() && digits[0] == '-') {
        sign = "-";
        digits.erase(0, 1);
    }
    size_t lead = digits.size() % 3;
    std::string r = sign + digits.substr(0, lead);
    for (size_t i = lead; i < digits.size(); i += 3) {
        if (i > 0) r.push_back(',');
        r += digits.substr(i, 3);
    }
    return r;
}

std::string MovieDescription(const std::string& path) {
    int64_t size = GetFileLength(path);
    if (size <= 0) return std::string();
    char mb[64];
    snprintf(mb, sizeof mb, "%.2fMB", static_cast<double>(size) / 1048576.0);
    return ExtractFileName(path) + " " + mb + "(" + FormatThousands(size / 1024) + "KB)";
}

void FillCaptionHead(std::string& buffer, TCaptionInfo& info, const std::string& now) {
    // Every value but the title stands inside the header's comment, which a "-->" in a maker's
    // name, a notice or a file name would end early: the reader would then lose the rest of the
    // header. Such a value is written with a blank between "--" and ">".
    auto put = [&buffer](const char* placeholder, const std::string& value) {
        buffer = ReplaceText(buffer, placeholder, ReplaceAll(value, "-->", "-- >"), true);
    };
    // File names are native (UTF-8); the header is code page 949 text.
    std::string smi = Cp949FromUtf8(ExtractFileName(info.FileName));
    put("($update)", kUpdateDate);
    put("($date)", kCreateDate);
    put("($movie)", Cp949FromUtf8(MovieDescription(info.MovieFile)));
    put("($smi)", smi);
    put("($maker.name)", info.MakerName);
    put("($maker.mail)", info.MakerMail);
    put("($maker.home)", info.MakerHome);
    buffer = ReplaceText(buffer, "($title)", ChangeFileExt(smi, ""), true);
    info.ModifyTime = now;
    put("($smi.ctime)", info.CreateTime);
    put("($smi.mtime)", info.ModifyTime);

    if (info.Notice.empty()) {
        put("($notice)\n", "");
        put("($notice)\r\n", "");
        return;
    }
    std::string block = " *" + kDashes65 + "\r\n" + std::string(7, ' ') + "Notice\r\n";
    TStringList lines;
    lines.SetText(info.Notice);
    for (const std::string& line : lines.Strings) block += std::string(7, ' ') + line + "\r\n";
    put("($notice)", block);
}

void ReadCaptionInfo(std::string& buffer, TCaptionInfo& info) {
    buffer = RemoveCharStr(buffer, '\r');
    auto any = [](const std::string&) { return true; };
    auto time = [](const std::string& v) { return IsFormattedTime(TrimBlanks(v)); };
    info.MakerName = HeaderValue(buffer, "Caption Maker: ", any);
    info.MakerMail = HeaderValue(buffer, "mail: ", any);
    info.MakerHome = HeaderValue(buffer, "home: ", any);
    info.CreateTime = TrimBlanks(HeaderValue(buffer, "Create: ", time));
    info.ModifyTime = TrimBlanks(HeaderValue(buffer, "Modify: ", time));

    std::string opener = " *" + kDashes65 + "\n" + std::string(7, ' ') + "Notice";
    std::string closer = " " + std::string(66, '-') + ">";
    std::string block = ExtractBetween(buffer, opener, closer);
    if (block.empty()) return;
    size_t notice = FindTextPos(block, "Notice");
    block = block.substr(notice);
    size_t close = FindTextPos(block, closer);
    if (close != std::string::npos) block.erase(close);
    TStringList lines;
    lines.SetText(block);
    lines.Delete(0);
    std::string joined;
    for (std::string& line : lines.Strings) {
        if (line.compare(0, 7, std::string(7, ' ')) == 0) line.erase(0, 7);
        joined += line;
        joined += '\n';
    }
    while (!joined.empty()) {
        char c = joined.back();
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') break;
        joined.pop_back();
    }
    info.Notice = ReplaceText(RemoveCharStr(joined, '\r'), "\n", "\r\n", true);
}
