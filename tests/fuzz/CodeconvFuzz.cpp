// The Wansung/Johab conversions and the Johab check on outside bytes.
//
// Checked: a conversion keeps the length, every byte below 0x80 that stands alone and the
// lead/trail structure of the text; converting a line list converts each line as Convert_Text
// does; and every code page 949 character that has a Johab code comes back from Johab unchanged
// (except the cells of rows AD and AE, which share Johab row D4 with symbols).

#include "tests/fuzz/FuzzSupport.h"

#include "editor/model/Codeconv.h"

#include <string>
#include <vector>

namespace {

void CheckStructure(const std::string& before, const std::string& after) {
    fuzz::Check(before.size() == after.size(), "a conversion changed the length");
    for (size_t i = 0; i < before.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(before[i]);
        if (c < 0x80) {
            fuzz::Check(after[i] == before[i], "a conversion changed a single byte");
        } else if (i + 1 < before.size()) {
            fuzz::Check(static_cast<unsigned char>(after[i]) >= 0x80, "a converted character lost its lead byte");
            ++i;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckCode(text);

    for (int mode : {ccJohabToWansung, ccWansungToJohab}) {
        std::string converted = text;
        fuzz::Check(Convert_Text(converted, mode), "Convert_Text failed");
        CheckStructure(text, converted);

        std::vector<std::string> lines;
        size_t from = 0;
        for (size_t at; (at = text.find('\n', from)) != std::string::npos; from = at + 1)
            lines.push_back(text.substr(from, at - from));
        lines.push_back(text.substr(from));
        fuzz::Check(ConvertCode(&lines, mode == ccJohabToWansung), "ConvertCode failed");
        std::string joined;
        for (size_t i = 0; i < lines.size(); ++i) joined += (i ? "\n" : "") + lines[i];
        std::string perLine;
        from = 0;
        for (size_t at; (at = text.find('\n', from)) != std::string::npos; from = at + 1) {
            std::string line = text.substr(from, at - from);
            Convert_Text(line, mode);
            perLine += line + "\n";
        }
        std::string last = text.substr(from);
        Convert_Text(last, mode);
        perLine += last;
        fuzz::Check(joined == perLine, "ConvertCode differs from Convert_Text per line");
    }

    // Every pair of input bytes as one code.
    for (size_t i = 0; i + 1 < size; i += 2) {
        const uint16_t code = static_cast<uint16_t>((data[i] << 8) | data[i + 1]);
        const int lead = code >> 8;
        if (lead < 0x81 || lead == 0xAD || lead == 0xAE) continue;
        uint16_t johab = code;
        Convert_Code(johab, ccWansungToJohab);
        if (johab == code) continue;
        uint16_t back = johab;
        fuzz::Check(Convert_Code(back, ccJohabToWansung), "a Johab code made from code page 949 has no way back");
        fuzz::Check(back == code, "a code page 949 character does not come back from Johab");
    }
    return 0;
}
