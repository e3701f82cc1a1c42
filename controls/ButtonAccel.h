#pragma once
// Caption accelerators of the buttons: "&S" in a caption makes Alt+S (or a plain S typed where
// the window gives dialog characters to its buttons) click the button.

#include <functional>
#include <string>

class QShortcut;
class QWidget;

// The accelerator of `caption`: the byte after a single '&' ("&&" is a literal ampersand),
// upper-cased when it is an ASCII letter; 0 when there is none. Only ASCII letters and digits
// can be accelerators.
char GetHotKey(const std::string& caption);
// Whether `key` is the accelerator of `caption` (ASCII letters compared without case).
bool IsAccel(char key, const std::string& caption);

// Keeps one window-wide Alt+accelerator shortcut on `owner` in step with its caption. The
// callback runs when the shortcut fires; it decides (enabled, visible) whether to click.
class TAccelShortcut {
public:
    TAccelShortcut(QWidget* owner, std::function<void(char key)> onKey);
    ~TAccelShortcut();
    TAccelShortcut(const TAccelShortcut&) = delete;
    TAccelShortcut& operator=(const TAccelShortcut&) = delete;

    void Update(const std::string& caption);

private:
    QWidget* owner_;
    std::function<void(char)> onKey_;
    QShortcut* shortcut_ = nullptr;
    char key_ = 0;
};
