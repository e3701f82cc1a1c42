// The caption reader on outside bytes, then the writer: the first byte chooses the reader (SAMI,
// plain text, ".s2k" or the advanced mode's SAMI text: its value modulo 4) and the templates (the
// document's own, or with 4 set a header that holds a comment, as the application's does); the
// rest is the file. Whatever is read is saved as SAMI and read back, and its body text (the
// advanced mode's) is read back as well.
//
// Checked: a read either succeeds or throws EConvertError with the entries unchanged; every read
// entry has a valid sync key and a text without line ends; both read back to the same times and
// the same captions as they show.

#include "tests/fuzz/FuzzSupport.h"

#include "document/QzCaption.h"
#include "document/QzText.h"
#include "document/TarkiHash.h"
#include "platform/core/StringList.h"
#include "platform/core/SysUtils.h"

namespace {

void CheckEntries(const TQzCaption& doc) {
    const TTarkiHash& list = doc.List();
    for (int i = 0; i < list.Count(); ++i) {
        int time = 0;
        fuzz::Check(TryStrToInt(list.Key(i), time), "a sync key is no number");
        fuzz::Check(list.Key(i) == TQzCaption::GetSyncWidth(time), "a sync key is not in its printed form");
        fuzz::Check(i == 0 || TTarkiHash::KeyLess(list.Key(i - 1), list.Key(i)), "the sync keys are not in time order");
        fuzz::Check(list.Value(i).find_first_of("\r\n") == std::string::npos, "a caption holds a line end");
    }
}

// Reads into `doc`; false when the read refused the bytes (the entries then stayed).
bool Read(TQzCaption& doc, int kind, std::string_view bytes) {
    static const char* const names[] = {"in.smi", "in.txt", "in.s2k"};
    const int before = doc.List().Count();
    try {
        if (kind == 3) {
            TStringList lines;
            lines.SetText(std::string(bytes));
            doc.Apply(lines);
            return true;
        }
        return doc.Open(fuzz::WriteTemp(names[kind], bytes));
    } catch (const EConvertError&) {
        fuzz::Check(doc.List().Count() == before, "a failed read changed the entries");
        return false;
    }
}

// A caption as it shows: the markup that the SAMI reader writes in upper case upper-cased ("<br>"
// read from a plain text or .s2k file comes back from SAMI as "<BR>"), and no spaces before a line
// break (the writer writes "<BR>" as a line end, and the reader cuts spaces before line ends).
std::string Shown(std::string text) {
    for (std::string_view tag : {"<BR>", "<FONT ", "</FONT>", " COLOR=", " STYLE="})
        for (size_t p = 0; (p = FindTextPos(text, tag, p)) != std::string::npos; p += tag.size())
            text.replace(p, tag.size(), tag);
    for (size_t p = 0; (p = text.find("<BR>", p)) != std::string::npos; p += 4) {
        size_t b = p;
        while (b > 0 && text[b - 1] == ' ') --b;
        text.erase(b, p - b);
        p = b;
    }
    return text;
}

// Whether the reader can give the caption back as it stands. It takes out paragraph tags ("<P "
// through the next '>', which carry a file's language classes) wherever they stand, and the
// writer keeps those that close inside their caption: such a caption comes back without them.
// Its time and every other caption are still compared.
bool TextComesBack(const std::string& caption) { return FindTextPos(caption, "<P ") == std::string::npos; }

// The caption as written: the markup by which the reader finds the file's structure with a blank
// after its '<', and with `comments` (a header without a comment) "<!--" and "-->" broken too.
std::string Written(std::string text, bool comments) {
    for (std::string_view markup :
         {"<SAMI>", "</SAMI>", "<HEAD>", "</HEAD>", "<BODY>", "</BODY>", "<TITLE>", "<SCRIPT", "<STYLE"})
        for (size_t p = 0; (p = FindTextPos(text, markup, p)) != std::string::npos; p += markup.size())
            text.insert(p + 1, 1, ' ');
    if (comments) {
        for (size_t p = 0; (p = text.find("<!--", p)) != std::string::npos; p += 4) text.insert(p + 1, 1, ' ');
        for (size_t p = 0; (p = text.find("-->", p)) != std::string::npos; p += 3) text.insert(p + 2, 1, ' ');
    }
    return text;
}

void UseHeaderWithComment(TQzCaption& doc) {
    doc.CaptionHead().SetText(
        "<SAMI>\n<!-- Caption Maker: fuzz\n-->\n<HEAD>\n<TITLE>fuzz</TITLE>\n<STYLE TYPE=\"text/css\">\n<!--\n"
        "  .KALO_KRCC { lang:kr-KR; }\n-->\n</STYLE>\n</HEAD>\n<BODY>\n");
    doc.CaptionTail().SetText("\n</BODY>\n</SAMI>\n");
}

// The entries of `back`, read from what `doc` wrote, against those of `doc`.
void CompareEntries(const TQzCaption& doc, const TQzCaption& back, bool comments) {
    CheckEntries(back);
    fuzz::Check(back.List().Count() == doc.List().Count(), "the saved captions read back as other captions");
    for (int i = 0; i < doc.List().Count(); ++i) {
        fuzz::Check(back.List().Key(i) == doc.List().Key(i), "a caption's time changed on the way back");
        const std::string& text = doc.List().Value(i);
        if (TextComesBack(text))
            fuzz::Check(Shown(back.List().Value(i)) == Shown(Written(text, comments)),
                        "a caption's text changed on the way back");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const int kind = data[0] % 4;
    const bool commentInHeader = (data[0] & 4) != 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    TQzCaption doc;
    if (!Read(doc, kind, bytes)) return 0;
    CheckEntries(doc);
    if (commentInHeader) UseHeaderWithComment(doc);

    const std::string saved = fuzz::TempPath("out.smi");
    fuzz::Check(doc.Save(saved), "the document could not be saved");
    TQzCaption again;
    try {
        fuzz::Check(again.Open(saved), "the saved file could not be read");
    } catch (const EConvertError&) {
        fuzz::Check(false, "the saved file does not read back (a time is no number)");
    }
    CompareEntries(doc, again, !commentInHeader);

    TStringList body;
    body.SetText(doc.GetText());
    try {
        again.Apply(body);
    } catch (const EConvertError&) {
        fuzz::Check(false, "the body text does not read back (a time is no number)");
    }
    CompareEntries(doc, again, false);
    return 0;
}
