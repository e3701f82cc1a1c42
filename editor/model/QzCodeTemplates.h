#pragma once
// Code templates: named pieces of text that the editor inserts for the user, read from a template
// file, and the settings of the popup that lists them.
//
// Template file: records "<R><N>name</N><D>description</D><C>code</C></R>"; tags match ignoring
// case; line breaks and other text between the tags are allowed. The code is everything between
// "<C>" and "</C>" as it stands, except that any other tag inside it is kept upper-cased. A "|"
// in the code marks where the caret goes after insertion.
//
// The popup window lives in the widget layer; it implements IQzCodeTemplatesPopup and is made
// through TQzCodeTemplates::PopupFactory. The editor control asks Find for the word before the
// caret and inserts the code itself (TQzPadModel::ShowCodeTemplates, InsertCodeTemplate).

#include "editor/model/QzPadTypes.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// One template's record.
struct TCodeItem {
    std::string Description;
    std::string Code;
};

// The entries of the popup's list: entry text (the template name) and its record.
class TQzCodeTemplateList {
public:
    struct TEntry {
        std::string Name;
        std::unique_ptr<TCodeItem> Item;  // null for an entry without a record
    };

    int Count() const { return static_cast<int>(entries_.size()); }
    const TEntry& Entry(int i) const { return entries_.at(static_cast<size_t>(i)); }
    // Appends (or, in sorted mode, inserts after the last entry not above it) and returns the index.
    int Add(std::string name, std::unique_ptr<TCodeItem> item);
    void Delete(int i);
    void Clear() { entries_.clear(); }
    // Sorted mode: the entries are ordered by name ignoring ASCII case; equal names keep the
    // order in which they came.
    bool Sorted() const { return sorted_; }
    void SetSorted(bool on);
    // The first entry named `name` (ignoring ASCII case); -1 when none.
    int IndexOf(const std::string& name) const;
    // The code of the first entry named `name`; empty when absent.
    std::string Find(const std::string& name) const;

private:
    std::vector<TEntry> entries_;
    bool sorted_ = false;
};

// Reads the template file into `list` (cleared first; the list ends up sorted). A missing file
// leaves the list untouched; a file that cannot be read throws EFOpenError.
void LoadCodeTemplate(const std::string& fileName, TQzCodeTemplateList& list);
// Writes the entries as records that LoadCodeTemplate reads back, one per line with CR LF.
// Throws EFCreateError when the file cannot be written.
void SaveCodeTemplate(const std::string& fileName, const TQzCodeTemplateList& list);
void AddCodeTemplate(TQzCodeTemplateList& list, const std::string& name, const std::string& description,
                     const std::string& code);
void DelCodeTemplate(TQzCodeTemplateList& list, int index);
void ClearCodeTemplate(TQzCodeTemplateList& list);

using TQzInsertTemplate = std::function<void(void* sender, const std::string& code)>;

// The template popup as the settings object sees it. It frees itself when it closes and then
// calls Closed; Insert is called with the chosen template's code.
class IQzCodeTemplatesPopup {
public:
    virtual ~IQzCodeTemplatesPopup() = default;
    virtual TQzCodeTemplateList& List() = 0;
    // Refills the visible list from List().
    virtual void ListChanged() = 0;
    virtual void SetBounds(int x, int y, int width, int height) = 0;
    virtual void SetLook(const TQzFontDesc& font, TColor color) = 0;
    virtual void ShowPopup() = 0;
    virtual void ClosePopup() = 0;
    virtual bool PopupVisible() const = 0;

    std::function<void()> Closed;
    TQzInsertTemplate Insert;
};

class TQzCodeTemplates {
public:
    TQzCodeTemplates();
    ~TQzCodeTemplates();
    TQzCodeTemplates(const TQzCodeTemplates&) = delete;
    TQzCodeTemplates& operator=(const TQzCodeTemplates&) = delete;

    int Width = 400;
    int Height = 100;
    std::string FileName;
    TQzFontDesc Font;
    TColor Color = clWindow;

    TQzInsertTemplate OnInsertTemplate;
    // Makes a popup window; without one, Show and Load make none.
    std::function<IQzCodeTemplatesPopup*()> PopupFactory;

    // Copies Width, Height, Font and Color (not FileName).
    void Assign(const TQzCodeTemplates& source);

    // Only when FileName names an existing file: makes the popup when there is none and reads
    // the file into its list.
    void Load();
    // Only when the file exists: Load, place the popup at the screen point (x, y) with Width x
    // Height, give it Font and Color and show it.
    void Show(int x, int y);
    // The code of the template named `name` (ignoring ASCII case); empty when the file is
    // missing or has no such template.
    std::string Find(const std::string& name) const;
    void Hide();
    bool GetVisible() const;
    IQzCodeTemplatesPopup* Popup() const { return popup_; }

    void CodeTemplatesClosed() { popup_ = nullptr; }
    void InsertCodeTemplate(void* sender, const std::string& code);

private:
    IQzCodeTemplatesPopup* popup_ = nullptr;
};
