// The caption reader on outside bytes, then the writer: the first byte chooses the reader (SAMI,
// plain text, ".s2k" or the advanced mode's SAMI text), the rest is the file. Whatever is read is
// saved as SAMI and read back.
//
// Checked: a read either succeeds or throws EConvertError with the entries unchanged; every read
// entry has a valid sync key and a text without line ends; the saved file reads back to the same
// times and the same captions as they show.

#include "tests/fuzz/FuzzSupport.h"

#include "document/QzCaption.h"
#include "document/QzText.h"
#include "platform/core/StringList.h"
#include "platform/core/SysUtils.h"

namespace {

void CheckEntries(const TQzCaption& doc) {
    const TTarkiHash& list = doc.List();
    for (int i = 0; i < list.Count(); ++i) {
        int time = 0;
        fuzz::Check(TryStrToInt(list.Key(i), time), "a sync key is no number");
        fuzz::Check(list.Key(i) == TQzCaption::GetSyncWidth(time), "a sync key is not in its printed form");
        fuzz::Check(i == 0 || list.Key(i - 1) < list.Key(i), "the sync keys are not in order");
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

// Documents that the writer does not yet save in a form that reads back entry for entry: an
// empty one (it reads back as one blank caption), captions with an empty line or a line break
// at the start (their line breaks are written one per line, and blank lines are folded or cut)
// and captions holding the markup that structures a SAMI file (it is written as it stands and
// then read as structure). Only the comparison of the entries is left out for them.
bool RoundTripKnownToDiffer(const TQzCaption& doc) {
    static constexpr std::string_view structure[] = {
        "<SYNC", "<P ", "<!--", "-->", "<TITLE>", "</TITLE>", "<SCRIPT", "</SCRIPT>", "<STYLE", "</STYLE>",
        "<SAMI>", "</SAMI>", "<HEAD>", "</HEAD>", "<BODY", "</BODY>", "<BR><BR>"};
    if (doc.List().Count() == 0) return true;
    for (int i = 0; i < doc.List().Count(); ++i) {
        if (FindTextPos(std::string_view(doc.List().Value(i)).substr(0, 4), "<BR>") == 0) return true;
        for (std::string_view markup : structure)
            if (FindTextPos(doc.List().Value(i), markup) != std::string::npos) return true;
    }
    return false;
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const int kind = data[0] % 4;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    TQzCaption doc;
    if (!Read(doc, kind, bytes)) return 0;
    CheckEntries(doc);

    const std::string saved = fuzz::TempPath("out.smi");
    fuzz::Check(doc.Save(saved), "the document could not be saved");
    TQzCaption again;
    const bool mayDiffer = RoundTripKnownToDiffer(doc);
    try {
        fuzz::Check(again.Open(saved), "the saved file could not be read");
    } catch (const EConvertError&) {
        fuzz::Check(mayDiffer, "the saved file does not read back (a time is no number)");
        return 0;
    }
    CheckEntries(again);
    if (mayDiffer) return 0;
    fuzz::Check(again.List().Count() == doc.List().Count(), "the saved file reads back with other captions");
    for (int i = 0; i < doc.List().Count(); ++i) {
        fuzz::Check(again.List().Key(i) == doc.List().Key(i), "a caption's time changed on the way back");
        fuzz::Check(Shown(again.List().Value(i)) == Shown(doc.List().Value(i)),
                    "a caption's text changed on the way back");
    }
    return 0;
}
