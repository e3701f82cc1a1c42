// The SAMI writer of the caption document: GetText (the body) and Save (header, body, tail).

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "document/QzCaption.h"
#include "document/QzText.h"
#include "platform/core/FileUtils.h"

namespace {

// The body template cut at its placeholders, so that each entry is written without searching.
// "($sync)" is replaced first and "($text)" after it; the digits put in for "($sync)" can never
// form or split a "($text)", so both can be located in the template once.
struct BodyTemplate {
    enum Kind { Literal, Sync, Text };
    struct Piece {
        Kind kind;
        std::string text;
    };
    std::vector<Piece> pieces;

    explicit BodyTemplate(const std::string& tpl) {
        size_t i = 0;
        while (i <= tpl.size()) {
            size_t p = FindTextPos(tpl, "($sync)", i);
            size_t stop = p == std::string::npos ? tpl.size() : p;
            AddLiteralWithText(std::string_view(tpl).substr(i, stop - i));
            if (p == std::string::npos) break;
            pieces.push_back({Sync, std::string()});
            i = p + 7;
        }
    }

    void AddLiteralWithText(std::string_view s) {
        size_t i = 0;
        while (i <= s.size()) {
            size_t p = FindTextPos(s, "($text)", i);
            size_t stop = p == std::string_view::npos ? s.size() : p;
            if (stop > i) pieces.push_back({Literal, std::string(s.substr(i, stop - i))});
            if (p == std::string_view::npos) break;
            pieces.push_back({Text, std::string()});
            i = p + 7;
        }
    }
};

// The key read as a decimal number: leading blanks, an optional sign, digits; 0 without digits.
int64_t KeyTime(std::string_view key) {
    size_t i = 0;
    while (i < key.size() && (key[i] == ' ' || key[i] == '\t')) ++i;
    bool negative = false;
    if (i < key.size() && (key[i] == '-' || key[i] == '+')) negative = key[i++] == '-';
    int64_t v = 0;
    while (i < key.size() && key[i] >= '0' && key[i] <= '9') v = std::min<int64_t>(v * 10 + (key[i++] - '0'), INT_MAX);
    return negative ? -v : v;
}

bool IsBlankByte(char c) { return c == ' ' || c == '\t'; }

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && FindTextPos(s.substr(0, prefix.size()), prefix) == 0;
}

bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && FindTextPos(s.substr(s.size() - suffix.size()), suffix) == 0;
}

// Markup by which the reader finds a SAMI file's structure, wherever it stands: it cuts the body
// at "</BODY>", deletes the document tags (joining the text around them) and removes every TITLE,
// SCRIPT and STYLE block through its end tag, in whichever later caption that stands. Inside a
// caption such markup is written with a blank after its '<' ("< /BODY>"): the reader keeps that
// as it stands, and players show it as text.
constexpr std::string_view StructureMarkup[] = {"<SAMI>",  "</SAMI>", "<HEAD>",  "</HEAD>", "<BODY>",
                                                "</BODY>", "<TITLE>", "<SCRIPT", "<STYLE"};

