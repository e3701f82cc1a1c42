// Loading a text file into the control and saving it back, with the Johab handling of Korean
// text and the read-only state that follows the file's permissions.

#include "editor/model/Codeconv.h"
#include "editor/model/QzFileError.h"
#include "editor/model/QzPadModel.h"

#include "platform/core/FileUtils.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <new>

namespace {

// The file's read-only attribute: no write permission for its owner. A file whose attributes
// cannot be read (a missing one) counts as read-only.
bool FileIsReadOnly(const std::string& fileName)
{
    struct stat st {};
    if (::stat(fileName.c_str(), &st) != 0) return true;
    return (st.st_mode & S_IWUSR) == 0;
}

// Why a file whose bytes or lines cannot be held in memory is refused.
constexpr const char* kTooLarge = "The file is too large to hold in memory.";

std::string ErrnoText(int err)
{
    return err != 0 ? std::string(std::strerror(err)) : std::string("The file could not be accessed.");
}

// Clears a flag when a scope ends, also by an exception.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~TFlagScope() { flag_ = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

void TQzPadModel::LoadFromFile(const std::string& fileName)
{
    // The file is read and made into lines before anything changes, so a file that cannot be
    // read or held leaves the text, the caret and Modified as they were.
    std::string data;
    errno = 0;
    const TFileRead read = ReadRegularFile(fileName, data);
    if (read == TFileRead::NotRegular) throw EFOpenError(fileName, "It is not a regular file.");
    if (read == TFileRead::TooLarge) throw EFOpenError(fileName, kTooLarge);
    // A path whose status cannot be read counts as missing, as it always has.
    if (read == TFileRead::Failed && PathExists(fileName)) throw EFOpenError(fileName, ErrnoText(errno));
    const bool exists = read == TFileRead::Ok;
    TQzPadStrings fresh;
    TQzPadCodeType codeType = qzctWansung;
    if (exists) {
        try {
            fresh.ConvertNullToSpace = lines_.ConvertNullToSpace;
            fresh.OnConfirmConvert = lines_.OnConfirmConvert;
            fresh.SetStr(data);
            data = std::string();
            if (IsJohabText(fresh.Text())) {
                std::vector<std::string> text;
                text.reserve(static_cast<size_t>(fresh.Count()));
                for (int i = 0; i < fresh.Count(); ++i) text.push_back(fresh.Get(i));
                ConvertCode(&text, true);
                const TQzPadSaveFormat format = fresh.SaveFormat;
                fresh.Assign(std::move(text));
                fresh.SaveFormat = format;
                codeType = qzctJohab;
            }
        } catch (const std::bad_alloc&) {
            throw EFOpenError(fileName, kTooLarge);
        }
    }
    BeginUpdate();
    struct TUpdateScope {
        TQzPadModel& pad;
        ~TUpdateScope() { pad.EndUpdate(); }
    } update{*this};
    {
        TFlagScope loading(loading_);
        Initialize();  // with Loading on this also leaves one empty line
        SetSelStart(TPoint());
        // Records of the old text would replay into the new one.
        undoList_.Clear();
        composing_ = false;
        imeShown_.clear();
        imeCovered_.clear();
        if (exists) {
            lines_.TakeLines(fresh);
            hanguelCodeType_ = codeType;
        }
        if (lines_.Count() == 0) lines_.Add(std::string());
        if (FileIsReadOnly(fileName))
            options_.Include(qzoReadOnly);
        else
            options_.Exclude(qzoReadOnly);
        UpdateVertScrollBar();
        UpdateHorzScrollBar();
    }
    if (wordWrap_ != qzwwNone) {
        TFlagScope loading(loading_);
        lastWrapWidth_ = 0;
        MakeWordWrap(wordWrap_);
    }
    modified_ = false;
    LayoutEditRect();
    FireChanged();
    UpdateCaretPos();
}

void TQzPadModel::SaveToFile(const std::string& fileName)
{
    // Continuation lines of a word wrap are no line ends of the text: they are joined back.
    std::vector<std::string> text;
    text.reserve(static_cast<size_t>(lines_.Count()));
    for (int i = 0; i < lines_.Count(); ++i) {
        const TQzLineAttribute* a = lines_.Attribute(i);
        if (i > 0 && a && a->Wrapped && !text.empty())
            text.back() += lines_.Get(i);
        else
            text.push_back(lines_.Get(i));
    }
    TQzPadSaveFormat format = lines_.SaveFormat;
    if (hanguelCodeType_ == qzctJohab) {
        ConvertCode(&text, false);
        format = qzsfDos;
    }
    const char* end = format == qzsfUnix ? "\n" : format == qzsfMac ? "\r" : "\r\n";
    size_t total = 0;
    for (const std::string& s : text) total += s.size() + 2;
    std::string bytes;
    bytes.reserve(total);
    for (const std::string& s : text) {
        bytes += s;
        bytes += end;
    }
    errno = 0;
    if (!WriteFileAtomic(fileName, bytes)) throw EFCreateError(fileName, ErrnoText(errno));
    modified_ = false;
    FireChanged();
}
