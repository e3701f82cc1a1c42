#include "controls/ButtonAccel.h"

#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

char GetHotKey(const std::string& caption)
{
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(caption[i]);
        if (c >= 0x80) { // a double-byte character: skip its trail byte
            ++i;
            continue;
        }
        if (c != '&')
            continue;
        const unsigned char next = static_cast<unsigned char>(caption[i + 1]);
        if (next == '&') {
            ++i;
            continue;
        }
        if ((next >= 'a' && next <= 'z'))
            return static_cast<char>(next - 'a' + 'A');
        if ((next >= 'A' && next <= 'Z') || (next >= '0' && next <= '9'))
            return static_cast<char>(next);
        return 0;
    }
    return 0;
}

bool IsAccel(char key, const std::string& caption)
{
    if (key >= 'a' && key <= 'z')
        key = static_cast<char>(key - 'a' + 'A');
    const char hot = GetHotKey(caption);
    return hot != 0 && hot == key;
}

TAccelShortcut::TAccelShortcut(QWidget* owner, std::function<void(char)> onKey)
    : owner_(owner), onKey_(std::move(onKey))
{
}

TAccelShortcut::~TAccelShortcut() = default; // the shortcut is a child of owner_

void TAccelShortcut::Update(const std::string& caption)
{
    const char key = GetHotKey(caption);
    if (key == key_)
        return;
    key_ = key;
    delete shortcut_;
    shortcut_ = nullptr;
    if (key == 0)
        return;
    shortcut_ = new QShortcut(QKeySequence(QStringLiteral("Alt+") + QChar(key)), owner_);
    shortcut_->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut_, &QShortcut::activated, owner_, [this, key] { onKey_(key); });
}
