#include "platform/gui/QtText.h"

#include <vector>

#include "platform/core/Cp949.h"

namespace {

// Cache of double-byte conversions: 0 = not yet converted, 0xFFFF = not a character.
std::vector<char16_t>& PairCache()
{
    static std::vector<char16_t> cache(65536, 0);
    return cache;
}

char16_t ConvertPair(unsigned char lead, unsigned char trail)
{
    const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    const QString s = QString::fromUtf8(QByteArray::fromStdString(Cp949ToUtf8(std::string_view(bytes, 2))));
    if (s.size() == 1 && s[0] != QChar(0xFFFD))
        return s[0].unicode();
    return 0xFFFF;
}

}  // namespace

char16_t Cp949CharToUnicode(unsigned char lead, unsigned char trail)
{
    if (lead < 0x80)
        return lead;
    if (trail == 0)
        return 0;
    char16_t& slot = PairCache()[static_cast<size_t>(lead) << 8 | trail];
    if (slot == 0)
        slot = ConvertPair(lead, trail);
    return slot == 0xFFFF ? 0 : slot;
}

int Cp949CharLength(std::string_view text, size_t i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80 || i + 1 >= text.size())
        return 1;
    return Cp949CharToUnicode(lead, static_cast<unsigned char>(text[i + 1])) != 0 ? 2 : 1;
}

QString Cp949ToQString(std::string_view cp949)
{
    QString out;
    out.reserve(static_cast<int>(cp949.size()));
    size_t i = 0;
    while (i < cp949.size()) {
        const auto b = static_cast<unsigned char>(cp949[i]);
        if (b < 0x80) {
            out.append(QChar(b));
            ++i;
            continue;
        }
        if (i + 1 < cp949.size()) {
            const char16_t u = Cp949CharToUnicode(b, static_cast<unsigned char>(cp949[i + 1]));
            if (u != 0) {
                out.append(QChar(u));
                i += 2;
                continue;
            }
        }
        out.append(QChar(0xFFFD));
        ++i;
    }
    return out;
}

std::string QStringToCp949(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return Cp949FromUtf8(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}
