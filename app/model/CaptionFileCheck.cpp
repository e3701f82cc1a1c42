#include "app/model/CaptionFileCheck.h"

#include <algorithm>

#include "document/QzText.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "platform/core/SysUtils.h"

namespace {

// The first line of every refusal: the one the reader's own failures show.
std::string CannotRead(const std::string& path) {
    return Cp949FromUtf8(ExtractFileName(path)) + Cp949(" 파일을 읽을 수 없습니다.");
}

std::string InOtherEncoding(const std::string& path, const char* encoding) {
    return CannotRead(path) + "\n" + encoding + Cp949(" 파일입니다. 모르반은 코드 페이지 949(완성형) 자막 파일만 읽습니다.");
}

// Two-byte units of UTF-16 text without a byte-order mark: in ASCII-heavy text (markup, digits,
// line ends) one byte of each unit is NUL, always the same one.
bool LooksLikeUtf16(std::string_view bytes) {
    const size_t pairs = std::min<size_t>(bytes.size() / 2, 2048);
    if (pairs < 2) return false;
    size_t nulEven = 0, nulOdd = 0;
    for (size_t i = 0; i < pairs; ++i) {
        nulEven += bytes[2 * i] == '\0';
        nulOdd += bytes[2 * i + 1] == '\0';
    }
    return (nulOdd * 4 >= pairs && nulEven == 0) || (nulEven * 4 >= pairs && nulOdd == 0);
}

bool IsBlankText(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

}  // namespace

TCaptionFileCheck CheckCaptionBytes(const std::string& path, std::string_view bytes) {
    TCaptionFileCheck check;
    const auto startsWith = [bytes](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
    if (startsWith("\xFF\xFE") || startsWith("\xFE\xFF")) {
        check.Refusal = InOtherEncoding(path, "UTF-16");
    } else if (startsWith("\xEF\xBB\xBF")) {
        check.Refusal = InOtherEncoding(path, "UTF-8");
    } else if (bytes.find('\0') != std::string_view::npos) {
        check.Refusal = LooksLikeUtf16(bytes) ? InOtherEncoding(path, "UTF-16")
                                              : CannotRead(path) + "\n" + Cp949("텍스트 파일이 아닙니다.");
    } else if (IsUtf8WithMultiByte(bytes) && !IsCp949Text(bytes)) {
        check.Refusal = InOtherEncoding(path, "UTF-8");
    }
    check.MayHoldNoCaption = IsBlankText(bytes) || (FindTextPos(bytes, "<SAMI>") != std::string_view::npos &&
                                                    FindTextPos(bytes, "<BODY") != std::string_view::npos);
    return check;
}

namespace {

// CheckCaptionFile of at most `limit` bytes from the file's start.
TCaptionFileCheck CheckRead(const std::string& path, std::string& bytes, bool& read, size_t limit) {
    read = false;
    TCaptionFileCheck check;
    switch (ReadRegularFile(path, bytes, limit)) {
    case TFileRead::Ok: {
        read = true;
        std::string_view checked = bytes;
        if (bytes.size() >= limit) {
            const size_t end = checked.rfind('\n');
            if (end != std::string_view::npos) checked = checked.substr(0, end + 1);
        }
        return CheckCaptionBytes(path, checked);
    }
    case TFileRead::Missing:
        return check;
    case TFileRead::NotRegular:
        check.Refusal = CannotRead(path) + "\n" + Cp949("일반 파일이 아닙니다 (폴더, 파이프나 장치).");
        return check;
    case TFileRead::TooLarge:
        check.Refusal = TooLargeMessage(path);
        return check;
    case TFileRead::Failed:
        break;
    }
    check.Refusal = CannotRead(path);
    return check;
}

}  // namespace

TCaptionFileCheck CheckCaptionFile(const std::string& path, std::string& bytes, bool& read) {
    return CheckRead(path, bytes, read, static_cast<size_t>(-1));
}

TCaptionFileCheck CheckCaptionHead(const std::string& path, bool& read) {
    std::string head;
    return CheckRead(path, head, read, kCaptionHeadBytes);
}

TCaptionFileCheck CheckCaptionFile(const std::string& path) {
    std::string bytes;
    bool read = false;
    return CheckCaptionFile(path, bytes, read);
}

std::string TooLargeMessage(const std::string& path) {
    return Cp949FromUtf8(ExtractFileName(path)) + Cp949(" 파일이 너무 커서 읽을 수 없습니다.");
}

std::string NoCaptionMessage(const std::string& path) {
    return CannotRead(path) + "\n" + Cp949("자막을 찾을 수 없습니다.");
}

bool HasCaptionFileExt(const std::string& path) {
    const std::string ext = LowerCase(ExtractFileExt(path));
    return ext == ".smi" || ext == ".sami" || ext == ".smil" || ext == ".txt" || ext == ".s2k";
}
