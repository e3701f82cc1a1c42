#include "bench/document/LargeSami.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/Cp949.h"

namespace {

// A small linear congruential generator: the file must not depend on the library's engines.
class Lcg {
public:
    uint32_t Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    size_t Pick(size_t n) { return Next() % n; }

private:
    uint32_t state_ = 20021;
};

std::vector<std::string> Words() {
    // The last words hold extended syllables outside the KS X 1001 range (똠, 똸, 갂, 뷁, 햏).
    std::vector<std::string> w;
    for (const char* s : {"안녕하세요", "그리고", "우리는", "지금", "어디로", "가는", "거야", "정말", "괜찮아",
                          "모르겠어", "이것은", "자막", "편집기", "시험", "입니다", "내일", "다시", "만나요",
                          "똠방각하", "똸", "갂자기", "뷁", "햏자", "OK", "Hello,", "world!"})
        w.push_back(Cp949(s));
    return w;
}

std::string Line(Lcg& rng, const std::vector<std::string>& words, int wordCount) {
    std::string line;
    for (int i = 0; i < wordCount; ++i) {
        if (i) line += ' ';
        line += words[rng.Pick(words.size())];
    }
    return line;
}

}  // namespace

std::string MakeLargeSami(int captions) {
    static const char* const colors[] = {"#FFFF00", "#00FFFF", "red", "#FF9900"};
    const std::vector<std::string> words = Words();
    Lcg rng;
    std::string out;
    out.reserve(static_cast<size_t>(captions) * 110 + 1024);
    out += "<SAMI>\r\n<HEAD>\r\n<TITLE>bench</TITLE>\r\n<STYLE TYPE=\"text/css\">\r\n<!--\r\n"
           "P { margin-left:8pt; margin-right:8pt; text-align:center; font-size:18pt; }\r\n" +
           Cp949(".KRCC { Name:한국어; lang:ko-KR; SAMIType:CC; }") + "\r\n-->\r\n</STYLE>\r\n</HEAD>\r\n<BODY>\r\n";
    // Steps of 500 to 3,499 ms; narrower ones for files so large that the times would pass the
    // 32-bit range (about 570,000 captions and more), so that the last one stays below 2^31.
    int base = 500, spread = 3000;
    if (captions > 0 && static_cast<int64_t>(captions) * 3500 > 2000000000) {
        const int step = static_cast<int>(2000000000 / captions);
        base = std::max(1, step / 7);
        spread = std::max(1, step - base);
    }
    int time = 1000;
    for (int i = 0; i < captions; ++i) {
        time += base + static_cast<int>(rng.Pick(static_cast<size_t>(spread)));
        out += "<SYNC Start=" + std::to_string(time) + "><P Class=KRCC>";
        switch (i % 4) {
        case 0:  // a blank after every few captions
            out += "&nbsp;\r\n";
            break;
        case 1:  // two lines with a <br>
            out += "\r\n" + Line(rng, words, 6) + "<br>\r\n" + Line(rng, words, 5) + "\r\n";
            break;
        case 2:  // a coloured line
            out += "\r\n<font color=" + std::string(colors[rng.Pick(4)]) + ">" + Line(rng, words, 6) +
                   "</font>\r\n" + Line(rng, words, 4) + "\r\n";
            break;
        default:  // one long line
            out += "\r\n" + Line(rng, words, 10) + "\r\n";
            break;
        }
    }
    out += "</BODY>\r\n</SAMI>\r\n";
    return out;
}
