#include "editor/model/QzPadMacro.h"

#include "editor/model/QzFileError.h"
#include "platform/core/FileUtils.h"

#include <cerrno>
#include <cstring>

namespace {

// Value markers of the component stream.
enum : unsigned char {
    vaNull = 0, vaList = 1, vaInt8 = 2, vaInt16 = 3, vaInt32 = 4, vaString = 6, vaIdent = 7,
    vaLString = 12, vaCollection = 14, vaUTF8String = 20,
};

void WriteShortStr(std::string& out, const std::string& s)
{
    out.push_back(static_cast<char>(s.size()));
    out += s;
}

void WriteStringValue(std::string& out, const std::string& s)
{
    if (s.size() <= 255) {
        out.push_back(static_cast<char>(vaString));
        WriteShortStr(out, s);
        return;
    }
    out.push_back(static_cast<char>(vaLString));
    const uint32_t n = static_cast<uint32_t>(s.size());
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
    out += s;
}

class TStreamReader {
public:
    explicit TStreamReader(const std::string& data) : data_(data) {}

    unsigned char ReadByte()
    {
        if (pos_ >= data_.size())
            throw EReadError("Stream read error");
        return static_cast<unsigned char>(data_[pos_++]);
    }
    unsigned char PeekByte() const
    {
        if (pos_ >= data_.size())
            throw EReadError("Stream read error");
        return static_cast<unsigned char>(data_[pos_]);
    }
    std::string ReadBytes(size_t n)
    {
        if (n > data_.size() - pos_)
            throw EReadError("Stream read error");
        std::string s = data_.substr(pos_, n);
        pos_ += n;
        return s;
    }
    uint32_t ReadLE(int bytes)
    {
        uint32_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= static_cast<uint32_t>(ReadByte()) << (8 * i);
        return v;
    }
    std::string ReadShortStr() { return ReadBytes(ReadByte()); }
    void Expect(unsigned char marker)
    {
        if (ReadByte() != marker)
            throw EReadError("Invalid stream format");
    }
    bool EndOfList() const { return PeekByte() == vaNull; }

    std::string ReadString()
    {
        switch (ReadByte()) {
        case vaString:
            return ReadShortStr();
        case vaLString:
        case vaUTF8String:
            return ReadBytes(ReadLE(4));
        default:
            throw EReadError("Invalid property value");
        }
    }

private:
    const std::string& data_;
    size_t pos_ = 0;
};

}  // namespace

TQzMacroItem& TQzMacro::Add()
{
    items_.emplace_back();
    return items_.back();
}

void TQzMacro::AddMacro(TQzPadCommand command, TPoint caret, TPoint selA, TPoint selB, const std::string& text)
{
    TQzMacroItem& item = Add();
    item.Command = command;
    item.Caret = caret;
    item.SelA = selA;
    item.SelB = selB;
    item.Data = text;
}

std::string TQzMacro::WriteToStream() const
{
    std::string out;
    out.reserve(1024);
    out.push_back(static_cast<char>(vaCollection));
    for (const TQzMacroItem& item : items_) {
        out.push_back(static_cast<char>(vaList));
        WriteShortStr(out, "Command");
        out.push_back(static_cast<char>(vaIdent));
        WriteShortStr(out, EditorCommandName(item.Command));
        if (!item.Data.empty()) {
            WriteShortStr(out, "Data");
            WriteStringValue(out, item.Data);
        }
        out.push_back(static_cast<char>(vaNull));
    }
    out.push_back(static_cast<char>(vaNull));
    return out;
}

void TQzMacro::ReadFromStream(const std::string& data)
{
    TStreamReader r(data);
    r.Expect(vaCollection);
    std::vector<TQzMacroItem> items;
    while (!r.EndOfList()) {
        const unsigned char next = r.PeekByte();
        if (next == vaInt8 || next == vaInt16 || next == vaInt32) {
            r.ReadByte();
            r.ReadLE(next == vaInt8 ? 1 : next == vaInt16 ? 2 : 4);  // a stored item index
        }
        r.Expect(vaList);
        TQzMacroItem item;
        while (!r.EndOfList()) {
            const std::string name = r.ReadShortStr();
            if (name == "Command") {
                r.Expect(vaIdent);
                const std::string ident = r.ReadShortStr();
                TQzPadCommand c = qzcNone;
                if (!EditorCommandFromName(ident, c))
                    throw EReadError("Invalid property value");
                item.Command = c;
            } else if (name == "Data") {
                item.Data = r.ReadString();
            } else {
                throw EReadError("Error reading Macro: Property " + name + " does not exist");
            }
        }
        r.ReadByte();
        items.push_back(std::move(item));
    }
    r.ReadByte();
    items_ = std::move(items);
}

void TQzPadMacro::SetRecording(bool on)
{
    if (on)
        RecordMacro();
    else
        StopRecord();
}

void TQzPadMacro::RecordMacro()
{
    macro_.Clear();
    recording_ = true;
    modified_ = true;
}

void TQzPadMacro::SaveToFile(const std::string& fileName)
{
    if (!WriteFileAtomic(fileName, macro_.WriteToStream()))
        throw EFCreateError(fileName, std::strerror(errno ? errno : EIO));
    modified_ = false;
}

void TQzPadMacro::LoadFromFile(const std::string& fileName)
{
    std::string data;
    if (!FileExists(fileName) || !ReadFileBytes(fileName, data))
        throw EFOpenError(fileName, std::strerror(errno ? errno : ENOENT));
    macro_.ReadFromStream(data);
    modified_ = false;
}

void TQzPadMacro::AddStep(TQzPadCommand command, TPoint caret, TPoint selStart, TPoint selEnd,
                          const std::string& text)
{
    macro_.AddMacro(command, caret, selStart, selEnd, text);
}

bool TQzPadMacro::GetStep(int index, TQzPadCommand& command, std::string& data) const
{
    if (index < 0 || index >= macro_.Count())
        return false;
    const TQzMacroItem& item = macro_.Items(index);
    command = item.Command;
    data = item.Data;
    return true;
}
