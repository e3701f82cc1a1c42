#include "platform/core/Cp949.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace {

// One converter per direction and thread: iconv_open is far too slow to call per string, and an
// iconv_t must not be shared between threads.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts `in`; on an invalid or unconvertible sequence appends `bad` and skips `skip(in)`
    // bytes, so the conversion always reaches the end of the input.
    template <typename Skip>
    std::string Run(std::string_view in, std::string_view bad, Skip skip) {
        std::string out;
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            out.assign(in);
            return out;
        }
        out.reserve(in.size() * 3 / 2 + 8);
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char buf[4096];
        while (srcLeft > 0) {
            char* dst = buf;
            size_t dstLeft = sizeof buf;
            size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buf, static_cast<size_t>(dst - buf));
            if (r != static_cast<size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL (incomplete sequence at the end): replace and step over.
            out.append(bad);
            size_t n = skip(std::string_view(src, srcLeft));
            if (n == 0 || n > srcLeft) n = 1;
            src += n;
            srcLeft -= n;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

    // Converts `in` as one whole and appends the result; false, appending nothing, when any part
    // of it does not convert.
    bool RunOne(std::string_view in, std::string& out) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) return false;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char buf[16];
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0) return false;
        out.append(buf, static_cast<size_t>(dst - buf));
        return true;
    }

private:
    iconv_t cd_;
};

// Length of the UTF-8 sequence that starts `s` when it is well-formed, else 1.
size_t Utf8SequenceLength(std::string_view s) {
    unsigned char c = static_cast<unsigned char>(s[0]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    if (n > s.size()) return 1;
    for (size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 1;
    return n;
}

}  // namespace

std::string Cp949FromUtf8(std::string_view utf8) {
    thread_local Converter conv("CP949", "UTF-8");
    return conv.Run(utf8, "?", Utf8SequenceLength);
}

std::string Cp949ToUtf8(std::string_view cp949) {
    // Converted one double-byte character at a time: glibc's converter reports the pair A2 E8 as
    // invalid after stepping over it, so after an error in a longer run it is not known where the
    // bad bytes began (skipping on from there lost the byte after the pair, or ran past the end).
    thread_local Converter conv("UTF-8", "CP949");
    const std::string_view bad = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(cp949.size() * 3 / 2 + 8);
    size_t i = 0;
    while (i < cp949.size()) {
        const unsigned char c = static_cast<unsigned char>(cp949[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        if (i + 1 < cp949.size() && conv.RunOne(cp949.substr(i, 2), out)) {
            i += 2;
            continue;
        }
        out.append(bad);
        ++i;
    }
    return out;
}

bool IsCp949Text(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) ++i;
    if (i == text.size()) return true;
    thread_local Converter conv("UTF-8", "CP949");
    bool ok = true;
    conv.Run(text.substr(i), "", [&ok](std::string_view) {
        ok = false;
        return size_t{1};
    });
    return ok;
}

bool IsUtf8WithMultiByte(std::string_view text) {
    bool multi = false;
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t len;
        unsigned char lo = 0x80, hi = 0xBF;  // bounds of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            if (c == 0xE0) lo = 0xA0;
            if (c == 0xED) hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            if (c == 0xF0) lo = 0x90;
            if (c == 0xF4) hi = 0x8F;
        } else {
            return false;
        }
        if (i + len > n) return false;
        const unsigned char second = static_cast<unsigned char>(text[i + 1]);
        if (second < lo || second > hi) return false;
        for (size_t k = 2; k < len; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        multi = true;
        i += len;
    }
    return multi;
}