// Whether `markup` (upper case, beginning with '<') stands at `at`, ignoring case.
bool MarkupStandsAt(std::string_view s, size_t at, std::string_view markup) {
    if (s.size() - at < markup.size()) return false;
    for (size_t i = 1; i < markup.size(); ++i) {
        char c = s[at + i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        if (c != markup[i]) return false;
    }
    return true;
}

// The length of the structure markup at `at` (a '<'), or with `paragraph` of a "<P " there; 0
// for none.
size_t MarkupAt(std::string_view s, size_t at, bool paragraph) {
    if (s.size() - at < 3) return 0;
    char second = s[at + 1];
    if (second >= 'a' && second <= 'z') second = static_cast<char>(second - 32);
    if (second == 'P') return paragraph && s[at + 2] == ' ' ? 3 : 0;
    for (std::string_view markup : StructureMarkup)
        if (markup[1] == second && MarkupStandsAt(s, at, markup)) return markup.size();
    return 0;
}

bool HoldsMarkup(std::string_view s, bool paragraph) {
    for (size_t p = s.find('<'); p != std::string_view::npos; p = s.find('<', p + 1))
        if (MarkupAt(s, p, paragraph) > 0) return true;
    return false;
}

// Inserts a blank after the '<' of every structure markup (and of "<P " with `paragraph`).
// Returns whether a "<P " is left.
bool BreakMarkup(std::string& s, bool paragraph) {
    bool paragraphLeft = false;
    for (size_t p = s.find('<'); p != std::string::npos; p = s.find('<', p + 1)) {
        size_t n = MarkupAt(s, p, paragraph);
        if (n == 0) {
            paragraphLeft = paragraphLeft || MarkupStandsAt(s, p, "<P ");
            continue;
        }
        s.insert(p + 1, 1, ' ');
        p += n;
    }
    return paragraphLeft;
}

// Inserts a blank at `offset` of every occurrence of `marker` (which holds no letter).
void BreakMarker(std::string& s, std::string_view marker, size_t offset) {
    for (size_t p = s.find(marker); p != std::string::npos; p = s.find(marker, p + marker.size() + 1))
        s.insert(p + offset, 1, ' ');
}

// `s` without its paragraph tags ("<P " through the next '>'), as the reader takes them out.
// False when a tag runs past another '<' or the end of `s`: the reader's block would then reach
// further, into the next line or caption.
bool TakeOutParagraphTags(std::string_view s, std::string& out) {
    out.clear();
    size_t from = 0;
    for (size_t p = FindTextPos(s, "<P "); p != std::string_view::npos; p = FindTextPos(s, "<P ", from)) {
        size_t gt = s.find_first_of("<>", p + 3);
        if (gt == std::string_view::npos || s[gt] != '>') return false;
        out.append(s.data() + from, p - from);
        from = gt + 1;
    }
    out.append(s.data() + from, s.size() - from);
    return true;
}

bool OnlyBlanksAndBreaks(std::string_view s) {
    for (size_t i = 0; i < s.size(); ++i) {
        if (StartsWithNoCase(s.substr(i), "<BR>")) {
            i += 3;
        } else if (!IsBlankByte(s[i])) {
            return false;
        }
    }
    return true;
}

// Appends a stored caption as written in place of "($text)": LF and its lines, or "&nbsp;" and LF
// for a blank caption (only blanks and "<BR>", once paragraph tags that stay are out). `work` and `scratch` are kept between calls.
//
// Each "<BR>" becomes a line break, except where the reader would not give the same text back;
// there the "<BR>" is written as it stands, inside the line:
// - after a line that would be empty (the reader folds empty lines) or that ends in a space or in
//   "<BR>" (the reader cuts those before a line break), so "A<BR><BR>B" is written as the lines
//   "A" and "<BR>B";
// - before a line that begins with "<SYNC " once its paragraph tags are out (the reader starts a
//   new caption there).
// A first line that begins with "<SYNC " stays on the line of "($text)". Blanks at the ends of the
// caption and "<BR>" at its end are cut, as the reader cuts them; "<BR>" at its start is kept.
//
// Structure markup is broken (see StructureMarkup), and so are "<!--" and "-->" ("< !--", "-- >")
// with `breakComments`, for a header that does not hold the file's first comment. Paragraph tags
// stay as they are while each closes inside the caption and taking them out makes no new markup;
// otherwise every "<P " of the caption is broken too.
void AppendCaption(std::string& out, std::string_view stored, bool breakComments, std::string& work,
                   std::string& scratch) {
    if (std::memchr(stored.data(), '\r', stored.size()) == nullptr &&
        std::memchr(stored.data(), '\n', stored.size()) == nullptr) {
        work.assign(stored.data(), stored.size());
    } else {
        work.clear();
        for (char c : stored)
            if (c != '\r' && c != '\n') work += c;
    }
    bool paragraphs = false;
    if (work.find('<') != std::string::npos) {
        paragraphs = BreakMarkup(work, false);
        if (paragraphs && (!TakeOutParagraphTags(work, scratch) || HoldsMarkup(scratch, true))) {
            BreakMarkup(work, true);
            paragraphs = false;
        }
    }
    if (breakComments) {
        BreakMarker(work, "<!--", 1);
        BreakMarker(work, "-->", 2);
    }
    size_t b = 0, e = work.size();
    for (;;) {
        while (b < e && IsBlankByte(work[b])) ++b;
        while (e > b && IsBlankByte(work[e - 1])) --e;
        if (!EndsWithNoCase(std::string_view(work).substr(b, e - b), "<BR>")) break;
        e -= 4;
    }
    const std::string_view text = std::string_view(work).substr(b, e - b);
    // Lines that hold nothing but paragraph tags come back empty, and the reader folds them
    // away, up to the caption itself: such a caption is written as a blank one.
    if (text.empty() || (paragraphs && TakeOutParagraphTags(text, scratch) && OnlyBlanksAndBreaks(scratch))) {
        out += "&nbsp;\n";
        return;
    }
    const auto syncLine = [&](std::string_view line) {
        if (paragraphs && TakeOutParagraphTags(line, scratch)) line = scratch;
        while (!line.empty() && IsBlankByte(line.front())) line.remove_prefix(1);
        return StartsWithNoCase(line, "<SYNC ");
    };
    size_t lineStart = out.size();  // where the current output line begins
    size_t from = 0;
    bool first = true;
    for (;;) {
        size_t br = FindTextPos(text, "<BR>", from);
        std::string_view segment = text.substr(from, br == std::string_view::npos ? std::string_view::npos : br - from);
        if (first) {
            if (!syncLine(segment)) out += '\n';
            lineStart = out.size();
            first = false;
        } else {
            const std::string_view line = std::string_view(out).substr(lineStart);
            const bool keepTag = line.empty() || line.back() == ' ' || EndsWithNoCase(line, "<BR>") || syncLine(segment);
            if (keepTag) {
                out += "<BR>";
            } else {
                out += '\n';
                lineStart = out.size();
            }
        }
        out.append(segment.data(), segment.size());
        if (br == std::string_view::npos) break;
        from = br + 4;
    }
}

// Appends `s` with every CR dropped and every LF written as CR LF.
void AppendCrLf(std::string& out, std::string_view s) {
    const char* p = s.data();
    const char* end = p + s.size();
    while (p < end) {
        const char* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        const char* stop = nl ? nl : end;
        if (std::memchr(p, '\r', static_cast<size_t>(stop - p)) == nullptr) {
            out.append(p, static_cast<size_t>(stop - p));
        } else {
            for (const char* q = p; q < stop; ++q)
                if (*q != '\r') out += *q;
        }
        if (nl) out += "\r\n";
        p = stop + 1;
    }
}


// The body of GetText; see AppendCaption for `breakComments`.
std::string WriteBody(const TTarkiHash& list, const TStringList& bodyTemplate, bool breakComments) {
    std::string tpl = bodyTemplate.Text();
    tpl.erase(std::remove(tpl.begin(), tpl.end(), '\r'), tpl.end());
    BodyTemplate body(tpl);

    std::string result, work, scratch;
    size_t estimate = 0;
    for (int i = 0; i < list.Count(); ++i) estimate += list.Value(i).size() + tpl.size() + 8;
    result.reserve(estimate);
    for (int i = 0; i < list.Count(); ++i) {
        int64_t time = KeyTime(list.Key(i));
        if (time <= 0) time = 1;
        for (const BodyTemplate::Piece& piece : body.pieces) {
            switch (piece.kind) {
            case BodyTemplate::Literal: result += piece.text; break;
            case BodyTemplate::Sync: result += std::to_string(time); break;
            case BodyTemplate::Text: AppendCaption(result, list.Value(i), breakComments, work, scratch); break;
            }
        }
    }
    return result;
}

// Whether the reader takes the file's first comment ("<!--" through the next "-->") from the
// header; otherwise it would take it from the captions and drop it from every one.
bool HeadHoldsFirstComment(std::string_view head) {
    size_t p = FindTextPos(head, "<!--");
    return p != std::string_view::npos && FindTextPos(head, "-->", p + 4) != std::string_view::npos;
}

}  // namespace

// The advanced mode reads this text back without taking a comment out, so comments stay.
std::string TQzCaption::GetText() const { return WriteBody(*list_, captionBody_, false); }

bool TQzCaption::Save(const std::string& fileName) {
    std::string head = captionHead_.Text();
    if (OnSaveHead) OnSaveHead(this, head);
    std::string tail = captionTail_.Text();
    if (OnSaveTail) OnSaveTail(this, tail);

    // As a string list takes header, body and tail and saves them: CR dropped, nothing after a
    // NUL, every line (the last one too) followed by CR LF.
    std::string body = WriteBody(*list_, captionBody_, !HeadHoldsFirstComment(head));
    std::string out;
    out.reserve(head.size() + body.size() + body.size() / 16 + tail.size() + 64);
    for (std::string_view part : {std::string_view(head), std::string_view(body), std::string_view(tail)}) {
        size_t nul = part.find('\0');
        AppendCrLf(out, part.substr(0, nul));
        if (nul != std::string_view::npos) break;
    }
    if (!out.empty() && out.back() != '\n') out += "\r\n";
    return WriteFileAtomic(fileName, out);
}
