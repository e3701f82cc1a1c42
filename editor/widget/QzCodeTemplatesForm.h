#pragma once
// The code-template popup: a borderless list of the templates of the template file (name in bold
// on the left, description on the right) shown below the caret. Enter or a double click inserts
// the selected template and closes the popup; Esc closes it; it also closes when it loses
// activation. It frees itself when it closes.
//
// BindCodeTemplates connects an editor control to a TQzCodeTemplates: the control's template
// shortcut looks the word before the caret up in the template file and, when no template has
// that name, shows this popup below the caret; a chosen template is inserted at the caret; a
// mouse press in the control hides the popup.

#include "editor/model/QzCodeTemplates.h"

#include <QListWidget>
#include <QWidget>

class TQzPad;

class TCodeTemplatesForm : public QWidget, public IQzCodeTemplatesPopup {
public:
    explicit TCodeTemplatesForm(QWidget* parent = nullptr);
    ~TCodeTemplatesForm() override;

    QListWidget* lstCode() const { return list_; }

    // The code of the entry named `name`; empty when absent.
    std::string Find(const std::string& name) const { return entries_.Find(name); }
    void Clear();

    TQzCodeTemplateList& List() override { return entries_; }
    void ListChanged() override;
    void SetBounds(int x, int y, int width, int height) override;
    void SetLook(const TQzFontDesc& font, TColor color) override;
    void ShowPopup() override;
    void ClosePopup() override { close(); }
    bool PopupVisible() const override { return isVisible(); }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void InsertSelected();

    QListWidget* list_;
    TQzCodeTemplateList entries_;
    bool closedSent_ = false;
};

// Both must live until the binding is undone with UnbindCodeTemplates (or the control is freed).
void BindCodeTemplates(TQzPad& pad, TQzCodeTemplates& templates);
void UnbindCodeTemplates(TQzPad& pad, TQzCodeTemplates& templates);

// Shows the popup one line below the caret, moved left or up by its own size where it would
// leave the screen.
void ShowCodeTemplatesPopup(TQzPad& pad, TQzCodeTemplates& templates);
