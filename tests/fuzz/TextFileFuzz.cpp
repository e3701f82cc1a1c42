// Loading a text file into the editor (with the Johab check) on outside bytes, then saving it and
// loading the saved file.
//
// Checked: the saved file loads back to the same lines and the same Korean code type, for every
// file but a Johab one holding a code without a Wansung counterpart (a partial syllable, say):
// such a code is kept as it stands while loading, where it may equal a code page 949 character,
// and saving then converts it as that character.

#include "tests/fuzz/FuzzSupport.h"

#include "editor/model/Codeconv.h"
#include "editor/model/QzPadModel.h"

namespace {

// Whether every double-byte code of the text converts to Wansung and back to itself.
bool JohabConvertsBothWays(std::string_view bytes) {
    for (size_t i = 0; i + 1 < bytes.size(); ++i) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) continue;
        const uint16_t code = static_cast<uint16_t>((lead << 8) | static_cast<unsigned char>(bytes[++i]));
        uint16_t wansung = code;
        if (!Convert_Code(wansung, ccJohabToWansung)) return false;
        uint16_t back = wansung;
        Convert_Code(back, ccWansungToJohab);
        if (back != code) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 65536) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = fuzz::WriteTemp("in.txt", bytes);
    TQzPadModel pad;
    pad.LoadFromFile(path);
    const std::string out = fuzz::TempPath("out.txt");
    pad.SaveToFile(out);
    if (pad.HanguelCodeType() == qzctJohab && !JohabConvertsBothWays(bytes)) return 0;

    TQzPadModel again;
    again.LoadFromFile(out);
    fuzz::Check(again.HanguelCodeType() == pad.HanguelCodeType(), "the saved file loads as another code");
    fuzz::Check(again.Lines().Count() == pad.Lines().Count(), "the saved file loads with other lines");
    for (int i = 0; i < pad.Lines().Count(); ++i)
        fuzz::Check(again.Lines().Get(i) == pad.Lines().Get(i), "a line changed on the way back");
    return 0;
}
